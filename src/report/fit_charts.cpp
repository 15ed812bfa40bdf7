// The fit over the sequence and the fit by year.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "report/axes.h"
#include "report/charts.h"
#include "report/palette.h"
#include "report/svg.h"
#include "report/text.h"

namespace locseq::report {
namespace {

constexpr std::array<std::string_view, 2> kSeriesColour = {"#0072B2", "#D55E00"};
constexpr std::array<std::string_view, 2> kSeriesName = {"classified", "with allocated locations"};

// The range of the defined values seen, as a scale (0 to 1 when none is).
struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void add(const FitSums& f) {
    if (!f.rsq_defined || !std::isfinite(f.RSQ)) return;
    lo = std::min(lo, f.RSQ);
    hi = std::max(hi, f.RSQ);
  }
  Scale scale(int ticks) const {
    return lo <= hi ? Scale::nice(lo, hi, ticks) : Scale{0.0, 1.0, 0.2, 1};
  }
};

std::string rsq_text(const FitSums& f) {
  return f.rsq_defined ? round_trip(f.RSQ) : "NA";
}

// The value in words for a text alternative: three decimals.
std::string rsq_said(const FitSums& f) {
  return f.rsq_defined ? fixed(f.RSQ, 3) : "NA";
}

std::string fit_desc(const Model& m) {
  std::string desc = "Overall RSQ of each step, higher is better.";
  for (int v = 0; v < 2; ++v) {
    desc += v == 0 ? " Classified:" : " With allocated locations:";
    for (std::size_t i = 0; i < m.steps.size(); ++i) {
      desc += (i ? ", " : " ") + m.step_title(i) + " " +
              rsq_said(m.steps[i].block->fit[static_cast<std::size_t>(v)].overall);
    }
    desc += '.';
  }
  return desc;
}

}  // namespace

