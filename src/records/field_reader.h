// Reading records: fixed fields by layout, and integers in free format.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "records/layout.h"
#include "records/record_reader.h"

namespace locseq::records {

// Where one data item of a layout is read to.
struct Target {
  enum class Kind : unsigned char { Integer, Real, Text };

  Target(std::int32_t& v) : kind(Kind::Integer), integer(&v) {}
  Target(float& v) : kind(Kind::Real), real(&v) {}
  Target(std::span<char> v) : kind(Kind::Text), text(v) {}

  Kind kind;
  std::int32_t* integer = nullptr;
  float* real = nullptr;
  std::span<char> text;
};

// Reads the next record (and one more for every '/') into `targets` by
// `layout`. A record shorter than the layout reads as if padded with blanks.
// Iw ignores blanks (all blank reads 0); Fw.d ignores blanks, takes the last
// d digits as decimals when no point is written and accepts an exponent; Aw
// takes w columns. Returns false when the stream ends before the first
// record. Throws InputError, naming `what`, for a field that is not the
// number it must hold and for an end of the stream at a later record.
bool read_fields(RecordReader& in, const Layout& layout, std::span<const Target> targets,
                 std::string_view what);

// Reads out.size() integers in free format: separated by blanks, tabs, a
// comma or line ends; starting on a new record, over as many records as
// needed; the rest of the record holding the last value is skipped. A repeat
// count (3*1) is accepted. Throws InputError, naming `what`, for anything
// else (text, a null value, a slash), for a value beyond 32 bits and for the
// end of the stream before the last value.
void read_free_integers(RecordReader& in, std::span<std::int32_t> out, std::string_view what);

}  // namespace locseq::records
