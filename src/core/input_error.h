// The program's one error type.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace locseq {

// A fault that ends the run with status 1: a file that cannot be opened,
// read or written, input that is malformed (not a number where one must
// stand), inconsistent (a location out of range, counts that disagree) or
// cut short, and the end of console input. `line` is the 1-based record
// of `file` at fault, or 0 when the fault has no line (an open that fails).
class InputError : public std::runtime_error {
 public:
  InputError(std::string file, long line, std::string message);

  const std::string& file() const { return file_; }
  long line() const { return line_; }
  const std::string& message() const { return message_; }

 private:
  std::string file_;
  long line_;
  std::string message_;
};

// A token as messages show it: in quotes, cut after 20 characters.
std::string quoted(std::string_view token);

// A text as every message on standard error shows it: one line, each byte
// that is a control character, not UTF-8, or part of an invisible
// character (a byte-order mark, a zero-width or odd space, a
// bidirectional control such as U+202E, which would reorder what follows
// it on a terminal) written as \xHH. What() of InputError is made so.
std::string printable(std::string_view text);

}  // namespace locseq
