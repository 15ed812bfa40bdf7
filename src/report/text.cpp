#include "report/text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace locseq::report {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the valid UTF-8 sequence that starts at text[i] and its code
// point, or 0 when the bytes there do not form one.
std::size_t sequence_at(std::string_view text, std::size_t i, char32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  std::size_t len = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1Fu, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0Fu, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const unsigned char b = byte(i + k);
    if ((b & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool harmful(char32_t cp) {
  if (cp == U'\t' || cp == U'\n') return false;
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xFFFE || cp == 0xFFFF;
}

std::string chars(const char* first, const char* last) {
  return std::string(first, last);
}

}  // namespace

std::string clean_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    const std::size_t len = sequence_at(text, i, cp);
    if (len == 0 || harmful(cp)) {
      out += kReplacement;
      i += len == 0 ? 1 : len;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string escape(std::string_view text) {
  const std::string clean = clean_utf8(text);
  std::string out;
  out.reserve(clean.size() + clean.size() / 8);
  for (const char c : clean) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::size_t text_length(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
  return n;
}

std::string shorten(std::string_view utf8, std::size_t limit) {
  if (text_length(utf8) <= limit) return std::string(utf8);
  if (limit == 0) return {};
  std::size_t kept = 0;  // characters kept so far
  std::size_t end = 0;   // byte offset after them
  while (end < utf8.size()) {
    const bool lead = (static_cast<unsigned char>(utf8[end]) & 0xC0u) != 0x80u;
    if (lead && kept == limit - 1) break;
    kept += lead;
    ++end;
  }
  return std::string(utf8.substr(0, end)) + "\xE2\x80\xA6";  // U+2026
}

std::string trimmed(const Name8& name) {
  std::string_view view(name.data(), name.size());
  while (!view.empty() && (view.back() == ' ' || view.back() == '\0')) view.remove_suffix(1);
  return std::string(view);
}

std::string_view trim_right(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string round_trip(double value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return chars(buf, res.ptr);
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "NA";
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (res.ec != std::errc{}) return round_trip(value);
  std::string out = chars(buf, res.ptr);
  if (out.front() == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  return out;
}

std::string exponent_form(double value, int digits) {
  if (!std::isfinite(value)) return "NA";
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
  return chars(buf, res.ptr);
}

std::string significant(double value, int digits) {
  if (!std::isfinite(value)) return "NA";
  if (value == 0.0) return fixed(0.0, digits - 1);
  const double magnitude = std::fabs(value);
  if (magnitude < 1e-4 || magnitude >= 1e6) return exponent_form(value, digits);
  const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  const int decimals = digits - 1 - exponent;
  return fixed(value, decimals < 0 ? 0 : decimals);
}

std::string counted(long long n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string coord(double value) {
  if (!std::isfinite(value)) return "0";
  std::string out = fixed(value, 2);
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  if (out == "-0") return "0";
  return out;
}

}  // namespace locseq::report
