#include "formats/fusion_level.h"

#include <charconv>
#include <string_view>

#include "records/numbers.h"

namespace locseq::formats::cls {

namespace {

constexpr std::size_t kWidth = kFusionLevelWidth;

// Digits of a number's text from its first non-zero digit on.
int significant_digits(std::string_view s) {
  int n = 0;
  bool started = false;
  for (char c : s) {
    if (c == 'E') break;
    if (c < '0' || c > '9') continue;
    started = started || c != '0';
    n += started;
  }
  return n;
}

// Fixed form with the most decimals that fit, without the 0 before the point.
std::string fixed_form(double v) {
  char buf[400];
  for (int d = static_cast<int>(kWidth) - 1; d >= 0; --d) {
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, d);
    std::string s(buf, r.ptr);
    if (d == 0) s += '.';
    const std::size_t at = s[0] == '-' ? 1 : 0;
    if (s.compare(at, 2, "0.") == 0) s.erase(at, 1);
    if (s.size() <= kWidth) return s;
  }
  return {};  // too large for any fixed form
}

// Exponent form d.dddEx with the most digits that fit; the exponent without
// a plus sign or leading zeros.
std::string exponent_form(double v) {
  char buf[64];
  for (int p = static_cast<int>(kWidth) - 1; p >= 1; --p) {
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, p - 1);
    const std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));
    const std::size_t e = t.find('e');
    std::string s(t.substr(0, e));
    if (p == 1) s += '.';
    s += 'E';
    int exponent = 0;
    const char* x = buf + e + 1;
    std::from_chars(x + (*x == '+'), r.ptr, exponent);
    s += std::to_string(exponent);
    if (s.size() <= kWidth) return s;
  }
  return {};
}

std::string best_form(double v) {
  const std::string fixed = fixed_form(v);
  const std::string exponent = exponent_form(v);
  if (fixed.empty()) return exponent;
  return significant_digits(exponent) > significant_digits(fixed) ? exponent : fixed;
}

}  // namespace

std::string fusion_level_field(double v) {
  std::string s;
  if (v == 0.0) {
    s = "0.0";
  } else {
    s = best_form(v);
    // Nine digits identify a single-precision value; rounding v to them may
    // still, rarely, read back as its neighbour. Then the digits of the
    // nearest single-precision value itself are written.
    const float nearest = static_cast<float>(v);
    float back = 0.0f;
    if (significant_digits(s) >= 9 &&
        (records::parse_real_implied(s, 3, back) != records::NumberStatus::Ok || back != nearest)) {
      s = best_form(static_cast<double>(nearest));
    }
  }
  return std::string(kWidth - s.size(), ' ') + s;
}

}  // namespace locseq::formats::cls
