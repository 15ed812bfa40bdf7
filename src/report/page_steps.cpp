// Section 5: each step's dendrogram, where its eliminated locations went,
// and its groups.
#include <optional>
#include <string>
#include <vector>

#include "report/charts.h"
#include "report/fit_values.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// Groups per table of distances: more stand in further tables.
constexpr std::size_t kGroupsPerTable = 8;

// An allocation whose margin is under this is a close call.
constexpr double kCloseMargin = 0.05;

// A neutral mark beside an allocation whose second-nearest group lies
// less than kCloseMargin farther than the nearest.
Html close_call(const EliminatedLocation& el) {
  const std::optional<double> margin = findings::allocation_margin(el);
  Html out;
  if (el.group == 0 || !margin || *margin >= kCloseMargin) return out;
  return out << " <span class=\"badge status\" title=\"margin " << round_trip(*margin)
             << ": the second-nearest group is only " << fixed(100 * *margin, 1)
             << " % farther\">close: " << fixed(100 * *margin, 1) << " %</span>";
}

bool shared(const EliminatedLocation& el, std::size_t k) {
  return k < el.cells.size() && el.cells[k] > 0 && k < el.mean_sed.size();
}

// One cell of the distances: the mean distance to group k (from 0).
Html distance_cell(const EliminatedLocation& el, std::size_t k, Notation notation) {
  const std::int32_t cells = k < el.cells.size() ? el.cells[k] : 0;
  const bool defined = shared(el, k);
  Html out = "<td class=\"num";
  if (!defined) out << " na";
  if (el.group == static_cast<std::int32_t>(k + 1)) out << " nearest";
  out << "\" title=\"" << (defined ? round_trip(el.mean_sed[k]) : std::string("NA")) << " over "
      << counted(cells, "cell", "cells") << "\">"
      << (defined ? four_digits(el.mean_sed[k], notation) : std::string("NA"));
  return out << "</td>";
}

// The notation of each group's column of distances.
std::vector<Notation> distance_notations(const BlockResult& b) {
  std::vector<Notation> out;
  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    std::vector<double> column;
    for (const EliminatedLocation& el : b.eliminated) {
      if (shared(el, k)) column.push_back(el.mean_sed[k]);
    }
    out.push_back(Notation::of(column));
  }
  return out;
}

// The distances to groups first to last - 1 (from 0).
Html distance_table(const Model& m, std::size_t i, std::size_t first, std::size_t last) {
  const BlockResult& b = *m.steps[i].block;
  const std::vector<Notation> notations = distance_notations(b);
  Html out = "<div class=\"scroll\"><table>\n<thead><tr><th>Location</th><th>Allocated to</th>";
  for (std::size_t k = first; k < last; ++k) {
    out << "<th class=\"num\">" << group_chip(m, i, static_cast<std::int32_t>(k + 1)) << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const EliminatedLocation& el : b.eliminated) {
    out << "<tr><td>" << m.location(el.location) << "</td><td>";
    if (el.group) {
      out << group_chip(m, i, el.group) << close_call(el);
    } else {
      out << "<span class=\"muted\">not allocated</span>";
    }
    out << "</td>";
    for (std::size_t k = first; k < last; ++k) out << distance_cell(el, k, notations[k]);
    out << "</tr>\n";
  }
  return out << "</tbody></table></div>\n";
}

Html eliminated_table(const Model& m, std::size_t i) {
  const BlockResult& b = *m.steps[i].block;
  Html out = "<h4>Where the eliminated locations went</h4>\n";
  if (b.eliminated.empty()) {
    return out << "<p class=\"muted\">No location is eliminated in this step.</p>\n";
  }
  out << "<p class=\"muted\">Mean squared distance to each group's centroid, to 4 significant "
         "digits (hover for the full value); each location goes to the nearest group "
         "(outlined). NA: no shared cell. Marked close: the second-nearest group is less "
         "than 5 % farther, so the allocation is uncertain.</p>\n";
  for (const auto& [first, last] : runs(b.groups.size(), kGroupsPerTable)) {
    out << distance_table(m, i, first, last);
  }
  return out;
}

