#include "console/console.h"

#include <algorithm>
#include <array>

#include "core/input_error.h"
#include "records/free_format.h"

namespace locseq {

namespace {
constexpr records::Layout kLine("(A)");
constexpr records::Layout kPrompt("(A,$)");
}  // namespace

void progress(Units& u, std::string_view text) {
  to_console_and_sco(u, records::format(kLine, {text}));
}

void to_console_and_sco(Units& u, const std::string& records) {
  u.console.put(records);
  u.sco.put(records);
}

void prompt(records::Unit& console, std::string_view text) {
  console.write(kPrompt, {text});
}

std::string read_answer(records::ConsoleReader& console_in, std::size_t n,
                        std::string_view question) {
  std::string_view line;
  if (!console_in.next(line)) {
    std::size_t first = question.find_first_not_of(' ');
    std::size_t last = question.find_last_not_of(" -:");
    question = question.substr(first, last + 1 - first);
    console_in.fail_at_end("the question '" + std::string(question) + "'");
  }
  std::string answer(line.substr(0, std::min(n, line.size())));
  answer.resize(n, ' ');
  return answer;
}

std::optional<std::int32_t> DialogueQuestions::truncation_level() {
  constexpr const char* kDefault = " Default truncation level (Y or N) :";
  prompt(console_, kDefault);
  std::string answer = read_answer(in_, 1, kDefault);
  if (answer == "Y" || answer == "y") return std::nullopt;
  prompt(console_, "             Type truncation level :");
  std::array<std::int32_t, 1> level{};
  records::read_free_integers(in_, level, "the truncation level", {.repeat_counts = true});
  return level[0];
}

void DialogueQuestions::refuse_level(const std::string& message) const {
  in_.fail(message);
}

bool DialogueQuestions::standardise_again() {
  constexpr const char* kAgain = "     Standardize again? (Y or N) :";
  prompt(console_, kAgain);
  const char answer = read_answer(in_, 1, kAgain)[0];
  return answer == 'Y' || answer == 'y';
}

std::optional<std::int32_t> PresetAnswers::truncation_level() {
  console_.skip_next_line_end();
  return level_;
}

bool PresetAnswers::standardise_again() {
  console_.skip_next_line_end();
  return standardise_;
}

void PresetAnswers::refuse_level(const std::string& message) const {
  throw InputError("--groups", 0, message);
}

}  // namespace locseq
