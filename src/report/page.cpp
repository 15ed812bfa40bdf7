#include "report/page.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "report/axes.h"
#include "report/charts.h"
#include "report/model.h"
#include "report/palette.h"
#include "report/style.h"
#include "report/svg.h"
#include "report/text.h"

namespace locseq::report {
namespace {

std::string e(std::string_view raw) {
  return escape(raw);
}

std::string num(double v) {
  return round_trip(v);
}

std::string rsq(const FitSums& f) {
  return f.rsq_defined ? round_trip(f.RSQ) : "NA";
}

std::string rounded(const FitSums& f) {
  return f.rsq_defined ? fixed(f.RSQ, 3) : "NA";
}

// A group's colour and number, as text.
std::string chip(std::int32_t k, bool framed = false) {
  if (k < 1) return "<span class=\"muted\">none</span>";
  const std::string colour(group_colour(k));
  if (framed) {
    return "<span class=\"chip framed\" style=\"border-color:" + colour + "\">" +
           std::to_string(k) + "</span>";
  }
  return "<span class=\"chip\" style=\"background:" + colour +
         ";color:" + std::string(group_text_colour(k)) + "\">" + std::to_string(k) + "</span>";
}

std::string figure(const std::string& svg, const std::string& caption = {}) {
  std::string out = "<figure>\n" + svg;
  if (!caption.empty()) out += "<figcaption>" + caption + "</figcaption>\n";
  return out + "</figure>\n";
}

std::string step_ref(const Model& m, std::size_t i) {
  return "<a href=\"#step-" + std::to_string(m.steps[i].block->StepNumber) + "\">" +
         e(m.step_title(i)) + "</a>";
}

std::string years_text(const Model& m, const BlockResult& b) {
  if (b.first_year == b.last_year) {
    return e(m.year(b.first_year)) + " (year " + std::to_string(b.first_year) + ")";
  }
  return e(m.year(b.first_year)) + " to " + e(m.year(b.last_year)) + " (years " +
         std::to_string(b.first_year) + "–" + std::to_string(b.last_year) + ")";
}

std::size_t allocated_count(const BlockResult& b) {
  std::size_t n = 0;
  for (const Group& g : b.groups) n += g.allocated.size();
  return n;
}

// The answers to the questions the page is for, in three lines.
void at_a_glance(std::string& out, const Model& m) {
  if (m.steps.empty()) return;
  out += "<div class=\"glance\"><h2>At a glance</h2>\n<ul>\n";
  if (const auto best = m.best_step(kClassified)) {
    out += "<li><strong>Best fit:</strong> the classification of " + step_ref(m, *best) +
           " (overall RSQ " + fixed(m.steps[*best].block->fit[kClassified].overall.RSQ, 3) +
           "). <a href=\"#fit\">Fit over the sequence</a></li>\n";
  }
  std::optional<std::size_t> low;
  std::size_t moves = 0;
  for (std::size_t i = 1; i < m.steps.size(); ++i) {
    moves += m.steps[i].moves.size();
    if (m.steps[i].ari && (!low || *m.steps[i].ari < *m.steps[*low].ari)) low = i;
  }
  if (m.steps.size() > 1) {
    out += "<li><strong>Stability:</strong> " + std::to_string(moves) +
           (moves == 1 ? " change" : " changes") + " of group between steps";
    if (low && *m.steps[*low].ari < 1.0) {
      out += "; most from " + step_ref(m, *low - 1) + " to " + step_ref(m, *low) + " (index " +
             fixed(*m.steps[*low].ari, 3) + ")";
    }
    out += ". <a href=\"#stability\">Stability of the groups</a></li>\n";
  }
  std::size_t eliminated = 0, allocated = 0;
  for (const StepView& s : m.steps) {
    eliminated += s.block->eliminated.size();
    allocated += allocated_count(*s.block);
  }
  out += "<li><strong>Eliminated locations:</strong> " + std::to_string(allocated) + " of " +
         std::to_string(eliminated) + " allocated to their nearest group over the " +
         std::to_string(m.steps.size()) + (m.steps.size() == 1 ? " step" : " steps") +
         ". <a href=\"#steps\">Each step</a></li>\n</ul>\n</div>\n";
}

void job_section(std::string& out, const Model& m) {
  const RunHead& head = *m.head;
  const PageJob& job = *m.job;
  out += "<section id=\"job\">\n<h2><span class=\"n\">1</span>The job</h2>\n";
  out +=
      "<p class=\"lead\">Each step of the sequence brings the classification of one more "
      "year: which locations it retains, and their hierarchy. The step cuts the hierarchy "
      "into groups, allocates every eliminated location to its nearest group, and measures "
      "how well the groups explain the data of the years so far.</p>\n";
  const auto fact = [&](const std::string& value, const std::string& what) {
    out += "<div class=\"fact\"><strong>" + value + "</strong><span>" + what + "</span></div>\n";
  };
  out += "<div class=\"facts\">\n";
  fact(std::to_string(m.steps.size()), "steps");
  fact(std::to_string(head.parameters.MAXL), "locations");
  fact(std::to_string(head.parameters.MAXG), "genotypes");
  fact(std::to_string(m.steps.empty() ? 0 : std::int64_t{m.last_year} - m.first_year + 1),
       "data years");
  fact(std::to_string(head.parameters.NGP), "groups (truncation level)");
  out += "</div>\n<dl class=\"meta\">\n";
  out += "<dt>Job</dt><dd>" + e(job.name) + "</dd>\n";
  out += "<dt>Title</dt><dd>" + e(trim_right(head.JobTitle)) + "</dd>\n";
  out += "<dt>Options given</dt><dd>" +
         (job.options.empty() ? std::string("none") : "<code>" + e(job.options) + "</code>") +
         "</dd>\n";
  const char* names[] = {"WEIGHT", "PRXTYP", "SEDTYP", "CORTYP"};
  out += "<dt>Analysis options</dt><dd>";
  for (std::size_t k = 0; k < 4; ++k) {
    out += std::string(k ? " · " : "") + names[k] + " <code>" +
           e(std::string_view(&head.options[k], 1)) + "</code>";
  }
  out += "</dd>\n<dt>Standardised again</dt><dd>" + std::string(head.standardise ? "yes" : "no") +
         "</dd>\n";
  out += "<dt>Sequence</dt><dd>IYS = " + std::to_string(head.IYS) + " (" + e(m.year(head.IYS)) +
         "), IYF = " + std::to_string(head.IYF) + " (" + e(m.year(head.IYF)) + ")</dd>\n";
  out += "<dt>Truncation level</dt><dd>NGP = " + std::to_string(head.parameters.NGP) +
         " groups</dd>\n</dl>\n";

  out +=
      "<h3>Input files</h3>\n<div class=\"scroll\"><table>\n<thead><tr><th>File</th>"
      "<th class=\"num\">Size (bytes)</th><th>Modified (UTC)</th></tr></thead>\n<tbody>\n";
  for (const InputFile& f : job.inputs) {
    out += "<tr><td>" + e(f.name) + "</td><td class=\"num\">" + std::to_string(f.size) +
           "</td><td>" + e(f.modified) + "</td></tr>\n";
  }
  if (job.inputs.empty()) out += "<tr><td colspan=\"3\" class=\"muted\">not given</td></tr>\n";
  out += "</tbody></table></div>\n";

  out +=
      "<h3>Steps</h3>\n<div class=\"scroll\"><table>\n<thead><tr><th class=\"num\">Step</th>"
      "<th>Sequence year</th><th>Data years</th><th class=\"num\">Retained</th>"
      "<th class=\"num\">Eliminated</th><th class=\"num\">Allocated</th>"
      "<th class=\"num\">Groups</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const BlockResult& b = *m.steps[i].block;
    out += "<tr><td class=\"num\"><a href=\"#step-" + std::to_string(b.StepNumber) + "\">" +
           std::to_string(b.StepNumber) + "</a></td><td>" + e(m.steps[i].name) +
           " <span class=\"muted\">(" + std::to_string(b.SequenceYear) + ")</span></td><td>" +
           years_text(m, b) + "</td><td class=\"num\">" + std::to_string(b.RetainedCount) +
           "</td><td class=\"num\">" + std::to_string(b.eliminated.size()) +
           "</td><td class=\"num\">" + std::to_string(allocated_count(b)) +
           "</td><td class=\"num\">" + std::to_string(b.CutLevel) + "</td></tr>\n";
  }
  out += "</tbody></table></div>\n</section>\n";
}

void fit_section(std::string& out, const Model& m) {
  out += "<section id=\"fit\">\n<h2><span class=\"n\">2</span>Fit over the sequence</h2>\n";
  out +=
      "<p class=\"lead\">How much of the data's variation (each location centred on its own "
      "mean) the group means explain: RSQ = ESS / TSS over the step's years, from 0 to 1, "
      "<strong>higher is better</strong>. The solid line uses the retained locations only; "
      "the dashed line adds the eliminated locations allocated to their nearest group. "
      "Later steps are measured over more years.</p>\n";
  const auto best = m.best_step(kClassified);
  const auto best_allocated = m.best_step(kWithAllocated);
  std::string finding;
  if (best) {
    finding = "The classification of <strong>" + step_ref(m, *best) +
              "</strong> fits best: overall RSQ " +
              fixed(m.steps[*best].block->fit[kClassified].overall.RSQ, 3) +
              " with its retained locations";
    if (best_allocated) {
      finding +=
          best_allocated == best
              ? " and " + fixed(m.steps[*best].block->fit[kWithAllocated].overall.RSQ, 3) +
                    " with the allocated ones, also the best."
              : "; with the allocated locations, " + step_ref(m, *best_allocated) + " fits best (" +
                    fixed(m.steps[*best_allocated].block->fit[kWithAllocated].overall.RSQ, 3) +
                    ").";
    } else {
      finding += '.';
    }
    std::optional<std::size_t> worst;
    double change = 0;
    int both = 0;
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      const auto& fit = m.steps[i].block->fit;
      if (fit[kClassified].overall.rsq_defined) {
        if (!worst ||
            fit[kClassified].overall.RSQ < m.steps[*worst].block->fit[kClassified].overall.RSQ) {
          worst = i;
        }
        if (fit[kWithAllocated].overall.rsq_defined) {
          change += fit[kWithAllocated].overall.RSQ - fit[kClassified].overall.RSQ;
          ++both;
        }
      }
    }
    if (worst && worst != best) {
      finding += " The weakest is " + step_ref(m, *worst) + " (" +
                 fixed(m.steps[*worst].block->fit[kClassified].overall.RSQ, 3) + ").";
    }
    if (both) {
      const double mean = change / both;
      finding += " Adding the allocated locations changes the overall RSQ by " + fixed(mean, 3) +
                 " on average" +
                 (mean > -0.05 ? ": they fit their groups about as well as the retained ones."
                               : ": they fit their groups less well than the retained ones.");
    }
  } else {
    finding = "No step has a defined overall RSQ.";
  }
  out += "<p class=\"finding\">" + finding + "</p>\n";
  out += figure(fit_chart(m),
                "Hover over a point for its exact value and sums of squares. "
                "NA marks a step whose total sum of squares is too small.");
  out += "</section>\n";
}

