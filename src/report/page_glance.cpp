// The summary at the top of the page: a line per question it answers.
#include <cmath>
#include <string>

#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// "16 locations", or "19.5 locations a year on average" when the number of
// locations in the fit changes from year to year.
Html locations_in_fit(double n) {
  Html out;
  if (n == std::floor(n))
    return out << count(static_cast<std::int64_t>(n), "location", "locations");
  return out << fixed(n, 1) << " locations a year on average";
}

// "adjusted RSQ 0.706 (RSQ 0.798; 16 locations in 5 groups)" for step i.
Html fit_of(const Model& m, std::size_t i, Variant v) {
  const findings::AdjustedFit& a = m.steps[i].found->adjusted[v];
  Html out = "adjusted RSQ ";
  return out << fixed(*a.value, 3) << " (RSQ " << fixed(m.steps[i].block->fit[v].overall.RSQ, 3)
             << "; " << locations_in_fit(a.locations) << " in "
             << count(a.groups, "group", "groups") << ")";
}

Html glance_fit(const Model& m) {
  const findings::RunFindings& f = m.findings;
  Html out;
  if (!f.best[kClassified]) {
    return out << "<li><strong>Fit:</strong> no step has a defined adjusted RSQ. "
                  "<a href=\"#fit\">Fit over the sequence</a></li>\n";
  }
  const std::size_t best = *f.best[kClassified];
  out << "<li><strong>Best fit:</strong> the classification of " << step_ref(m, best) << ", "
      << fit_of(m, best, kClassified) << ". <a href=\"#fit\">Fit over the sequence</a></li>\n";
  if (f.weakest && *f.weakest != best) {
    out << "<li><strong>Weakest fit:</strong> " << step_ref(m, *f.weakest) << ", "
        << fit_of(m, *f.weakest, kClassified) << ".</li>\n";
  }
  return out;
}

Html glance_single_sites(const Model& m) {
  const std::size_t steps = m.findings.single_site_steps;
  Html out = "<li><strong>Single-site groups:</strong> ";
  if (steps == 0) return out << "none; every group has at least two retained locations.</li>\n";
  out << "in " << steps << " of the " << count(m.steps.size(), "step", "steps") << " ("
      << single_site_steps(m, 3)
      << "). A group of one location fits it exactly, so RSQ overstates such a step's fit; the "
         "adjusted RSQ allows for it.</li>\n";
  return out;
}

Html glance_stability(const Model& m) {
  const findings::RunFindings& f = m.findings;
  Html out = "<li><strong>Stability:</strong> ";
  out << count(f.moves, "location changed", "locations changed") << " group between steps";
  if (f.least_stable && *m.steps[*f.least_stable].found->stability < 1.0) {
    const std::size_t low = *f.least_stable;
    out << "; the groups changed most from " << step_ref(m, low - 1) << " to " << step_ref(m, low)
        << " (index " << fixed(*m.steps[low].found->stability, 3) << ")";
  }
  return out << ". <a href=\"#stability\">Stability of the groups</a></li>\n";
}

Html glance_eliminated(const Model& m) {
  const findings::RunFindings& f = m.findings;
  Html out = "<li><strong>Eliminated locations:</strong> ";
  if (f.eliminated == 0) return out << "no step eliminates a location.</li>\n";
  out << count(f.eliminated, "elimination", "eliminations") << " over the "
      << count(m.steps.size(), "step", "steps")
      << " (a location counts once in each step that eliminates it); ";
  if (f.eliminated == 1) {
    out << std::string_view(f.allocated == 1 ? "it was" : "it was not");
  } else if (f.allocated == f.eliminated) {
    out << "all were";
  } else {
    out << f.allocated << " of them " << std::string_view(f.allocated == 1 ? "was" : "were");
  }
  return out << " allocated to the nearest group. <a href=\"#steps\">Each step</a></li>\n";
}

}  // namespace

Html at_a_glance(const Model& m) {
  Html out;
  if (m.steps.empty()) return out;
  out << "<div class=\"glance\"><h2>At a glance</h2>\n<ul>\n"
      << glance_fit(m) << glance_single_sites(m);
  if (m.steps.size() > 1) out << glance_stability(m);
  return out << glance_eliminated(m) << "</ul>\n</div>\n";
}

}  // namespace locseq::report
