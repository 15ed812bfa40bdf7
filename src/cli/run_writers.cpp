#include "cli/run_writers.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "cli/warnings.h"
#include "core/input_error.h"
#include "files/input_file.h"
#include "formats/names_file.h"
#include "formats/text_encoding.h"

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

ReportOutput::ReportOutput(const std::string& page, const std::string& plots, bool sweep,
                           std::function<report::PageJob()> describe)
    : page_(page), plots_(plots), sweep_(sweep), describe_(std::move(describe)) {}

void ReportOutput::plan(files::OutputPlan& plan) const {
  if (!page_.empty()) plan.output("page", page_);
  if (plots_.empty()) return;
  for (const char* name : kFigures) {
    plan.output("figure", (fs::path(plots_) / name).string(), files::Existing::Replace,
                /*make_folder=*/true);
  }
  if (sweep_) {
    plan.output("figure", (fs::path(plots_) / "sweep.svg").string(), files::Existing::Replace,
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
  for (const auto& [name, svg] : report::write_plots(head_, blocks_, job_, sweep_)) {
    outputs.write((fs::path(plots_) / name).string(), svg);
  }
}

void StandardiseNote::head(const RunHead& h) {
  if (h.options[2] == 'S') return;
  err_ << "locseq: " << cls_ << ": note: -s is ignored: SEDTYP is '" << h.options[2]
       << "', so the data were not standardised and the question is not asked\n";
}

namespace {

// The warning of names that are not UTF-8, `first` the first of `count`,
// shown `where`.
std::string not_utf8(const std::string& first, std::size_t count, const char* where) {
  return first + " holds bytes that are not UTF-8" +
         (count > 1 ? " (" + std::to_string(count) + " names in all)" : "") + "; " + where +
         " each such byte as \\xHH";
}

}  // namespace

void NameBytesNote::head(const RunHead& h) {
  const std::vector<Name8>* lists[] = {&h.YearNames, &h.LocationNames, &h.GenotypeNames};
  const char* kinds[] = {"year", "location", "genotype"};
  std::size_t count = 0;
  long line = 0, record = 2;  // names stand one a record after two records
  std::string first;
  for (std::size_t k = 0; k < 3; ++k) {
    for (std::size_t n = 0; n < lists[k]->size(); ++n) {
      ++record;
      const Name8& name = (*lists[k])[n];
      const std::string_view text(name.data(), name.size());
      if (formats::text::is_utf8(text)) continue;
      if (++count > 1) continue;
      line = record;
      first = std::string("the name of ") + kinds[k] + " " + std::to_string(n + 1) + ", '" +
              formats::text::escape_invalid_utf8(text.substr(0, text.find_last_not_of(' ') + 1)) +
              "',";
    }
  }
  if (count > 0)
    show_warning(err_, naq_, line, not_utf8(first, count, "the tables and the page show"));
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
      const formats::names_file::FullNames full = formats::names_file::read(text, names);
      page.location_names = full.locations;
      std::size_t count = 0;
      std::string first;
      for (const auto& [number, name] : full.locations) {
        if (formats::text::is_utf8(name) || ++count > 1) continue;
        first = "the full name of location " + std::to_string(number) + ", '" +
                formats::text::escape_invalid_utf8(name) + "',";
      }
      if (count > 0) show_warning(err, names, 0, not_utf8(first, count, "the page shows"));
    } catch (const InputError& e) {
      show_warning(err, names, e.line(), e.message() + "; the page shows the names of .NAQ");
    }
  }
  return page;
}

}  // namespace locseq::cli
