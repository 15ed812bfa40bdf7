// The section of a sweep over truncation levels (run --sweep): the adjusted
// fit of every step against the number of groups.
#include <cmath>
#include <optional>

#include "report/charts.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// The level of the highest defined adjusted RSQ (classified) of step i,
// the lower level on a tie, and that value.
struct BestLevel {
  std::int32_t groups = 0;
  double value = 0.0;
};

std::optional<BestLevel> best_level(const Model& m, std::size_t i) {
  std::optional<BestLevel> best;
  for (const LevelFit& f : m.steps[i].block->sweep) {
    if (f.bar != LevelBar::kNone) continue;
    const std::optional<double> a = findings::adjusted_fit(f.fit[kClassified], f.groups).value;
    if (a && std::isfinite(*a) && (!best || *a > best->value)) best = BestLevel{f.groups, *a};
  }
  return best;
}

// Which number of groups fits the last step best, and how many steps agree.
Html sweep_finding(const Model& m) {
  const std::size_t last = m.steps.size() - 1;
  const std::optional<BestLevel> best = best_level(m, last);
  Html out;
  if (!best) return out << "No level of the sweep has a defined adjusted RSQ at the last step.";
  std::size_t agree = 0;
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const std::optional<BestLevel> b = best_level(m, i);
    agree += b && b->groups == best->groups;
  }
  out << "At the last step, " << step_ref(m, last) << ", <strong>"
      << count(best->groups, "group", "groups") << "</strong> fit best (adjusted RSQ "
      << fixed(best->value, 3) << "); " << agree << " of " << count(m.steps.size(), "step", "steps")
      << " fit best at that level. The reports and the other sections use "
      << count(m.head->parameters.NGP, "group", "groups") << " (-g).";
  return out;
}

}  // namespace

bool swept(const Model& m) {
  return !m.steps.empty() && !m.steps.front().block->sweep.empty();
}

Html sweep_section(const Model& m) {
  Html out =
      "<p class=\"lead\">Every step cut, allocated and fitted again at each number of groups "
      "of the sweep. The adjusted RSQ allows for the fit that more groups give by chance, so "
      "a level where it stops rising is a fair choice of the number of groups. A line per "
      "step; the last step, measured over the most years, is drawn thick. A step with no more "
      "retained locations than groups has no value there.</p>\n";
  out << finding(sweep_finding(m));
  return out << figure(sweep_chart(m),
                       "Hover over a point for the step's adjusted RSQ and RSQ at that level, "
                       "with and without the allocated locations; sweep.csv (--tables) holds "
                       "them all.");
}

}  // namespace locseq::report
