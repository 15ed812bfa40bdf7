// The fit of every data year of every step as a heat map, a panel per
// variant.
#include <algorithm>
#include <string>

#include "report/axes.h"
#include "report/charts.h"
#include "report/fit_values.h"
#include "report/text.h"

namespace locseq::report {
namespace {

constexpr const char* kHatching = "fit-by-year-na";
constexpr const char* kColourScale = "fit-by-year-scale";

struct HeatGeometry {
  std::size_t years = 0;      // columns: first_year to last_year
  double cell_w = 0;          // one year
  double cell_h = 0;          // one step
  bool values_shown = false;  // the value written in each cell
  bool years_turned = false;  // the year names turned, for narrow columns
  double label_w = 0;         // the step labels left of the panels
  double head_h = 0;          // the panel's title and year names
  double panel_w = 0;
  double panel_h = 0;
  bool side = false;  // panels side by side, else one above the other
  double top = 12;
  double legend_y = 0;
  double width = 0;
  double height = 0;
  Scale scale;  // of the colours

  // The top left corner of the panel of variant v.
  Point panel(std::size_t v) const {
    const auto k = static_cast<double>(v);
    return {side ? label_w + k * (panel_w + 36) : label_w,
            top + (side ? 0 : k * (head_h + panel_h + 24))};
  }
  // Where the colour scale puts a value, from 0 to 1.
  double position(double v) const { return std::clamp(scale.at(v, 0, 1), 0.0, 1.0); }
};

void size_cells(const Model& m, HeatGeometry& g) {
  const std::size_t n = m.steps.size();
  g.years = static_cast<std::size_t>(
      n && m.last_year >= m.first_year ? m.last_year - m.first_year + 1 : 0);
  g.cell_w = g.years <= 12 ? 54 : std::max(14.0, 640.0 / static_cast<double>(g.years));
  g.cell_h = n <= 24 ? 26 : std::max(10.0, 600.0 / static_cast<double>(n));
  g.values_shown = g.cell_w >= 40 && g.cell_h >= 18;
  g.years_turned = g.cell_w < 40;
}

HeatGeometry heat_geometry(const Model& m) {
  HeatGeometry g;
  size_cells(m, g);
  double name_w = 40, year_w = 0;
  for (const StepView& s : m.steps) name_w = std::max(name_w, text_width(s.name.shortened(12), 12));
  for (std::size_t c = 0; c < g.years; ++c) {
    year_w = std::max(year_w, text_width(m.year(m.first_year + static_cast<std::int32_t>(c)), 11));
  }
  g.label_w = 34 + name_w + 12;
  g.head_h = 26 + (g.years_turned ? 10 + std::min(year_w, 90.0) * 0.72 : 20);
  g.panel_w = static_cast<double>(g.years) * g.cell_w;
  g.panel_h = static_cast<double>(m.steps.size()) * g.cell_h;
  // Side by side when even the longest step names leave room (the same
  // structure whatever the names).
  g.side = 34 + 12 * text_width(1, 12) + 12 + 2 * g.panel_w + 36 <= 1000;
  g.legend_y = g.top + (g.side ? g.head_h + g.panel_h : 2 * (g.head_h + g.panel_h) + 24) + 30;
  g.width = std::max(560.0, g.label_w + (g.side ? 2 * g.panel_w + 36 : g.panel_w) + 16);
  g.height = g.legend_y + 70;
  Range range;
  for (const StepView& s : m.steps) {
    for (const VariantFit& v : s.block->fit) {
      for (const YearFit& yf : v.years) range.add(yf.sums);
    }
  }
  g.scale = range.scale(4);
  return g;
}

Text heat_desc(const Model& m) {
  Text desc =
      "RSQj for each step (rows) and data year (columns), in two panels: classified and with "
      "the allocated locations. Lighter is better; hatched cells are undefined (NA).";
  for (std::size_t v = 0; v < 2; ++v) {
    desc += v == 0 ? " Classified:" : " With allocated locations:";
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      desc += (i ? "; " : " ") + m.step_title(i) + ":";
      for (const YearFit& yf : m.steps[i].block->fit[v].years) {
        desc += " " + m.year(yf.year) + " " + rsq_said(yf.sums);
      }
    }
    desc += ".";
  }
  return desc;
}

// The panel's title, the year names over its columns and, left of the
// first panel (or of both, one above the other), the steps.
void draw_heads(Svg& out, const Model& m, const HeatGeometry& g, std::size_t v) {
  const Point at = g.panel(v);
  const double rows_y = at.y + g.head_h;
  out.add(text({at.x, at.y + 14}, kVariantTitle[v], Style().bold()));
  for (std::size_t c = 0; c < g.years; ++c) {
    const double cx = at.x + (static_cast<double>(c) + 0.5) * g.cell_w;
    const JobText name = m.year(m.first_year + static_cast<std::int32_t>(c)).shortened(12);
    if (g.years_turned) {
      const Point p{cx, rows_y - 6};
      out.add(text(p, name, Style().size(11).fill(ink::kMuted).turn(-60, p)));
    } else {
      out.add(text({cx, rows_y - 8}, name, x_tick_style()));
    }
  }
  if (v != 0 && g.side) return;
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const double cy = rows_y + (static_cast<double>(i) + 0.5) * g.cell_h + 4;
    out.add(text({30, cy}, std::to_string(m.steps[i].block->StepNumber),
                 Style().anchor(Anchor::kEnd).size(11).fill(ink::kMuted)));
    out.add(text({38, cy}, step_label(m, i)));
  }
}

