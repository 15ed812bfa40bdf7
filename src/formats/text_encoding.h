// Text encodings: checking that bytes are UTF-8, showing the bytes that are
// not, and converting the two single-byte encodings spreadsheets save
// tables in (Windows-1252 and Latin-1) to UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace locseq::formats::text {

// The length of the valid UTF-8 sequence that starts at text[i], or 0 when
// the bytes there do not form one (a stray continuation byte, an overlong
// form, a surrogate, a code point above U+10FFFF, a sequence cut short).
std::size_t utf8_length_at(std::string_view text, std::size_t i);

// The code point of the valid sequence of `length` bytes at text[i].
char32_t code_point_at(std::string_view text, std::size_t i, std::size_t length);

// Where a text stops being UTF-8: the first byte that begins no valid
// sequence, and the bytes of the broken sequence it begins (a lead byte and
// the continuation bytes that follow it, at most 4; else the byte alone).
struct Utf8Fault {
  std::size_t offset = 0;  // from the start of the text, 0-based
  std::size_t length = 1;  // bytes at fault
};
std::optional<Utf8Fault> find_invalid_utf8(std::string_view text);

// The text with every byte that is not part of a valid UTF-8 sequence
// written as \xHH (two upper-case hex digits): valid text is unchanged,
// and what is not shows its bytes instead of losing them.
std::string escape_invalid_utf8(std::string_view text);

// Whether escape_invalid_utf8 would change the text.
inline bool is_utf8(std::string_view text) {
  return !find_invalid_utf8(text);
}

// The encodings a table may be read from.
enum class Encoding { Utf8, Cp1252, Latin1 };

// The encoding an option names: utf-8 (utf8), cp1252 (windows-1252) or
// latin1 (latin-1, iso-8859-1), in any case; none for another name.
std::optional<Encoding> encoding_named(std::string_view name);

// The name an option gives the encoding: "utf-8", "cp1252" or "latin1".
const char* encoding_name(Encoding encoding);

// The first byte that has no character in `encoding` (in Windows-1252:
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D), if any.
std::optional<std::size_t> find_undefined_byte(std::string_view bytes, Encoding encoding);

// The bytes, read in `encoding`, as UTF-8. A byte without a character
// (find_undefined_byte) becomes U+FFFD. UTF-8 text is returned as it is.
std::string to_utf8(std::string_view bytes, Encoding encoding);

// A code point as UTF-8.
void append_utf8(std::string& out, char32_t cp);

}  // namespace locseq::formats::text
