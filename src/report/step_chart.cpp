// The dendrogram of one step.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "report/axes.h"
#include "report/charts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// Whole-number ticks for heights that count joins.
Scale join_scale(std::int32_t joins) {
  Scale s = Scale::nice(0, std::max<std::int32_t>(joins, 1), 5);
  s.step = std::max(1.0, std::round(s.step));
  s.hi = std::max<std::int32_t>(joins, 1);
  s.decimals = 0;
  return s;
}

// The lines said under the drawing.
std::vector<std::string> notes(const StepView& s) {
  const BlockResult& b = *s.block;
  const DendrogramLayout& d = s.layout;
  const std::string groups = counted(b.CutLevel, "group", "groups");
  std::vector<std::string> out;
  if (static_cast<std::int32_t>(s.retained.size()) != b.RetainedCount) {
    out.push_back("The retained count (" + std::to_string(b.RetainedCount) +
                  ") differs from the entries 1 of the elimination vector (" +
                  std::to_string(s.retained.size()) + "): no tree is drawn.");
    return out;
  }
  if (!d.valid) {
    out.push_back(
        "The applied hierarchy records do not form a hierarchy (a record joins a "
        "group that does not exist, or a group with itself): no tree is drawn.");
    return out;
  }
  if (d.joins == 0) return out;
  out.push_back(d.fusion_heights ? "Heights are the fusion levels D(ij)."
                                 : "Heights are the order of the joins: the fusion levels "
                                   "D(ij) decrease along a join, so they are not drawn.");
  if (d.applied == d.leaves - 1) {
    out.push_back("Every record is applied: the retained locations form one group.");
  } else if (!d.complete) {
    out.push_back("The records after the cut do not form a hierarchy: only the " + groups +
                  " are drawn, each as its own tree.");
  } else if (d.cut) {
    out.push_back("The dashed line cuts the tree into " + groups + " (" +
                  (d.applied == 1
                       ? std::string("the first record is applied")
                       : "the first " + std::to_string(d.applied) + " records are applied") +
                  ").");
  } else {
    out.push_back("No line cuts the tree into its " + groups +
                  ": a join after the cut stands no higher than one before it.");
  }
  return out;
}

