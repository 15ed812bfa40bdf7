#include "import/values.h"

#include <algorithm>

#include "records/numbers.h"

namespace locseq::import {

namespace {

// Whether the mantissa of a number (the text before any exponent letter)
// holds a digit other than 0.
bool nonzero_mantissa(std::string_view text) {
  for (char c : text) {
    if (c >= '1' && c <= '9') return true;
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') return false;
  }
  return false;
}

}  // namespace

ValueStatus read_value(std::string_view text, bool decimal_comma, float& out) {
  std::string spelled;
  if (decimal_comma && text.find(',') != std::string_view::npos) {
    spelled.assign(text);
    std::replace(spelled.begin(), spelled.end(), ',', '.');
    text = spelled;
  }
  float v = 0.0f;
  switch (records::parse_real(text, v)) {
    case records::NumberStatus::Malformed:
      return ValueStatus::Malformed;
    case records::NumberStatus::OutOfRange:
      return ValueStatus::OutOfRange;
    case records::NumberStatus::Ok:
      break;
  }
  // The record layer reads a magnitude below single precision as zero; a
  // table value would then silently change, so it is refused here.
  if (v == 0.0f && nonzero_mantissa(text)) return ValueStatus::OutOfRange;
  out = v;
  return ValueStatus::Ok;
}

}  // namespace locseq::import
