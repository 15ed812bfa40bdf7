#include "cli/run_summary.h"

#include <sys/stat.h>

#include <cstdio>

#include "cli/run_writers.h"
#include "core/input_error.h"
#include "files/output_plan.h"

namespace locseq::cli {

namespace {

// A name of .CLS in 8 columns, as the terminal shows it.
std::string in_eight_columns(const Name8& name) {
  std::string text = printable(std::string(name.data(), name.size()));
  std::size_t columns = 0;  // characters, not bytes
  for (const char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (columns < 8) text.append(8 - columns, ' ');
  return text;
}

std::string rsq_text(const FitSums& f) {
  if (!f.rsq_defined) return "NA";
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", f.RSQ);
  return text;
}

std::string right(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// A folder as the files line shows it, ending in '/'.
std::string folder(const std::string& name) {
  return printable(name.back() == '/' ? name : name + "/");
}

}  // namespace

void RunSummary::block(const BlockResult& b) {
  if (steps_++ == 0) {
    out_ << "  step  year      retained  eliminated  groups  RSQ classified  with allocated\n";
  }
  out_ << right(std::to_string(b.StepNumber), 6) << "  " << in_eight_columns(b.SequenceYearName)
       << right(std::to_string(b.RetainedCount), 10)
       << right(std::to_string(b.eliminated.size()), 12) << right(std::to_string(b.CutLevel), 8)
       << right(rsq_text(b.fit[kClassified].overall), 16)
       << right(rsq_text(b.fit[kWithAllocated].overall), 16) << '\n';
  out_.flush();
}

std::vector<std::string> output_names(const RunOptions& o, const FileNames& names) {
  files::OutputPlan plan;
  if (!o.tables.empty()) TablesOutput(o.tables, o.sweep_first != 0).plan(plan);
  if (!o.report.empty() || !o.plots.empty())
    ReportOutput(o.report, o.plots, o.sweep_first != 0, {}).plan(plan);
  std::vector<std::string> all(names.begin() + 3, names.end());
  for (const files::PlannedOutput& out : plan.outputs()) all.push_back(out.name);
  return all;
}

std::string written_line(const RunOptions& o, const FileNames& names, std::int32_t steps) {
  std::string line = "locseq: wrote " + printable(names[3]) + " " + printable(names[4]) + " " +
                     printable(names[5]);
  if (!o.tables.empty()) {
    line += ", " + folder(o.tables) + " (" +
            std::to_string(tables::kTableNames.size() + (o.sweep_first != 0 ? 1 : 0)) + " tables)";
  }
  if (!o.report.empty()) line += ", " + printable(o.report);
  if (!o.plots.empty()) {
    line += ", " + folder(o.plots) + " (" +
            std::to_string(3 + (o.sweep_first != 0 ? 1 : 0) + steps) + " figures)";
  }
  return line + "\n";
}

bool among_outputs(int fd, const std::vector<std::string>& names) {
  struct stat out {};
  if (fd < 0 || ::fstat(fd, &out) != 0 || S_ISCHR(out.st_mode) || S_ISBLK(out.st_mode)) {
    return false;
  }
  for (const std::string& name : names) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && st.st_dev == out.st_dev && st.st_ino == out.st_ino) {
      return true;
    }
  }
  return false;
}

}  // namespace locseq::cli
