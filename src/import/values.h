// Values of the table as the run will see them: read by the run's own rules
// for a .SEQ value (formats::seq::write_record writes each back as the
// shortest text that reads back to the same single-precision value). (The
// one place that calls the record layer's number reader.)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace locseq::import {

enum class ValueStatus {
  Ok,         // read
  Malformed,  // not a number
  OutOfRange  // a number beyond single precision (too large, or too small to be anything but 0)
};

// Reads `text` (trimmed) into `out` as the run reads a .SEQ value: an
// optional sign, digits with at most one point, an optional exponent. With
// `decimal_comma` a comma stands for the point. Changes `out` only when Ok.
ValueStatus read_value(std::string_view text, bool decimal_comma, float& out);

// Whether `v` is small enough in magnitude for the sums of a run of a job of
// `locations` locations to stay finite (see value_bound), and the message
// for one that is not: `where` says which column it came from.
bool within_bound(float v, std::int32_t locations);
std::string beyond_bound(float v, const std::string& where, std::int32_t locations);

}  // namespace locseq::import
