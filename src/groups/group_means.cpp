#include "groups/group_means.h"

namespace locseq {

namespace {

// The members of the groups as classified, in member-list order.
auto classified(const Grouping& grouping) {
  return [MemberLocations = Vec<const std::int32_t>(grouping.MemberLocations)](
             std::int32_t, std::int32_t, std::int32_t p) { return MemberLocations(p); };
}

}  // namespace

bool FormGroupMeans(const Year& year, const Grouping& grouping, const Centroids& centroids) {
  return MeansOfGroups(year, centroids, grouping.GroupSizes, classified(grouping));
}

NonFinite GroupMeansOverflow(const Year& year, const Grouping& grouping,
                             const Centroids& centroids) {
  return MeansOverflow(year, centroids, grouping.GroupSizes, classified(grouping));
}

}  // namespace locseq