std::string fit_chart(const Model& m) {
  const std::size_t n = m.steps.size();
  const double W = 760, L = 72, R = W - 24, T = 58;
  const double B = T + 250;
  const double H = B + step_axis_height(m) + 34;
  Range range;
  for (const StepView& s : m.steps) {
    for (const VariantFit& v : s.block->fit) range.add(v.overall);
  }
  const Scale y = range.scale(5);
  const auto py = [&](double v) { return y.at(v, B, T); };

  std::string out;
  open_svg(out, {"fit", W, H, "Overall fit (RSQ) per step", fit_desc(m)});
  for (const double t : y.ticks()) {
    out += "<line x1=\"" + coord(L) + "\" x2=\"" + coord(R) + "\" y1=\"" + coord(py(t)) +
           "\" y2=\"" + coord(py(t)) + "\" stroke=\"#E3E8EE\"/>\n";
    text(out, L - 8, py(t) + 4, fixed(t, y.decimals), "text-anchor=\"end\" fill=\"#59636E\"");
  }
  out += "<path d=\"M" + coord(L) + " " + coord(T - 6) + "V" + coord(B) + "H" + coord(R) +
         "\" fill=\"none\" stroke=\"#1F2328\"/>\n";
  step_axis(out, m, L, R, B);
  text(out, 18, (T + B) / 2, "Overall RSQ (higher is better)",
       "text-anchor=\"middle\" transform=\"rotate(-90 18 " + coord((T + B) / 2) + ")\"");
  text(out, (L + R) / 2, H - 8, "Step (sequence year of the block)", "text-anchor=\"middle\"");

  // Legend.
  for (std::size_t v = 0; v < 2; ++v) {
    const double x = L + static_cast<double>(v) * 250, ly = 22;
    out += "<line x1=\"" + coord(x) + "\" x2=\"" + coord(x + 30) + "\" y1=\"" + coord(ly) +
           "\" y2=\"" + coord(ly) + "\" stroke=\"" + std::string(kSeriesColour[v]) +
           "\" stroke-width=\"2.5\"" + (v ? " stroke-dasharray=\"6 4\"" : "") + "/>\n";
    out += v == 0 ? "<circle cx=\"" + coord(x + 15) + "\" cy=\"" + coord(ly) +
                        "\" r=\"4.5\" fill=\"#0072B2\"/>\n"
                  : "<rect x=\"" + coord(x + 11) + "\" y=\"" + coord(ly - 4) +
                        "\" width=\"8\" height=\"8\" fill=\"#D55E00\"/>\n";
    text(out, x + 38, ly + 4,
         v == 0 ? "Classified (retained locations)" : "With the allocated locations");
  }

  // The two series: lines through the defined values, a marker at each.
  for (std::size_t v = 0; v < 2; ++v) {
    const std::string colour(kSeriesColour[v]);
    std::string path;
    bool open = false;
    for (std::size_t i = 0; i < n; ++i) {
      const FitSums& f = m.steps[i].block->fit[v].overall;
      if (!f.rsq_defined || !std::isfinite(f.RSQ)) {
        open = false;
        continue;
      }
      path += open ? 'L' : 'M';
      path += coord(band_centre(i, n, L, R)) + " " + coord(py(f.RSQ));
      open = true;
    }
    if (!path.empty()) {
      out += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + colour +
             "\" stroke-width=\"2.5\" stroke-linejoin=\"round\"" +
             (v ? " stroke-dasharray=\"6 4\"" : "") + "/>\n";
    }
    for (std::size_t i = 0; i < n; ++i) {
      const FitSums& f = m.steps[i].block->fit[v].overall;
      const double x = band_centre(i, n, L, R);
      const std::string tip =
          hover(m.step_title(i) + ", " + std::string(kSeriesName[v]) + ": overall RSQ " +
                rsq_text(f) + " (TSS " + round_trip(f.TSS) + ", ESS " + round_trip(f.ESS) +
                ", RSS " + round_trip(f.RSS) + ")");
      if (!f.rsq_defined || !std::isfinite(f.RSQ)) {
        text(out, x, B - 8 - 14 * static_cast<double>(v), "NA" + tip,
             "text-anchor=\"middle\" font-size=\"11\" fill=\"" + colour + "\"");
      } else if (v == 0) {
        out += "<circle cx=\"" + coord(x) + "\" cy=\"" + coord(py(f.RSQ)) + "\" r=\"5\" fill=\"" +
               colour + "\" stroke=\"#FFFFFF\">" + tip + "</circle>\n";
      } else {
        out += "<rect x=\"" + coord(x - 4.5) + "\" y=\"" + coord(py(f.RSQ) - 4.5) +
               "\" width=\"9\" height=\"9\" fill=\"" + colour + "\" stroke=\"#FFFFFF\">" + tip +
               "</rect>\n";
      }
    }
  }

  // The best step of the classification.
  if (const auto best = m.best_step(kClassified)) {
    const double x = band_centre(*best, n, L, R);
    const double yb = py(m.steps[*best].block->fit[kClassified].overall.RSQ);
    out += "<circle cx=\"" + coord(x) + "\" cy=\"" + coord(yb) +
           "\" r=\"9\" fill=\"none\" stroke=\"#0072B2\" stroke-width=\"1.5\"/>\n";
    text(out, x, yb - 14 < T ? yb + 24 : yb - 14, "best",
         "text-anchor=\"middle\" font-weight=\"600\" fill=\"#0072B2\"");
  }
  if (n == 0) text(out, (L + R) / 2, (T + B) / 2, "No steps", "text-anchor=\"middle\"");
  close_svg(out);
  return out;
}

