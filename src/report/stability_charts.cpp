// The stability of the groups: the index per step and the group map.
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>

#include "report/axes.h"
#include "report/charts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

std::string ari_text(const std::optional<double>& ari) {
  return ari ? round_trip(*ari) : "NA";
}

// The index chart: its plot between left and right, top and bottom.
struct IndexGeometry {
  double width = 440, left = 60, right = 440 - 16, top = 44, bottom = 44 + 190;
  double height = 0;
  Scale y;
  double band = 0;  // one step
  double bar = 0;   // the width of a bar

  double at(double v) const { return y.at(v, bottom, top); }
};

IndexGeometry index_geometry(const Model& m) {
  IndexGeometry g;
  double lo = 0.0;
  for (const StepView& s : m.steps) {
    if (s.found->stability && std::isfinite(*s.found->stability)) {
      lo = std::min(lo, *s.found->stability);
    }
  }
  g.y = Scale::nice(lo, 1.0, 4);
  const std::size_t n = m.steps.size();
  g.band = n ? (g.right - g.left) / static_cast<double>(n) : 0;
  g.bar = std::min(34.0, g.band * 0.6);
  g.height = g.bottom + step_axis_height(m, g.band) + 30;
  return g;
}

Text index_desc(const Model& m) {
  Text desc =
      "Adjusted Rand index of each step's groups with the previous step's, 1 = the same "
      "groups:";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    desc += (i ? ", " : " ") + m.step_title(i) + " " + ari_text(m.steps[i].found->stability);
  }
  return desc + ".";
}

void draw_index_axes(Svg& out, const Model& m, const IndexGeometry& g) {
  value_axis(out, g.y, {g.left, g.right, g.top, g.bottom});
  out.add(line({g.left, g.at(0)}, {g.right, g.at(0)}, Style().stroke(ink::kText)));
  out.add(text({g.left, 20}, "1 = the same groups, 0 = as by chance; higher is steadier",
               Style().fill(ink::kMuted).size(11)));
  const Point middle{16, (g.top + g.bottom) / 2};
  out.add(text(middle, "Adjusted Rand index", turned_title(middle)));
  step_axis(out, m, g.left, g.right, g.bottom);
}

void draw_bar(Svg& out, const Model& m, const IndexGeometry& g, std::size_t i) {
  const double x = band_centre(i, m.steps.size(), g.left, g.right);
  const std::optional<double>& ari = m.steps[i].found->stability;
  const Text tip = m.step_title(i) + (i ? " against " + m.step_title(i - 1) : Text()) +
                   ": adjusted Rand index " + ari_text(ari) +
                   (i == 0 ? " (first step)"
                    : ari  ? ""
                           : " (fewer than two shared locations)");
  if (!ari || !std::isfinite(*ari)) {
    out.add(text({x, g.at(0) - 6}, "NA", Style().anchor(Anchor::kMiddle).size(11).fill(ink::kMuted),
                 tip));
    return;
  }
  const double top = std::min(g.at(*ari), g.at(0)), bottom = std::max(g.at(*ari), g.at(0));
  out.add(rect({x - g.bar / 2, top, g.bar, std::max(bottom - top, 1.0)},
               Style().fill(kStabilityColour), tip));
  if (g.band >= 28) {  // room for the value above the bar
    out.add(text({x, *ari >= 0 ? top - 5 : bottom + 13}, fixed(*ari, 2),
                 Style().anchor(Anchor::kMiddle).size(11)));
  }
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

  Box cell(std::size_t row, std::size_t step) const {
    return {label_w + static_cast<double>(step) * cell_w, top + static_cast<double>(row) * cell_h,
            cell_w, cell_h};
  }
};

