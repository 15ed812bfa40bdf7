// Section 4: the stability of the groups from step to step.
#include <vector>

#include "report/charts.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

Html stability_finding(const Model& m) {
  const std::size_t low = *m.findings.least_stable;
  const double index = *m.steps[low].found->stability;
  Html out;
  if (index >= 1.0) {
    out << "The groups are the same in every step.";
  } else {
    out << "The groups change most from " << step_ref(m, low - 1) << " to " << step_ref(m, low)
        << " (index " << fixed(index, 3) << ").";
  }
  return out << " Locations changed lineage " << count(m.findings.moves, "time", "times")
             << " over the sequence.";
}

// " with A, B, C and 2 more": the other locations of group k in the step.
Html mates(const Model& m, const StepView& s, std::int32_t k, std::int32_t except) {
  std::vector<std::int32_t> others;
  for (const auto& [location, group] : s.found->membership) {
    if (group == k && location != except) others.push_back(location);
  }
  if (others.empty()) return " <span class=\"muted\">alone</span>";
  Html out = " <span class=\"muted\">with ";
  const std::size_t shown = others.size() <= 4 ? others.size() : 3;
  for (std::size_t j = 0; j < shown; ++j) {
    if (j) out << ", ";
    out << m.location(others[j]);
  }
  if (shown < others.size()) out << " and " << others.size() - shown << " more";
  return out << "</span>";
}

// The changes from step i - 1 to step i, as an item of the list.
Html changes(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  const std::vector<Move>& moves = s.found->moves;
  Html out = "<li>";
  out << step_ref(m, i - 1) << " → " << step_ref(m, i) << " <span class=\"muted\">(index ";
  if (s.found->stability) {
    out << fixed(*s.found->stability, 3);
  } else {
    out << "NA: fewer than two shared locations";
  }
  out << ")</span>: ";
  if (moves.empty()) return out << "<span class=\"muted\">no change</span></li>\n";
  // A long list folded away, opened with a click (no script needed).
  const bool folded = moves.size() > 8;
  if (folded) out << "<details><summary>" << moves.size() << " locations changed lineage</summary>";
  out << "<ul>\n";
  for (const Move& mv : moves) {
    out << "<li><strong>" << m.location(mv.location) << "</strong> from "
        << lineage_chip(m, mv.from_lineage) << mates(m, m.steps[i - 1], mv.from, mv.location)
        << " to " << lineage_chip(m, mv.to_lineage) << mates(m, s, mv.to, mv.location) << "</li>\n";
  }
  out << "</ul>";
  if (folded) out << "</details>";
  return out << "</li>\n";
}

}  // namespace

Html stability_section(const Model& m) {
  Html out =
      "<p class=\"lead\">The adjusted Rand index compares each step's groups with the "
      "previous step's, over the locations with a group in both (retained or allocated): 1 "
      "means the same groups, whatever their numbers; 0 is what chance would give. "
      "<strong>Higher is steadier.</strong> Each step numbers its groups anew, so the page "
      "follows a group from step to step by its lineage: a group takes the lineage "
      "of the previous step's group with which it shares the most members (one to one), "
      "else a new one. Colours and the numbers of the map beside are lineages "
      "(<code>lineage</code> in groups.csv, and membership.csv).</p>\n";
  if (m.findings.least_stable) out << finding(stability_finding(m));
  out << "<div class=\"pair\">\n"
      << figure(stability_chart(m))
      << figure(group_map_chart(m),
                "Locations in the leaf order of the last step's dendrogram; below the dashed "
                "line, the others by number. Cells give the lineage of the location's group.")
      << "</div>\n";
  out << "<h3>Changes between steps</h3>\n<p class=\"muted\">A location changed group when "
         "the lineage of its group changed: the locations that change colour in the map. "
         "Chips give lineages.</p>\n<ul class=\"moves\">\n";
  for (std::size_t i = 1; i < m.steps.size(); ++i) out << changes(m, i);
  if (m.steps.size() < 2) out << "<li class=\"muted\">A single step: nothing to compare.</li>\n";
  return out << "</ul>\n";
}

}  // namespace locseq::report
