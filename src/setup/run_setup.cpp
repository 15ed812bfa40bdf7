#include "setup/run_setup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "formats/cls.h"
#include "sequence/year_sequence.h"
#include "setup/carving.h"

namespace locseq {

namespace {

using records::Layout;

constexpr Layout kSummaryRecord("(A,I6)");
constexpr Layout kSummaryValues("(10I6)");
constexpr std::array<const char*, 8> kSummaryLabels = {
    " Maximum number of years in data set             (MAXY) = ",
    " Maximum number of locations in data set         (MAXL) = ",
    " Maximum number of genotypes in data set         (MAXG) = ",
    " Year sequential analyses starts                  (IYS) = ",
    " Year sequential analyses finishes                (IYF) = ",
    " Number of years in analysis                      (NYA) = ",
    " Number of elements in LxL upper triagular matrix (NTM) = ",
    " Truncation level (Square root rule)              (NGP) = ",
};

constexpr std::array<Layout, 4> kIncrease = {
    Layout("(' INCREASE DIMENSION OF DZ ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF Z ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF MZ ARRAY TO',I8)"),
    Layout("(' INCREASE DIMENSION OF AZ ARRAY TO',I8)"),
};

constexpr Layout kDimensionTable(
    "(/,' DIMENSIONS OF ARRAYS:',/,' PRESENT DIMENSIONS:  DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',I6,/,"
    "' DIMENSIONS REQUIRED: DZ=',I6,' Z=',I6,' MZ=',I6,' AZ=',I6)");

}  // namespace

RunParameters ReadRunParameters(records::FileReader& cls) {
  RunParameters p;
  const formats::cls::Head head = formats::cls::read_head(cls);
  p.MAXY = head.MAXY;
  p.MAXL = head.MAXL;
  p.MAXG = head.MAXG;
  p.IYS = head.IYS;
  p.IYF = head.IYF;
  p.NYA = std::int64_t{p.IYF} - p.IYS + 1;
  p.NTM = std::int64_t{p.MAXL} * (std::int64_t{p.MAXL} + 1) / 2;
  return p;
}

void SettleTruncationLevel(Questions& q, RunParameters& p) {
  const std::optional<std::int32_t> level = q.truncation_level();
  if (!level) {
    p.NGP = square_root_rule(p.MAXL);
    return;
  }
  if (*level < 1 || *level > p.MAXL) {
    q.refuse_level("the truncation level must lie between 1 and MAXL (" + std::to_string(p.MAXL) +
                   "), but " + std::to_string(*level) + " was asked for");
  }
  p.NGP = *level;
}

namespace {

void write_summary(Units& u, const RunParameters& p) {
  const std::array<std::int64_t, 8> values = {p.MAXY, p.MAXL, p.MAXG, p.IYS,
                                              p.IYF,  p.NYA,  p.NTM,  p.NGP};
  for (std::size_t k = 0; k < values.size(); ++k) {
    u.sco.write(kSummaryRecord, {kSummaryLabels[k], values[k]});
  }
  const std::array<records::Value, 8> row = {values[0], values[1], values[2], values[3],
                                             values[4], values[5], values[6], values[7]};
  std::string record = records::format(kSummaryValues, row);
  u.cos.put(record);
  u.alc.put(record);
}

template <class T>
void clear(Area<T>& area, std::int64_t required, const T& blank) {
  std::fill_n(area.data(), required, blank);
}

// The sweep a run asks for: its levels below MAXL (no block can be cut
// into more groups than it retains locations), each marked for whether the
// fixed work areas could hold it. Says on .CLS when the range reaches MAXL
// and which levels the areas could not hold.
std::unique_ptr<Sweep> plan_sweep(SweepRange levels, const RunParameters& p,
                                  const AreaPolicy& policy, const Capacities& capacity, Units& u) {
  if (levels.last >= p.MAXL) {
    levels.last = std::max(levels.first - 1, p.MAXL - 1);
    u.cls.warn_at(0, Warning::SweepLevel,
                  "the sweep stops at " + std::to_string(p.MAXL - 1) +
                      " groups: no step of a job of MAXL " + std::to_string(p.MAXL) +
                      " locations can be cut into more");
  }
  std::vector<bool> fits;
  std::string too_large;
  for (std::int32_t h = levels.first; h <= levels.last; ++h) {
    RunParameters at_h = p;
    at_h.NGP = h;
    const std::array<std::int64_t, 4> needs = required_sizes(at_h);
    bool fit = true;
    for (std::size_t k = 0; k < needs.size(); ++k) fit = fit && needs[k] <= capacity[k];
    fits.push_back(!policy || fit);
    if (!fits.back()) too_large += (too_large.empty() ? "" : ", ") + std::to_string(h);
  }
  if (!too_large.empty()) {
    u.cls.warn_at(1, Warning::SweepLevel,
                  "the sweep has no fit at " + too_large +
                      " groups: the fixed work areas are too small for them");
  }
  return std::make_unique<Sweep>(p, levels, fits);
}

}  // namespace

std::int32_t square_root_rule(std::int32_t maxl) {
  return static_cast<std::int32_t>(std::sqrt(static_cast<double>(maxl) - 0.5)) + 1;
}

SetUpResult RunSetUp(Units& u, Questions& q, const RunSettings& settings,
                     ResultObserver& observer) {
  const AreaPolicy& policy = settings.areas;
  RunHead head;
  RunParameters& p = head.parameters;
  p = ReadRunParameters(u.cls);
  SettleTruncationLevel(q, p);
  write_summary(u, p);

  const std::array<std::int64_t, 4> required = required_sizes(p);
  if (!policy && p.MAXL > kMaxLocations) {
    u.cls.fail_at(1, "MAXL " + std::to_string(p.MAXL) +
                         " is more than the reports can show: group labels run to 2 MAXL - 1 in "
                         "four columns, so MAXL can be at most " +
                         std::to_string(kMaxLocations));
  }
  auto owned = std::make_unique<WorkAreas>(policy ? *policy : required);
  WorkAreas& areas = *owned;
  const Capacities& capacity = areas.capacities;
  SetUpResult result;
  for (std::size_t k = 0; k < required.size(); ++k) {
    if (required[k] > capacity[k]) records::format(result.refusal, kIncrease[k], {required[k]});
  }
  const bool refused = !result.refusal.empty();
  u.console.put(result.refusal);
  if (!refused) {
    clear(areas.DZ, required[0], 0.0);
    clear(areas.Z, required[1], 0.0f);
    clear(areas.MZ, required[2], 0);
    clear(areas.AZ, required[3], Name8{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
  }
  to_console_and_sco(
      u, records::format(kDimensionTable, {capacity[0], capacity[1], capacity[2], capacity[3],
                                           required[0], required[1], required[2], required[3]}));
  if (refused) {
    result.outcome = SetUpOutcome::Refused;
    return result;
  }
  YearCache cache(settings.cache_bytes);
  const std::unique_ptr<Sweep> sweep =
      settings.sweep.empty() ? nullptr : plan_sweep(settings.sweep, p, policy, capacity, u);
  RunYearSequence(carve(areas, p), head, u, q, observer, cache, sweep.get());
  return result;
}

}  // namespace locseq
