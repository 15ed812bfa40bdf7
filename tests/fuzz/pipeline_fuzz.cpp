// Fuzz target: a table through every command, in memory, each one's output
// fed to the next: import, classify, a run with its tables and page (and the
// page's figures), then the check of the job. The first byte picks the
// options; the rest is the table.
//
// A table import or classify refuses is an expected outcome. Once both have
// made a job, everything must hold: the run ends with its reports (an
// InputError from it is a finding: the commands made a job the run cannot
// read), the check finds no error in the job, no number of the results and
// no text of any output (reports, tables, page, figures) is an infinity or
// a NaN, every table reads back as CSV with a number or NA in each field
// that is not text, and the names file reads back with every name. A crash
// or a sanitizer report is a finding too.
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "check/job_check.h"
#include "classify/classify.h"
#include "classify/trial.h"
#include "console/console.h"
#include "core/input_error.h"
#include "formats/csv.h"
#include "formats/names_file.h"
#include "import/importer.h"
#include "records/record_reader.h"
#include "records/record_writer.h"
#include "report/page.h"
#include "setup/run_setup.h"
#include "tables/tables_writer.h"

namespace {

using namespace locseq;

void require(bool ok, const std::string& what) {
  if (!ok) throw std::logic_error("pipeline: " + what);
}

// The options of every command, from one byte.
struct Options {
  import::ImportOptions table;
  classify::ClassifyOptions classify;
  bool standardise_again = false;  // the run's -s
  std::int64_t cache_bytes = 0;    // the run's year cache
};

Options options_from(std::uint8_t b) {
  Options o;
  const char kDelimiters[4] = {0, ',', ';', '\t'};
  if (b & 3) o.table.delimiter = kDelimiters[b & 3];
  o.table.replicates_mean = (b & 4) != 0;
  o.table.rename = (b & 8) != 0;
  o.classify.standardized = (b & 16) != 0;
  o.standardise_again = (b & 32) != 0;
  if (b & 64) o.classify.min_share = 0.5;
  o.cache_bytes = (b & 128) != 0 ? 0 : std::int64_t{1} << 26;
  return o;
}

// Keeps every run short: a run reads MAXY^2 years of MAXL x MAXG cells.
bool affordable(const import::ImportedJob& job) {
  const double cells = static_cast<double>(job.MAXL) * job.MAXG;
  return cells <= 2048 && cells * job.MAXY * job.MAXY <= 1 << 20;
}

// Whether `text` holds "inf", "nan", "Infinity" or "NaN" as a word of its
// own (with a sign or not): how a non-finite number is written.
bool holds_non_finite(std::string_view text) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  for (std::string_view word : {"inf", "nan", "Infinity", "NaN"}) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
      const std::size_t end = at + word.size();
      if ((at == 0 || !letter(text[at - 1])) && (end == text.size() || !letter(text[end])))
        return true;
    }
  }
  return false;
}

