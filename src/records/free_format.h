// Free-format input: values separated by blanks, tabs, a comma or line ends.
// One tokenizer serves every free-format read (the head of .CLS, retained
// counts and elimination vectors, the typed truncation level, the records
// of .SEQ), with one set of messages; the reads differ only in their rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "records/record_reader.h"

namespace locseq::records {

// What one free-format read accepts beyond plain values.
struct FreeFormat {
  bool repeat_counts = false;  // r*v stands for r copies of v
};

// Where a value stands, for messages: `what` (such as "the retained count of
// block 2"), and for a read of several values how many are wanted and how
// many were read.
struct FreePlace {
  std::string_view what;
  std::size_t wanted = 1;
  std::size_t got = 0;

  std::string describe() const;
};

// Cuts the values of one free-format read out of its records. Blanks and
// tabs separate values; so does one comma, with blanks around it or not. A
// comma before the first value of the read or right after another comma
// (an empty value) and a slash are refused.
class FreeScanner {
 public:
  FreeScanner(const RecordSource& in, FreeFormat rules) : in_(in), rules_(rules) {}

  // Starts on the next record of the read.
  void start(std::string_view record) {
    record_ = record;
    at_ = 0;
  }

  // The next value of the record and its repeat count (1 unless the rules
  // allow r*v); false at the end of the record. Throws InputError naming
  // `place` for an empty value, a slash or a malformed repeat count.
  bool next(std::string_view& token, std::int32_t& repeat, const FreePlace& place);

  // The rest of the record after the last value taken.
  std::string_view rest() const { return record_.substr(at_); }

 private:
  const RecordSource& in_;
  FreeFormat rules_;
  std::string_view record_;
  std::size_t at_ = 0;
  bool comma_ = false;  // a comma since the last value
  bool any_ = false;    // a value read
};

// Throws InputError naming `place`: the token is not the integer (or the
// number) that must stand there, or lies beyond 32 bits (beyond single
// precision).
[[noreturn]] void refuse_integer(const RecordSource& in, std::string_view token, bool out_of_range,
                                 const FreePlace& place);
[[noreturn]] void refuse_real(const RecordSource& in, std::string_view token, bool out_of_range,
                              const FreePlace& place);

// Reads out.size() integers: starting on a new record, over as many records
// as needed; the rest of the record holding the last value is skipped.
// Throws InputError, naming `what`, for anything that is not an integer
// within 32 bits and for the end of the stream before the last value.
void read_free_integers(RecordSource& in, std::span<std::int32_t> out, std::string_view what,
                        FreeFormat rules);

}  // namespace locseq::records
