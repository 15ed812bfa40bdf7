#include "core/non_finite.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

namespace locseq {

namespace {

// "year 1 (2019)", or "year 1" for a name of blanks.
std::string named(const char* kind, std::int32_t number, const Name8& name) {
  std::string_view n(name.data(), name.size());
  n = n.substr(0, n.find_last_not_of(' ') + 1);
  std::string out = std::string(kind) + " " + std::to_string(number);
  if (!n.empty()) out.append(" (").append(n).append(")");
  return out;
}

// The text of d.d x 10^e with the two digits of `digits` (10 to 99).
std::string two_digits(long digits, int exponent) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld.%lde%+03d", digits / 10, digits % 10, exponent);
  return text;
}

}  // namespace

ValueBound value_bound(std::int32_t locations) {
  const double limit = static_cast<double>(std::numeric_limits<float>::max()) /
                       (4.0 * static_cast<double>(std::max(locations, 1)));
  // Two significant digits, rounded down; the logarithm and the power may
  // be off in their last bit, so the digits are put right and the text is
  // read back against the limit.
  int exponent = static_cast<int>(std::floor(std::log10(limit)));
  auto digits = static_cast<long>(limit / std::pow(10.0, exponent - 1));
  if (digits >= 100) {
    digits /= 10;
    ++exponent;
  } else if (digits < 10) {
    digits = digits * 10 + 9;
    --exponent;
  }
  ValueBound b;
  b.text = two_digits(digits, exponent);
  double back = 0.0;
  std::from_chars(b.text.data(), b.text.data() + b.text.size(), back);
  if (back > limit) {
    if (--digits < 10) {
      digits = 99;
      --exponent;
    }
    b.text = two_digits(digits, exponent);
  }
  // The nearest single-precision value of the text: it may lie above the
  // limit by half a unit in its last place, well within the margin of 2.
  std::from_chars(b.text.data(), b.text.data() + b.text.size(), b.value);
  return b;
}

std::string number_text(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string number_text(float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string non_finite_message(const NonFinite& bad, std::int32_t year, const Name8& year_name,
                               const Name8& location_name, const Name8& genotype_name,
                               std::int32_t MAXL) {
  return named("year", year, year_name) + ", " + named("location", bad.location, location_name) +
         ", " + named("genotype", bad.genotype, genotype_name) + ": " + bad.what +
         "; the sums of a job of " + std::to_string(MAXL) + " location" + (MAXL == 1 ? "" : "s") +
         " stay finite for values of magnitude up to " + value_bound(MAXL).text;
}

}  // namespace locseq
