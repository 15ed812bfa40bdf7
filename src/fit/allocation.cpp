#include "fit/allocation.h"

#include <cstdint>

namespace locseq {

std::vector<EliminatedLocation> AllocateEliminatedLocations(const Distances& distances,
                                                            const Grouping& grouping) {
  const Mat<const double> SedSums = distances.SedSums;
  const Mat<const std::int32_t> SedCounts = distances.SedCounts;
  const long NGP = SedSums.cols();
  std::vector<EliminatedLocation> out(static_cast<std::size_t>(grouping.EliminatedCount));
  for (std::int32_t e = 1; e <= grouping.EliminatedCount; ++e) {
    EliminatedLocation& loc = out[static_cast<std::size_t>(e - 1)];
    loc.location = grouping.EliminatedLocations(e);
    float best = 1.0E30f;  // the running minimum, held in 32 bits
    for (long k = 1; k <= NGP; ++k) {
      const std::int32_t cells = SedCounts(e, k);
      const double mean = cells > 0 ? SedSums(e, k) / cells : SedSums(e, k);
      loc.cells.push_back(cells);
      loc.mean_sed.push_back(mean);
      if (cells > 0 && mean < static_cast<double>(best)) {
        best = static_cast<float>(mean);
        loc.group = static_cast<std::int32_t>(k);
      }
    }
  }
  return out;
}

void EnlargeGroups(const Grouping& grouping, const std::vector<EliminatedLocation>& eliminated,
                   const Enlarged& enlarged) {
  const Vec<std::int32_t> Sizes = enlarged.AllocatedGroupSizes;
  const Mat<std::int32_t> Members = enlarged.AllocatedGroupMembers;
  std::fill_n(Members.data(), Members.rows() * Members.cols(), 0);
  for (long u = 1; u <= Sizes.size(); ++u) Sizes(u) = 0;
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= grouping.CutLevel; ++k) {
    Sizes(k) = grouping.GroupSizes(k);
    for (std::int32_t i = 1; i <= grouping.GroupSizes(k); ++i) {
      Members(k, i) = grouping.MemberLocations(++p);
    }
  }
  for (const EliminatedLocation& loc : eliminated) {
    if (loc.group == 0) continue;
    Sizes(loc.group) += 1;
    Members(loc.group, Sizes(loc.group)) = loc.location;
  }
}

std::vector<Group> GroupsOfBlock(const Grouping& grouping, const MemberDistances& members,
                                 const std::vector<EliminatedLocation>& eliminated) {
  std::vector<Group> groups(static_cast<std::size_t>(grouping.CutLevel));
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= grouping.CutLevel; ++k) {
    Group& g = groups[static_cast<std::size_t>(k - 1)];
    g.label = grouping.GroupLabels(k);
    for (std::int32_t i = 1; i <= grouping.GroupSizes(k); ++i) {
      g.members.push_back(grouping.MemberLocations(++p));
      const std::int32_t cells = members.counts(p);
      g.member_cells.push_back(cells);
      g.member_sed.push_back(cells > 0 ? members.sums(p) / cells : 0.0);
    }
  }
  for (const EliminatedLocation& loc : eliminated) {
    if (loc.group == 0) continue;
    const auto k = static_cast<std::size_t>(loc.group - 1);
    groups[k].allocated.push_back(loc.location);
    groups[k].allocated_sed.push_back(loc.mean_sed[k]);
  }
  return groups;
}

}  // namespace locseq
