// The dendrogram of one step.
#include <algorithm>
#include <cmath>

#include "report/axes.h"
#include "report/charts.h"
#include "report/palette.h"
#include "report/svg.h"
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
  const auto groups = std::to_string(b.CutLevel);
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
                  " groups are drawn, each as its own tree.");
  } else if (d.cut) {
    out.push_back("The dashed line cuts the tree into " + groups + " groups (the first " +
                  std::to_string(d.applied) + " records are applied).");
  } else {
    out.push_back("No line cuts the tree into its " + groups +
                  " groups: a join after the cut stands no higher than one before it.");
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

std::string step_desc(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  std::string desc = "Dendrogram of the " + std::to_string(s.retained.size()) +
                     " retained locations of " + m.step_title(i) + ", cut into " +
                     std::to_string(s.block->CutLevel) + " groups.";
  for (std::size_t k = 0; k < s.block->groups.size(); ++k) {
    desc += " Group " + std::to_string(k + 1) + ":";
    const auto& members = s.block->groups[k].members;
    for (std::size_t j = 0; j < members.size(); ++j) {
      desc += (j ? ", " : " ") + m.location(members[j]);
    }
    desc += '.';
  }
  for (const std::string& note : notes(s)) desc += ' ' + note;
  return desc;
}

}  // namespace

