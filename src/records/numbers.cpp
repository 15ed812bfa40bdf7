#include "records/numbers.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace locseq::records {

namespace {

constexpr bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a real whose syntax parse_real describes. `implied` decimals apply
// when the mantissa has no point.
NumberStatus read_real(std::string_view t, int implied, float& out) {
  const char* p = t.data();
  const char* end = p + t.size();
  const char* q = p;
  bool negative = false;
  if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
  const char* mantissa = q;
  int digits = 0;
  const char* point = nullptr;
  // Index among the digits of the first non-zero one, to tell an overflow
  // from an underflow.
  long first_nonzero = std::numeric_limits<long>::min();
  long position = 0;
  for (; q < end; ++q) {
    if (is_digit(*q)) {
      ++digits;
      if (*q != '0' && first_nonzero == std::numeric_limits<long>::min()) first_nonzero = position;
      ++position;
    } else if (*q == '.' && point == nullptr) {
      point = q;
    } else {
      break;
    }
  }
  if (digits == 0) return NumberStatus::Malformed;
  const char* mantissa_end = q;
  long exponent = 0;
  bool plain_letter = true;  // no exponent, or one from_chars reads as it stands
  if (q < end) {
    char letter = *q++;
    if (letter != 'E' && letter != 'e' && letter != 'D' && letter != 'd') {
      return NumberStatus::Malformed;
    }
    plain_letter = letter == 'E' || letter == 'e';
    bool exp_negative = false;
    if (q < end && (*q == '+' || *q == '-')) exp_negative = *q++ == '-';
    if (q == end) return NumberStatus::Malformed;
    for (; q < end; ++q) {
      if (!is_digit(*q)) return NumberStatus::Malformed;
      if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
    }
    if (exp_negative) exponent = -exponent;
  }
  if (point == nullptr) exponent -= implied;

  float value = 0.0f;
  std::from_chars_result r{};
  if (plain_letter && *p != '+' && (point != nullptr || implied == 0)) {
    r = std::from_chars(p, end, value);
    if (r.ec == std::errc() && r.ptr != end) return NumberStatus::Malformed;
  } else {
    // Rewrite as [-]mantissa e exponent for from_chars.
    char small[64];
    std::string large;
    std::size_t need = static_cast<std::size_t>(mantissa_end - mantissa) + 16;
    char* buf = small;
    if (need > sizeof small) {
      large.resize(need);
      buf = large.data();
    }
    char* w = buf;
    if (negative) *w++ = '-';
    for (const char* c = mantissa; c < mantissa_end; ++c) *w++ = *c;
    *w++ = 'e';
    auto er = std::to_chars(w, buf + need, exponent);
    r = std::from_chars(buf, er.ptr, value);
    if (r.ec == std::errc() && r.ptr != er.ptr) return NumberStatus::Malformed;
  }
  if (r.ec == std::errc::result_out_of_range) {
    if (first_nonzero == std::numeric_limits<long>::min()) return NumberStatus::OutOfRange;
    long int_digits = point != nullptr ? static_cast<long>(point - mantissa) : position;
    long magnitude = exponent + (int_digits - first_nonzero - 1);
    if (magnitude >= 0) return NumberStatus::OutOfRange;
    out = negative ? -0.0f : 0.0f;  // below the smallest single-precision value
    return NumberStatus::Ok;
  }
  if (r.ec != std::errc()) return NumberStatus::Malformed;
  out = value;
  return NumberStatus::Ok;
}

}  // namespace

NumberStatus parse_integer(std::string_view t, std::int32_t& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return NumberStatus::Malformed;
  std::int64_t v = 0;
  bool big = false;
  for (; i < t.size(); ++i) {
    if (!is_digit(t[i])) return NumberStatus::Malformed;
    if (v <= std::int64_t{1} << 32)
      v = v * 10 + (t[i] - '0');
    else
      big = true;
  }
  if (negative) v = -v;
  if (big || v > std::numeric_limits<std::int32_t>::max() ||
      v < std::numeric_limits<std::int32_t>::min()) {
    return NumberStatus::OutOfRange;
  }
  out = static_cast<std::int32_t>(v);
  return NumberStatus::Ok;
}

NumberStatus parse_real(std::string_view token, float& out) {
  return read_real(token, 0, out);
}

NumberStatus parse_real_implied(std::string_view token, int d, float& out) {
  return read_real(token, d, out);
}

}  // namespace locseq::records
