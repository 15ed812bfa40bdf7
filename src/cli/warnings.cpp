#include "cli/warnings.h"

#include "core/input_error.h"

namespace locseq::cli {

namespace {

// What the summary calls the lines of each kind.
std::string lines_of(Warning kind) {
  switch (kind) {
    case Warning::ByteOrderMark:
      return "files starting with a byte-order mark";
    case Warning::ExtraNumbers:
      return "lines with more than four numbers";
    case Warning::OutOfOrder:
      return "records out of year order, skipped";
    case Warning::NoLineEnd:
      return "last lines without a line end";
    case Warning::OptionColumns:
      return "options records with letters outside their columns";
    case Warning::LongName:
      return "names longer than 8 characters";
    case Warning::CoincidingNames:
      return "names that coincide in their 8 characters";
    case Warning::EmptyBlock:
      return "blocks whose data years hold no observation";
    case Warning::OutsideRange:
      return "records outside the run's range";
    case Warning::ExtraNames:
      return "lines after the last name";
    case Warning::ShortLastRecord:
      return "last records with fewer than four numbers, dropped";
    case Warning::SweepLevel:
      return "warnings about levels of the sweep without a fit";
  }
  return "lines";
}

}  // namespace

void show_warning(std::ostream& err, const std::string& file, long line,
                  const std::string& message) {
  err << "locseq: " << InputError(file, line, "warning: " + message).what() << '\n';
  err.flush();
}

void RunWarnings::warn(Warning kind, const std::string& file, long line,
                       const std::string& message) {
  if (!seen_.emplace(kind, file, line).second) return;
  // A level of a sweep is warned about once: each is shown.
  if (++counts_[{kind, file}] == 1 || kind == Warning::SweepLevel)
    show_warning(err_, file, line, message);
}

void RunWarnings::summary() const {
  for (const auto& [key, count] : counts_) {
    show_warning(err_, key.second, 0,
                 lines_of(key.first) + ": " + std::to_string(count) + " in all" +
                     (count > 1 && key.first != Warning::SweepLevel ? " (the first shown)" : ""));
  }
}

void CheckWarnings::warn(Warning kind, const std::string& file, long line,
                         const std::string& message) {
  if (seen_.emplace(kind, file, line).second) show_warning(err_, file, line, message);
}

}  // namespace locseq::cli
