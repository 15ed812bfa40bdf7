// Sections 2 and 3: the fit over the sequence and the fit by year.
#include "report/charts.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

double overall_rsq(const Model& m, std::size_t i, Variant v) {
  return m.steps[i].block->fit[v].overall.RSQ;
}

// Which step fits best, with and without the allocated locations, which
// least, and what the allocated locations do to the fit.
Html fit_finding(const Model& m) {
  const findings::RunFindings& f = m.findings;
  const auto best = f.best[kClassified], best_allocated = f.best[kWithAllocated];
  Html out;
  if (!best) return out << "No step has a defined overall RSQ.";
  out << "The classification of <strong>" << step_ref(m, *best)
      << "</strong> fits best: overall RSQ " << fixed(overall_rsq(m, *best, kClassified), 3)
      << " with its retained locations";
  if (!best_allocated) {
    out << ".";
  } else if (best_allocated == best) {
    out << " and " << fixed(overall_rsq(m, *best, kWithAllocated), 3)
        << " with the allocated ones, also the best.";
  } else {
    out << "; with the allocated locations, " << step_ref(m, *best_allocated) << " fits best ("
        << fixed(overall_rsq(m, *best_allocated, kWithAllocated), 3) << ").";
  }
  if (f.weakest && f.weakest != best) {
    out << " The weakest is " << step_ref(m, *f.weakest) << " ("
        << fixed(overall_rsq(m, *f.weakest, kClassified), 3) << ").";
  }
  if (const auto change = f.allocation_change) {
    out << " Adding the allocated locations changes the overall RSQ by " << fixed(*change, 3)
        << " on average";
    if (*change > -0.05) {
      out << ": they fit their groups about as well as the retained ones.";
    } else {
      out << ": they fit their groups less well than the retained ones.";
    }
  }
  return out;
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
      "<strong>higher is better</strong>. The solid line uses the retained locations only; "
      "the dashed line adds the eliminated locations allocated to their nearest group. "
      "Later steps are measured over more years.</p>\n";
  return out << finding(fit_finding(m))
             << figure(fit_chart(m),
                       "Hover over a point for its exact value and sums of squares. "
                       "NA marks a step whose total sum of squares is too small.");
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
