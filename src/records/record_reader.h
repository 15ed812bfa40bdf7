// Records (lines) of an input file or of the console, counted so that every
// error can name its line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "core/diagnostics.h"

namespace locseq::records {

// A stream of records. A record ends at LF or CRLF (the CR is not part of
// it); a last line without a line end is a record too.
class RecordSource {
 public:
  virtual ~RecordSource() = default;

  // The next record, valid until the next call; false at the end.
  virtual bool next(std::string_view& record) = 0;

  // Number of the record last returned (0 before the first).
  long line() const { return line_; }
  const std::string& name() const { return name_; }

  // Throws InputError naming this stream and the record last returned.
  [[noreturn]] void fail(const std::string& message) const;
  [[noreturn]] void fail_at(long line, const std::string& message) const;
  // Throws InputError for the end of the stream met while reading `what`.
  [[noreturn]] virtual void fail_at_end(const std::string& what) const = 0;

  // Where warnings about this stream go (none by default).
  void watch(Diagnostics* diagnostics) { diagnostics_ = diagnostics; }
  // Reports a warning about the record last returned (or `line`).
  void warn(Warning kind, const std::string& message) const { warn_at(line_, kind, message); }
  void warn_at(long line, Warning kind, const std::string& message) const {
    if (diagnostics_ != nullptr) diagnostics_->warn(kind, name_, line, message);
  }

 protected:
  explicit RecordSource(std::string name) : name_(std::move(name)) {}
  // A UTF-8 byte-order mark at the start of the stream: skipped, with a
  // warning. Returns its length (0 when there is none).
  std::size_t byte_order_mark(std::string_view start) const;

  std::string name_;
  long line_ = 0;
  Diagnostics* diagnostics_ = nullptr;
};

// The records of an input file, read in large blocks. It can step back one
// record and return to the start; the year reader also parses records where
// they stand in its buffer.
class FileReader final : public RecordSource {
 public:
  FileReader(std::istream& in, std::string name, std::size_t block_size = std::size_t{1} << 18);

  bool next(std::string_view& record) override;

  // Makes the record last returned by next() the next one returned again.
  // Only one step back is possible between two calls of next(), and none
  // after a call that met the end of the stream.
  void step_back();

  // Back to the first record. Throws InputError when the stream cannot seek.
  void rewind();

  // Where the reader stands: before the next record, with the number of the
  // record last returned.
  struct Position {
    std::int64_t offset = 0;  // bytes of the stream before the next record
    long line = 0;            // the record last returned (0 before the first)
  };
  Position tell() const { return {origin_ + static_cast<std::int64_t>(pos_), line_}; }
  // Stands again where tell() said, as if the records up to there had just
  // been read (no step back is possible). Throws InputError when the stream
  // cannot seek.
  void seek(const Position& at);

  // For a caller that parses records where they stand: the unread bytes of
  // the buffer, which may end inside a record, followed by a NUL byte; and
  // taking the record that ends just before `next` (the byte after its line
  // end), as next() would have returned it.
  std::string_view unread() const { return {buf_.get() + pos_, end_ - pos_}; }
  void take_record(const char* next) {
    last_start_ = pos_;
    pos_ = static_cast<std::size_t>(next - buf_.get());
    ++line_;
    can_step_back_ = true;
  }

  // "the file ends inside <what>".
  [[noreturn]] void fail_at_end(const std::string& what) const override;

  // Whether the record last returned by next() ended the file without a
  // line end.
  bool unterminated() const { return unterminated_; }

 private:
  // Reads more bytes behind the unread ones; false when none came.
  bool refill();

  std::istream& in_;
  // The bytes read and not yet passed, and a NUL behind them. Allocated
  // without clearing: only the part a stream fills is ever touched.
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;    // bytes buf_ holds, the NUL's place included
  std::size_t pos_ = 0;         // first unread byte of buf_
  std::size_t end_ = 0;         // one past the last valid byte of buf_
  std::size_t last_start_ = 0;  // where the record last returned starts in buf_
  bool at_eof_ = false;         // the stream has no more bytes
  bool from_start_ = true;      // buf_[0] is the first byte of the stream
  std::int64_t origin_ = 0;     // the offset in the stream of buf_[0]
  bool can_step_back_ = false;  // the last call of next() returned a record
  bool unterminated_ = false;   // the last record had no line end
  std::size_t start_ = 0;       // the first byte of the first record (after a byte-order mark)
};

// The answers typed on the console, read one line at a time, so that a
// prompt is answered as soon as its line is typed.
class ConsoleReader final : public RecordSource {
 public:
  ConsoleReader(std::istream& in, std::string name) : RecordSource(std::move(name)), in_(in) {}

  bool next(std::string_view& record) override;

  // "end of console input at <what>".
  [[noreturn]] void fail_at_end(const std::string& what) const override;

 private:
  std::istream& in_;
  std::string line_buf_;  // the current record
};

}  // namespace locseq::records
