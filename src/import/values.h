// Values of the table as the run will see them: read by the run's own rules
// for a .SEQ value (formats::seq::write_record writes each back as the
// shortest text that reads back to the same single-precision value). (The
// one place that calls the record layer's number reader.)
#pragma once

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

}  // namespace locseq::import
