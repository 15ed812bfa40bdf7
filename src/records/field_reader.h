// Reading records: fixed fields by layout.
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
bool read_fields(RecordSource& in, const Layout& layout, std::span<const Target> targets,
                 std::string_view what);

// As read_fields, on `record`, the record `in` returned last.
void parse_fields(RecordSource& in, std::string_view record, const Layout& layout,
                  std::span<const Target> targets, std::string_view what);

}  // namespace locseq::records
