#include "cli/run_writers.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/warnings.h"
#include "core/input_error.h"
#include "report/names_csv.h"

namespace locseq::cli {

namespace fs = std::filesystem;

std::vector<std::string> TablesOutput::outputs() const {
  std::vector<std::string> names;
  for (const char* name : tables::kTableNames)
    names.push_back((fs::path(folder_.path()) / name).string());
  return names;
}

void TablesOutput::attach(const std::vector<std::ostream*>& streams) {
  std::array<std::ostream*, tables::kTableNames.size()> out{};
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = streams[k];
  writer_ = std::make_unique<tables::TablesWriter>(out);
}

ReportOutput::ReportOutput(const std::string& page, const std::string& plots, report::PageJob job)
    : page_(page), job_(std::move(job)) {
  if (!plots.empty()) plots_ = std::make_unique<files::OutputFolder>(plots);
}

std::vector<std::string> ReportOutput::outputs() const {
  if (page_.empty()) return {};
  return {page_};
}

void ReportOutput::attach(const std::vector<std::ostream*>& streams) {
  if (!streams.empty()) page_out_ = streams[0];
}

void ReportOutput::finish(files::OutputSet& outputs) {
  if (page_out_ != nullptr) *page_out_ << report::write_page(head_, blocks_, job_);
  if (plots_) {
    for (const auto& [name, svg] : report::write_plots(head_, blocks_, job_)) {
      outputs.add((fs::path(plots_->path()) / name).string()) << svg;
    }
    plots_->keep();
  }
}

void StandardiseNote::head(const RunHead& h) {
  if (h.options[2] == 'S') return;
  err_ << "locseq: " << cls_ << ": note: -s is ignored: SEDTYP is '" << h.options[2]
       << "', so the data were not standardised and the question is not asked\n";
}

report::PageJob describe_job(const std::string& job, const std::vector<std::string>& inputs,
                             const std::string& options, std::ostream& err) {
  report::PageJob page;
  page.name = fs::path(job).filename().string();
  page.options = options;
  for (const std::string& name : inputs) {
    report::InputFile f;
    f.name = fs::path(name).filename().string();
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0) {
      f.size = static_cast<std::uintmax_t>(st.st_size);
      std::tm utc{};
      gmtime_r(&st.st_mtime, &utc);
      char text[32];
      std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
      f.modified = text;
    }
    page.inputs.push_back(f);
  }
  const std::string names = job + ".names.csv";
  std::ifstream in(names, std::ios::binary);
  if (in.is_open()) {
    std::ostringstream text;
    text << in.rdbuf();
    try {
      page.location_names = report::parse_names_csv(text.str(), names).locations;
    } catch (const InputError& e) {
      show_warning(err, names, e.line(), e.message() + "; the page shows the names of .NAQ");
    }
  }
  return page;
}

}  // namespace locseq::cli
