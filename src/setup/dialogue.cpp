#include "setup/dialogue.h"

#include <algorithm>

#include "core/input_error.h"
#include "records/layout.h"

namespace locseq {

const std::array<const char*, 6> kFileKinds = {".CLS", ".NAQ", ".SEQ", ".SCO", ".COS", ".ALC"};

namespace {

constexpr std::size_t kNameLength = 50;

constexpr records::Layout kPrompt("(A,$)");
constexpr records::Layout kMessage("(A)");

constexpr std::array<const char*, 6> kNamePrompts = {
    " Enter name of input file  (*.CLS) - ", " Enter name of input file  (*.NAQ) - ",
    " Enter name of input file  (*.SEQ) - ", " Enter name of output file (*.SCO) - ",
    " Enter name of output file (*.COS) - ", " Enter name of output file (*.ALC) - ",
};

std::string without_trailing_blanks(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

}  // namespace

void prompt(records::Unit& console, std::string_view text) {
  console.write(kPrompt, {text});
}

std::string read_answer(records::RecordReader& console_in, std::size_t n,
                        std::string_view question) {
  std::string_view line;
  if (!console_in.next(line)) {
    std::size_t first = question.find_first_not_of(' ');
    std::size_t last = question.find_last_not_of(" -:");
    question = question.substr(first, last + 1 - first);
    console_in.fail_at(console_in.line() + 1,
                       "end of console input at the question '" + std::string(question) + "'");
  }
  std::string answer(line.substr(0, std::min(n, line.size())));
  answer.resize(n, ' ');
  return answer;
}

FileNames default_file_names(const std::string& job_name) {
  std::size_t t = job_name.find_last_not_of(' ');
  t = t == std::string::npos ? 0 : t + 1;  // characters up to the last non-blank
  FileNames names;
  for (std::size_t k = 0; k < names.size(); ++k) {
    std::string name = job_name.substr(0, t);
    name.append(kFileKinds[k], std::min<std::size_t>(4, kNameLength - t));
    names[k] = without_trailing_blanks(name);
  }
  return names;
}

FileNames ask_file_names(records::RecordReader& console_in, records::Unit& console) {
  constexpr const char* kDefaults = " Do you wish default file names (Y or N)? - ";
  prompt(console, kDefaults);
  std::string answer = read_answer(console_in, 1, kDefaults);
  if (answer == "Y" || answer == "y") {
    constexpr const char* kJob = " Enter job name (ie. name for files without extension)";
    console.write(kMessage, {kJob});
    return default_file_names(read_answer(console_in, kNameLength, kJob));
  }
  FileNames names;
  for (std::size_t k = 0; k < names.size(); ++k) {
    prompt(console, kNamePrompts[k]);
    names[k] = without_trailing_blanks(read_answer(console_in, kNameLength, kNamePrompts[k]));
  }
  return names;
}

}  // namespace locseq
