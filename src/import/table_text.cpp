#include "import/table_text.h"

#include <algorithm>

#include "core/input_error.h"
#include "import/short_names.h"

namespace locseq::import {

namespace {

using formats::text::Encoding;

// Bytes of context shown on each side of a fault.
constexpr std::size_t kContext = 24;

// The place of a byte: its physical line (LF, CRLF or a lone CR ends one)
// and where its line starts.
struct Place {
  long line = 1;
  std::size_t line_start = 0;
};

Place place_of(std::string_view bytes, std::size_t offset) {
  Place p;
  for (std::size_t i = 0; i < offset; ++i) {
    const char c = bytes[i];
    if (c == '\n' || (c == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) {
      ++p.line;
      p.line_start = i + 1;
    }
  }
  return p;
}

// The bytes as \xHH, one after the other.
std::string hex_bytes(std::string_view bytes) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xFu];
  }
  return out;
}

// Where the byte at `offset` stands, and the text around it on its line,
// as a message shows them: "byte 3 of the line (byte 51 of the file) is
// \xFC, in 'Z\xFCrich'". `shown` makes text readable for the message.
template <class Shown>
std::string where(std::string_view bytes, const Place& p, std::size_t offset, std::size_t length,
                  Shown shown) {
  std::size_t line_end = bytes.find_first_of("\r\n", offset);
  if (line_end == std::string_view::npos) line_end = bytes.size();
  const std::size_t from = std::max(p.line_start, offset > kContext ? offset - kContext : 0);
  const std::size_t to = std::min(line_end, offset + length + kContext);
  return "byte " + std::to_string(offset - p.line_start + 1) + " of the line (byte " +
         std::to_string(offset + 1) + " of the file) is " +
         hex_bytes(bytes.substr(offset, length)) + ", in '" + (from > p.line_start ? "..." : "") +
         shown(bytes.substr(from, to - from)) + (to < line_end ? "..." : "") + "'";
}

[[noreturn]] void not_utf8(std::string_view bytes, const formats::text::Utf8Fault& fault,
                           const std::string& file_name) {
  const Place p = place_of(bytes, fault.offset);
  throw InputError(
      file_name, p.line,
      "the table is not UTF-8: " +
          where(bytes, p, fault.offset, fault.length, formats::text::escape_invalid_utf8) +
          "; if it was saved as Windows-1252 or Latin-1, read it with --encoding "
          "cp1252 or --encoding latin1 (or save it as UTF-8)");
}

[[noreturn]] void undefined(std::string_view bytes, std::size_t offset, Encoding encoding,
                            const std::string& file_name) {
  const Place p = place_of(bytes, offset);
  const auto to_utf8 = [&](std::string_view text) {
    return formats::text::to_utf8(text, encoding);
  };
  std::string message = where(bytes, p, offset, 1, to_utf8);
  if (encoding == Encoding::Latin1) {
    message +=
        ", a control code in Latin-1, which such tables do not hold: the table is most "
        "likely in Windows-1252 (--encoding cp1252)";
  } else {
    message +=
        ", which has no character in Windows-1252: the table is in another encoding; save "
        "it as UTF-8";
  }
  throw InputError(file_name, p.line, message);
}

[[noreturn]] void utf8_already(std::string_view bytes, Encoding encoding,
                               const std::string& file_name) {
  const auto high = std::find_if(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  const auto offset = static_cast<std::size_t>(high - bytes.begin());
  const Place p = place_of(bytes, offset);
  std::size_t line_end = bytes.find_first_of("\r\n", offset);
  if (line_end == std::string_view::npos) line_end = bytes.size();
  const std::string_view line = bytes.substr(p.line_start, line_end - p.line_start);
  const std::string as_given = formats::text::to_utf8(line, encoding);
  const char* name = formats::text::encoding_name(encoding);
  throw InputError(file_name, p.line,
                   std::string("the table is UTF-8 already; read as ") + name +
                       " this line would become '" + std::string(cut_utf8(as_given, 80)) +
                       (as_given.size() > 80 ? "..." : "") + "': leave out --encoding " + name);
}

}  // namespace

std::string_view table_as_utf8(std::string_view bytes, Encoding encoding,
                               const std::string& file_name, std::string& storage) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return bytes;
  const std::optional<formats::text::Utf8Fault> fault = formats::text::find_invalid_utf8(bytes);
  if (encoding == Encoding::Utf8) {
    if (fault) not_utf8(bytes, *fault, file_name);
    return bytes;
  }
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return bytes;
  if (!fault) utf8_already(bytes, encoding, file_name);
  if (const auto at = formats::text::find_undefined_byte(bytes, encoding)) {
    undefined(bytes, *at, encoding, file_name);
  }
  storage = formats::text::to_utf8(bytes, encoding);
  return storage;
}

}  // namespace locseq::import
