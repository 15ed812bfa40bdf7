#include "sequence/hierarchy.h"

#include <algorithm>

namespace locseq {

void CutHierarchy(Grouping& g) {
  GroupMembership(g);
  const Vec<const std::int32_t> EliminationVector = g.EliminationVector;
  // Retained-location numbers as location numbers, in one pass.
  std::int32_t t = 0;
  for (long p = 1; p <= g.MemberLocations.size(); ++p) g.MemberLocations(p) = 0;
  for (long u = 1; u <= EliminationVector.size(); ++u) {
    if (EliminationVector(u) != 1) continue;
    ++t;
    for (std::int32_t p = 1; p <= g.RetainedCount; ++p) {
      if (g.GroupMemberList(p) == t) g.MemberLocations(p) = static_cast<std::int32_t>(u);
    }
  }
  g.EliminatedCount = 0;
  for (long u = 1; u <= EliminationVector.size(); ++u) {
    if (EliminationVector(u) == 0)
      g.EliminatedLocations(++g.EliminatedCount) = static_cast<std::int32_t>(u);
  }
}

void GroupMembership(const Grouping& g) {
  const std::int32_t n = g.RetainedCount;
  for (std::int32_t i = 1; i <= n; ++i) {
    g.GroupLabels(i) = i;
    g.GroupSizes(i) = 1;
    g.GroupMemberList(i) = i;
  }
  std::int32_t b = n;
  for (std::int32_t r = 1; r <= n - g.CutLevel; ++r) {
    try {
      Merge(g, g.FusionPairs(1, r), g.FusionPairs(2, r), b, n + r);
    } catch (BadFusion& bad) {
      bad.record = r;
      throw;
    }
    --b;
  }
}

void Merge(const Grouping& g, std::int32_t gi, std::int32_t gj, std::int32_t b,
           std::int32_t new_label) {
  const Vec<std::int32_t> GroupLabels = g.GroupLabels;
  const Vec<std::int32_t> GroupSizes = g.GroupSizes;
  std::int32_t pi = 0, pj = 0;
  for (std::int32_t p = 1; p <= b; ++p) {
    if (GroupLabels(p) == gi) pi = p;
    if (GroupLabels(p) == gj) pj = p;
  }
  if (gi == gj) throw BadFusion{0, "it joins group " + std::to_string(gi) + " with itself"};
  for (std::int32_t label : {gi, gj}) {
    if ((label == gi ? pi : pj) == 0) {
      throw BadFusion{0, "label " + std::to_string(label) + " is not a current group"};
    }
  }
  const std::int32_t hi = std::max(pi, pj), lo = std::min(pi, pj);
  std::int32_t sHi = 0, sLo = 0;
  for (std::int32_t p = 1; p < hi; ++p) sHi += GroupSizes(p);
  for (std::int32_t p = 1; p < lo; ++p) sLo += GroupSizes(p);
  const std::int32_t zHi = GroupSizes(hi), zLo = GroupSizes(lo);

  for (std::int32_t gone : {hi, lo}) {
    for (std::int32_t p = gone; p < b; ++p) {
      GroupLabels(p) = GroupLabels(p + 1);
      GroupSizes(p) = GroupSizes(p + 1);
    }
  }
  GroupLabels(b - 1) = new_label;
  GroupSizes(b - 1) = zLo + zHi;

  // The members of the hi group go to the end of the list in their order,
  // then those of the lo group (which stand before them, so are not moved
  // by the first step).
  std::int32_t* list = g.GroupMemberList.data();
  const std::int32_t n = g.RetainedCount;
  std::rotate(list + sHi, list + sHi + zHi, list + n);
  std::rotate(list + sLo, list + sLo + zLo, list + n);
}

}  // namespace locseq