Text cell_tip(const Model& m, std::size_t i, std::size_t v, const YearFit& yf, bool defined) {
  return m.step_title(i) + ", " + m.year(yf.year) + " (year " + std::to_string(yf.year) + "), " +
         kSeriesName[v] + ": RSQj " + (defined ? round_trip(yf.sums.RSQ) : "NA (undefined)") +
         "; LocMod " + std::to_string(yf.LocMod) + ", TSSj " + round_trip(yf.sums.TSS) + ", ESSj " +
         round_trip(yf.sums.ESS) + ", RSSj " + round_trip(yf.sums.RSS);
}

void draw_cells(Svg& out, const Model& m, const HeatGeometry& g, std::size_t v) {
  const Point at = g.panel(v);
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    for (const YearFit& yf : m.steps[i].block->fit[v].years) {
      const long c = yf.year - m.first_year;
      if (c < 0 || static_cast<std::size_t>(c) >= g.years) continue;
      const Box cell{at.x + static_cast<double>(c) * g.cell_w,
                     at.y + g.head_h + static_cast<double>(i) * g.cell_h, g.cell_w, g.cell_h};
      const bool defined = drawn(yf.sums);
      const double t = defined ? g.position(yf.sums.RSQ) : 0.0;
      Style fill;
      defined ? fill.fill(viridis(t)) : fill.fill_pattern(kHatching);
      out.add(
          rect(cell, fill.stroke(ink::kPaper).stroke_width(1.5), cell_tip(m, i, v, yf, defined)));
      if (!g.values_shown) continue;
      out.add(text({cell.x + g.cell_w / 2, cell.y + g.cell_h / 2 + 4},
                   defined ? fixed(yf.sums.RSQ, 2) : std::string("NA"),
                   Style()
                       .anchor(Anchor::kMiddle)
                       .size(11)
                       .fill(defined ? viridis_text_colour(t) : ink::kText)
                       .inert()));
    }
  }
}

// The colour scale and the hatching of undefined values.
void draw_legend(Svg& out, const HeatGeometry& g) {
  const double x = 38 + 44, y = g.legend_y, bar_w = 240;
  out.add(text({38, y + 10}, "RSQj", Style().bold()));
  out.add(rect({x, y, bar_w, 12}, Style().fill_pattern(kColourScale)));
  for (const double t : g.scale.ticks()) {
    const double tx = x + g.scale.at(t, 0, bar_w);
    out.add(line({tx, y + 12}, {tx, y + 17}, Style().stroke(ink::kText)));
    out.add(text({tx, y + 30}, fixed(t, g.scale.decimals), x_tick_style()));
  }
  out.add(rect({x, y + 42, 26, 14}, Style().fill_pattern(kHatching).stroke(ink::kHatch)));
  out.add(text({x + 34, y + 53}, "NA: undefined (no member location with data, or TSSj 0)"));
}

}  // namespace

Figure fit_by_year_chart(const Model& m) {
  const HeatGeometry g = heat_geometry(m);
  Svg out({"fit-by-year", g.width, g.height, "Fit by year (RSQj), steps by years", heat_desc(m)});
  std::vector<Colour> stops;
  for (int k = 0; k <= 8; ++k) stops.push_back(viridis(k / 8.0));
  out.define({hatching(kHatching, ink::kPaper, ink::kHatch), gradient(kColourScale, stops)});
  for (std::size_t v = 0; v < 2; ++v) {
    draw_heads(out, m, g, v);
    draw_cells(out, m, g, v);
  }
  draw_legend(out, g);
  if (m.steps.empty()) {
    out.add(text({g.width / 2, g.top + 40}, "No steps", Style().anchor(Anchor::kMiddle)));
  }
  return std::move(out).finish();
}

}  // namespace locseq::report
