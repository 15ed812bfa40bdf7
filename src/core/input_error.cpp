#include "core/input_error.h"

#include <algorithm>
#include <utility>

namespace locseq {

namespace {

// Whether a code point shows nothing, or looks like a blank, when printed:
// format characters such as the byte-order mark and the zero-width ones,
// and the odd spaces.
bool invisible(char32_t c) {
  return c == 0x00A0 || c == 0x00AD || c == 0x034F || c == 0x061C || c == 0x115F || c == 0x1160 ||
         c == 0x17B4 || c == 0x17B5 || c == 0x180E || (c >= 0x2000 && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 ||
         c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF ||
         (c >= 0xFFF9 && c <= 0xFFFB) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// The length of the UTF-8 sequence at s[i] and its code point; 0 when the
// bytes there are not valid UTF-8.
std::size_t utf8_at(const std::string& s, std::size_t i, char32_t& c) {
  const auto b = static_cast<unsigned char>(s[i]);
  const std::size_t n = b < 0x80         ? 1
                        : (b >> 5) == 6  ? 2
                        : (b >> 4) == 14 ? 3
                        : (b >> 3) == 30 ? 4
                                         : 0;
  if (n == 0 || i + n > s.size()) return 0;
  c = n == 1 ? b : b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto cont = static_cast<unsigned char>(s[i + k]);
    if ((cont >> 6) != 2) return 0;
    c = (c << 6) | (cont & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

std::string describe(const std::string& file, long line, const std::string& message) {
  std::string out = printable(file);
  if (line > 0) out += ':' + std::to_string(line);
  return out + ": " + printable(message);
}

}  // namespace

std::string printable(const std::string& s) {
  std::string out;
  auto escape = [&out](char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(byte);
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
  };
  for (std::size_t i = 0; i < s.size();) {
    char32_t c = 0;
    const std::size_t n = utf8_at(s, i, c);
    if (n == 0 || c < 0x20 || c == 0x7F || invisible(c)) {
      for (std::size_t k = 0; k < std::max<std::size_t>(n, 1); ++k) escape(s[i + k]);
      i += std::max<std::size_t>(n, 1);
    } else {
      out.append(s, i, n);
      i += n;
    }
  }
  return out;
}

std::string quoted(std::string_view token) {
  constexpr std::size_t kShown = 20;
  std::string out = "'";
  out.append(token.substr(0, kShown));
  out.append(token.size() > kShown ? "...'" : "'");
  return out;
}

InputError::InputError(std::string file, long line, std::string message)
    : std::runtime_error(describe(file, line, message)),
      file_(std::move(file)),
      line_(line),
      message_(std::move(message)) {}

}  // namespace locseq
