// Fuzz target: a whole job in memory. The input is cut at lines "@@" into
// the console answers, .CLS, .NAQ and .SEQ (a missing part is empty). The
// run must end with the reports or an InputError, and its results must hold
// together; anything else (a crash, a sanitizer report, another exception)
// is a finding.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/input_error.h"
#include "records/free_format.h"
#include "setup/dialogue.h"
#include "setup/run_setup.h"

namespace {

using namespace locseq;

std::array<std::string, 4> split(std::string_view in) {
  std::array<std::string, 4> parts;
  constexpr std::string_view kCut = "\n@@\n";
  for (std::size_t k = 0; k < parts.size(); ++k) {
    std::size_t at = k + 1 < parts.size() ? in.find(kCut) : std::string_view::npos;
    parts[k] = std::string(in.substr(0, at));
    if (at == std::string_view::npos) break;
    in.remove_prefix(at + kCut.size());
  }
  return parts;
}

// Keeps every run short: a block k reads k years of MAXL x MAXG cells, so
// the work of a run grows with MAXY^2 x MAXL x MAXG; heads asking for more
// are passed over (the rest of the run is fuzzed below that size).
bool affordable(const std::string& cls) {
  std::istringstream in(cls);
  records::FileReader reader(in, "head");
  std::array<std::int32_t, 5> head{};
  try {
    records::read_free_integers(reader, head, "head", {.repeat_counts = true});
  } catch (const InputError&) {
    return true;
  }
  const double cells = static_cast<double>(head[1]) * head[2];
  return cells <= 1024 && cells * head[0] * head[0] <= 1 << 20;
}

// What the results of every block must satisfy.
class Checks final : public ResultObserver {
 public:
  void block(const BlockResult& b) override {
    std::size_t members = 0;
    for (std::size_t k = 0; k < b.groups.size(); ++k) {
      members += b.groups[k].members.size();
      for (std::int32_t u : b.groups[k].allocated) {
        if (!allocated_to(b, u, static_cast<std::int32_t>(k + 1))) fault("an allocation");
      }
    }
    if (b.groups.size() != static_cast<std::size_t>(b.CutLevel) ||
        members != static_cast<std::size_t>(b.RetainedCount)) {
      fault("the groups");
    }
    for (const EliminatedLocation& loc : b.eliminated) {
      for (double m : loc.mean_sed) {
        if (m < 0.0) fault("a mean distance");
      }
    }
    for (const VariantFit& f : b.fit) {
      FitSums total;
      for (const YearFit& y : f.years) {
        if (!same(y.sums.RSS, y.sums.TSS - y.sums.ESS)) fault("a year's RSS");
        total.TSS += y.sums.TSS;
        total.ESS += y.sums.ESS;
      }
      if (!same(total.TSS, f.overall.TSS) || !same(total.ESS, f.overall.ESS))
        fault("an overall sum");
    }
  }

 private:
  static bool same(double a, double b) { return a == b || (a != a && b != b); }
  static bool allocated_to(const BlockResult& b, std::int32_t u, std::int32_t group) {
    for (const EliminatedLocation& loc : b.eliminated) {
      if (loc.location == u)
        return loc.group == group && loc.cells[static_cast<std::size_t>(group - 1)] > 0;
    }
    return false;
  }
  [[noreturn]] static void fault(const std::string& what) {
    throw std::logic_error("the results of a block do not hold together: " + what);
  }
};

// One run of the job in memory, with the given year cache: everything it
// wrote (console and reports) and how it ended.
std::string run_once(const std::array<std::string, 4>& part, std::int64_t cache_bytes) {
  std::istringstream console_in(part[0]), cls(part[1]), naq(part[2]), seq(part[3]);
  std::ostringstream console_out, sco, cos, alc;
  records::ConsoleReader answers(console_in, "standard input");
  // Small buffers: records that span refills are exercised, and the fuzzer
  // spends its time on the job rather than on clearing large blocks.
  constexpr std::size_t kBlock = 512;
  records::FileReader cls_reader(cls, "J.CLS", kBlock), naq_reader(naq, "J.NAQ", kBlock),
      seq_reader(seq, "J.SEQ", kBlock);
  records::Unit console(console_out, "standard output"), sco_unit(sco, "J.SCO"),
      cos_unit(cos, "J.COS"), alc_unit(alc, "J.ALC");
  Units units{console, cls_reader, naq_reader, seq_reader, sco_unit, cos_unit, alc_unit};
  DialogueQuestions questions(answers, console);
  Checks checks;
  std::string ending = "end";
  try {
    ask_file_names(answers, console);
    RunSetUp(units, questions, RunSettings{kFixedCapacities, cache_bytes}, checks);
  } catch (const InputError& e) {
    ending = e.what();
  }
  return console_out.str() + "\n@@\n" + sco.str() + "\n@@\n" + cos.str() + "\n@@\n" + alc.str() +
         "\n@@\n" + ending;
}

}  // namespace

// Runs the job with the prepared years kept between passes and with .SEQ
// read in every pass: both must write the same and end alike.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::array<std::string, 4> part =
      split(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!affordable(part[1])) return 0;
  if (run_once(part, std::int64_t{1} << 28) != run_once(part, 0)) {
    throw std::logic_error("a run with the year cache differs from one without");
  }
  return 0;
}
