// The package's entry points into the analysis. Everything runs in memory:
// a data frame becomes the text of a long table, an import makes the job's
// texts from it, and a classification and a run read those texts. Nothing
// here writes to the console, ends the process or installs a signal
// handler: every failure is a C++ exception, which the wrappers cpp11
// generates catch, once the stack is unwound, and raise as an R error with
// the program's message. Warnings come back as texts for R to raise.
#include <R_ext/Utils.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "classify/classify.h"
#include "classify/trial.h"
#include "core/cancel.h"
#include "core/input_error.h"
#include "core/progress.h"
#include "cpp11/doubles.hpp"
#include "cpp11/integers.hpp"
#include "cpp11/list.hpp"
#include "cpp11/logicals.hpp"
#include "cpp11/named_arg.hpp"
#include "cpp11/protect.hpp"
#include "cpp11/strings.hpp"
#include "formats/cls.h"
#include "formats/names_file.h"
#include "formats/settings.h"
#include "import/columns.h"
#include "import/importer.h"
#include "locseq_version.h"
#include "records/null_stream.h"
#include "records/record_reader.h"
#include "records/record_writer.h"
#include "report/page.h"
#include "setup/run_setup.h"
#include "table_frames.h"
#include "tables/csv.h"
#include "tables/table.h"
#include "tables/tables_writer.h"

namespace locseq::r {

namespace {

// The questions of a run, answered by the arguments of the R call.
class Arguments final : public Questions {
 public:
  Arguments(std::optional<std::int32_t> level, bool standardise)
      : level_(level), standardise_(standardise) {}
  std::optional<std::int32_t> truncation_level() override { return level_; }
  [[noreturn]] void refuse_level(const std::string& message) const override {
    throw InputError("groups", 0, message);
  }
  bool standardise_again() override { return standardise_; }

 private:
  std::optional<std::int32_t> level_;
  bool standardise_;
};

// The warnings met, as R shows them: the first of each kind in each file,
// with the number of lines of that kind, in the order met.
class Warnings final : public Diagnostics {
 public:
  void warn(Warning kind, const std::string& file, long line, const std::string& message) override {
    if (!seen_.emplace(kind, file, line).second) return;
    const auto [at, first] = kinds_.try_emplace({kind, file}, shown_.size());
    if (first) shown_.push_back({InputError(file, line, "warning: " + message).what(), 0});
    ++shown_[at->second].second;
  }
  void add(const std::string& text) { shown_.push_back({text, 1}); }
  cpp11::writable::strings texts() const {
    cpp11::writable::strings out;
    for (const auto& [text, lines] : shown_) {
      out.push_back(lines == 1 ? text
                               : text + " (" + std::to_string(lines) + " lines of this kind)");
    }
    return out;
  }

 private:
  std::set<std::tuple<Warning, std::string, long>> seen_;
  std::map<std::pair<Warning, std::string>, std::size_t> kinds_;
  std::vector<std::pair<std::string, long>> shown_;
};

// R's interrupt, checked between years: R_CheckUserInterrupt() jumps out
// of the function it is called from, so it runs inside R_ToplevelExec and
// an interrupt there becomes Cancelled, which unwinds the analysis as the
// program's own signal does.
void check_interrupt(void*) {
  R_CheckUserInterrupt();
}

void cancel_on_interrupt() {
  if (R_ToplevelExec(check_interrupt, nullptr) == FALSE) throw Cancelled("interrupted");
}

// Checks the interrupt at the progress points too: a classification's
// steps and the reading of .SEQ.
class InterruptMeter final : public ProgressMeter {
 public:
  void show(const Progress&) override { cancel_on_interrupt(); }
};

// Installs the interrupt checks for the life of a call.
class InterruptCheck {
 public:
  InterruptCheck() {
    set_cancel_check(cancel_on_interrupt);
    set_progress_meter(&meter_);
  }
  ~InterruptCheck() {
    set_progress_meter(nullptr);
    set_cancel_check(nullptr);
  }
  InterruptCheck(const InterruptCheck&) = delete;
  InterruptCheck& operator=(const InterruptCheck&) = delete;

