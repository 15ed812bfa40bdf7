#include "formats/text_encoding.h"

#include <array>

namespace locseq::formats::text {

namespace {

bool continuation_in(std::string_view text, std::size_t i, unsigned char lo, unsigned char hi) {
  if (i >= text.size()) return false;
  const auto b = static_cast<unsigned char>(text[i]);
  return b >= lo && b <= hi;
}

bool is_continuation(unsigned char b) {
  return (b & 0xC0u) == 0x80u;
}

// Windows-1252 from 0x80 to 0x9F; 0 where the byte has no character.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of byte `b` in `encoding` (not UTF-8), or none.
std::optional<char32_t> character_of(unsigned char b, Encoding encoding) {
  if (b < 0x80 || b >= 0xA0) return b;
  if (encoding == Encoding::Cp1252 && kCp1252High[b - 0x80u] != 0) return kCp1252High[b - 0x80u];
  return std::nullopt;  // Latin-1 has only C1 control codes there
}

}  // namespace

std::size_t utf8_length_at(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return continuation_in(text, i + 1, 0x80, 0xBF) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;  // no overlong form
    const unsigned char hi = b == 0xED ? 0x9F : 0xBF;  // no surrogate
    return continuation_in(text, i + 1, lo, hi) && continuation_in(text, i + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;  // no overlong form
    const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    return continuation_in(text, i + 1, lo, hi) && continuation_in(text, i + 2, 0x80, 0xBF) &&
                   continuation_in(text, i + 3, 0x80, 0xBF)
               ? 4
               : 0;
  }
  return 0;
}

char32_t code_point_at(std::string_view text, std::size_t i, std::size_t length) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (length == 1) return b;
  constexpr unsigned char kLeadBits[5] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t cp = b & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
  }
  return cp;
}

std::optional<Utf8Fault> find_invalid_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    // ASCII, the bulk of a table, eight bytes at a time.
    while (i + 8 <= text.size()) {
      bool ascii = true;
      for (std::size_t k = 0; k < 8; ++k)
        ascii = ascii && static_cast<unsigned char>(text[i + k]) < 0x80;
      if (!ascii) break;
      i += 8;
    }
    if (i >= text.size()) break;
    const std::size_t length = utf8_length_at(text, i);
    if (length == 0) {
      Utf8Fault fault{i, 1};
      const auto lead = static_cast<unsigned char>(text[i]);
      if (lead >= 0xC0) {
        while (fault.length < 4 && i + fault.length < text.size() &&
               is_continuation(static_cast<unsigned char>(text[i + fault.length]))) {
          ++fault.length;
        }
      }
      return fault;
    }
    i += length;
  }
  return std::nullopt;
}

std::string escape_invalid_utf8(std::string_view text) {
  if (is_utf8(text)) return std::string(text);
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8_length_at(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    const auto b = static_cast<unsigned char>(text[i++]);
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xFu];
  }
  return out;
}

std::optional<Encoding> encoding_named(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (lower == "utf-8" || lower == "utf8") return Encoding::Utf8;
  if (lower == "cp1252" || lower == "windows-1252") return Encoding::Cp1252;
  if (lower == "latin1" || lower == "latin-1" || lower == "iso-8859-1") return Encoding::Latin1;
  return std::nullopt;
}

const char* encoding_name(Encoding encoding) {
  switch (encoding) {
    case Encoding::Cp1252:
      return "cp1252";
    case Encoding::Latin1:
      return "latin1";
    case Encoding::Utf8:
      break;
  }
  return "utf-8";
}

std::optional<std::size_t> find_undefined_byte(std::string_view bytes, Encoding encoding) {
  if (encoding == Encoding::Utf8) return std::nullopt;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!character_of(static_cast<unsigned char>(bytes[i]), encoding)) return i;
  }
  return std::nullopt;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string to_utf8(std::string_view bytes, Encoding encoding) {
  if (encoding == Encoding::Utf8) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      append_utf8(out, character_of(b, encoding).value_or(U'\uFFFD'));
    }
  }
  return out;
}

}  // namespace locseq::formats::text
