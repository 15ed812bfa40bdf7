// The overall fit of every step, both variants, as lines over the steps:
// the adjusted RSQ drawn, RSQ dotted beside it.
#include <array>
#include <optional>

#include "report/axes.h"
#include "report/charts.h"
#include "report/fit_values.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// One series: the value of each step, none where it is undefined.
using Values = std::vector<std::optional<double>>;

struct FitGeometry {
  double width = 760, left = 72, right = 760 - 24, top = 76, bottom = 76 + 250;
  double height = 0;
  Scale y;
  // Per variant, the adjusted RSQ and the RSQ of each step.
  std::array<Values, 2> adjusted, rsq;

  double at(double v) const { return y.at(v, bottom, top); }
  double x(std::size_t i) const { return band_centre(i, adjusted[0].size(), left, right); }
};

FitGeometry fit_geometry(const Model& m) {
  FitGeometry g;
  const std::size_t n = m.steps.size();
  g.height =
      g.bottom + step_axis_height(m, n ? (g.right - g.left) / static_cast<double>(n) : 0) + 34;
  Range range;
  for (std::size_t v = 0; v < 2; ++v) {
    for (const StepView& s : m.steps) {
      const FitSums& f = s.block->fit[v].overall;
      const std::optional<double>& a = s.found->adjusted[v].value;
      g.rsq[v].push_back(drawn(f) ? std::optional<double>(f.RSQ) : std::nullopt);
      g.adjusted[v].push_back(a && std::isfinite(*a) ? a : std::nullopt);
      range.add(g.rsq[v].back());
      range.add(g.adjusted[v].back());
    }
  }
  g.y = range.scale(5);
  return g;
}

Text fit_desc(const Model& m) {
  Text desc = "Adjusted RSQ of each step (and RSQ), higher is better.";
  for (std::size_t v = 0; v < 2; ++v) {
    desc += v == 0 ? " Classified:" : " With allocated locations:";
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      desc += (i ? ", " : " ") + m.step_title(i) + " " +
              adjusted_said(m.steps[i].found->adjusted[v]) + " (" +
              rsq_said(m.steps[i].block->fit[v].overall) + ")";
    }
    desc += ".";
  }
  return desc;
}

void draw_axes(Svg& out, const Model& m, const FitGeometry& g) {
  value_axis(out, g.y, {g.left, g.right, g.top, g.bottom});
  step_axis(out, m, g.left, g.right, g.bottom);
  const Point middle{18, (g.top + g.bottom) / 2};
  out.add(text(middle, "Adjusted RSQ (higher is better)", turned_title(middle)));
  out.add(text({(g.left + g.right) / 2, g.height - 8}, "Step (sequence year of the block)",
               Style().anchor(Anchor::kMiddle)));
}

// The line of a series: solid for the classified fit, dashed with the
// allocated locations; RSQ thin and dotted.
Style series_line(std::size_t v, bool adjusted) {
  Style s = Style().no_fill().stroke(kSeriesColours[v]).stroke_width(adjusted ? 2.5 : 1.25);
  if (!adjusted) return s.dashes(1.5, 3);
  if (v) s.dashes(6, 4);
  return s;
}

void draw_legend(Svg& out, const FitGeometry& g) {
  const double second =
      g.left + 38 + text_width(std::string_view(kVariantTitle[0]).size(), 12) + 28;
  for (std::size_t v = 0; v < 2; ++v) {
    const double x = v ? second : g.left, y = 18;
    out.add(line({x, y}, {x + 30, y}, series_line(v, true)));
    out.add(v == 0 ? circle({x + 15, y}, 4.5, Style().fill(kSeriesColours[v]))
                   : rect({x + 11, y - 4, 8, 8}, Style().fill(kSeriesColours[v])));
    out.add(text({x + 38, y + 4}, kVariantTitle[v]));
  }
  const double y = 42;
  out.add(line({g.left, y}, {g.left + 30, y}, series_line(0, false)));
  out.add(text({g.left + 38, y + 4}, "RSQ before the adjustment, in the colour of its variant",
               Style().fill(ink::kMuted)));
}

// The line through the defined values of a series.
PathData through(const FitGeometry& g, const Values& values) {
  PathData d;
  bool open = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i]) open ? d.line({g.x(i), g.at(*values[i])}) : d.move({g.x(i), g.at(*values[i])});
    open = values[i].has_value();
  }
  return d;
}

Text point_tip(const Model& m, std::size_t i, std::size_t v) {
  const FitSums& f = m.steps[i].block->fit[v].overall;
  const findings::AdjustedFit& a = m.steps[i].found->adjusted[v];
  return m.step_title(i) + ", " + kSeriesName[v] + ": adjusted RSQ " +
         (a.value ? round_trip(*a.value) : "NA") + ", RSQ " + rsq_text(f) + " (n " +
         round_trip(a.locations) + ", k " + std::to_string(a.groups) + "; TSS " +
         round_trip(f.TSS) + ", ESS " + round_trip(f.ESS) + ", RSS " + round_trip(f.RSS) + ")";
}

void draw_series(Svg& out, const Model& m, const FitGeometry& g, std::size_t v) {
  for (const bool adjusted : {false, true}) {
    const PathData d = through(g, adjusted ? g.adjusted[v] : g.rsq[v]);
    if (!d.empty()) out.add(path(d, series_line(v, adjusted).round_joins()));
  }
  for (std::size_t i = 0; i < g.adjusted[v].size(); ++i) {
    const Text tip = point_tip(m, i, v);
    const Style marker = Style().fill(kSeriesColours[v]).stroke(ink::kPaper);
    const std::optional<double>& a = g.adjusted[v][i];
    if (g.rsq[v][i]) {
      out.add(circle({g.x(i), g.at(*g.rsq[v][i])}, 2.5, Style().fill(kSeriesColours[v]), tip));
    }
    if (!a) {
      out.add(text({g.x(i), g.bottom - 8 - 14 * static_cast<double>(v)}, "NA",
                   Style().anchor(Anchor::kMiddle).size(11).fill(kSeriesColours[v]), tip));
    } else if (v == 0) {
      out.add(circle({g.x(i), g.at(*a)}, 5, marker, tip));
    } else {
      out.add(rect({g.x(i) - 4.5, g.at(*a) - 4.5, 9, 9}, marker, tip));
    }
  }
}

void mark_best(Svg& out, const Model& m, const FitGeometry& g) {
  const auto best = m.findings.best[kClassified];
  if (!best) return;
  const Colour colour = kSeriesColours[kClassified];
  const double x = g.x(*best), y = g.at(*g.adjusted[kClassified][*best]);
  out.add(circle({x, y}, 9, Style().no_fill().stroke(colour).stroke_width(1.5)));
  out.add(text({x, y - 14 < g.top ? y + 24 : y - 14}, "best",
               Style().anchor(Anchor::kMiddle).bold().fill(colour)));
}

}  // namespace

Figure fit_chart(const Model& m) {
  const FitGeometry g = fit_geometry(m);
  Svg out({"fit", g.width, g.height, "Overall fit (adjusted RSQ) per step", fit_desc(m)});
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
