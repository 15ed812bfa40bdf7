#include "report/model.h"

#include <algorithm>
#include <set>

#include "report/text.h"

namespace locseq::report {
namespace {

// The most data years the figures draw (a guard against years that no run
// can have).
constexpr std::int32_t kMostYears = 10000;

}  // namespace

std::string Model::location(std::int32_t l) const {
  const auto full = job->location_names.find(l);
  if (full != job->location_names.end() && !trim_right(full->second).empty()) {
    return std::string(trim_right(full->second));
  }
  if (l >= 1 && static_cast<std::size_t>(l) <= head->LocationNames.size()) {
    std::string name = trimmed(head->LocationNames[static_cast<std::size_t>(l - 1)]);
    if (!name.empty()) return name;
  }
  return "location " + std::to_string(l);
}

std::string Model::year(std::int32_t y) const {
  if (y >= 1 && static_cast<std::size_t>(y) <= head->YearNames.size()) {
    std::string name = trimmed(head->YearNames[static_cast<std::size_t>(y - 1)]);
    if (!name.empty()) return name;
  }
  return "year " + std::to_string(y);
}

std::string Model::step_title(std::size_t i) const {
  const StepView& s = steps[i];
  std::string out = "step " + std::to_string(s.block->StepNumber);
  if (!s.name.empty()) out += " (" + s.name + ")";
  return out;
}

std::optional<std::size_t> Model::best_step(Variant v) const {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const FitSums& f = steps[i].block->fit[v].overall;
    if (f.rsq_defined && (!best || f.RSQ > steps[*best].block->fit[v].overall.RSQ)) best = i;
  }
  return best;
}

Model make_model(const RunHead& head, const std::vector<BlockResult>& blocks, const PageJob& job) {
  Model m;
  m.head = &head;
  m.job = &job;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const BlockResult& b = blocks[i];
    StepView s;
    s.block = &b;
    s.name = trimmed(b.SequenceYearName);
    for (std::size_t u = 0; u < b.EliminationVector.size(); ++u) {
      if (b.EliminationVector[u] == 1) s.retained.push_back(static_cast<std::int32_t>(u + 1));
    }
    const auto n = static_cast<std::int32_t>(s.retained.size());
    // Labels stand for the retained locations only when the count agrees.
    s.layout = n == b.RetainedCount ? layout_dendrogram(n, b.hierarchy, n - b.CutLevel)
                                    : layout_dendrogram(n, {}, n - 1);
    s.membership = memberships(b);
    if (i > 0) {
      s.ari = stability_ari(blocks[i - 1], b);
      s.moves = moved_locations(blocks[i - 1], b);
    }
    if (m.steps.empty() || b.first_year < m.first_year) m.first_year = b.first_year;
    if (m.steps.empty() || b.last_year > m.last_year) m.last_year = b.last_year;
    m.last_year = static_cast<std::int32_t>(
        std::min<std::int64_t>(m.last_year, std::int64_t{m.first_year} + kMostYears - 1));
    m.steps.push_back(std::move(s));
  }

  // The group map: the last step's leaves top to bottom, then the others.
  std::set<std::int32_t> placed;
  if (!m.steps.empty()) {
    const StepView& last = m.steps.back();
    for (const std::int32_t label : last.layout.leaf_order) {
      const std::int32_t l = last.retained[static_cast<std::size_t>(label - 1)];
      if (placed.insert(l).second) m.map_order.push_back(l);
    }
  }
  // Every location the job names or a block lists.
  std::size_t locations = head.LocationNames.size();
  for (const BlockResult& b : blocks) locations = std::max(locations, b.EliminationVector.size());
  for (std::int32_t l = 1; static_cast<std::size_t>(l) <= locations; ++l) {
    if (!placed.count(l)) m.map_order.push_back(l);
  }
  return m;
}

}  // namespace locseq::report