 private:
  InterruptMeter meter_;
};

// Runs `body`, turning every failure into std::runtime_error with the
// program's message, which cpp11 raises as an R error.
template <class F>
auto guarded(F body) {
  try {
    return body();
  } catch (const cpp11::unwind_exception&) {
    throw;  // an R error or an interrupt, for cpp11 to resume once unwound
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("not enough memory for this job");
  } catch (const std::runtime_error&) {
    throw;  // bad input (InputError), with its file and line, or an interrupt
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("internal error: ") + e.what());
  }
}

// An import's message about a table made from a data frame, said of the
// data frame: its rows for the table's lines (line 1 the header; `order`
// holds the data frame's row, from 0, of each line after it) and the R
// arguments for the program's options.
std::string said_of_frame(const InputError& e, const std::string& data,
                          const std::vector<R_xlen_t>& order) {
  std::string message = e.message();
  const auto row_of = [&](long line) {
    const auto k = static_cast<std::size_t>(line - 2);
    return std::to_string(k < order.size() ? order[k] + 1 : static_cast<R_xlen_t>(line - 1));
  };
  const auto row = [&](const std::string& line) { return row_of(std::stol(line)); };
  std::smatch m;
  if (std::regex_search(message, m, std::regex("values on lines ([0-9]+) and ([0-9]+)"))) {
    message =
        m.prefix().str() + "values in rows " + row(m[1]) + " and " + row(m[2]) + m.suffix().str();
  }
  message =
      std::regex_replace(message, std::regex("use --replicates mean"), "use replicates = \"mean\"");
  message = std::regex_replace(message, std::regex("with --(year|location|genotype|value)"),
                               "with $1 = \"COLUMN\"");
  // "(line 12)": the row of that line.
  const std::regex line_ref("\\(line ([0-9]+)\\)");
  std::string rows, rest = message;
  for (std::sregex_iterator it(message.begin(), message.end(), line_ref), end; it != end; ++it) {
    rows += it->prefix().str() + "(row " + row((*it)[1]) + ")";
    rest = it->suffix().str();
  }
  if (!rows.empty()) message = rows + rest;
  message = std::regex_replace(message, std::regex("--rename"), "rename = TRUE");
  message = std::regex_replace(message, std::regex("--fold-names"), "fold_names = TRUE");
  message = std::regex_replace(message, std::regex("use --decimal comma"),
                               "make the column numbers first");
  const std::string where = e.line() > 1 ? data + ": row " + row_of(e.line()) : data;
  return printable(where) + ": " + printable(message);
}

std::optional<std::string> optional_text(const cpp11::strings& s) {
  if (s.size() == 0) return std::nullopt;
  return std::string(s[0]);
}

// The full names of one kind of a names file, in number order.
cpp11::writable::strings full_names(const std::map<std::int32_t, std::string>& names) {
  cpp11::writable::strings out;
  for (const auto& [number, name] : names) out.push_back(name);
  return out;
}

std::string trimmed(const Name8& name) {
  const std::string text(name.data(), name.size());
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace

}  // namespace locseq::r

using namespace locseq;

// The version of the analysis compiled into the package.
[[cpp11::register]] std::string version_() {
  return LOCSEQ_PACKAGE_VERSION;
}

// Imports a data frame's columns (`columns`, each as character, NA for an
// empty field; `names` their names) as a long table named `data` in
// messages: the year, location, genotype and value columns by name ("" to
// find them by their usual names), replicates averaged with `mean`, clashing
// short names renamed with `rename`, spellings of one name made one with
// `fold_names`. Gives back list(naq, seq, names,
// notes, years, locations, genotypes) with the full names of each kind.
[[cpp11::register]] cpp11::writable::list import_frame_(cpp11::list columns, cpp11::strings names,
                                                        std::string year, std::string location,
                                                        std::string genotype, std::string value,
                                                        bool mean, bool rename, bool fold_names,
                                                        std::string data,
                                                        cpp11::strings location_order) {
  return r::guarded([&] {
    r::InterruptCheck interrupts;
    std::string table;
    const auto field = [&](cpp11::r_string text, R_xlen_t row, R_xlen_t column) {
      if (text == NA_STRING) return;
      const std::string s(text);
      if (s.find_first_of("\r\n") != std::string::npos) {
        const std::string what = row < 0
                                     ? "the name of column "
                                     : "row " + std::to_string(row + 1) + ": the field of column ";
        throw std::runtime_error(printable(data) + ": " + what +
                                 quoted(std::string(names[column])) + " holds a line end");
      }
      table += '"';
      for (const char c : s) table += c == '"' ? std::string("\"\"") : std::string(1, c);
      table += '"';
    };
    const R_xlen_t width = columns.size();
    std::vector<cpp11::strings> cols;
    for (R_xlen_t j = 0; j < width; ++j) {
      cols.emplace_back(columns[j]);
      if (j > 0) table += ',';
      field(names[j], -1, j);
    }
    table += '\n';
    const R_xlen_t rows = width > 0 ? cols[0].size() : 0;
    std::vector<R_xlen_t> order(static_cast<std::size_t>(rows));
    for (R_xlen_t i = 0; i < rows; ++i) order[static_cast<std::size_t>(i)] = i;
    if (location_order.size() > 0 && rows > 0) {
      // The rows of each location together, the locations in the order
      // given (others after them), so that the import numbers them so.
      import::TableRow header;
      header.line = 1;
      for (R_xlen_t j = 0; j < width; ++j) header.fields.emplace_back(std::string(names[j]));
      const auto at = static_cast<R_xlen_t>(
          import::find_layout(header, {year, location, genotype, value}, std::nullopt, {}, data)
              .names[1]);
      std::map<std::string, std::size_t> rank;
      for (R_xlen_t k = 0; k < location_order.size(); ++k) {
        rank.emplace(std::string(location_order[k]), static_cast<std::size_t>(k));
      }
      const auto rank_of = [&](R_xlen_t i) {
        const cpp11::r_string text = cols[static_cast<std::size_t>(at)][i];
        if (text == NA_STRING) return rank.size();
        std::string name(text);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        const auto it = rank.find(name);
        return it == rank.end() ? rank.size() : it->second;
      };
      std::vector<std::size_t> ranks(order.size());
      for (R_xlen_t i = 0; i < rows; ++i) ranks[static_cast<std::size_t>(i)] = rank_of(i);
      std::stable_sort(order.begin(), order.end(), [&](R_xlen_t a, R_xlen_t b) {
        return ranks[static_cast<std::size_t>(a)] < ranks[static_cast<std::size_t>(b)];
      });
    }
    for (const R_xlen_t i : order) {
      for (R_xlen_t j = 0; j < width; ++j) {
        if (j > 0) table += ',';
        field(cols[static_cast<std::size_t>(j)][i], i, j);
      }
      table += '\n';
    }
    import::ImportOptions options;
    options.delimiter = ',';
    options.year_column = year;
    options.location_column = location;
    options.genotype_column = genotype;
    options.value_column = value;
    options.replicates_mean = mean;
    options.rename = rename;
    options.fold_names = fold_names;
    import::ImportedJob job;
    try {
      job = import::import_table(table, data, options);
    } catch (const InputError& e) {
      throw std::runtime_error(r::said_of_frame(e, data, order));
    }
    const formats::names_file::FullNames full = formats::names_file::read(job.names_csv, "names");
    using cpp11::literals::operator""_nm;
    cpp11::writable::strings notes, warnings, columns;
    for (const std::string& n : job.notes) notes.push_back(n);
    for (const import::TableWarning& w : job.warnings) {
      warnings.push_back(
          r::said_of_frame(InputError(data, w.line, "warning: " + w.message), data, order));
    }
    for (const std::string& c : job.columns) columns.push_back(c);
    return cpp11::writable::list(
        {"naq"_nm = job.naq, "seq"_nm = job.seq, "names"_nm = job.names_csv, "notes"_nm = notes,
         "warnings"_nm = warnings, "columns"_nm = columns, "years"_nm = r::full_names(full.years),
         "locations"_nm = r::full_names(full.locations),
         "genotypes"_nm = r::full_names(full.genotypes)});
  });
}

// Classifies the trial of the texts `naq` and `seq` (named `job`.NAQ and
// `job`.SEQ in messages) with the options given; an empty vector leaves an
// option at its default; `name` (may be empty) starts the default title. Gives back list(cls,
// warnings, notes, level, IYS, IYF, fusions), fusions a list per step of list(gi, gj, level) at
// full precision.
[[cpp11::register]] cpp11::writable::list classify_(std::string naq, std::string seq,
                                                    std::string job, cpp11::strings first_year,
                                                    cpp11::strings last_year, bool complete,
                                                    double min_share, double min_years,
                                                    int min_cells, bool standardized, int groups,
                                                    cpp11::strings title, std::string name) {
  return r::guarded([&] {
    r::InterruptCheck interrupts;
    classify::ClassifyOptions o;
    o.first_year = r::optional_text(first_year);
    o.last_year = r::optional_text(last_year);
    o.proximity = complete ? classify::Proximity::complete : classify::Proximity::pairwise;
    o.min_share = min_share;
    o.min_years = min_years;
    o.min_cells = min_cells;
    o.standardized = standardized;
    if (groups > 0) o.groups = groups;
    o.title = r::optional_text(title);
    o.name = name;
    r::Warnings warnings;
    std::istringstream naq_in(naq), seq_in(seq);
    const classify::Trial trial = classify::load_trial(naq_in, job + ".NAQ", seq_in, job + ".SEQ",
                                                       std::nullopt, std::nullopt, &warnings);
    const classify::ClassifyResult c = classify::classify(trial, o);
    for (const std::string& w : c.warnings) {
      warnings.add(InputError(job + ".SEQ", 0, "warning: " + w).what());
    }
    cpp11::writable::strings notes;
    for (const std::string& n : c.notes) notes.push_back(n);
    cpp11::writable::list fusions;
    for (const auto& step : c.hierarchies) {
      cpp11::writable::integers gi, gj;
      cpp11::writable::doubles level;
      for (const classify::Fusion& f : step) {
        gi.push_back(f.gi);
        gj.push_back(f.gj);
        level.push_back(f.level);
      }
      using cpp11::literals::operator""_nm;
      fusions.push_back(cpp11::writable::list({"gi"_nm = gi, "gj"_nm = gj, "level"_nm = level}));
    }
    using cpp11::literals::operator""_nm;
    return cpp11::writable::list({"cls"_nm = c.cls, "warnings"_nm = warnings.texts(),
                                  "notes"_nm = notes, "level"_nm = c.level, "IYS"_nm = c.IYS,
                                  "IYF"_nm = c.IYF, "fusions"_nm = fusions});
  });
}

// The steps of the classification text `cls` (named `job`.CLS in
// messages): list(head = c(MAXY, MAXL, MAXG, IYS, IYF), title, options,
// steps), each step list(year, year_name, entries, gi, gj, level), the
// entries 1 retained, 0 eliminated, 2 left out, the levels as written.
[[cpp11::register]] cpp11::writable::list read_cls_(std::string cls, std::string job) {
  return r::guarded([&] {
    namespace f = formats::cls;
    using cpp11::literals::operator""_nm;
    std::istringstream in(cls);
    records::FileReader reader(in, job + ".CLS");
    const f::Head head = f::read_head(reader);
    const std::string title = f::read_title(reader);
    const f::Options options = f::read_options(reader);
    f::read_sequence_years(reader);
    cpp11::writable::list steps;
    f::BlockHeader block;
    for (std::int32_t step = 1; f::read_block_header(reader, block); ++step) {
      const std::int32_t count = f::read_retained_count(reader, step);
      std::vector<std::int32_t> entries(static_cast<std::size_t>(head.MAXL));
      f::read_elimination_vector(reader, entries, step);
      cpp11::writable::integers gi, gj;
      cpp11::writable::doubles level;
      for (std::int32_t r = 1; r < count; ++r) {
        const HierarchyRecord h = f::read_hierarchy_record(reader, step, r, count - 1);
        gi.push_back(h.Gpi);
        gj.push_back(h.Gpj);
        level.push_back(static_cast<double>(h.D));
      }
      steps.push_back(cpp11::writable::list(
          {"year"_nm = block.SequenceYear, "year_name"_nm = r::trimmed(block.SequenceYearName),
           "entries"_nm = cpp11::writable::integers(entries.begin(), entries.end()), "gi"_nm = gi,
           "gj"_nm = gj, "level"_nm = level}));
    }
    return cpp11::writable::list(
        {"head"_nm =
             cpp11::writable::integers({head.MAXY, head.MAXL, head.MAXG, head.IYS, head.IYF}),
         "title"_nm = title, "options"_nm = std::string(options.data(), options.size()),
         "steps"_nm = steps});
  });
}

// Runs the job of the texts `cls`, `naq` and `seq` (named `job`.CLS, ... in
// messages) at truncation level `groups` (0: the square-root rule),
// standardising again with `standardize`, in fixed work areas or, with
// `auto_areas`, areas sized to the job, with the sweep of the levels
// `sweep_first` to `sweep_last` (0: none). Gives back list(tables,
// warnings, page): the six tables as data frames (sweep without rows when
// there is no sweep), and with `page` the page of the run, named `title`,
// whose facts say `options`, with the full names of `names`.
[[cpp11::register]] cpp11::writable::list run_(std::string cls, std::string naq, std::string seq,
                                               std::string names, std::string job, int groups,
                                               bool standardize, bool auto_areas, bool page,
                                               std::string options, std::string title,
                                               int sweep_first, int sweep_last) {
  return r::guarded([&] {
    r::InterruptCheck interrupts;
    r::Warnings warnings;
    std::array<tables::TableKeeper, tables::kTableNames.size()> kept;
    std::array<tables::TableSink*, tables::kTableNames.size()> sinks{};
    for (std::size_t k = 0; k < kept.size(); ++k) sinks[k] = &kept[k];
    tables::TableKeeper sweep_kept;
    tables::TablesWriter writer(sinks, &sweep_kept);
    // The tables, and what the page is written from.
    class Results final : public ResultObserver {
     public:
      Results(tables::TablesWriter& w, bool keep) : writer_(w), keep_(keep) {}
      void head(const RunHead& h) override {
        writer_.head(h);
        head_ = h;
      }
      void block(const BlockResult& b) override {
        writer_.block(b);
        if (keep_) blocks_.push_back(b);
      }
      tables::TablesWriter& writer_;
      bool keep_;
      RunHead head_;
      std::vector<BlockResult> blocks_;
    } results(writer, page);

    std::istringstream cls_in(cls), naq_in(naq), seq_in(seq);
    constexpr std::size_t kSmall = std::size_t{1} << 16;
    records::FileReader cls_reader(cls_in, job + ".CLS", kSmall),
        naq_reader(naq_in, job + ".NAQ", kSmall), seq_reader(seq_in, job + ".SEQ");
    for (records::FileReader* r : {&cls_reader, &naq_reader, &seq_reader}) r->watch(&warnings);
    records::NullStream nowhere;
    records::Unit console(nowhere, "standard output"), sco(nowhere, job + ".SCO"),
        cos(nowhere, job + ".COS"), alc(nowhere, job + ".ALC");
    Units units{console, cls_reader, naq_reader, seq_reader, sco, cos, alc};
    r::Arguments answers(groups > 0 ? std::optional<std::int32_t>(groups) : std::nullopt,
                         standardize);
    RunSettings settings;
    if (auto_areas) settings.areas = std::nullopt;
    settings.sweep = {sweep_first, sweep_last};
    const SetUpResult result = RunSetUp(units, answers, settings, results);
    if (result.outcome == SetUpOutcome::Refused) {
      throw std::runtime_error(printable(job + ".CLS") +
                               ": the job was refused: the fixed work areas are too small for "
                               "it; areas = \"auto\" sizes them to the job");
    }
    writer.finish();

    using cpp11::literals::operator""_nm;
    cpp11::writable::list frames;
    cpp11::writable::strings frame_names;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      frames.push_back(r::table_frame(kept[k].table()));
      std::string name = tables::kTableNames[k];
      frame_names.push_back(name.substr(0, name.size() - 4));
    }
    frames.push_back(r::table_frame(sweep_kept.table()));
    frame_names.push_back("sweep");
    frames.names() = frame_names;
    std::string html;
    if (page) {
      report::PageJob facts;
      facts.name = title;
      facts.options = options;
      if (!names.empty())
        facts.location_names = formats::names_file::read(names, job + ".names.csv").locations;
      html = report::write_page(results.head_, results.blocks_, facts);
    }
    return cpp11::writable::list(
        {"tables"_nm = frames, "warnings"_nm = warnings.texts(), "page"_nm = html});
  });
}

