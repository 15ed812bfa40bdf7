// The stability of the groups: the index per step and the group map.
#include <algorithm>
#include <cmath>
#include <set>

#include "report/axes.h"
#include "report/charts.h"
#include "report/palette.h"
#include "report/svg.h"
#include "report/text.h"

namespace locseq::report {
namespace {

std::string ari_text(const std::optional<double>& ari) {
  return ari ? round_trip(*ari) : "NA";
}

// Size of the group map.
struct MapGeometry {
  double label_w = 0;  // row labels
  double cell_w = 0;   // one step
  double cell_h = 0;   // one location
  double head_h = 0;   // column labels
  double top = 0;      // top of the first row
  double width = 0;
  double height = 0;
};

MapGeometry map_geometry(const Model& m) {
  MapGeometry g;
  const std::size_t n = m.steps.size();
  double widest = 60;
  for (const std::int32_t l : m.map_order) {
    widest = std::max(widest, text_width(shorten(clean_utf8(m.location(l)), 28), 12));
  }
  g.label_w = widest + 18;
  g.cell_w = std::clamp(620.0 / static_cast<double>(std::max<std::size_t>(n, 1)), 26.0, 44.0);
  g.cell_h = m.map_order.size() <= 60 ? 18 : 14;
  g.head_h = step_axis_height(m) + 4;
  g.top = 30 + g.head_h;
  g.width = std::max(460.0, g.label_w + static_cast<double>(n) * g.cell_w + 20);
  g.height = g.top + static_cast<double>(m.map_order.size()) * g.cell_h + 76;
  return g;
}

// Size of the index chart.
constexpr double kChartWidth = 440, kChartTop = 44, kChartPlot = 190;
double chart_height(const Model& m) {
  return kChartTop + kChartPlot + step_axis_height(m) + 30;
}

}  // namespace

std::string stability_chart(const Model& m) {
  const std::size_t n = m.steps.size();
  const double W = kChartWidth, L = 60, R = W - 16, T = kChartTop, B = T + kChartPlot;
  const double H = chart_height(m);
  double lo = 0.0;
  std::string desc =
      "Adjusted Rand index of each step's groups with the previous step's, "
      "1 = the same groups:";
  for (std::size_t i = 0; i < n; ++i) {
    if (m.steps[i].ari && std::isfinite(*m.steps[i].ari)) lo = std::min(lo, *m.steps[i].ari);
    desc += (i ? ", " : " ") + m.step_title(i) + " " + ari_text(m.steps[i].ari);
  }
  desc += '.';
  const Scale y = Scale::nice(lo, 1.0, 4);
  const auto py = [&](double v) { return y.at(v, B, T); };

  std::string out;
  open_svg(out, {"stability", W, H, "Stability: adjusted Rand index with the previous step", desc});
  for (const double t : y.ticks()) {
    out += "<line x1=\"" + coord(L) + "\" x2=\"" + coord(R) + "\" y1=\"" + coord(py(t)) +
           "\" y2=\"" + coord(py(t)) + "\" stroke=\"#E3E8EE\"/>\n";
    text(out, L - 8, py(t) + 4, fixed(t, y.decimals), "text-anchor=\"end\" fill=\"#59636E\"");
  }
  out += "<path d=\"M" + coord(L) + " " + coord(T - 6) + "V" + coord(B) + "H" + coord(R) +
         "\" fill=\"none\" stroke=\"#1F2328\"/>\n";
  out += "<line x1=\"" + coord(L) + "\" x2=\"" + coord(R) + "\" y1=\"" + coord(py(0)) + "\" y2=\"" +
         coord(py(0)) + "\" stroke=\"#1F2328\"/>\n";
  text(out, L, 20, "1 = the same groups, 0 = as by chance; higher is steadier",
       "fill=\"#59636E\" font-size=\"11\"");
  text(out, 16, (T + B) / 2, "Adjusted Rand index",
       "text-anchor=\"middle\" transform=\"rotate(-90 16 " + coord((T + B) / 2) + ")\"");
  step_axis(out, m, L, R, B);
  const double band = n ? (R - L) / static_cast<double>(n) : 0;
  const double bar = std::min(34.0, band * 0.6);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = band_centre(i, n, L, R);
    const std::optional<double>& ari = m.steps[i].ari;
    const std::string tip =
        hover(m.step_title(i) + (i ? " against " + m.step_title(i - 1) : std::string()) +
              ": adjusted Rand index " + ari_text(ari) +
              (i == 0 ? " (first step)"
               : ari  ? ""
                      : " (fewer than two shared locations)"));
    if (!ari || !std::isfinite(*ari)) {
      text(out, x, py(0) - 6, "NA" + tip,
           "text-anchor=\"middle\" font-size=\"11\" fill=\"#59636E\"");
      continue;
    }
    const double top = std::min(py(*ari), py(0)), bottom = std::max(py(*ari), py(0));
    out += "<rect x=\"" + coord(x - bar / 2) + "\" y=\"" + coord(top) + "\" width=\"" + coord(bar) +
           "\" height=\"" + coord(std::max(bottom - top, 1.0)) + "\" fill=\"#009E73\">" + tip +
           "</rect>\n";
    if (band >= 28) {  // room for the value above the bar
      text(out, x, *ari >= 0 ? top - 5 : bottom + 13, fixed(*ari, 2),
           "text-anchor=\"middle\" font-size=\"11\"");
    }
  }
  if (n == 0) text(out, (L + R) / 2, (T + B) / 2, "No steps", "text-anchor=\"middle\"");
  close_svg(out);
  return out;
}

