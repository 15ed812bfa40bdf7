#include "import/values.h"

#include <algorithm>
#include <cmath>

#include "core/non_finite.h"
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

bool within_bound(float v, std::int32_t locations) {
  return std::fabs(v) <= value_bound(locations).value;
}

std::string beyond_bound(float v, const std::string& where, std::int32_t locations) {
  const std::string L = std::to_string(locations);
  return "the value " + number_text(v) + " (" + where + ") is larger in magnitude than " +
         value_bound(locations).text + ", the most a job of " + L + " location" +
         (locations == 1 ? "" : "s") +
         " can sum: a run holds values and the sums of group means in single precision "
         "(largest 3.4e+38), centring can double a value and a group sums up to " +
         L + " of them, so values must stay within 3.4e+38 / (4 x " + L + ")";
}

}  // namespace locseq::import