std::string step_chart(const Model& m, std::size_t i) {
  const StepView& s = m.steps[i];
  const BlockResult& b = *s.block;
  const DendrogramLayout& d = s.layout;
  const std::int32_t n = d.leaves;
  const double row_h = n <= 40 ? 20 : n <= 120 ? 15 : 12;
  const double font = n <= 40 ? 12 : n <= 120 ? 11 : 10;
  const std::string font_attr = "font-size=\"" + coord(font) + "\"";
  const double gap = n <= 40 ? 2 : 1;  // between a group chip and the next row
  const double chip_font = n <= 40 ? 12 : n <= 120 ? 10 : 8.5;  // its number
  const double dot = n <= 40 ? 3.5 : 2.5;                       // the dot of a join

  // The group of each retained location, then of each join inside a group.
  std::map<std::int32_t, std::int32_t> member_group;
  for (std::size_t k = 0; k < b.groups.size(); ++k) {
    for (const std::int32_t l : b.groups[k].members) {
      member_group.emplace(l, static_cast<std::int32_t>(k + 1));
    }
  }
  std::vector<std::int32_t> group(d.nodes.size(), 0);
  for (std::int32_t t = 1; t <= n; ++t) {
    const auto it = member_group.find(s.retained[static_cast<std::size_t>(t - 1)]);
    group[static_cast<std::size_t>(t - 1)] = it == member_group.end() ? 0 : it->second;
  }
  for (std::size_t j = static_cast<std::size_t>(n); j < d.nodes.size(); ++j) {
    const std::int32_t gl = group[static_cast<std::size_t>(d.nodes[j].left - 1)];
    const std::int32_t gr = group[static_cast<std::size_t>(d.nodes[j].right - 1)];
    group[j] = d.nodes[j].applied && gl == gr ? gl : 0;
  }
  const auto colour = [&](std::size_t node) {
    return std::string(group[node] ? group_colour(group[node]) : kNeutral);
  };

  double label_w = 60;
  for (const std::int32_t l : s.retained) {
    label_w = std::max(label_w, text_width(shorten(clean_utf8(m.location(l)), 32), font));
  }
  label_w += 16;
  const double chip_w = 28, x0 = label_w + chip_w + 12, x1 = x0 + 380;
  const double W = x1 + 36, top = 62;

  const double bottom = top + static_cast<double>(n) * row_h;
  const std::vector<std::string> said = wrapped(notes(s), 76);
  const double H = bottom + (d.joins ? 50 : 12) + 18 * static_cast<double>(said.size()) + 10;
  double hmax = 0;
  for (const DendrogramNode& node : d.nodes) hmax = std::max(hmax, node.height);
  const Scale hs = d.fusion_heights ? Scale::nice(0, hmax > 0 ? hmax : 1, 5) : join_scale(d.joins);
  const auto px = [&](double h) { return hs.at(h, x0, x1); };
  const auto py = [&](double position) { return top + (position + 0.5) * row_h; };

  std::string out;
  open_svg(out, {"step-" + std::to_string(b.StepNumber), W, H, "Dendrogram of " + m.step_title(i),
                 step_desc(m, i)});
  text(out, 8, 20,
       "Step " + std::to_string(b.StepNumber) +
           (s.name.empty() ? "" : " (" + short_text(s.name, 12) + ")") + ": " + std::to_string(n) +
           " retained locations in " + std::to_string(b.CutLevel) +
           (b.CutLevel == 1 ? " group" : " groups"),
       "font-weight=\"600\"");
  text(out, label_w + chip_w / 2 - 2, top - 8, "group",
       "text-anchor=\"middle\" font-size=\"10\" fill=\"#59636E\"");

  // Rows: shading, name and group of each leaf.
  for (std::size_t row = 0; row < d.leaf_order.size(); ++row) {
    const std::int32_t t = d.leaf_order[row];
    const std::int32_t l = s.retained[static_cast<std::size_t>(t - 1)];
    const std::int32_t k = group[static_cast<std::size_t>(t - 1)];
    const double y = top + static_cast<double>(row) * row_h;
    if (row % 2 == 1) {
      out += "<rect x=\"0\" y=\"" + coord(y) + "\" width=\"" + coord(W) + "\" height=\"" +
             coord(row_h) + "\" fill=\"#F6F8FA\"/>\n";
    }
    text(out, label_w - 8, y + row_h / 2 + font / 3,
         short_text(m.location(l), 32) +
             hover("location " + std::to_string(l) + ": " + m.location(l) + ", group " +
                   (k ? std::to_string(k) : "none")),
         "text-anchor=\"end\" " + font_attr);
    out += "<rect x=\"" + coord(label_w) + "\" y=\"" + coord(y + gap) + "\" width=\"" +
           coord(chip_w - 4) + "\" height=\"" + coord(row_h - 2 * gap) + "\" rx=\"3\" fill=\"" +
           std::string(group_colour(k)) + "\"/>\n";
    text(out, label_w + chip_w / 2 - 2, y + row_h / 2 + chip_font / 3, k ? std::to_string(k) : "–",
         "text-anchor=\"middle\" font-weight=\"600\" font-size=\"" + coord(chip_font) +
             "\" fill=\"" + std::string(group_text_colour(k)) + "\"");
  }

  // The joins: a vertical line at the join's height, a horizontal one to each side.
  for (std::size_t j = static_cast<std::size_t>(n); j < d.nodes.size(); ++j) {
    const DendrogramNode& node = d.nodes[j];
    const auto li = static_cast<std::size_t>(node.left - 1);
    const auto ri = static_cast<std::size_t>(node.right - 1);
    const double x = px(node.height);
    const double yl = py(d.nodes[li].position), yr = py(d.nodes[ri].position);
    // A group's line keeps its colour up to the cut line, then turns neutral.
    for (const auto& [child, y] : {std::pair{li, yl}, std::pair{ri, yr}}) {
      const double from = d.nodes[child].height;
      double split = x;
      if (d.cut && colour(child) != colour(j) && from < *d.cut && *d.cut < node.height) {
        split = px(*d.cut);
        out += "<path d=\"M" + coord(split) + " " + coord(y) + "H" + coord(x) + "\" stroke=\"" +
               colour(j) + "\" stroke-width=\"2\" fill=\"none\"/>\n";
      }
      out += "<path d=\"M" + coord(px(from)) + " " + coord(y) + "H" + coord(split) +
             "\" stroke=\"" + colour(child) + "\" stroke-width=\"2\" fill=\"none\"/>\n";
    }
    out += "<path d=\"M" + coord(x) + " " + coord(yl) + "V" + coord(yr) + "\" stroke=\"" +
           colour(j) + "\" stroke-width=\"2\" fill=\"none\" stroke-linecap=\"square\"/>\n";
    const std::size_t r = j - static_cast<std::size_t>(n);
    const HierarchyRecord& rec = b.hierarchy[r];
    out +=
        "<circle cx=\"" + coord(x) + "\" cy=\"" + coord(py(node.position)) + "\" r=\"" +
        coord(dot) + "\" fill=\"" + colour(j) + "\">" +
        hover("record " + std::to_string(r + 1) + ": " + std::to_string(rec.Gpi) + " + " +
              std::to_string(rec.Gpj) + " = " +
              std::to_string(n + static_cast<std::int32_t>(r) + 1) + ", D(ij) " +
              round_trip(static_cast<double>(rec.D)) + (node.applied ? "" : " (after the cut)")) +
        "</circle>\n";
  }

  // The cut line.
  if (d.cut) {
    const double x = px(*d.cut);
    out += "<line x1=\"" + coord(x) + "\" x2=\"" + coord(x) + "\" y1=\"" + coord(top - 18) +
           "\" y2=\"" + coord(bottom) +
           "\" stroke=\"#1F2328\" stroke-width=\"1.5\" stroke-dasharray=\"5 4\">" +
           hover("cut into " + std::to_string(b.CutLevel) + " groups") + "</line>\n";
    text(out, x + 4, top - 22, "cut: " + std::to_string(b.CutLevel) + " groups",
         "font-size=\"11\" fill=\"#1F2328\"");
  }

  // The height axis and the notes.
  double y = bottom + 8;
  if (d.joins) {
    out += "<line x1=\"" + coord(x0) + "\" x2=\"" + coord(x1) + "\" y1=\"" + coord(y) + "\" y2=\"" +
           coord(y) + "\" stroke=\"#1F2328\"/>\n";
    for (const double t : hs.ticks()) {
      const double x = px(t);
      out += "<line x1=\"" + coord(x) + "\" x2=\"" + coord(x) + "\" y1=\"" + coord(y) + "\" y2=\"" +
             coord(y + 5) + "\" stroke=\"#1F2328\"/>\n";
      text(out, x, y + 18, fixed(t, hs.decimals),
           "text-anchor=\"middle\" font-size=\"11\" fill=\"#59636E\"");
    }
    text(out, (x0 + x1) / 2, y + 36,
         d.fusion_heights ? "Fusion level D(ij)" : "Join number (order of the records)",
         "text-anchor=\"middle\"");
    y += 42;
  }
  for (const std::string& note : said) {
    y += 18;
    text(out, 8, y, escape(note), "fill=\"#59636E\"");
  }
  close_svg(out);
  return out;
}

}  // namespace locseq::report