// The observations of the job's texts `naq` and `seq` as a long table:
// list(year, location, genotype, value) by number, in year, location and
// genotype order, for the full names to be put in by R.
[[cpp11::register]] cpp11::writable::list read_trial_(std::string naq, std::string seq,
                                                      std::string job, cpp11::integers sizes) {
  return r::guarded([&] {
    r::InterruptCheck interrupts;
    r::Warnings warnings;
    std::istringstream naq_in(naq), seq_in(seq);
    classify::Sizes fallback;
    if (sizes.size() == 3) fallback = std::array<std::int32_t, 3>{sizes[0], sizes[1], sizes[2]};
    const classify::Trial t = classify::load_trial(naq_in, job + ".NAQ", seq_in, job + ".SEQ",
                                                   std::nullopt, fallback, &warnings);
    cpp11::writable::integers year, location, genotype;
    cpp11::writable::doubles value;
    for (std::int32_t y = 1; y <= t.MAXY; ++y) {
      if (!t.has_data(y)) continue;
      const auto v = t.values(y);
      const auto p = t.presence(y);
      for (std::int32_t l = 1; l <= t.MAXL; ++l) {
        for (std::int32_t g = 1; g <= t.MAXG; ++g) {
          if (p(l, g) == 0) continue;
          year.push_back(y);
          location.push_back(l);
          genotype.push_back(g);
          value.push_back(static_cast<double>(v(l, g)));
        }
      }
    }
    using cpp11::literals::operator""_nm;
    cpp11::writable::list short_names;
    for (const auto* list : {&t.YearNames, &t.LocationNames, &t.GenotypeNames}) {
      cpp11::writable::strings s;
      for (const Name8& n : *list) s.push_back(r::trimmed(n));
      short_names.push_back(s);
    }
    return cpp11::writable::list({"year"_nm = year, "location"_nm = location,
                                  "genotype"_nm = genotype, "value"_nm = value,
                                  "names"_nm = short_names, "warnings"_nm = warnings.texts()});
  });
}