void fit_by_year_section(std::string& out, const Model& m) {
  out += "<section id=\"fit-by-year\">\n<h2><span class=\"n\">3</span>Fit by year</h2>\n";
  out +=
      "<p class=\"lead\">RSQj, the share of one year's variation the groups explain: a row "
      "per step, a column per data year (step k is measured on the first k years). "
      "<strong>Lighter (yellow) is better</strong>; hatched cells are undefined (NA), never "
      "0. A column that stays dark is a year the classifications explain poorly.</p>\n";
  // The year explained least well, on average over the steps that include it.
  std::map<std::int32_t, std::pair<double, int>> by_year;
  int undefined = 0;
  for (const StepView& s : m.steps) {
    for (const VariantFit& v : s.block->fit) {
      for (const YearFit& yf : v.years) undefined += !yf.sums.rsq_defined;
    }
    for (const YearFit& yf : s.block->fit[kClassified].years) {
      if (!yf.sums.rsq_defined) continue;
      by_year[yf.year].first += yf.sums.RSQ;
      ++by_year[yf.year].second;
    }
  }
  if (!by_year.empty()) {
    auto low = by_year.begin(), high = by_year.begin();
    for (auto it = by_year.begin(); it != by_year.end(); ++it) {
      const double mean = it->second.first / it->second.second;
      if (mean < low->second.first / low->second.second) low = it;
      if (mean > high->second.first / high->second.second) high = it;
    }
    std::string finding =
        "Classified, " + e(m.year(low->first)) + " is explained least well (mean RSQj " +
        fixed(low->second.first / low->second.second, 3) + " over " +
        std::to_string(low->second.second) + (low->second.second == 1 ? " step)" : " steps)");
    if (high != low) {
      finding += " and " + e(m.year(high->first)) + " best (" +
                 fixed(high->second.first / high->second.second, 3) + ")";
    }
    finding += ". ";
    finding += undefined == 0   ? "Every value is defined."
               : undefined == 1 ? "1 cell is undefined (hatched)."
                                : std::to_string(undefined) + " cells are undefined (hatched).";
    out += "<p class=\"finding\">" + finding + "</p>\n";
  }
  out += figure(fit_by_year_chart(m),
                "Hover over a cell for its exact RSQj, LocMod and sums "
                "of squares.");
  out += "</section>\n";
}