// The notes broken into lines of at most `width` characters, at blanks.
std::vector<std::string> wrapped(const std::vector<std::string>& notes, double width) {
  std::vector<std::string> out;
  for (const std::string& note : notes) {
    std::string line;
    std::size_t start = 0;
    while (start < note.size()) {
      std::size_t end = note.find(' ', start);
      if (end == std::string::npos) end = note.size();
      const std::string word = note.substr(start, end - start);
      if (!line.empty() && static_cast<double>(line.size() + 1 + word.size()) > width) {
        out.push_back(line);
        line.clear();
      }
      line += (line.empty() ? "" : " ") + word;
      start = end + 1;
    }
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

// The tree's layout on the figure.
struct TreeGeometry {
  std::int32_t leaves = 0;
  double row_h = 0;       // one leaf
  double font = 0;        // of the leaves' names
  double gap = 0;         // between a group chip and the next row
  double chip_font = 0;   // of the group numbers
  double dot = 0;         // the radius of a join's dot
  double label_w = 0;     // the leaves' names
  double chip_w = 28;     // the group chips
  double x0 = 0, x1 = 0;  // the heights' axis
  double top = 62;
  double bottom = 0;
  double width = 0;
  double height = 0;
  Scale heights;
  std::vector<std::string> said;    // the notes, a line each
  std::vector<std::int32_t> group;  // per node: its group, 0 for none
  std::vector<Colour> fill;         // per node: its group's (lineage's) colour, or neutral

  double x(double h) const { return heights.at(h, x0, x1); }
  double y(double position) const { return top + (position + 0.5) * row_h; }
  Colour colour(std::size_t node) const { return fill[node]; }
};

// The group of each retained location, then of each join inside a group.
std::vector<std::int32_t> node_groups(const StepView& s) {
  const DendrogramLayout& d = s.layout;
  std::map<std::int32_t, std::int32_t> member_group;
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    for (const std::int32_t l : s.block->groups[k].members) {
      member_group.emplace(l, static_cast<std::int32_t>(k + 1));
    }
  }
  std::vector<std::int32_t> group(d.nodes.size(), 0);
  for (std::int32_t t = 1; t <= d.leaves; ++t) {
    const auto it = member_group.find(s.retained[static_cast<std::size_t>(t - 1)]);
    group[static_cast<std::size_t>(t - 1)] = it == member_group.end() ? 0 : it->second;
  }
  for (std::size_t j = static_cast<std::size_t>(d.leaves); j < d.nodes.size(); ++j) {
    const std::int32_t gl = group[static_cast<std::size_t>(d.nodes[j].left - 1)];
    const std::int32_t gr = group[static_cast<std::size_t>(d.nodes[j].right - 1)];
    group[j] = d.nodes[j].applied && gl == gr ? gl : 0;
  }
  return group;
}

TreeGeometry tree_geometry(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  TreeGeometry g;
  const DendrogramLayout& d = s.layout;
  const std::int32_t n = g.leaves = d.leaves;
  g.row_h = n <= 40 ? 20 : n <= 120 ? 15 : 12;
  g.font = n <= 40 ? 12 : n <= 120 ? 11 : 10;
  g.gap = n <= 40 ? 2 : 1;
  g.chip_font = n <= 40 ? 12 : n <= 120 ? 10 : 8.5;
  g.dot = n <= 40 ? 3.5 : 2.5;
  g.label_w = 60;
  for (const std::int32_t l : s.retained) {
    g.label_w = std::max(g.label_w, text_width(m.location(l).shortened(32), g.font));
  }
  g.label_w += 16;
  g.x0 = g.label_w + g.chip_w + 12;
  g.x1 = g.x0 + 380;
  g.width = g.x1 + 36;
  g.bottom = g.top + static_cast<double>(n) * g.row_h;
  g.said = wrapped(notes(s), 76);
  g.height = g.bottom + (d.joins ? 50 : 12) + 18 * static_cast<double>(g.said.size()) + 10;
  double hmax = 0;
  for (const DendrogramNode& node : d.nodes) hmax = std::max(hmax, node.height);
  g.heights = d.fusion_heights ? Scale::nice(0, hmax > 0 ? hmax : 1, 5) : join_scale(d.joins);
  g.group = node_groups(s);
  for (const std::int32_t k : g.group)
    g.fill.push_back(k ? m.lineage_fill(m.lineage(i, k)) : ink::kNeutral);
  return g;
}

Text step_desc(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  Text desc = "Dendrogram of the " +
              counted(static_cast<long long>(s.retained.size()), "retained location",
                      "retained locations") +
              " of " + m.step_title(i) + ", cut into " +
              counted(s.block->CutLevel, "group", "groups") + ".";
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    desc += " Group " + std::to_string(k + 1) + ":";
    const auto& members = s.block->groups[k].members;
    for (std::size_t j = 0; j < members.size(); ++j) {
      desc += (j ? ", " : " ") + m.location(members[j]);
    }
    desc += ".";
  }
  for (const std::string& note : notes(s)) desc += " " + note;
  return desc;
}

void draw_title(Svg& out, const StepView& s, const TreeGeometry& g) {
  const BlockResult& b = *s.block;
  out.add(text({8, 20},
               "Step " + std::to_string(b.StepNumber) +
                   (s.name.empty() ? Text() : " (" + s.name.shortened(12) + ")") + ": " +
                   counted(g.leaves, "retained location", "retained locations") + " in " +
                   counted(b.CutLevel, "group", "groups"),
               Style().bold()));
  out.add(text({g.label_w + g.chip_w / 2 - 2, g.top - 8}, "group",
               Style().anchor(Anchor::kMiddle).size(10).fill(ink::kMuted)));
}

// Rows: shading, name and group of each leaf.
void draw_rows(Svg& out, const Model& m, std::size_t i, const TreeGeometry& g) {
  const StepView& s = m.steps[i];
  for (std::size_t row = 0; row < s.layout.leaf_order.size(); ++row) {
    const std::int32_t t = s.layout.leaf_order[row];
    const std::int32_t l = s.retained[static_cast<std::size_t>(t - 1)];
    const std::int32_t k = g.group[static_cast<std::size_t>(t - 1)];
    const double y = g.top + static_cast<double>(row) * g.row_h;
    const std::int32_t lineage = m.lineage(i, k);
    const std::string number =
        k ? std::to_string(k) + " (lineage " + std::to_string(lineage) + ")" : "none";
    if (row % 2 == 1) out.add(rect({0, y, g.width, g.row_h}, Style().fill(ink::kSoft)));
    out.add(text({g.label_w - 8, y + g.row_h / 2 + g.font / 3}, m.location(l).shortened(32),
                 Style().anchor(Anchor::kEnd).size(g.font),
                 "location " + std::to_string(l) + ": " + m.location(l) + ", group " + number));
    out.add(rect({g.label_w, y + g.gap, g.chip_w - 4, g.row_h - 2 * g.gap},
                 Style().corner(3).fill(m.lineage_fill(lineage)).kind("group")));
    out.add(text(
        {g.label_w + g.chip_w / 2 - 2, y + g.row_h / 2 + g.chip_font / 3},
        k ? std::to_string(k) : "–",
        Style().anchor(Anchor::kMiddle).bold().size(g.chip_font).fill(m.lineage_ink(lineage))));
  }
}

