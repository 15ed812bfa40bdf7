#include "records/input_error.h"

#include <utility>

namespace locseq {

namespace {

std::string describe(const std::string& file, long line, const std::string& message) {
  std::string out = file;
  if (line > 0) out += ':' + std::to_string(line);
  return out + ": " + message;
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