std::string group_map_chart(const Model& m) {
  const std::size_t n = m.steps.size();
  const MapGeometry g = map_geometry(m);
  std::string out;
  open_svg(out, {"group-map", g.width, g.height, "Group of each location in each step",
                 "Rows are locations, columns are steps; each cell gives the location's group "
                 "in that step by colour and number. Framed cells are allocated locations, a "
                 "black corner marks a location that changed group since the previous step."});
  text(out, 8, 18, "Group of each location in each step", "font-weight=\"600\"");
  step_axis(out, m, g.label_w, g.label_w + static_cast<double>(n) * g.cell_w, g.top - g.head_h);

  // Per step: the allocated locations and the ones that moved.
  std::vector<std::set<std::int32_t>> allocated(n), moved(n);
  for (std::size_t i = 0; i < n; ++i) {
    for (const Group& grp : m.steps[i].block->groups) {
      allocated[i].insert(grp.allocated.begin(), grp.allocated.end());
    }
    for (const Move& mv : m.steps[i].moves) moved[i].insert(mv.location);
  }
  const std::size_t last_leaves = n ? m.steps.back().layout.leaf_order.size() : 0;
  for (std::size_t r = 0; r < m.map_order.size(); ++r) {
    const std::int32_t l = m.map_order[r];
    const double y = g.top + static_cast<double>(r) * g.cell_h;
    if (r == last_leaves && r > 0) {
      out += "<line x1=\"8\" x2=\"" + coord(g.width - 8) + "\" y1=\"" + coord(y) + "\" y2=\"" +
             coord(y) + "\" stroke=\"#8C959F\" stroke-dasharray=\"3 3\"/>\n";
    }
    text(out, g.label_w - 8, y + g.cell_h / 2 + 4,
         short_text(m.location(l), 28) +
             hover("location " + std::to_string(l) + ": " + m.location(l)),
         "text-anchor=\"end\"");
    for (std::size_t i = 0; i < n; ++i) {
      const double x = g.label_w + static_cast<double>(i) * g.cell_w;
      const auto it = m.steps[i].membership.find(l);
      const std::string where = m.location(l) + ", " + m.step_title(i) + ": ";
      if (it == m.steps[i].membership.end()) {
        const bool eliminated =
            static_cast<std::size_t>(l) <= m.steps[i].block->EliminationVector.size() && l >= 1 &&
            m.steps[i].block->EliminationVector[static_cast<std::size_t>(l - 1)] == 0;
        out += "<rect x=\"" + coord(x + 1) + "\" y=\"" + coord(y + 1) + "\" width=\"" +
               coord(g.cell_w - 2) + "\" height=\"" + coord(g.cell_h - 2) + "\" fill=\"#F3F4F6\">" +
               hover(where + (eliminated ? "eliminated, not allocated" : "not in the step")) +
               "</rect>\n";
        continue;
      }
      const std::int32_t k = it->second;
      const bool alloc = allocated[i].count(l) > 0;
      const bool move = moved[i].count(l) > 0;
      std::string tip = where + "group " + std::to_string(k) + (alloc ? " (allocated)" : "");
      if (move) {
        for (const Move& mv : m.steps[i].moves) {
          if (mv.location == l) tip += "; changed from group " + std::to_string(mv.from);
        }
      }
      const std::string colour(group_colour(k));
      if (alloc) {
        out += "<rect x=\"" + coord(x + 2.25) + "\" y=\"" + coord(y + 2.25) + "\" width=\"" +
               coord(g.cell_w - 4.5) + "\" height=\"" + coord(g.cell_h - 4.5) +
               "\" fill=\"#FFFFFF\" stroke=\"" + colour + "\" stroke-width=\"2.5\">" + hover(tip) +
               "</rect>\n";
      } else {
        out += "<rect x=\"" + coord(x + 1) + "\" y=\"" + coord(y + 1) + "\" width=\"" +
               coord(g.cell_w - 2) + "\" height=\"" + coord(g.cell_h - 2) + "\" fill=\"" + colour +
               "\">" + hover(tip) + "</rect>\n";
      }
      const std::string ink(alloc ? "#1F2328" : group_text_colour(k));
      text(out, x + g.cell_w / 2, y + g.cell_h / 2 + 4, std::to_string(k),
           "text-anchor=\"middle\" font-size=\"11\" font-weight=\"600\" fill=\"" + ink +
               "\" pointer-events=\"none\"");
      if (move) {
        const double x2 = x + g.cell_w - 1, y1 = y + 1, corner = g.cell_w < 36 ? 6 : 9;
        out += "<path d=\"M" + coord(x2 - corner) + " " + coord(y1) + "H" + coord(x2) + "V" +
               coord(y1 + corner) + "Z\" fill=\"#000000\" pointer-events=\"none\"/>\n";
      }
    }
  }

  // Legend.
  const double ly = g.top + static_cast<double>(m.map_order.size()) * g.cell_h + 22;
  out += "<rect x=\"8\" y=\"" + coord(ly - 11) + "\" width=\"26\" height=\"14\" fill=\"" +
         std::string(group_colour(1)) + "\"/>\n";
  text(out, 40, ly, "retained in the classification");
  out += "<rect x=\"230\" y=\"" + coord(ly - 10) +
         "\" width=\"24\" height=\"12\" fill=\"#FFFFFF\" stroke=\"" + std::string(group_colour(1)) +
         "\" stroke-width=\"2.5\"/>\n";
  text(out, 262, ly, "allocated");
  const double ly2 = ly + 22;
  out += "<rect x=\"8\" y=\"" + coord(ly2 - 11) + "\" width=\"26\" height=\"14\" fill=\"" +
         std::string(group_colour(2)) + "\"/><path d=\"M25 " + coord(ly2 - 11) + "H34V" +
         coord(ly2 - 2) + "Z\" fill=\"#000000\"/>\n";
  text(out, 40, ly2, "changed group since the previous step");
  out += "<rect x=\"300\" y=\"" + coord(ly2 - 11) +
         "\" width=\"26\" height=\"14\" fill=\"#F3F4F6\"/>\n";
  text(out, 332, ly2, "no group");
  close_svg(out);
  return out;
}

std::string stability_figure(const Model& m) {
  const std::string chart = stability_chart(m);
  const std::string map = group_map_chart(m);
  const MapGeometry g = map_geometry(m);
  const double chart_w = kChartWidth, chart_h = chart_height(m);
  const double W = chart_w + 24 + g.width, H = std::max(chart_h, g.height);
  std::string out;
  open_svg(out, {"stability-figure", W, H, "Stability of the groups from step to step",
                 "The adjusted Rand index of each step with the previous one, and the group of "
                 "each location in each step."});
  out += "<g>\n" + chart + "</g>\n<g transform=\"translate(" + coord(chart_w + 24) + " 0)\">\n" +
         map + "</g>\n";
  close_svg(out);
  return out;
}

}  // namespace locseq::report