// " with A, B, C and 2 more": the other locations of group k in the step.
std::string mates(const Model& m, const StepView& s, std::int32_t k, std::int32_t except) {
  std::vector<std::int32_t> others;
  for (const auto& [location, group] : s.membership) {
    if (group == k && location != except) others.push_back(location);
  }
  if (others.empty()) return " <span class=\"muted\">alone</span>";
  std::string out = " <span class=\"muted\">with ";
  const std::size_t shown = others.size() <= 4 ? others.size() : 3;
  for (std::size_t j = 0; j < shown; ++j) out += (j ? ", " : "") + e(m.location(others[j]));
  if (shown < others.size()) out += " and " + std::to_string(others.size() - shown) + " more";
  return out + "</span>";
}

void stability_section(std::string& out, const Model& m) {
  out += "<section id=\"stability\">\n<h2><span class=\"n\">4</span>Stability of the groups</h2>\n";
  out +=
      "<p class=\"lead\">The adjusted Rand index compares each step's groups with the "
      "previous step's, over the locations with a group in both (retained or allocated): 1 "
      "means the same groups, whatever their numbers; 0 is what chance would give. "
      "<strong>Higher is steadier.</strong> The map beside shows each location's group in "
      "each step; group numbers are those of the step's own tables, so the same number in "
      "two steps need not be the same group.</p>\n";
  std::optional<std::size_t> low;
  std::size_t moves = 0;
  for (std::size_t i = 1; i < m.steps.size(); ++i) {
    moves += m.steps[i].moves.size();
    if (m.steps[i].ari && (!low || *m.steps[i].ari < *m.steps[*low].ari)) low = i;
  }
  if (low) {
    std::string finding;
    if (*m.steps[*low].ari >= 1.0) {
      finding = "The groups are the same in every step.";
    } else {
      finding = "The groups change most from " + step_ref(m, *low - 1) + " to " +
                step_ref(m, *low) + " (index " + fixed(*m.steps[*low].ari, 3) + ").";
    }
    finding += " Locations changed group " + std::to_string(moves) +
               (moves == 1 ? " time" : " times") + " over the sequence.";
    out += "<p class=\"finding\">" + finding + "</p>\n";
  }
  out += "<div class=\"pair\">\n" + figure(stability_chart(m)) +
         figure(group_map_chart(m),
                "Locations in the leaf order of the last step's dendrogram; below the dashed "
                "line, the others by number.") +
         "</div>\n";
  out +=
      "<h3>Changes between steps</h3>\n<p class=\"muted\">A location changed group when "
      "most of its new group came from a group other than its own; group numbers alone do not "
      "tell, since each step numbers its groups anew.</p>\n<ul class=\"moves\">\n";
  for (std::size_t i = 1; i < m.steps.size(); ++i) {
    const StepView& s = m.steps[i];
    out += "<li>" + step_ref(m, i - 1) + " → " + step_ref(m, i) + " <span class=\"muted\">(index " +
           (s.ari ? fixed(*s.ari, 3) : std::string("NA: fewer than two shared locations")) +
           ")</span>: ";
    if (s.moves.empty()) out += "<span class=\"muted\">no change</span>";
    // A long list folded away, opened with a click (no script needed).
    const bool folded = s.moves.size() > 8;
    if (folded) {
      out += "<details><summary>" + std::to_string(s.moves.size()) +
             " locations changed group</summary>";
    }
    if (!s.moves.empty()) out += "<ul>\n";
    for (const Move& mv : s.moves) {
      out += "<li><strong>" + e(m.location(mv.location)) + "</strong> from " + chip(mv.from) +
             mates(m, m.steps[i - 1], mv.from, mv.location) + " to " + chip(mv.to) +
             mates(m, s, mv.to, mv.location) + "</li>\n";
    }
    if (!s.moves.empty()) out += "</ul>";
    if (folded) out += "</details>";
    out += "</li>\n";
  }
  if (m.steps.size() < 2) out += "<li class=\"muted\">A single step: nothing to compare.</li>\n";
  out += "</ul>\n</section>\n";
}

