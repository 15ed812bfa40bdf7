// Section 5: each step's dendrogram, where its eliminated locations went,
// and its groups.
#include <string>
#include <vector>

#include "report/charts.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

std::string rounded(const FitSums& f) {
  return f.rsq_defined ? fixed(f.RSQ, 3) : "NA";
}

// One cell of the distances: the mean distance to group k (from 0).
Html distance_cell(const EliminatedLocation& el, std::size_t k) {
  const std::int32_t cells = k < el.cells.size() ? el.cells[k] : 0;
  const bool defined = cells > 0 && k < el.mean_sed.size();
  Html out = "<td class=\"num";
  if (!defined) out << " na";
  if (el.group == static_cast<std::int32_t>(k + 1)) out << " nearest";
  out << "\" title=\"" << (defined ? round_trip(el.mean_sed[k]) : std::string("NA")) << " over "
      << cells << " cells\">" << (defined ? significant(el.mean_sed[k], 3) : std::string("NA"));
  return out << "</td>";
}

Html eliminated_table(const Model& m, const StepView& s) {
  const BlockResult& b = *s.block;
  Html out = "<h4>Where the eliminated locations went</h4>\n";
  if (b.eliminated.empty()) {
    return out << "<p class=\"muted\">No location is eliminated in this step.</p>\n";
  }
  out << "<p class=\"muted\">Mean squared distance to each group's centroid; each location "
         "goes to the nearest group (outlined). NA: no shared cell.</p>\n"
         "<div class=\"scroll\"><table>\n<thead><tr><th>Location</th><th>Allocated to</th>";
  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    out << "<th class=\"num\">" << chip(static_cast<std::int32_t>(k + 1)) << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const EliminatedLocation& el : b.eliminated) {
    out << "<tr><td>" << m.location(el.location) << "</td><td>";
    if (el.group) {
      out << chip(el.group);
    } else {
      out << "<span class=\"muted\">not allocated</span>";
    }
    out << "</td>";
    for (std::size_t k = 0; k < b.groups.size(); ++k) out << distance_cell(el, k);
    out << "</tr>\n";
  }
  return out << "</tbody></table></div>\n";
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

Html groups_table(const Model& m, const StepView& s) {
  Html out =
      "<h4>Groups</h4>\n<div class=\"scroll\"><table>\n<thead><tr><th>Group</th>"
      "<th>Retained members</th><th>Allocated</th></tr></thead>\n<tbody>\n";
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    const Group& g = s.block->groups[k];
    out << "<tr><td class=\"nowrap\">" << chip(static_cast<std::int32_t>(k + 1))
        << " <span class=\"muted\">label " << g.label << "</span></td><td>" << names(m, g.members)
        << "</td><td>";
    if (g.allocated.empty()) {
      out << "<span class=\"muted\">–</span>";
    } else {
      out << names(m, g.allocated);
    }
    out << "</td></tr>\n";
  }
  return out << "</tbody></table></div>\n";
}

Html step(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  const BlockResult& b = *s.block;
  Html out = "<div class=\"step\" id=\"step-";
  out << b.StepNumber << "\">\n<h3>Step " << b.StepNumber;
  if (!s.name.empty()) out << " · " << s.name;
  out << "</h3>\n<p class=\"muted\">Measured on " << years_text(m, b) << ". " << b.RetainedCount
      << " retained, " << b.eliminated.size() << " eliminated (" << s.found->allocated
      << " allocated), " << count(b.CutLevel, "group", "groups") << ". Overall RSQ "
      << rounded(b.fit[kClassified].overall) << " classified, "
      << rounded(b.fit[kWithAllocated].overall) << " with the allocated locations.</p>\n";
  return out << "<div class=\"pair\">\n"
             << figure(step_chart(m, i)) << "<div>\n"
             << eliminated_table(m, s) << groups_table(m, s) << "</div>\n</div>\n</div>\n";
}

}  // namespace

Html steps_section(const Model& m) {
  Html out =
      "<p class=\"lead\">The dendrogram of the step's retained locations, coloured and "
      "numbered by group as in the tables; beside it, where each eliminated location went. "
      "Hover over a join for its hierarchy record.</p>\n";
  for (std::size_t i = 0; i < m.steps.size(); ++i) out << step(m, i);
  if (m.steps.empty()) out << "<p class=\"muted\">The job has no steps.</p>\n";
  return out;
}

}  // namespace locseq::report
