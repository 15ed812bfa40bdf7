#include "cli/run_writers.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "cli/warnings.h"
#include "core/input_error.h"
#include "files/input_file.h"
#include "formats/names_file.h"

namespace locseq::cli {

namespace fs = std::filesystem;

void TablesOutput::plan(files::OutputPlan& plan) const {
  for (const char* name : tables::kTableNames) {
    plan.output("table", (fs::path(folder_) / name).string(), files::Existing::Replace,
                /*make_folder=*/true);
  }
  if (sweep_) {
    plan.output("table", (fs::path(folder_) / tables::kSweepTable).string(),
                files::Existing::Replace, /*make_folder=*/true);
  }
}

void TablesOutput::attach(const std::vector<std::ostream*>& streams) {
  std::array<std::ostream*, tables::kTableNames.size()> out{};
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = streams[k];
  writer_ = std::make_unique<tables::TablesWriter>(out, sweep_ ? streams[out.size()] : nullptr);
}

namespace {

// The figures of --plots besides step-K.svg, one a step.
constexpr const char* kFigures[] = {"fit.svg", "fit_by_year.svg", "stability.svg"};

}  // namespace

ReportOutput::ReportOutput(const std::string& page, const std::string& plots,
                           std::function<report::PageJob()> describe)
    : page_(page), plots_(plots), describe_(std::move(describe)) {}

void ReportOutput::plan(files::OutputPlan& plan) const {
  if (!page_.empty()) plan.output("page", page_);
  if (plots_.empty()) return;
  for (const char* name : kFigures) {
    plan.output("figure", (fs::path(plots_) / name).string(), files::Existing::Replace,
                /*make_folder=*/true);
  }
  plan.pattern("figure", plots_, "step-", ".svg");
}

void ReportOutput::attach(const std::vector<std::ostream*>& streams) {
  if (!page_.empty()) page_out_ = streams[0];
}

void ReportOutput::finish(files::OutputSet& outputs) {
  if (page_out_ != nullptr) *page_out_ << report::write_page(head_, blocks_, job_);
  if (plots_.empty()) return;
  for (const auto& [name, svg] : report::write_plots(head_, blocks_, job_)) {
    outputs.write((fs::path(plots_) / name).string(), svg);
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
  if (const auto in = files::open_optional_input(names)) {
    const std::string text = in->read_all();
    try {
      page.location_names = formats::names_file::read(text, names).locations;
    } catch (const InputError& e) {
      show_warning(err, names, e.line(), e.message() + "; the page shows the names of .NAQ");
    }
  }
  return page;
}

}  // namespace locseq::cli
