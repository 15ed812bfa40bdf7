#include "report/dendrogram.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace locseq::report {
namespace {

std::size_t at(std::int32_t label) {
  return static_cast<std::size_t>(label - 1);
}

// Applies records from + 1 to `to` (numbers from 1) to the current groups,
// adding a join node for each. False at the first record that does not join
// two different current groups.
bool apply(std::int32_t n, std::span<const HierarchyRecord> records, std::int32_t from,
           std::int32_t to, std::vector<char>& current, std::vector<DendrogramNode>& nodes) {
  for (std::int32_t r = from + 1; r <= to; ++r) {
    const HierarchyRecord& rec = records[static_cast<std::size_t>(r - 1)];
    const std::int32_t top = n + r - 1;  // highest label that can exist before record r
    const auto usable = [&](std::int32_t label) {
      return label >= 1 && label <= top && current[at(label)];
    };
    if (!usable(rec.Gpi) || !usable(rec.Gpj) || rec.Gpi == rec.Gpj) return false;
    current[at(rec.Gpi)] = 0;
    current[at(rec.Gpj)] = 0;
    current[at(n + r)] = 1;
    nodes.push_back({rec.Gpi, rec.Gpj, 0.0, 0.0, false});
  }
  return true;
}

// True when every drawn D(ij) is finite and no lower than what it joins.
bool fusion_levels_rise(std::int32_t n, std::span<const HierarchyRecord> records,
                        const std::vector<DendrogramNode>& nodes) {
  const auto level = [&](std::int32_t label) {
    return label <= n ? 0.0 : static_cast<double>(records[at(label - n)].D);
  };
  for (std::size_t i = static_cast<std::size_t>(n); i < nodes.size(); ++i) {
    const double d = level(static_cast<std::int32_t>(i) + 1);
    if (!std::isfinite(d) || d < level(nodes[i].left) || d < level(nodes[i].right)) return false;
  }
  return true;
}

}  // namespace

std::optional<double> cut_height(std::span<const double> heights, std::int32_t applied) {
  const auto split = static_cast<std::size_t>(std::max<std::int32_t>(applied, 0));
  if (split >= heights.size()) return std::nullopt;
  double below = 0.0;
  for (std::size_t i = 0; i < split; ++i) below = std::max(below, heights[i]);
  const double above =
      *std::min_element(heights.begin() + static_cast<std::ptrdiff_t>(split), heights.end());
  if (!(below < above)) return std::nullopt;
  return below + (above - below) / 2.0;
}

namespace {

// Applies the records the cut applies, then, when they all form a
// hierarchy, the others too where they complete it; `current` ends with
// the labels of the roots.
void apply_records(std::span<const HierarchyRecord> records, DendrogramLayout& out,
                   std::vector<char>& current) {
  const std::int32_t leaves = out.leaves;
  const auto available = static_cast<std::int32_t>(
      std::min<std::size_t>(records.size(), static_cast<std::size_t>(leaves)));
  out.valid =
      available >= out.applied && apply(leaves, records, 0, out.applied, current, out.nodes);
  if (!out.valid) {
    out.nodes.resize(static_cast<std::size_t>(leaves));
    std::fill(current.begin(), current.end(), 0);
    std::fill_n(current.begin(), leaves, 1);
    return;
  }
  for (std::size_t i = static_cast<std::size_t>(leaves); i < out.nodes.size(); ++i) {
    out.nodes[i].applied = true;
  }
  const std::int32_t all = leaves - 1;
  if (leaves >= 1 && static_cast<std::int32_t>(records.size()) >= all) {
    std::vector<char> trial = current;
    std::vector<DendrogramNode> nodes = out.nodes;
    if (apply(leaves, records, out.applied, all, trial, nodes)) {
      out.complete = true;
      current = std::move(trial);
      out.nodes = std::move(nodes);
    }
  }
}

// Leaf order: tree by tree, Gpi side first; then the rows of the leaves
// and the joins between their children.
void order_leaves(DendrogramLayout& out, const std::vector<char>& current) {
  for (std::int32_t label = 1; label <= out.leaves + out.joins; ++label) {
    if (current[at(label)]) out.roots.push_back(label);
  }
  for (const std::int32_t root : out.roots) {
    std::vector<std::int32_t> stack{root};
    while (!stack.empty()) {
      const std::int32_t label = stack.back();
      stack.pop_back();
      const DendrogramNode& node = out.nodes[at(label)];
      if (node.left == 0) {
        out.leaf_order.push_back(label);
      } else {
        stack.push_back(node.right);
        stack.push_back(node.left);
      }
    }
  }
  for (std::size_t row = 0; row < out.leaf_order.size(); ++row) {
    out.nodes[at(out.leaf_order[row])].position = static_cast<double>(row);
  }
  for (std::size_t i = static_cast<std::size_t>(out.leaves); i < out.nodes.size(); ++i) {
    DendrogramNode& node = out.nodes[i];
    node.position = (out.nodes[at(node.left)].position + out.nodes[at(node.right)].position) / 2.0;
  }
}

}  // namespace

DendrogramLayout layout_dendrogram(std::int32_t n, std::span<const HierarchyRecord> records,
                                   std::int32_t applied) {
  DendrogramLayout out;
  out.leaves = std::max<std::int32_t>(n, 0);
  const std::int32_t leaves = out.leaves;
  out.applied = std::clamp<std::int32_t>(applied, 0, std::max<std::int32_t>(leaves - 1, 0));
  out.nodes.assign(static_cast<std::size_t>(leaves), DendrogramNode{0, 0, 0.0, 0.0, true});
  std::vector<char> current(static_cast<std::size_t>(std::max<std::int32_t>(2 * leaves, 1)), 0);
  std::fill_n(current.begin(), leaves, 1);
  apply_records(records, out, current);
  out.joins = static_cast<std::int32_t>(out.nodes.size()) - leaves;

  // Heights.
  out.fusion_heights = out.valid && fusion_levels_rise(leaves, records, out.nodes);
  std::vector<double> heights;
  for (std::int32_t r = 1; r <= out.joins; ++r) {
    const double h = out.fusion_heights ? static_cast<double>(records[at(r)].D) : r;
    out.nodes[at(leaves + r)].height = h;
    heights.push_back(h);
  }
  order_leaves(out, current);
  if (out.complete && out.applied < out.joins) out.cut = cut_height(heights, out.applied);
  return out;
}

}  // namespace locseq::report