void eliminated_table(std::string& out, const Model& m, const StepView& s) {
  const BlockResult& b = *s.block;
  out += "<h4>Where the eliminated locations went</h4>\n";
  if (b.eliminated.empty()) {
    out += "<p class=\"muted\">No location is eliminated in this step.</p>\n";
    return;
  }
  out +=
      "<p class=\"muted\">Mean squared distance to each group's centroid; each location "
      "goes to the nearest group (outlined). NA: no shared cell.</p>\n";
  out += "<div class=\"scroll\"><table>\n<thead><tr><th>Location</th><th>Allocated to</th>";
  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    out += "<th class=\"num\">" + chip(static_cast<std::int32_t>(k + 1)) + "</th>";
  }
  out += "</tr></thead>\n<tbody>\n";
  for (const EliminatedLocation& el : b.eliminated) {
    out += "<tr><td>" + e(m.location(el.location)) + "</td><td>" +
           (el.group ? chip(el.group) : std::string("<span class=\"muted\">not allocated</span>")) +
           "</td>";
    for (std::size_t k = 0; k < b.groups.size(); ++k) {
      const std::int32_t cells = k < el.cells.size() ? el.cells[k] : 0;
      const bool defined = cells > 0 && k < el.mean_sed.size();
      const bool nearest = el.group == static_cast<std::int32_t>(k + 1);
      const std::string title = " title=\"" +
                                (defined ? round_trip(el.mean_sed[k]) : std::string("NA")) +
                                " over " + std::to_string(cells) + " cells\"";
      out += std::string("<td class=\"num") + (defined ? "" : " na") + (nearest ? " nearest" : "") +
             "\"" + title + ">" + (defined ? significant(el.mean_sed[k], 3) : std::string("NA")) +
             "</td>";
    }
    out += "</tr>\n";
  }
  out += "</tbody></table></div>\n";
}

