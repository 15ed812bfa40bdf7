// The package's entry points into the analysis. A job runs in memory, from
// the texts of its three inputs, and gives back its tables; the console and
// the reports go nowhere. Nothing here writes to the console or ends the
// process: every failure is a C++ exception, which the wrappers cpp11
// generates catch, once the stack is unwound, and raise as an R error with
// the program's message ("FILE:LINE: message").
#include <array>
#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/input_error.h"
#include "cpp11/as.hpp"
#include "cpp11/list.hpp"
#include "cpp11/named_arg.hpp"
#include "cpp11/protect.hpp"
#include "cpp11/strings.hpp"
#include "locseq_version.h"
#include "records/null_stream.h"
#include "records/record_reader.h"
#include "records/record_writer.h"
#include "report/stability.h"
#include "setup/run_setup.h"
#include "table_frames.h"
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

// The warnings of a run as R shows them: the first of each kind in each
// file, with the number of lines of that kind (each line counted once,
// however many passes meet it), in the order met.
class Warnings final : public Diagnostics {
 public:
  void warn(Warning kind, const std::string& file, long line, const std::string& message) override {
    if (!seen_.emplace(kind, file, line).second) return;
    const auto [at, first] = kinds_.try_emplace({kind, file}, shown_.size());
    if (first) shown_.push_back({InputError(file, line, "warning: " + message).what(), 0});
    ++shown_[at->second].second;
  }
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

// The run's tables as their CSV texts, with the stability of each step's
// groups as the last column of steps.csv, as `locseq run --tables` writes
// them.
struct Tables {
  Tables()
      : writer({&text[0], &text[1], &text[2], &text[3]},
               {{"stability_ari", [](const BlockResult* previous, const BlockResult& block) {
                   return previous != nullptr ? report::stability_ari(*previous, block)
                                              : std::nullopt;
                 }}}) {}
  std::array<std::ostringstream, 4> text;
  tables::TablesWriter writer;
};

std::string without_csv(const char* file) {
  const std::string name = file;
  return name.substr(0, name.size() - 4);
}

}  // namespace

}  // namespace locseq::r

// The version of the analysis compiled into the package.
[[cpp11::register]] std::string version_() {
  return LOCSEQ_PACKAGE_VERSION;
}

// Runs the job whose .CLS, .NAQ and .SEQ hold the texts `cls`, `naq` and
// `seq`, named `job` in messages, at truncation level `groups` (0: the
// square-root rule), standardising again when `standardize` asks it of
// standardised data, in the fixed work areas or, with `auto_areas`, in areas
// sized to the job. Gives back list(tables = <the four tables as data
// frames>, csv = <their texts>, warnings = <the warnings met>).
[[cpp11::register]] cpp11::writable::list run_job_texts_(std::string cls, std::string naq,
                                                         std::string seq, std::string job,
                                                         int groups, bool standardize,
                                                         bool auto_areas) {
  using namespace locseq;
  r::Warnings warnings;
  r::Tables tables;
  try {
    std::istringstream cls_in(std::move(cls)), naq_in(std::move(naq)), seq_in(std::move(seq));
    // .SEQ is read over and over; .CLS and .NAQ once, through smaller buffers.
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
    const SetUpResult result = RunSetUp(units, answers, settings, tables.writer);
    if (result.outcome == SetUpOutcome::Refused) {
      throw std::runtime_error(job + ".CLS: the job was refused: the fixed work areas are too " +
                               "small for it; areas = \"auto\" sizes them to the job\n" +
                               result.refusal);
    }
  } catch (const cpp11::unwind_exception&) {
    throw;  // an R error or an interrupt, for cpp11 to resume once unwound
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("not enough memory for this job");
  } catch (const std::runtime_error&) {
    throw;  // bad input (InputError), with its file and line, or a refusal
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("internal error: ") + e.what());
  }

  cpp11::writable::list frames(4), texts(4);
  cpp11::writable::strings names(4);
  for (std::size_t k = 0; k < 4; ++k) {
    const std::string text = tables.text[k].str();
    const auto i = static_cast<R_xlen_t>(k);
    frames[i] = r::table_frame(text);
    texts[i] = cpp11::as_sexp(text);
    names[i] = r::without_csv(tables::kTableNames[k]);
  }
  frames.names() = names;
  texts.names() = names;
  using namespace cpp11::literals;
  return cpp11::writable::list(
      {"tables"_nm = frames, "csv"_nm = texts, "warnings"_nm = warnings.texts()});
}
