// Sections 2 and 3: the fit over the sequence and the fit by year.
#include "report/charts.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

double adjusted(const Model& m, std::size_t i, Variant v) {
  return *m.steps[i].found->adjusted[v].value;
}

// Which step fits best, with and without the allocated locations, which
// least, and what the allocated locations do to the fit.
Html fit_finding(const Model& m) {
  const findings::RunFindings& f = m.findings;
  const auto best = f.best[kClassified], best_allocated = f.best[kWithAllocated];
  Html out;
  if (!best) return out << "No step has a defined adjusted RSQ.";
  out << "The classification of <strong>" << step_ref(m, *best)
      << "</strong> fits best: adjusted RSQ " << fixed(adjusted(m, *best, kClassified), 3)
      << " with its retained locations (RSQ "
      << fixed(m.steps[*best].block->fit[kClassified].overall.RSQ, 3) << ")";
  if (!best_allocated) {
    out << ".";
  } else if (best_allocated == best) {
    out << " and " << fixed(adjusted(m, *best, kWithAllocated), 3)
        << " with the allocated ones, also the best.";
  } else {
    out << "; with the allocated locations, " << step_ref(m, *best_allocated) << " fits best ("
        << fixed(adjusted(m, *best_allocated, kWithAllocated), 3) << ").";
  }
  if (f.weakest && f.weakest != best) {
    out << " The weakest is " << step_ref(m, *f.weakest) << " ("
        << fixed(adjusted(m, *f.weakest, kClassified), 3) << ").";
  }
  if (const auto change = f.allocation_change) {
    out << " Adding the allocated locations changes the adjusted RSQ by " << fixed(*change, 3)
        << " on average";
    if (*change > -0.05) {
      out << ": they fit their groups about as well as the retained ones.";
    } else {
      out << ": they fit their groups less well than the retained ones.";
    }
  }
  return out;
}

// The steps with single-site groups, which RSQ flatters.
Html single_site_finding(const Model& m) {
  Html out = "Single-site groups (one retained location, which its group fits exactly): ";
  return out << single_site_steps(m, 6)
             << ". RSQ overstates the fit of these steps; the adjusted RSQ allows for it.";
}

// The years explained least and best, and how many values are undefined.
Html year_finding(const Model& m) {
  const findings::RunFindings& f = m.findings;
  const findings::YearSummary& low = f.years[*f.hardest_year];
  const findings::YearSummary& high = f.years[*f.easiest_year];
  Html out = "Classified, ";
  out << m.year(low.year) << " is explained least well (mean RSQj " << fixed(low.mean_rsq, 3)
      << " over " << count(low.steps, "step)", "steps)");
  if (f.hardest_year != f.easiest_year) {
    out << " and " << m.year(high.year) << " best (" << fixed(high.mean_rsq, 3) << ")";
  }
  out << ". ";
  if (f.undefined_year_fits == 0) {
    out << "Every value is defined.";
  } else if (f.undefined_year_fits == 1) {
    out << "1 cell is undefined (hatched).";
  } else {
    out << f.undefined_year_fits << " cells are undefined (hatched).";
  }
  return out;
}

}  // namespace

Html fit_section(const Model& m) {
  Html out =
      "<p class=\"lead\">How much of the data's variation (each location centred on its own "
      "mean) the group means explain: RSQ = ESS / TSS over the step's years, from 0 to 1, "
      "<strong>higher is better</strong>. The adjusted RSQ, 1 − (1 − RSQ)·n/(n − k) for n "
      "locations in k groups, takes away what k groups explain by chance alone (on data "
      "without pattern it is near 0, while RSQ grows as the locations per group get fewer), "
      "so that steps of different sizes compare fairly; the page ranks steps by it. The solid "
      "line uses the retained locations only; the dashed line adds the eliminated locations "
      "allocated to their nearest group; the dotted lines are RSQ before the adjustment. "
      "Later steps are measured over more years.</p>\n";
  out << finding(fit_finding(m));
  if (m.findings.single_site_steps > 0) out << finding(single_site_finding(m));
  return out << figure(fit_chart(m),
                       "Hover over a point for its exact values, n, k and sums of squares. "
                       "NA marks a step whose total sum of squares is too small, or with no "
                       "more locations than groups.");
}

Html fit_by_year_section(const Model& m) {
  Html out =
      "<p class=\"lead\">RSQj, the share of one year's variation the groups explain: a row "
      "per step, a column per data year (step k is measured on the first k years). "
      "<strong>Lighter (yellow) is better</strong>; hatched cells are undefined (NA), never "
      "0. A column that stays dark is a year the classifications explain poorly.</p>\n";
  if (!m.findings.years.empty()) out << finding(year_finding(m));
  return out << figure(fit_by_year_chart(m),
                       "Hover over a cell for its exact RSQj, LocMod and sums of squares.");
}

}  // namespace locseq::report