void groups_table(std::string& out, const Model& m, const StepView& s) {
  out +=
      "<h4>Groups</h4>\n<div class=\"scroll\"><table>\n<thead><tr><th>Group</th>"
      "<th>Retained members</th><th>Allocated</th></tr></thead>\n<tbody>\n";
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    const Group& g = s.block->groups[k];
    std::string members, allocated;
    for (const std::int32_t l : g.members)
      members += (members.empty() ? "" : ", ") + e(m.location(l));
    for (const std::int32_t l : g.allocated) {
      allocated += (allocated.empty() ? "" : ", ") + e(m.location(l));
    }
    out += "<tr><td class=\"nowrap\">" + chip(static_cast<std::int32_t>(k + 1)) +
           " <span class=\"muted\">label " + std::to_string(g.label) + "</span></td><td>" +
           members + "</td><td>" +
           (allocated.empty() ? "<span class=\"muted\">–</span>" : allocated) + "</td></tr>\n";
  }
  out += "</tbody></table></div>\n";
}

void steps_section(std::string& out, const Model& m) {
  out += "<section id=\"steps\">\n<h2><span class=\"n\">5</span>Each step</h2>\n";
  out +=
      "<p class=\"lead\">The dendrogram of the step's retained locations, coloured and "
      "numbered by group as in the tables; beside it, where each eliminated location went. "
      "Hover over a join for its hierarchy record.</p>\n";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const StepView& s = m.steps[i];
    const BlockResult& b = *s.block;
    out += "<div class=\"step\" id=\"step-" + std::to_string(b.StepNumber) + "\">\n<h3>Step " +
           std::to_string(b.StepNumber) + (s.name.empty() ? "" : " · " + e(s.name)) + "</h3>\n";
    out += "<p class=\"muted\">Measured on " + years_text(m, b) + ". " +
           std::to_string(b.RetainedCount) + " retained, " + std::to_string(b.eliminated.size()) +
           " eliminated (" + std::to_string(allocated_count(b)) + " allocated), " +
           std::to_string(b.CutLevel) + (b.CutLevel == 1 ? " group" : " groups") +
           ". Overall RSQ " + rounded(b.fit[kClassified].overall) + " classified, " +
           rounded(b.fit[kWithAllocated].overall) + " with the allocated locations.</p>\n";
    out += "<div class=\"pair\">\n" + figure(step_chart(m, i)) + "<div>\n";
    eliminated_table(out, m, s);
    groups_table(out, m, s);
    out += "</div>\n</div>\n</div>\n";
  }
  if (m.steps.empty()) out += "<p class=\"muted\">The job has no steps.</p>\n";
  out += "</section>\n";
}

