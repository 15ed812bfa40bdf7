#include "groups/group_means.h"

namespace locseq {

std::optional<NonFinite> FormGroupMeans(const Year& year, const Grouping& grouping,
                                        const Centroids& centroids) {
  const Vec<const std::int32_t> MemberLocations = grouping.MemberLocations;
  return MeansOfGroups(
      year, centroids, grouping.GroupSizes,
      [&](std::int32_t, std::int32_t, std::int32_t p) { return MemberLocations(p); });
}

}  // namespace locseq
