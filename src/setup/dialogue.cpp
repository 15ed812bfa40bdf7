#include "setup/dialogue.h"

#include <algorithm>

#include "console/console.h"
#include "records/layout.h"

namespace locseq {

const std::array<const char*, 6> kFileKinds = {".CLS", ".NAQ", ".SEQ", ".SCO", ".COS", ".ALC"};

namespace {

constexpr std::size_t kNameLength = 50;

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

FileNames ask_file_names(records::ConsoleReader& console_in, records::Unit& console) {
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