// The settings file of a classification written to `cls`: the settings
// `keys` = `values` (each key one the program knows), with `comments`
// beside them.
[[cpp11::register]] std::string settings_text_(cpp11::strings keys, cpp11::strings values,
                                               cpp11::strings comments, std::string cls) {
  return r::guarded([&] {
    namespace st = formats::settings;
    st::Section section{"The classification", {}};
    for (R_xlen_t k = 0; k < keys.size(); ++k) {
      section.settings.push_back(
          {std::string(keys[k]), std::string(values[k]), std::string(comments[k])});
    }
    const std::string version = LOCSEQ_PACKAGE_VERSION;
    return st::write(
        {"How " + cls + " was classified, written with it by the locseq R package " + version + ".",
         "locseq run and check take groups and standardize from here when the "
         "command line",
         "gives no -g, -s or --no-standardize."},
        {{"", {{"version", version}}}, section});
  });
}

// The settings file `text` (named `file` in messages): list(groups,
// standardize, keys, values, warnings), groups and standardize (1 yes, 0
// no) NA when not given.
[[cpp11::register]] cpp11::writable::list read_settings_(std::string text, std::string file) {
  return r::guarded([&] {
    namespace st = formats::settings;
    const st::File settings = st::read(text, file);
    const st::RunSettings run = st::run_settings(settings, file);
    cpp11::writable::strings keys, values, warnings;
    for (const st::Setting& s : settings.settings) {
      keys.push_back(s.key);
      values.push_back(s.value);
    }
    for (const auto& w : settings.warnings) {
      warnings.push_back(InputError(file, w.line, "warning: " + w.message).what());
    }
    using cpp11::literals::operator""_nm;
    return cpp11::writable::list(
        {"groups"_nm = run.groups ? *run.groups : NA_INTEGER,
         "standardize"_nm = run.standardize ? static_cast<int>(*run.standardize) : NA_INTEGER,
         "keys"_nm = keys, "values"_nm = values, "warnings"_nm = warnings});
  });
}

// The numbers `x` as the tables write them: the shortest text that reads
// back to the same double, NA for NA (for the tests, which compare values
// through their texts rather than through R's reader).
[[cpp11::register]] cpp11::writable::strings number_text_(cpp11::doubles x) {
  cpp11::writable::strings out(x.size());
  for (R_xlen_t i = 0; i < x.size(); ++i) {
    out[i] = ISNA(x[i]) ? std::string("NA") : tables::number(x[i]);
  }
  return out;
}
