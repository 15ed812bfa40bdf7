#include "sequence/hierarchy.h"

#include <algorithm>

namespace locseq {

void GroupMembership(Vec<std::int32_t> GroupLabels, Vec<std::int32_t> GroupSizes,
                     Vec<std::int32_t> GroupMemberList, Mat<const std::int32_t> FusionPairs,
                     std::int32_t RetainedCount, std::int32_t CutLevel) {
  const std::int32_t n = RetainedCount;
  for (std::int32_t i = 1; i <= n; ++i) {
    GroupLabels(i) = i;
    GroupSizes(i) = 1;
    GroupMemberList(i) = i;
  }
  std::int32_t b = n;
  for (std::int32_t r = 1; r <= n - CutLevel; ++r) {
    try {
      Merge(GroupLabels, GroupSizes, GroupMemberList, FusionPairs(1, r), FusionPairs(2, r), b,
            n + r, n);
    } catch (BadFusion& bad) {
      bad.record = r;
      throw;
    }
    --b;
  }
}

void Merge(Vec<std::int32_t> GroupLabels, Vec<std::int32_t> GroupSizes,
           Vec<std::int32_t> GroupMemberList, std::int32_t gi, std::int32_t gj, std::int32_t b,
           std::int32_t new_label, std::int32_t n) {
  std::int32_t pi = 0, pj = 0;
  for (std::int32_t p = 1; p <= b; ++p) {
    if (GroupLabels(p) == gi) pi = p;
    if (GroupLabels(p) == gj) pj = p;
  }
  if (gi == gj) throw BadFusion{0, "it joins group " + std::to_string(gi) + " with itself"};
  for (std::int32_t g : {gi, gj}) {
    if ((g == gi ? pi : pj) == 0) {
      throw BadFusion{0, "label " + std::to_string(g) + " is not a current group"};
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
  std::int32_t* list = GroupMemberList.data();
  std::rotate(list + sHi, list + sHi + zHi, list + n);
  std::rotate(list + sLo, list + sLo + zLo, list + n);
}

}  // namespace locseq
