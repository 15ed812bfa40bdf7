#include "groups/group_means.h"

namespace locseq {

void FormGroupMeans(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                    Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts,
                    Vec<const std::int32_t> GroupSizes, Vec<const std::int32_t> GroupMemberList,
                    Vec<std::int32_t> MemberLocations, Vec<const std::int32_t> EliminationVector,
                    std::int32_t MAXL, std::int32_t MAXG, std::int32_t NGP) {
  for (std::int32_t p = 1; p <= MAXL; ++p) MemberLocations(p) = 0;

  // Translate retained-location numbers into location numbers.
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= NGP; ++k) {
    for (std::int32_t i = 1; i <= GroupSizes(k); ++i) {
      ++p;
      const std::int32_t r = GroupMemberList(p);
      std::int32_t t = 0;  // retained locations seen so far
      for (std::int32_t u = 1; u <= MAXL; ++u) {
        if (EliminationVector(u) == 1 && ++t == r) {
          MemberLocations(p) = u;
          break;
        }
      }
    }
  }

  MeansOfGroups(
      YearData, IncidenceMatrix, GroupMeans, GroupCounts, GroupSizes,
      [&](std::int32_t, std::int32_t, std::int32_t q) { return MemberLocations(q); }, MAXG, NGP);
}

}  // namespace locseq