MapGeometry map_geometry(const Model& m) {
  MapGeometry g;
  const std::size_t n = m.steps.size();
  double widest = 60;
  for (const std::int32_t l : m.map_order) {
    widest = std::max(widest, text_width(m.location(l).shortened(28), 12));
  }
  g.label_w = widest + 18;
  g.cell_w = std::clamp(620.0 / static_cast<double>(std::max<std::size_t>(n, 1)), 26.0, 52.0);
  g.cell_h = m.map_order.size() <= 60 ? 18 : 14;
  g.head_h = step_axis_height(m, g.cell_w) + 4;
  g.top = 30 + g.head_h;
  g.width = std::max(460.0, g.label_w + static_cast<double>(n) * g.cell_w + 20);
  g.height = g.top + static_cast<double>(m.map_order.size()) * g.cell_h + 76;
  return g;
}

// What the map marks in a step: its allocated locations and those that moved.
struct StepMarks {
  std::set<std::int32_t> allocated;
  std::set<std::int32_t> moved;
};

std::vector<StepMarks> step_marks(const Model& m) {
  std::vector<StepMarks> out(m.steps.size());
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    for (const Group& grp : m.steps[i].block->groups) {
      out[i].allocated.insert(grp.allocated.begin(), grp.allocated.end());
    }
    for (const Move& mv : m.steps[i].found->moves) out[i].moved.insert(mv.location);
  }
  return out;
}

// A location with no group in a step: eliminated and not allocated, or not
// in the step at all.
void draw_empty_cell(Svg& out, const Model& m, Box cell, std::int32_t l, std::size_t i,
                     const Text& where) {
  const std::vector<std::int32_t>& vector = m.steps[i].block->EliminationVector;
  const bool eliminated = static_cast<std::size_t>(l) <= vector.size() && l >= 1 &&
                          vector[static_cast<std::size_t>(l - 1)] == 0;
  out.add(rect({cell.x + 1, cell.y + 1, cell.width - 2, cell.height - 2}, Style().fill(ink::kEmpty),
               where + (eliminated ? "eliminated, not allocated" : "not in the step")));
}

// A status mark: allocated (a dashed outline inside the cell) or changed
// (a dark corner); shapes in neutral ink, never in a group colour.
void draw_marks(Svg& out, Box cell, bool allocated, bool moved) {
  if (allocated) {
    out.add(rect(
        {cell.x + 2.5, cell.y + 2.5, cell.width - 5, cell.height - 5},
        Style().no_fill().stroke(kMarkInk).stroke_width(1.5).dashes(3, 2).inert().kind("status")));
  }
  if (!moved) return;
  const double x2 = cell.x + cell.width - 1, y1 = cell.y + 1, corner = cell.width < 36 ? 7 : 9;
  out.add(path(PathData().move({x2 - corner, y1}).horizontal(x2).vertical(y1 + corner).close(),
               Style().fill(kCornerInk).inert().kind("status")));
}

void draw_cell(Svg& out, const Model& m, const StepMarks& marks, Box cell, std::int32_t l,
               std::size_t i) {
  const auto& membership = m.steps[i].found->membership;
  const auto it = membership.find(l);
  const Text where = m.location(l) + ", " + m.step_title(i) + ": ";
  if (it == membership.end()) return draw_empty_cell(out, m, cell, l, i, where);
  const std::int32_t k = it->second, lineage = m.lineage(i, k);
  const bool alloc = marks.allocated.count(l) > 0, moved = marks.moved.count(l) > 0;
  Text tip = where + "group " + std::to_string(k) + ", lineage " + std::to_string(lineage) +
             (alloc ? " (allocated)" : "");
  for (const Move& mv : m.steps[i].found->moves) {
    if (moved && mv.location == l)
      tip += "; changed from lineage " + std::to_string(mv.from_lineage);
  }
  out.add(rect({cell.x + 1, cell.y + 1, cell.width - 2, cell.height - 2},
               Style().fill(m.lineage_fill(lineage)).kind("group"), tip));
  out.add(
      text({cell.x + cell.width / 2, cell.y + cell.height / 2 + 4}, std::to_string(lineage),
           Style().anchor(Anchor::kMiddle).size(11).bold().fill(m.lineage_ink(lineage)).inert()));
  draw_marks(out, cell, alloc, moved);
}