Style tree_line(Colour colour) {
  return Style().stroke(colour).stroke_width(2).no_fill();
}

// A join: a vertical line at its height, a horizontal one to each side; a
// group's line keeps its colour up to the cut line, then turns neutral.
void draw_join(Svg& out, const StepView& s, const TreeGeometry& g, std::size_t j) {
  const DendrogramLayout& d = s.layout;
  const DendrogramNode& node = d.nodes[j];
  const auto li = static_cast<std::size_t>(node.left - 1);
  const auto ri = static_cast<std::size_t>(node.right - 1);
  const double x = g.x(node.height);
  const double yl = g.y(d.nodes[li].position), yr = g.y(d.nodes[ri].position);
  for (const auto& [child, y] : {std::pair{li, yl}, std::pair{ri, yr}}) {
    const double from = d.nodes[child].height;
    double split = x;
    if (d.cut && g.colour(child) != g.colour(j) && from < *d.cut && *d.cut < node.height) {
      split = g.x(*d.cut);
      out.add(path(PathData().move({split, y}).horizontal(x), tree_line(g.colour(j))));
    }
    out.add(path(PathData().move({g.x(from), y}).horizontal(split), tree_line(g.colour(child))));
  }
  out.add(path(PathData().move({x, yl}).vertical(yr), tree_line(g.colour(j)).square_caps()));
  const std::size_t r = j - static_cast<std::size_t>(g.leaves);
  const HierarchyRecord& rec = s.block->hierarchy[r];
  out.add(circle({x, g.y(node.position)}, g.dot, Style().fill(g.colour(j)),
                 "record " + std::to_string(r + 1) + ": " + std::to_string(rec.Gpi) + " + " +
                     std::to_string(rec.Gpj) + " = " +
                     std::to_string(g.leaves + static_cast<std::int32_t>(r) + 1) + ", D(ij) " +
                     round_trip(static_cast<double>(rec.D)) +
                     (node.applied ? "" : " (after the cut)")));
}

void draw_cut(Svg& out, const StepView& s, const TreeGeometry& g) {
  if (!s.layout.cut) return;
  const double x = g.x(*s.layout.cut);
  const std::string groups = counted(s.block->CutLevel, "group", "groups");
  out.add(line({x, g.top - 18}, {x, g.bottom},
               Style().stroke(ink::kText).stroke_width(1.5).dashes(5, 4), "cut into " + groups));
  out.add(text({x + 4, g.top - 22}, "cut: " + groups, Style().size(11).fill(ink::kText)));
}

// The height axis, then the notes.
void draw_foot(Svg& out, const StepView& s, const TreeGeometry& g) {
  double y = g.bottom + 8;
  if (s.layout.joins) {
    out.add(line({g.x0, y}, {g.x1, y}, Style().stroke(ink::kText)));
    for (const double t : g.heights.ticks()) {
      out.add(line({g.x(t), y}, {g.x(t), y + 5}, Style().stroke(ink::kText)));
      out.add(text({g.x(t), y + 18}, fixed(t, g.heights.decimals), x_tick_style()));
    }
    out.add(
        text({(g.x0 + g.x1) / 2, y + 36},
             s.layout.fusion_heights ? "Fusion level D(ij)" : "Join number (order of the records)",
             Style().anchor(Anchor::kMiddle)));
    y += 42;
  }
  for (const std::string& note : g.said) {
    y += 18;
    out.add(text({8, y}, note, Style().fill(ink::kMuted)));
  }
}

}  // namespace

Figure step_chart(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  const TreeGeometry g = tree_geometry(m, i);
  Svg out({"step-" + std::to_string(s.block->StepNumber), g.width, g.height,
           "Dendrogram of " + m.step_title(i), step_desc(m, i)});
  draw_title(out, s, g);
  draw_rows(out, m, i, g);
  for (std::size_t j = static_cast<std::size_t>(g.leaves); j < s.layout.nodes.size(); ++j) {
    draw_join(out, s, g, j);
  }
  draw_cut(out, s, g);
  draw_foot(out, s, g);
  return std::move(out).finish();
}

}  // namespace locseq::report
