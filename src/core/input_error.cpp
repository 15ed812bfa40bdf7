#include "core/input_error.h"

#include <utility>

namespace locseq {

namespace {

// Control characters (a NUL or a line end in a typed file name, garbage in
// a quoted token) are shown as \xHH, so the message stays one whole line.
std::string printable(const std::string& s) {
  std::string out;
  for (char c : s) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7f) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string describe(const std::string& file, long line, const std::string& message) {
  std::string out = printable(file);
  if (line > 0) out += ':' + std::to_string(line);
  return out + ": " + printable(message);
}

}  // namespace

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
