#include "findings/findings.h"

#include <map>
#include <utility>

namespace locseq::findings {
namespace {

// The step whose defined overall RSQ of the variant is the highest (or,
// with `lowest`, the lowest); the first on a tie.
std::optional<std::size_t> extreme_fit(std::span<const BlockResult> blocks, Variant v,
                                       bool lowest) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const FitSums& f = blocks[i].fit[v].overall;
    if (!f.rsq_defined) continue;
    const double at = found ? blocks[*found].fit[v].overall.RSQ : 0.0;
    if (!found || (lowest ? f.RSQ < at : f.RSQ > at)) found = i;
  }
  return found;
}

std::optional<double> allocation_change(std::span<const BlockResult> blocks) {
  double change = 0;
  int both = 0;
  for (const BlockResult& b : blocks) {
    const FitSums& classified = b.fit[kClassified].overall;
    const FitSums& allocated = b.fit[kWithAllocated].overall;
    if (classified.rsq_defined && allocated.rsq_defined) {
      change += allocated.RSQ - classified.RSQ;
      ++both;
    }
  }
  if (both == 0) return std::nullopt;
  return change / both;
}

// The years' summaries, their lowest and highest mean, and the undefined
// RSQj of both variants.
void summarise_years(std::span<const BlockResult> blocks, RunFindings& out) {
  std::map<std::int32_t, std::pair<double, std::int32_t>> by_year;  // sum and count
  for (const BlockResult& b : blocks) {
    for (const VariantFit& v : b.fit) {
      for (const YearFit& yf : v.years) out.undefined_year_fits += !yf.sums.rsq_defined;
    }
    for (const YearFit& yf : b.fit[kClassified].years) {
      if (!yf.sums.rsq_defined) continue;
      by_year[yf.year].first += yf.sums.RSQ;
      ++by_year[yf.year].second;
    }
  }
  for (const auto& [year, sum] : by_year) {
    out.years.push_back({year, sum.first / sum.second, sum.second});
    const std::size_t at = out.years.size() - 1;
    const double mean = out.years[at].mean_rsq;
    if (!out.hardest_year || mean < out.years[*out.hardest_year].mean_rsq) out.hardest_year = at;
    if (!out.easiest_year || mean > out.years[*out.easiest_year].mean_rsq) out.easiest_year = at;
  }
}

}  // namespace

StepFindings find_step(const BlockResult& block, const StepFindings* previous) {
  StepFindings out;
  out.membership = memberships(block);
  for (const Group& g : block.groups)
    out.allocated += static_cast<std::int32_t>(g.allocated.size());
  if (previous != nullptr) {
    out.stability = stability_ari(previous->membership, out.membership);
    out.moves = moved_locations(previous->membership, out.membership);
  }
  return out;
}

RunFindings find_run(std::span<const BlockResult> blocks) {
  RunFindings out;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    out.steps.push_back(find_step(blocks[i], i > 0 ? &out.steps[i - 1] : nullptr));
    const StepFindings& s = out.steps.back();
    out.moves += s.moves.size();
    out.eliminated += blocks[i].eliminated.size();
    out.allocated += static_cast<std::size_t>(s.allocated);
    const auto low = out.least_stable;
    if (s.stability && (!low || *s.stability < *out.steps[*low].stability)) out.least_stable = i;
  }
  for (const Variant v : {kClassified, kWithAllocated}) out.best[v] = extreme_fit(blocks, v, false);
  out.weakest = extreme_fit(blocks, kClassified, true);
  out.allocation_change = allocation_change(blocks);
  summarise_years(blocks, out);
  return out;
}

}  // namespace locseq::findings
