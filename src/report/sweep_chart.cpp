// The adjusted fit (classified) of every step at every truncation level of a
// sweep, against the number of groups: a line per step, the last step's
// drawn over the others in the accent colour, the run's own level marked.
#include <cmath>
#include <optional>
#include <vector>

#include "report/axes.h"
#include "report/charts.h"
#include "report/fit_values.h"
#include "report/text.h"

namespace locseq::report {
namespace {

struct SweepGeometry {
  double width = 760, left = 72, right = 760 - 24, top = 56, bottom = 56 + 250;
  double height = 56 + 250 + 52;
  Scale y;
  std::vector<std::int32_t> levels;  // the levels, ascending
  // Per step, the adjusted RSQ at each level; none where undefined.
  std::vector<std::vector<std::optional<double>>> adjusted;

  double at(double v) const { return y.at(v, bottom, top); }
  double x(std::size_t k) const { return band_centre(k, levels.size(), left, right); }
};

std::optional<double> adjusted_at(const LevelFit& f) {
  if (f.bar != LevelBar::kNone) return std::nullopt;
  const std::optional<double> a = findings::adjusted_fit(f.fit[kClassified], f.groups).value;
  return a && std::isfinite(*a) ? a : std::nullopt;
}

SweepGeometry sweep_geometry(const Model& m) {
  SweepGeometry g;
  Range range;
  if (!m.steps.empty()) {
    for (const LevelFit& f : m.steps.front().block->sweep) g.levels.push_back(f.groups);
  }
  for (const StepView& s : m.steps) {
    auto& row = g.adjusted.emplace_back();
    for (const LevelFit& f : s.block->sweep) {
      row.push_back(adjusted_at(f));
      range.add(row.back());
    }
  }
  g.y = range.scale(5);
  return g;
}

Text sweep_desc(const Model& m, const SweepGeometry& g) {
  Text desc =
      "Adjusted RSQ (classified) of each step against the number of groups, higher is "
      "better.";
  for (std::size_t i = 0; i < g.adjusted.size(); ++i) {
    desc += " " + m.step_title(i) + ":";
    for (std::size_t k = 0; k < g.levels.size(); ++k) {
      const std::optional<double>& a = g.adjusted[i][k];
      desc += (k ? ", " : " ") + std::to_string(g.levels[k]) + " groups " +
              (a ? fixed(*a, 3) : std::string("NA"));
    }
    desc += ".";
  }
  return desc;
}

void draw_sweep_axes(Svg& out, const Model& m, const SweepGeometry& g) {
  value_axis(out, g.y, {g.left, g.right, g.top, g.bottom});
  // At most about 30 labels, so that they stand apart.
  const std::size_t every = g.levels.size() / 31 + 1;
  for (std::size_t k = 0; k < g.levels.size(); ++k) {
    if (k % every == 0) {
      out.add(text({g.x(k), g.bottom + 16}, std::to_string(g.levels[k]), x_tick_style()));
    }
    if (g.levels[k] != m.head->parameters.NGP) continue;
    out.add(line({g.x(k), g.top}, {g.x(k), g.bottom}, Style().stroke(ink::kHatch).dashes(4, 4)));
    out.add(text({g.x(k), g.top - 10}, "-g " + std::to_string(g.levels[k]) + " (the reports)",
                 Style().anchor(Anchor::kMiddle).size(11).fill(ink::kMuted)));
  }
  const Point middle{18, (g.top + g.bottom) / 2};
  out.add(text(middle, "Adjusted RSQ (higher is better)", turned_title(middle)));
  out.add(text({(g.left + g.right) / 2, g.height - 10}, "Number of groups (truncation level)",
               Style().anchor(Anchor::kMiddle)));
}

Text level_tip(const Model& m, std::size_t i, const LevelFit& f) {
  Text tip = m.step_title(i) + " at " + std::to_string(f.groups) + " groups: ";
  if (f.bar != LevelBar::kNone) return tip + "not cut at that level";
  for (const Variant v : {kClassified, kWithAllocated}) {
    const findings::AdjustedFit a = findings::adjusted_fit(f.fit[v], f.groups);
    tip += std::string(v == kClassified ? "" : "; ") + kSeriesName[v] + " adjusted RSQ " +
           (a.value ? round_trip(*a.value) : "NA") + ", RSQ " + rsq_text(f.fit[v].overall);
  }
  return tip;
}

// Step i's line and points: thin and neutral, or, for the last step,
// thick in the accent colour.
void draw_step(Svg& out, const Model& m, const SweepGeometry& g, std::size_t i) {
  const bool last = i + 1 == g.adjusted.size();
  const Colour colour = last ? kSeriesColours[kClassified] : ink::kHatch;
  PathData d;
  bool open = false;
  for (std::size_t k = 0; k < g.levels.size(); ++k) {
    const std::optional<double>& a = g.adjusted[i][k];
    if (a) open ? d.line({g.x(k), g.at(*a)}) : d.move({g.x(k), g.at(*a)});
    open = a.has_value();
  }
  if (!d.empty()) {
    out.add(path(d, Style().no_fill().stroke(colour).stroke_width(last ? 2.5 : 1).round_joins()));
  }
  for (std::size_t k = 0; k < g.levels.size(); ++k) {
    const std::optional<double>& a = g.adjusted[i][k];
    if (!a) continue;
    out.add(circle({g.x(k), g.at(*a)}, last ? 4.5 : 2.5, Style().fill(colour).stroke(ink::kPaper),
                   level_tip(m, i, m.steps[i].block->sweep[k])));
  }
}

void draw_sweep_legend(Svg& out, const Model& m, const SweepGeometry& g) {
  const double y = 18;
  out.add(line({g.left, y}, {g.left + 30, y}, Style().stroke(ink::kHatch)));
  out.add(text({g.left + 38, y + 4}, "each step"));
  if (g.adjusted.empty()) return;
  const double x = g.left + 38 + text_width(9, 12) + 28;
  out.add(line({x, y}, {x + 30, y}, Style().stroke(kSeriesColours[kClassified]).stroke_width(2.5)));
  out.add(text({x + 38, y + 4}, "the last, " + m.step_title(g.adjusted.size() - 1)));
}

}  // namespace

Figure sweep_chart(const Model& m) {
  const SweepGeometry g = sweep_geometry(m);
  Svg out({"sweep-chart", g.width, g.height, "Adjusted RSQ against the number of groups",
           sweep_desc(m, g)});
  draw_sweep_axes(out, m, g);
  draw_sweep_legend(out, m, g);
  for (std::size_t i = 0; i < g.adjusted.size(); ++i) draw_step(out, m, g, i);
  return std::move(out).finish();
}

}  // namespace locseq::report