// The locations' names, separated by commas.
Html names(const Model& m, const std::vector<std::int32_t>& locations) {
  Html out;
  for (std::size_t j = 0; j < locations.size(); ++j) {
    if (j) out << ", ";
    out << m.location(locations[j]);
  }
  return out;
}

// A group's representative, its distance to the centroid in a tooltip.
Html representative_cell(const Model& m, const Group& g) {
  const std::int32_t u = findings::representative(g);
  Html out;
  for (std::size_t j = 0; j < g.members.size(); ++j) {
    if (g.members[j] != u) continue;
    return out << "<span title=\"mean squared distance to the centroid "
               << round_trip(*findings::distance_to_centroid(g, j)) << "\">" << m.location(u)
               << "</span>";
  }
  return out << "<span class=\"muted\">–</span>";
}

Html groups_table(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  Html out =
      "<h4>Groups</h4>\n<p class=\"muted\">The representative is the retained member nearest "
      "its group's centroid (the least mean squared distance over the step's years).</p>\n"
      "<div class=\"scroll\"><table>\n<thead><tr><th>Group</th><th class=\"num\">Lineage</th>"
      "<th>Representative</th><th>Retained members</th><th>Allocated</th></tr></thead>\n"
      "<tbody>\n";
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    const Group& g = s.block->groups[k];
    const auto number = static_cast<std::int32_t>(k + 1);
    out << "<tr><td class=\"nowrap\">" << group_chip(m, i, number)
        << " <span class=\"muted\">label " << g.label << "</span></td><td class=\"num\">"
        << m.lineage(i, number) << "</td><td>" << representative_cell(m, g) << "</td><td>"
        << names(m, g.members);
    if (g.members.size() == 1) out << " " << single_site_badge();
    out << "</td><td>";
    if (g.allocated.empty()) {
      out << "<span class=\"muted\">–</span>";
    } else {
      out << names(m, g.allocated);
    }
    out << "</td></tr>\n";
  }
  return out << "</tbody></table></div>\n";
}

// "Overall RSQ 0.785 (adjusted 0.695) classified, ..."
Html fit_said(const StepView& s) {
  Html out = "Overall RSQ ";
  for (const Variant v : {kClassified, kWithAllocated}) {
    out << rsq_said(s.block->fit[v].overall) << " (adjusted " << adjusted_said(s.found->adjusted[v])
        << ")"
        << std::string_view(v == kClassified ? " classified, " : " with the allocated locations.");
  }
  return out;
}

Html step(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  const BlockResult& b = *s.block;
  Html out = "<div class=\"step\" id=\"step-";
  out << b.StepNumber << "\">\n<h3>Step " << b.StepNumber;
  if (!s.name.empty()) out << " · " << s.name;
  out << "</h3>\n<p class=\"muted\">Measured on " << years_text(m, b) << ". " << b.RetainedCount
      << " retained, " << b.eliminated.size() << " eliminated (" << s.found->allocated
      << " allocated), " << count(b.CutLevel, "group", "groups");
  if (s.found->single_site > 0) {
    out << " (" << count(s.found->single_site, "single-site group", "single-site groups") << ")";
  }
  out << ". " << fit_said(s) << "</p>\n";
  return out << "<div class=\"pair\">\n"
             << figure(step_chart(m, i)) << "<div>\n"
             << eliminated_table(m, i) << groups_table(m, i) << "</div>\n</div>\n</div>\n";
}

}  // namespace

Html steps_section(const Model& m) {
  Html out =
      "<p class=\"lead\">The dendrogram of the step's retained locations, coloured by lineage "
      "and numbered by group as in the tables; beside it, where each eliminated location went. "
      "Hover over a join for its hierarchy record.</p>\n";
  for (std::size_t i = 0; i < m.steps.size(); ++i) out << step(m, i);
  if (m.steps.empty()) out << "<p class=\"muted\">The job has no steps.</p>\n";
  return out;
}

}  // namespace locseq::report