void table_section(std::string& out, const Model& m) {
  out += "<section id=\"table\">\n<h2><span class=\"n\">6</span>Fit per step</h2>\n";
  out +=
      "<p class=\"lead\">The numbers of <code>steps.csv</code>, in full precision, a column "
      "per step (a row of the file); NA where a value is undefined. The step that fits best "
      "as classified is shaded.</p>\n";
  const auto best = m.best_step(kClassified);
  const auto cells = [&](const char* column, const char* what, auto value) {
    out += std::string("<tr><th class=\"row\">") + what + " <code>" + column + "</code></th>";
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      const std::string v = value(*m.steps[i].block, i);
      out += std::string("<td class=\"num") + (v == "NA" ? " na" : "") +
             (best == i ? " best" : "") + "\">" + v + "</td>";
    }
    out += "</tr>\n";
  };
  const auto part = [&](const char* title) {
    out += "<tr class=\"part\"><th colspan=\"" + std::to_string(m.steps.size() + 1) + "\">" +
           title + "</th></tr>\n";
  };
  out += "<div class=\"scroll\"><table class=\"wide\">\n<thead><tr><th class=\"row\">Step</th>";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    out += std::string("<th class=\"num") + (best == i ? " best" : "") + "\">" + step_ref(m, i) +
           "</th>";
  }
  out += "</tr></thead>\n<tbody>\n";
  using B = const BlockResult&;
  const auto n = [](std::int64_t v) { return std::to_string(v); };
  cells("step", "Step", [&](B b, std::size_t) { return n(b.StepNumber); });
  cells("sequence_year", "Sequence year", [&](B b, std::size_t) { return n(b.SequenceYear); });
  cells("sequence_year_name", "Its name", [&](B, std::size_t i) { return e(m.steps[i].name); });
  cells("first_year", "First data year", [&](B b, std::size_t) { return n(b.first_year); });
  cells("last_year", "Last data year", [&](B b, std::size_t) { return n(b.last_year); });
  cells("retained", "Retained", [&](B b, std::size_t) { return n(b.RetainedCount); });
  cells("eliminated", "Eliminated",
        [&](B b, std::size_t) { return n(static_cast<std::int64_t>(b.eliminated.size())); });
  cells("groups", "Groups", [&](B b, std::size_t) { return n(b.CutLevel); });
  for (const Variant v : {kClassified, kWithAllocated}) {
    const bool c = v == kClassified;
    part(c ? "Classified (retained locations)" : "With the allocated locations");
    cells(c ? "tss_classified" : "tss_with_allocated", "TSS",
          [&](B b, std::size_t) { return num(b.fit[v].overall.TSS); });
    cells(c ? "ess_classified" : "ess_with_allocated", "ESS",
          [&](B b, std::size_t) { return num(b.fit[v].overall.ESS); });
    cells(c ? "rss_classified" : "rss_with_allocated", "RSS",
          [&](B b, std::size_t) { return num(b.fit[v].overall.RSS); });
    cells(c ? "rsq_classified" : "rsq_with_allocated", "RSQ",
          [&](B b, std::size_t) { return rsq(b.fit[v].overall); });
  }
  part("Stability");
  cells("stability_ari", "Adjusted Rand index", [&](B, std::size_t i) {
    return m.steps[i].ari ? num(*m.steps[i].ari) : std::string("NA");
  });
  out += "</tbody></table></div>\n</section>\n";
}

}  // namespace