void draw_map_rows(Svg& out, const Model& m, const MapGeometry& g) {
  const std::vector<StepMarks> marks = step_marks(m);
  const std::size_t last_leaves = m.steps.empty() ? 0 : m.steps.back().layout.leaf_order.size();
  for (std::size_t r = 0; r < m.map_order.size(); ++r) {
    const std::int32_t l = m.map_order[r];
    const double y = g.top + static_cast<double>(r) * g.cell_h;
    if (r == last_leaves && r > 0) {
      out.add(line({8, y}, {g.width - 8, y}, Style().stroke(ink::kHatch).dashes(3, 3)));
    }
    out.add(text({g.label_w - 8, y + g.cell_h / 2 + 4}, m.location(l).shortened(28),
                 Style().anchor(Anchor::kEnd),
                 "location " + std::to_string(l) + ": " + m.location(l)));
    for (std::size_t i = 0; i < m.steps.size(); ++i)
      draw_cell(out, m, marks[i], g.cell(r, i), l, i);
  }
}

// The legend of the status marks, on neutral cells, two to a line.
void draw_map_legend(Svg& out, const MapGeometry& g, std::size_t rows) {
  const double y = g.top + static_cast<double>(rows) * g.cell_h + 22;
  const struct {
    const char* said;
    bool allocated, moved, empty;
  } items[] = {{"retained in the classification", false, false, false},
               {"allocated", true, false, false},
               {"changed lineage since the previous step", false, true, false},
               {"no group", false, false, true}};
  const double second = 8 + 34 + text_width(std::string_view(items[2].said).size(), 12) + 20;
  for (std::size_t k = 0; k < 4; ++k) {
    const Box cell{k % 2 ? second : 8, y - 12 + static_cast<double>(k / 2) * 22, 28, 16};
    out.add(rect({cell.x + 1, cell.y + 1, cell.width - 2, cell.height - 2},
                 Style().fill(items[k].empty ? ink::kEmpty : ink::kSwatch).kind("status")));
    draw_marks(out, cell, items[k].allocated, items[k].moved);
    out.add(text({cell.x + cell.width + 6, cell.y + 12}, items[k].said));
  }
}

}  // namespace

Figure stability_chart(const Model& m) {
  const IndexGeometry g = index_geometry(m);
  Svg out({"stability", g.width, g.height, "Stability: adjusted Rand index with the previous step",
           index_desc(m)});
  draw_index_axes(out, m, g);
  for (std::size_t i = 0; i < m.steps.size(); ++i) draw_bar(out, m, g, i);
  if (m.steps.empty()) {
    out.add(text({(g.left + g.right) / 2, (g.top + g.bottom) / 2}, "No steps",
                 Style().anchor(Anchor::kMiddle)));
  }
  return std::move(out).finish();
}

Figure group_map_chart(const Model& m) {
  const MapGeometry g = map_geometry(m);
  Svg out({"group-map", g.width, g.height, "Lineage of each location's group in each step",
           "Rows are locations, columns are steps; each cell gives the lineage of the location's "
           "group in that step by colour and number. A dashed outline marks an allocated "
           "location, a black corner a location whose lineage changed since the previous step."});
  out.add(text({8, 18}, "Lineage of each location's group in each step", Style().bold()));
  step_axis(out, m, g.label_w, g.label_w + static_cast<double>(m.steps.size()) * g.cell_w,
            g.top - g.head_h);
  draw_map_rows(out, m, g);
  draw_map_legend(out, g, m.map_order.size());
  return std::move(out).finish();
}

Figure stability_figure(const Model& m) {
  const IndexGeometry chart = index_geometry(m);
  const MapGeometry map = map_geometry(m);
  Svg out({"stability-figure", chart.width + 24 + map.width, std::max(chart.height, map.height),
           "Stability of the groups from step to step",
           "The adjusted Rand index of each step with the previous one, and the group of each "
           "location in each step."});
  out.nest(stability_chart(m), 0).nest(group_map_chart(m), chart.width + 24);
  return std::move(out).finish();
}

}  // namespace locseq::report
