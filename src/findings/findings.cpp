#include "findings/findings.h"

#include <map>
#include <utility>

namespace locseq::findings {
namespace {

// The step whose defined adjusted RSQ of the variant is the highest (or,
// with `lowest`, the lowest); the first on a tie.
std::optional<std::size_t> extreme_fit(std::span<const StepFindings> steps, Variant v,
                                       bool lowest) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::optional<double>& value = steps[i].adjusted[v].value;
    if (!value) continue;
    const double at = found ? *steps[*found].adjusted[v].value : 0.0;
    if (!found || (lowest ? *value < at : *value > at)) found = i;
  }
  return found;
}

std::optional<double> allocation_change(std::span<const StepFindings> steps) {
  double change = 0;
  int both = 0;
  for (const StepFindings& s : steps) {
    const auto& classified = s.adjusted[kClassified].value;
    const auto& allocated = s.adjusted[kWithAllocated].value;
    if (classified && allocated) {
      change += *allocated - *classified;
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

AdjustedFit adjusted_fit(const BlockResult& block, Variant v) {
  return adjusted_fit(block.fit[v], block.CutLevel);
}

AdjustedFit adjusted_fit(const VariantFit& fit, std::int32_t groups) {
  AdjustedFit out;
  out.groups = groups;
  std::int64_t located = 0, years = 0;
  for (const YearFit& y : fit.years) {
    if (y.LocMod <= 0) continue;
    located += y.LocMod;
    ++years;
  }
  if (years > 0) out.locations = static_cast<double>(located) / static_cast<double>(years);
  const FitSums& f = fit.overall;
  const double n = out.locations, k = out.groups;
  if (f.rsq_defined && n > k) out.value = 1.0 - (1.0 - f.RSQ) * n / (n - k);
  return out;
}

std::vector<std::int32_t> StepFindings::lineages() const {
  std::vector<std::int32_t> out;
  for (const GroupFindings& g : groups) out.push_back(g.lineage);
  return out;
}

std::int32_t StepFindings::lineage(std::int32_t k) const {
  return k >= 1 && static_cast<std::size_t>(k) <= groups.size()
             ? groups[static_cast<std::size_t>(k - 1)].lineage
             : 0;
}

std::optional<double> distance_to_centroid(const Group& g, std::size_t i) {
  const std::size_t n = g.members.size();
  if (i >= n) {
    if (i - n >= g.allocated_sed.size()) return std::nullopt;
    return g.allocated_sed[i - n];
  }
  if (i >= g.member_cells.size() || g.member_cells[i] <= 0) return std::nullopt;
  return g.member_sed[i];
}

std::int32_t representative(const Group& g) {
  std::int32_t best = 0;
  double smallest = 0.0;
  for (std::size_t i = 0; i < g.members.size(); ++i) {
    const std::optional<double> d = distance_to_centroid(g, i);
    if (!d) continue;
    const std::int32_t u = g.members[i];
    if (best == 0 || *d < smallest || (*d == smallest && u < best)) {
      best = u;
      smallest = *d;
    }
  }
  return best;
}

std::optional<double> allocation_margin(const EliminatedLocation& e) {
  std::optional<double> first, second;  // the two smallest means of the groups in reach
  for (std::size_t k = 0; k < e.mean_sed.size(); ++k) {
    if (e.cells[k] <= 0) continue;
    const double d = e.mean_sed[k];
    if (!first || d < *first) {
      second = first;
      first = d;
    } else if (!second || d < *second) {
      second = d;
    }
  }
  if (!second || *first == 0.0) return std::nullopt;
  return *second / *first - 1.0;
}

StepFindings find_step(const BlockResult& block, const StepFindings* previous) {
  StepFindings out;
  out.membership = memberships(block);
  const Membership none;
  const std::vector<std::int32_t> before =
      previous ? previous->lineages() : std::vector<std::int32_t>();
  out.largest_lineage = previous ? previous->largest_lineage : 0;
  const std::vector<std::int32_t> lineage =
      step_lineages(previous ? previous->membership : none, before, out.membership,
                    block.groups.size(), out.largest_lineage);
  for (std::size_t k = 0; k < block.groups.size(); ++k) {
    const Group& g = block.groups[k];
    out.groups.push_back(
        {lineage[k], static_cast<std::int32_t>(g.members.size()), representative(g)});
    out.allocated += static_cast<std::int32_t>(g.allocated.size());
    out.single_site += g.members.size() == 1;
  }
  for (const Variant v : {kClassified, kWithAllocated}) out.adjusted[v] = adjusted_fit(block, v);
  if (previous != nullptr) {
    out.stability = stability_ari(previous->membership, out.membership);
    out.moves = moved_locations(previous->membership, before, out.membership, lineage);
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
    out.single_site_steps += s.single_site > 0;
    const auto low = out.least_stable;
    if (s.stability && (!low || *s.stability < *out.steps[*low].stability)) out.least_stable = i;
  }
  for (const Variant v : {kClassified, kWithAllocated}) {
    out.best[v] = extreme_fit(out.steps, v, false);
  }
  out.weakest = extreme_fit(out.steps, kClassified, true);
  out.allocation_change = allocation_change(out.steps);
  summarise_years(blocks, out);
  return out;
}

}  // namespace locseq::findings