bool has_word_part(std::string_view table) {
  std::string lower(table);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

// Every result of the run, kept for the page, with every number checked.
class Results final : public ResultObserver {
 public:
  explicit Results(tables::TablesWriter& tables) : tables_(tables) {}
  void head(const RunHead& h) override {
    head_ = h;
    tables_.head(h);
  }
  void block(const BlockResult& b) override {
    for (const EliminatedLocation& e : b.eliminated) {
      for (double m : e.mean_sed) require(std::isfinite(m), "a mean distance that is not finite");
    }
    for (const VariantFit& f : b.fit) {
      for (const YearFit& y : f.years) finite(y.sums);
      finite(f.overall);
    }
    for (const HierarchyRecord& r : b.hierarchy) require(std::isfinite(r.D), "a fusion level");
    blocks_.push_back(b);
    tables_.block(b);
  }
  const RunHead& run_head() const { return head_; }
  const std::vector<BlockResult>& blocks() const { return blocks_; }

 private:
  static void finite(const FitSums& s) {
    for (double v : {s.TSS, s.ESS, s.RSS, s.RSQ}) {
      require(std::isfinite(v), "a sum of squares that is not finite");
    }
  }
  tables::TablesWriter& tables_;
  RunHead head_;
  std::vector<BlockResult> blocks_;
};

// A table the run wrote, read back as a table: every row as wide as the
// header, every field a number or NA but in the text columns.
void check_table(const std::string& text, const char* name) {
  formats::csv::Reader reader(text, name, ',');
  const std::vector<std::string>& header = reader.header().fields;
  std::vector<bool> is_text;
  for (const std::string& column : header) {
    is_text.push_back(column == "variant" || column == "role" ||
                      (column.size() > 5 && column.compare(column.size() - 5, 5, "_name") == 0));
  }
  formats::csv::Row row;
  while (reader.next(row)) {
    require(row.fields.size() == header.size(), std::string(name) + ": a row of another width");
    for (std::size_t k = 0; k < header.size(); ++k) {
      const std::string& f = row.fields[k];
      if (is_text[k] || f == "NA") continue;
      double v = 0.0;
      const auto r = std::from_chars(f.data(), f.data() + f.size(), v);
      require(r.ec == std::errc() && r.ptr == f.data() + f.size() && std::isfinite(v),
              std::string(name) + ": " + header[k] + " is not a finite number: " + f);
    }
  }
}

// Warnings are expected of some jobs; none is a finding.
class Quiet final : public Diagnostics {
 public:
  void warn(Warning, const std::string&, long, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view table(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Names that spell "inf" or "nan" would pass for numbers in the outputs.
  if (has_word_part(table)) return 0;
  const Options o = options_from(data[0]);

  // import
  import::ImportedJob job;
  try {
    job = import::import_table(table, "fuzz.csv", o.table);
  } catch (const InputError&) {
    return 0;
  }
  if (!affordable(job)) return 0;
  const formats::names_file::FullNames names =
      formats::names_file::read(job.names_csv, "J.names.csv");
  require(names.years.size() == static_cast<std::size_t>(job.MAXY) &&
              names.locations.size() == static_cast<std::size_t>(job.MAXL) &&
              names.genotypes.size() == static_cast<std::size_t>(job.MAXG),
          "the names file has not every name");

  // classify
  std::string cls;
  try {
    std::istringstream naq(job.naq), seq(job.seq);
    const classify::Trial trial = classify::load_trial(naq, "J.NAQ", seq, "J.SEQ", std::nullopt);
    cls = classify::classify(trial, o.classify).cls;
  } catch (const InputError&) {
    return 0;
  }

  // run, with the tables and the page
  std::istringstream cls_in(cls), naq_in(job.naq), seq_in(job.seq);
  std::ostringstream console_out, sco, cos, alc;
  std::array<std::ostringstream, tables::kTableNames.size()> table_text;
  constexpr std::size_t kBlock = 512;  // records that span refills are exercised
  records::FileReader cls_reader(cls_in, "J.CLS", kBlock), naq_reader(naq_in, "J.NAQ", kBlock),
      seq_reader(seq_in, "J.SEQ", kBlock);
  records::Unit console(console_out, "standard output"), sco_unit(sco, "J.SCO"),
      cos_unit(cos, "J.COS"), alc_unit(alc, "J.ALC");
  Units units{console, cls_reader, naq_reader, seq_reader, sco_unit, cos_unit, alc_unit};
  PresetAnswers answers(std::nullopt, o.standardise_again, console);
  std::array<std::ostream*, tables::kTableNames.size()> table_out{};
  for (std::size_t k = 0; k < table_out.size(); ++k) table_out[k] = &table_text[k];
  tables::TablesWriter tables(table_out);
  Results results(tables);
  try {
    const SetUpResult r =
        RunSetUp(units, answers, RunSettings{std::nullopt, o.cache_bytes}, results);
    require(r.outcome == SetUpOutcome::Ran, "a run of areas sized to the job was refused");
  } catch (const InputError& e) {
    require(false, std::string("the run refused the job import and classify made: ") + e.what());
  }
  tables.finish();
  report::PageJob page_job;
  page_job.name = "J";
  page_job.location_names = names.locations;
  std::vector<std::pair<std::string, std::string>> outputs = {
      {"J.SCO", sco.str()},
      {"J.COS", cos.str()},
      {"J.ALC", alc.str()},
      {"J.html", report::write_page(results.run_head(), results.blocks(), page_job)}};
  for (std::size_t k = 0; k < table_text.size(); ++k) {
    outputs.emplace_back(tables::kTableNames[k], table_text[k].str());
    check_table(outputs.back().second, tables::kTableNames[k]);
  }
  for (auto& [name, svg] : report::write_plots(results.run_head(), results.blocks(), page_job)) {
    outputs.emplace_back(name, std::move(svg));
  }
  for (const auto& [name, text] : outputs) {
    require(!holds_non_finite(text), name + " holds a number that is not finite");
  }

  // check
  std::istringstream cls_again(cls), naq_again(job.naq), seq_again(job.seq);
  check::CheckOptions check_options;
  check_options.standardise = o.standardise_again;
  check_options.areas = std::nullopt;
  Quiet warnings;
  const std::vector<InputError> errors = check::check_job(
      {cls_again, "J.CLS"}, {naq_again, "J.NAQ"}, {seq_again, "J.SEQ"}, check_options, warnings);
  require(errors.empty(), std::string("the check found an error in the job: ") +
                              (errors.empty() ? "" : errors.front().what()));
  return 0;
}