std::string write_page(const RunHead& head, const std::vector<BlockResult>& blocks,
                       const PageJob& job) {
  const Model m = make_model(head, blocks, job);
  const std::string title(trim_right(head.JobTitle));
  std::string out;
  out +=
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>" +
      e(job.name) + (title.empty() ? "" : " · " + e(title)) + "</title>\n<style>" +
      std::string(kPageStyle) + "</style>\n</head>\n<body>\n";
  out +=
      "<header class=\"top\"><div class=\"inner\">\n<p class=\"kicker\">Classification "
      "over a sequence of years · job " +
      e(job.name) + "</p>\n<h1>" + (title.empty() ? e(job.name) : e(title)) + "</h1>\n<nav>";
  for (const auto& [id, label] : {std::pair{"job", "1 The job"},
                                  {"fit", "2 Fit over the sequence"},
                                  {"fit-by-year", "3 Fit by year"},
                                  {"stability", "4 Stability"},
                                  {"steps", "5 Each step"},
                                  {"table", "6 Fit per step"}}) {
    out += std::string("<a href=\"#") + id + "\">" + label + "</a>";
  }
  out += "</nav>\n</div></header>\n<main>\n";
  at_a_glance(out, m);
  job_section(out, m);
  fit_section(out, m);
  fit_by_year_section(out, m);
  stability_section(out, m);
  steps_section(out, m);
  table_section(out, m);
  out += "</main>\n<footer>Written by locseq from the results of job " + e(job.name) +
         ". Figures round their values; hover over them for the exact ones.</footer>\n"
         "</body>\n</html>\n";
  return out;
}

std::map<std::string, std::string> write_plots(const RunHead& head,
                                               const std::vector<BlockResult>& blocks,
                                               const PageJob& job) {
  const Model m = make_model(head, blocks, job);
  std::map<std::string, std::string> out;
  out["fit.svg"] = standalone(fit_chart(m));
  out["fit_by_year.svg"] = standalone(fit_by_year_chart(m));
  out["stability.svg"] = standalone(stability_figure(m));
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    out["step-" + std::to_string(m.steps[i].block->StepNumber) + ".svg"] =
        standalone(step_chart(m, i));
  }
  return out;
}

}  // namespace locseq::report
