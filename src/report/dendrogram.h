// The geometry of a block's dendrogram, from its hierarchy records as read.
// Labels follow the hierarchy: 1 to n are the retained locations (in
// ascending location number), n + r is the group formed by record r.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/results.h"

namespace locseq::report {

// One node of the drawing: a leaf (a retained location) or a join.
struct DendrogramNode {
  std::int32_t left = 0;   // label of the first group joined (Gpi); 0 for a leaf
  std::int32_t right = 0;  // label of the second group joined (Gpj); 0 for a leaf
  double height = 0.0;     // 0 for a leaf; D(ij) or the join's number for a join
  double position = 0.0;   // row of a leaf (0 = top); midpoint of its children's for a join
  bool applied = false;    // a leaf, or a join the cut applies
};

// A dendrogram laid out: which records it draws, in which order the leaves
// stand, at which heights the joins stand and where the cut line goes.
struct DendrogramLayout {
  bool valid = false;           // the applied records form a hierarchy (else nothing is drawn)
  bool complete = false;        // the records after the cut too: one tree of all n leaves
  bool fusion_heights = false;  // heights are the D(ij); else the joins' numbers 1, 2, ...
  std::int32_t leaves = 0;      // n
  std::int32_t joins = 0;       // records drawn: the applied ones, or all n - 1 when complete
  std::int32_t applied = 0;     // records the cut applies (the first ones)
  std::vector<DendrogramNode> nodes;     // node of label l at l - 1: n leaves, then the joins
  std::vector<std::int32_t> leaf_order;  // leaf labels from top to bottom
  std::vector<std::int32_t> roots;       // labels of the drawn trees, top to bottom
  std::optional<double> cut;             // height of the cut line, where one separates the
                                         // applied joins from the others
};

// Lays out the dendrogram of n leaves from `records`, of which the first
// `applied` are the ones the cut applies. A record is valid when it joins two
// different current groups; label n + r is formed by record r whatever its
// Gpij says. The applied records are drawn when all are valid (else the
// layout is not valid: no joins, leaves in label order); the remaining
// records up to n - 1 are drawn too when there are n - 1 records in all and
// every one is valid (complete). Heights are the D(ij) when every drawn D(ij)
// is finite and no lower than the heights it joins (a leaf stands at 0),
// else the records' numbers. Leaves are ordered tree by tree (trees by
// ascending root label), each join's Gpi side above its Gpj side. The cut
// line lies halfway between the highest applied join (0 with none) and the
// lowest join above it, when the tree is complete, at least one record is
// not applied and the first stands strictly below the second. Never fails.
DendrogramLayout layout_dendrogram(std::int32_t n, std::span<const HierarchyRecord> records,
                                   std::int32_t applied);

// Height of the cut line for join heights in record order of which the
// first `applied` are applied: halfway between the highest applied one (0
// when none is) and the lowest of the others, or nullopt when there is no
// other or it does not stand strictly higher.
std::optional<double> cut_height(std::span<const double> heights, std::int32_t applied);

}  // namespace locseq::report
