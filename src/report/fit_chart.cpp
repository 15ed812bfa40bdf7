// The overall fit of every step, both variants, as lines over the steps.
#include <array>
#include <optional>

#include "report/axes.h"
#include "report/charts.h"
#include "report/fit_values.h"
#include "report/text.h"

namespace locseq::report {
namespace {

struct FitGeometry {
  double width = 760, left = 72, right = 760 - 24, top = 58, bottom = 58 + 250;
  double height = 0;
  Scale y;
  // Per variant, the point of each step; none where its RSQ is undefined.
  std::array<std::vector<std::optional<Point>>, 2> points;

  double at(double v) const { return y.at(v, bottom, top); }
};

FitGeometry fit_geometry(const Model& m) {
  FitGeometry g;
  g.height = g.bottom + step_axis_height(m) + 34;
  Range range;
  for (const StepView& s : m.steps) {
    for (const VariantFit& v : s.block->fit) range.add(v.overall);
  }
  g.y = range.scale(5);
  const std::size_t n = m.steps.size();
  for (std::size_t v = 0; v < 2; ++v) {
    for (std::size_t i = 0; i < n; ++i) {
      const FitSums& f = m.steps[i].block->fit[v].overall;
      g.points[v].push_back(
          drawn(f) ? std::optional<Point>({band_centre(i, n, g.left, g.right), g.at(f.RSQ)})
                   : std::nullopt);
    }
  }
  return g;
}

Text fit_desc(const Model& m) {
  Text desc = "Overall RSQ of each step, higher is better.";
  for (std::size_t v = 0; v < 2; ++v) {
    desc += v == 0 ? " Classified:" : " With allocated locations:";
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      desc += (i ? ", " : " ") + m.step_title(i) + " " + rsq_said(m.steps[i].block->fit[v].overall);
    }
    desc += ".";
  }
  return desc;
}

void draw_axes(Svg& out, const Model& m, const FitGeometry& g) {
  for (const double t : g.y.ticks()) {
    out.add(line({g.left, g.at(t)}, {g.right, g.at(t)}, Style().stroke(ink::kGrid)));
    out.add(text({g.left - 8, g.at(t) + 4}, fixed(t, g.y.decimals), y_tick_style()));
  }
  out.add(path(PathData().move({g.left, g.top - 6}).vertical(g.bottom).horizontal(g.right),
               Style().no_fill().stroke(ink::kText)));
  step_axis(out, m, g.left, g.right, g.bottom);
  const Point middle{18, (g.top + g.bottom) / 2};
  out.add(text(middle, "Overall RSQ (higher is better)", turned_title(middle)));
  out.add(text({(g.left + g.right) / 2, g.height - 8}, "Step (sequence year of the block)",
               Style().anchor(Anchor::kMiddle)));
}

// The line of a series: solid for the classified fit, dashed with the
// allocated locations.
Style series_line(std::size_t v) {
  Style s = Style().stroke(kSeriesColours[v]).stroke_width(2.5);
  if (v) s.dashes(6, 4);
  return s;
}

void draw_legend(Svg& out, const FitGeometry& g) {
  for (std::size_t v = 0; v < 2; ++v) {
    const double x = g.left + static_cast<double>(v) * 250, y = 22;
    out.add(line({x, y}, {x + 30, y}, series_line(v)));
    out.add(v == 0 ? circle({x + 15, y}, 4.5, Style().fill(kSeriesColours[v]))
                   : rect({x + 11, y - 4, 8, 8}, Style().fill(kSeriesColours[v])));
    out.add(text({x + 38, y + 4}, kVariantTitle[v]));
  }
}

void draw_series(Svg& out, const Model& m, const FitGeometry& g, std::size_t v) {
  PathData d;
  bool open = false;
  for (const std::optional<Point>& p : g.points[v]) {
    if (p) open ? d.line(*p) : d.move(*p);
    open = p.has_value();
  }
  Style style = Style().no_fill().stroke(kSeriesColours[v]).stroke_width(2.5).round_joins();
  if (v) style.dashes(6, 4);
  if (!d.empty()) out.add(path(d, style));
  for (std::size_t i = 0; i < g.points[v].size(); ++i) {
    const FitSums& f = m.steps[i].block->fit[v].overall;
    const Text tip = m.step_title(i) + ", " + kSeriesName[v] + ": overall RSQ " + rsq_text(f) +
                     " (TSS " + round_trip(f.TSS) + ", ESS " + round_trip(f.ESS) + ", RSS " +
                     round_trip(f.RSS) + ")";
    const Style marker = Style().fill(kSeriesColours[v]).stroke(ink::kPaper);
    const std::optional<Point>& p = g.points[v][i];
    const double x = band_centre(i, g.points[v].size(), g.left, g.right);
    if (!p) {
      out.add(text({x, g.bottom - 8 - 14 * static_cast<double>(v)}, "NA",
                   Style().anchor(Anchor::kMiddle).size(11).fill(kSeriesColours[v]), tip));
    } else if (v == 0) {
      out.add(circle(*p, 5, marker, tip));
    } else {
      out.add(rect({p->x - 4.5, p->y - 4.5, 9, 9}, marker, tip));
    }
  }
}

void mark_best(Svg& out, const Model& m, const FitGeometry& g) {
  const auto best = m.findings.best[kClassified];
  if (!best) return;
  const Colour colour = kSeriesColours[kClassified];
  const double x = band_centre(*best, m.steps.size(), g.left, g.right);
  const double y = g.at(m.steps[*best].block->fit[kClassified].overall.RSQ);
  out.add(circle({x, y}, 9, Style().no_fill().stroke(colour).stroke_width(1.5)));
  out.add(text({x, y - 14 < g.top ? y + 24 : y - 14}, "best",
               Style().anchor(Anchor::kMiddle).bold().fill(colour)));
}

}  // namespace

Figure fit_chart(const Model& m) {
  const FitGeometry g = fit_geometry(m);
  Svg out({"fit", g.width, g.height, "Overall fit (RSQ) per step", fit_desc(m)});
  draw_axes(out, m, g);
  draw_legend(out, g);
  for (std::size_t v = 0; v < 2; ++v) draw_series(out, m, g, v);
  mark_best(out, m, g);
  if (m.steps.empty()) {
    out.add(text({(g.left + g.right) / 2, (g.top + g.bottom) / 2}, "No steps",
                 Style().anchor(Anchor::kMiddle)));
  }
  return std::move(out).finish();
}

}  // namespace locseq::report
