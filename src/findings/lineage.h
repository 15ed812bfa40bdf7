// Group lineages: a number that follows a group from step to step, whatever
// number the step gives it, so that a group that stays the same keeps its
// lineage (and its colour on the page).
//
// The first step's groups are lineages 1 to k in group order. Each later
// group takes the lineage of a previous group with which it shares members
// (retained or allocated), by the one-to-one matching of current groups to
// previous groups that shares the most members in all; a pair that shares
// none is never matched. Among the matchings that share the most, the one
// whose lineage numbers, read in the order of the step's groups, form the
// smallest list. A group left unmatched takes the next new number, one more
// than the largest used so far, in group order; a lineage that ends is
// never used again.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "findings/stability.h"

namespace locseq::findings {

// The members a current group shares with each previous group: overlap[g][p]
// for current group g and previous group p (both from 0), none negative.
using Overlap = std::vector<std::vector<std::int64_t>>;

// The lineage of every current group (overlap.size() of them), given the
// previous groups' lineages (one per column of `overlap`, all distinct) and
// the largest lineage number used so far; `largest` ends as the largest
// used after this step.
//
// Exact: the most shared members by the Hungarian method on the current
// groups against the previous groups and one "no match" column per current
// group (a pair sharing no member barred), then the groups fixed one at a
// time in order, each to the lowest lineage it can take in some matching
// that still shares the most, found from the optimal dual and the tight
// alternating paths. O(r^2 (r + c)) for r current and c previous groups.
std::vector<std::int32_t> match_lineages(const Overlap& overlap,
                                         std::span<const std::int32_t> previous_lineages,
                                         std::int32_t& largest);

// The lineages of a step's `groups` groups, from its membership and the
// previous step's (with its lineages, group g at g - 1); `largest` as above.
// Without a previous step, pass an empty membership and lineages.
std::vector<std::int32_t> step_lineages(const Membership& previous,
                                        std::span<const std::int32_t> previous_lineages,
                                        const Membership& current, std::size_t groups,
                                        std::int32_t& largest);

// A location whose lineage changed from one step to the next.
struct Move {
  std::int32_t location = 0;  // location number
  std::int32_t from = 0;      // its group in the previous step
  std::int32_t to = 0;        // its group in the current step
  std::int32_t from_lineage = 0;
  std::int32_t to_lineage = 0;
  friend bool operator==(const Move&, const Move&) = default;
};

// The locations with a group in both steps whose lineage differs, in
// ascending location order (lineages of group g at g - 1).
std::vector<Move> moved_locations(const Membership& previous,
                                  std::span<const std::int32_t> previous_lineages,
                                  const Membership& current,
                                  std::span<const std::int32_t> current_lineages);

}  // namespace locseq::findings
