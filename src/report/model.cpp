#include "report/model.h"

#include <algorithm>
#include <set>

#include "report/text.h"

namespace locseq::report {
namespace {

// The most data years the figures draw (a guard against years that no run
// can have).
constexpr std::int32_t kMostYears = 10000;

StepView view(const BlockResult& b, const findings::StepFindings& found) {
  StepView s;
  s.block = &b;
  s.found = &found;
  s.name = JobText(trimmed(b.SequenceYearName));
  for (std::size_t u = 0; u < b.EliminationVector.size(); ++u) {
    if (b.EliminationVector[u] == 1) s.retained.push_back(static_cast<std::int32_t>(u + 1));
  }
  const auto n = static_cast<std::int32_t>(s.retained.size());
  // Labels stand for the retained locations only when the count agrees.
  s.layout = n == b.RetainedCount ? layout_dendrogram(n, b.hierarchy, n - b.CutLevel)
                                  : layout_dendrogram(n, {}, n - 1);
  return s;
}

// The group map: the last step's leaves top to bottom, then every other
// location the job names or a block lists.
std::vector<std::int32_t> map_order(const Model& m, const std::vector<BlockResult>& blocks) {
  std::vector<std::int32_t> order;
  std::set<std::int32_t> placed;
  if (!m.steps.empty()) {
    const StepView& last = m.steps.back();
    for (const std::int32_t label : last.layout.leaf_order) {
      const std::int32_t l = last.retained[static_cast<std::size_t>(label - 1)];
      if (placed.insert(l).second) order.push_back(l);
    }
  }
  std::size_t locations = m.head->LocationNames.size();
  for (const BlockResult& b : blocks) locations = std::max(locations, b.EliminationVector.size());
  for (std::int32_t l = 1; static_cast<std::size_t>(l) <= locations; ++l) {
    if (!placed.count(l)) order.push_back(l);
  }
  return order;
}

}  // namespace

JobText Model::location(std::int32_t l) const {
  const auto full = job->location_names.find(l);
  if (full != job->location_names.end() && !trim_right(full->second).empty()) {
    return JobText(std::string(trim_right(full->second)));
  }
  if (l >= 1 && static_cast<std::size_t>(l) <= head->LocationNames.size()) {
    std::string name = trimmed(head->LocationNames[static_cast<std::size_t>(l - 1)]);
    if (!name.empty()) return JobText(name);
  }
  return JobText("location " + std::to_string(l));
}

JobText Model::year(std::int32_t y) const {
  if (y >= 1 && static_cast<std::size_t>(y) <= head->YearNames.size()) {
    std::string name = trimmed(head->YearNames[static_cast<std::size_t>(y - 1)]);
    if (!name.empty()) return JobText(name);
  }
  return JobText("year " + std::to_string(y));
}

Text Model::step_title(std::size_t i) const {
  const StepView& s = steps[i];
  Text out = "step " + std::to_string(s.block->StepNumber);
  if (!s.name.empty()) out += " (" + s.name + ")";
  return out;
}

std::int32_t Model::lineage(std::size_t i, std::int32_t k) const {
  return i < steps.size() ? steps[i].found->lineage(k) : 0;
}

Colour Model::lineage_fill(std::int32_t lineage) const {
  const auto it = colour_slots.find(lineage);
  return group_colour(it == colour_slots.end() ? 0 : it->second);
}

Colour Model::lineage_ink(std::int32_t lineage) const {
  const auto it = colour_slots.find(lineage);
  return group_text_colour(it == colour_slots.end() ? 0 : it->second);
}

std::map<std::int32_t, std::int32_t> colour_slots(const findings::RunFindings& found) {
  std::map<std::int32_t, std::int32_t> out;
  std::vector<long> last_held(kGroupColours + 1, -1);  // by slot: the last step that held it
  for (std::size_t i = 0; i < found.steps.size(); ++i) {
    const auto step = static_cast<long>(i);
    std::set<std::int32_t> held;
    for (const findings::GroupFindings& g : found.steps[i].groups) {
      if (const auto it = out.find(g.lineage); it != out.end()) held.insert(it->second);
    }
    for (const findings::GroupFindings& g : found.steps[i].groups) {
      if (out.count(g.lineage)) continue;
      std::int32_t slot = 0;
      for (std::int32_t k = 1; k <= kGroupColours; ++k) {
        if (!held.count(k) && (slot == 0 || last_held[k] < last_held[slot])) slot = k;
      }
      for (std::int32_t k = kGroupColours + 1; slot == 0; ++k) {
        if (!held.count(k)) slot = k;
      }
      out[g.lineage] = slot;
      held.insert(slot);
    }
    for (const std::int32_t k : held) {
      if (k <= kGroupColours) last_held[static_cast<std::size_t>(k)] = step;
    }
  }
  return out;
}

Model make_model(const RunHead& head, const std::vector<BlockResult>& blocks, const PageJob& job) {
  Model m;
  m.head = &head;
  m.job = &job;
  m.findings = findings::find_run(blocks);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const BlockResult& b = blocks[i];
    m.steps.push_back(view(b, m.findings.steps[i]));
    if (i == 0 || b.first_year < m.first_year) m.first_year = b.first_year;
    if (i == 0 || b.last_year > m.last_year) m.last_year = b.last_year;
    m.last_year = static_cast<std::int32_t>(
        std::min<std::int64_t>(m.last_year, std::int64_t{m.first_year} + kMostYears - 1));
  }
  m.map_order = map_order(m, blocks);
  m.colour_slots = colour_slots(m.findings);
  return m;
}

}  // namespace locseq::report