std::string fit_by_year_chart(const Model& m) {
  const std::size_t n = m.steps.size();
  const auto years = static_cast<std::size_t>(
      n && m.last_year >= m.first_year ? m.last_year - m.first_year + 1 : 0);
  const double cell_w = years <= 12 ? 54 : std::max(14.0, 640.0 / static_cast<double>(years));
  const double cell_h = n <= 24 ? 26 : std::max(10.0, 600.0 / static_cast<double>(n));
  const bool values_shown = cell_w >= 40 && cell_h >= 18;
  const bool years_turned = cell_w < 40;

  double name_w = 40;
  for (std::size_t i = 0; i < n; ++i) {
    name_w = std::max(name_w, text_width(shorten(clean_utf8(m.steps[i].name), 12), 12));
  }
  double year_w = 0;
  for (std::size_t c = 0; c < years; ++c) {
    year_w = std::max(year_w, text_width(m.year(m.first_year + static_cast<std::int32_t>(c)), 11));
  }
  const double label_w = 34 + name_w + 12;
  const double head_h = 26 + (years_turned ? 10 + std::min(year_w, 90.0) * 0.72 : 20);
  const double panel_w = static_cast<double>(years) * cell_w;
  const double panel_h = static_cast<double>(n) * cell_h;
  // Side by side when even the longest step names leave room (the same
  // structure whatever the names).
  const bool side = 34 + 12 * text_width("M", 12) + 12 + 2 * panel_w + 36 <= 1000;
  const double top = 12;
  const double legend_y = top + (side ? head_h + panel_h : 2 * (head_h + panel_h) + 24) + 30;
  const double W = std::max(560.0, label_w + (side ? 2 * panel_w + 36 : panel_w) + 16);
  const double H = legend_y + 70;

  Range range;
  for (const StepView& s : m.steps) {
    for (const VariantFit& v : s.block->fit) {
      for (const YearFit& yf : v.years) range.add(yf.sums);
    }
  }
  const Scale scale = range.scale(4);
  const auto position = [&](double v) { return std::clamp(scale.at(v, 0, 1), 0.0, 1.0); };

  std::string desc =
      "RSQj for each step (rows) and data year (columns), in two panels: classified and with "
      "the allocated locations. Lighter is better; hatched cells are undefined (NA).";
  for (std::size_t v = 0; v < 2; ++v) {
    desc += v == 0 ? " Classified:" : " With allocated locations:";
    for (std::size_t i = 0; i < n; ++i) {
      desc += i ? "; " : " ";
      desc += m.step_title(i);
      desc += ':';
      for (const YearFit& yf : m.steps[i].block->fit[v].years) {
        desc += ' ';
        desc += m.year(yf.year);
        desc += ' ';
        desc += rsq_said(yf.sums);
      }
    }
    desc += '.';
  }
  std::string out;
  open_svg(out, {"fit-by-year", W, H, "Fit by year (RSQj), steps by years", desc});
  out +=
      "<defs><pattern id=\"fit-by-year-na\" width=\"6\" height=\"6\" "
      "patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\"><rect width=\"6\" "
      "height=\"6\" fill=\"#FFFFFF\"/><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" "
      "stroke=\"#8C959F\" stroke-width=\"2.5\"/></pattern>\n<linearGradient "
      "id=\"fit-by-year-scale\">";
  for (int k = 0; k <= 8; ++k) {
    const double t = k / 8.0;
    out += "<stop offset=\"" + coord(t) + "\" stop-color=\"" + viridis(t) + "\"/>";
  }
  out += "</linearGradient></defs>\n";

  for (std::size_t v = 0; v < 2; ++v) {
    const double x0 = side ? label_w + static_cast<double>(v) * (panel_w + 36) : label_w;
    const double y0 = top + (side ? 0 : static_cast<double>(v) * (head_h + panel_h + 24));
    const double rows_y = y0 + head_h;
    text(out, x0, y0 + 14,
         v == 0 ? "Classified (retained locations)" : "With the allocated locations",
         "font-weight=\"600\"");
    for (std::size_t c = 0; c < years; ++c) {
      const double cx = x0 + (static_cast<double>(c) + 0.5) * cell_w;
      const std::string name = short_text(m.year(m.first_year + static_cast<std::int32_t>(c)), 12);
      if (years_turned) {
        const std::string at = coord(cx) + " " + coord(rows_y - 6);
        text(out, cx, rows_y - 6, name,
             "font-size=\"11\" fill=\"#59636E\" transform=\"rotate(-60 " + at + ")\"");
      } else {
        text(out, cx, rows_y - 8, name, "text-anchor=\"middle\" font-size=\"11\" fill=\"#59636E\"");
      }
    }
    if (v == 0 || !side) {
      for (std::size_t i = 0; i < n; ++i) {
        const double cy = rows_y + (static_cast<double>(i) + 0.5) * cell_h + 4;
        text(out, 30, cy, std::to_string(m.steps[i].block->StepNumber),
             "text-anchor=\"end\" font-size=\"11\" fill=\"#59636E\"");
        text(out, 38, cy, step_label(m, i));
      }
    }
    for (std::size_t i = 0; i < n; ++i) {
      for (const YearFit& yf : m.steps[i].block->fit[v].years) {
        const long c = yf.year - m.first_year;
        if (c < 0 || static_cast<std::size_t>(c) >= years) continue;
        const double x = x0 + static_cast<double>(c) * cell_w;
        const double y = rows_y + static_cast<double>(i) * cell_h;
        const bool defined = yf.sums.rsq_defined && std::isfinite(yf.sums.RSQ);
        const double t = defined ? position(yf.sums.RSQ) : 0.0;
        const std::string tip =
            hover(m.step_title(i) + ", " + m.year(yf.year) + " (year " + std::to_string(yf.year) +
                  "), " + std::string(kSeriesName[v]) + ": RSQj " +
                  (defined ? round_trip(yf.sums.RSQ) : "NA (undefined)") + "; LocMod " +
                  std::to_string(yf.LocMod) + ", TSSj " + round_trip(yf.sums.TSS) + ", ESSj " +
                  round_trip(yf.sums.ESS) + ", RSSj " + round_trip(yf.sums.RSS));
        out += "<rect x=\"" + coord(x) + "\" y=\"" + coord(y) + "\" width=\"" + coord(cell_w) +
               "\" height=\"" + coord(cell_h) + "\" fill=\"" +
               (defined ? viridis(t) : "url(#fit-by-year-na)") +
               "\" stroke=\"#FFFFFF\" stroke-width=\"1.5\">" + tip + "</rect>\n";
        if (values_shown) {
          const std::string ink(defined ? viridis_text_colour(t) : "#1F2328");
          text(out, x + cell_w / 2, y + cell_h / 2 + 4,
               defined ? fixed(yf.sums.RSQ, 2) : std::string("NA"),
               "text-anchor=\"middle\" font-size=\"11\" fill=\"" + ink +
                   "\" pointer-events=\"none\"");
        }
      }
    }
  }

  // Legend: the colour scale and the hatching of undefined values.
  const double lx = 38, bar_w = 240;
  text(out, lx, legend_y + 10, "RSQj", "font-weight=\"600\"");
  out += "<rect x=\"" + coord(lx + 44) + "\" y=\"" + coord(legend_y) + "\" width=\"" +
         coord(bar_w) + "\" height=\"12\" fill=\"url(#fit-by-year-scale)\"/>\n";
  for (const double t : scale.ticks()) {
    const double x = lx + 44 + scale.at(t, 0, bar_w);
    out += "<line x1=\"" + coord(x) + "\" x2=\"" + coord(x) + "\" y1=\"" + coord(legend_y + 12) +
           "\" y2=\"" + coord(legend_y + 17) + "\" stroke=\"#1F2328\"/>\n";
    text(out, x, legend_y + 30, fixed(t, scale.decimals),
         "text-anchor=\"middle\" font-size=\"11\" fill=\"#59636E\"");
  }
  const double nx = lx + 44, ny = legend_y + 42;
  out += "<rect x=\"" + coord(nx) + "\" y=\"" + coord(ny) +
         "\" width=\"26\" height=\"14\" fill=\"url(#fit-by-year-na)\" stroke=\"#8C959F\"/>\n";
  text(out, nx + 34, ny + 11, "NA: undefined (no member location with data, or TSSj 0)");
  if (n == 0) text(out, W / 2, top + 40, "No steps", "text-anchor=\"middle\"");
  close_svg(out);
  return out;
}

}  // namespace locseq::report
