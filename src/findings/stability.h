// How much a step's groups agree with the previous step's.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "core/results.h"

namespace locseq::findings {

// The group (from 1) of every location that has one in a step.
using Membership = std::map<std::int32_t, std::int32_t>;

// The membership of a block: its retained members and the locations
// allocated to each group. A location listed in two groups keeps the first.
Membership memberships(const BlockResult& block);

// The adjusted Rand index of two partitions of the same items, given as the
// group of each item (a[i] and b[i] for item i; the values are only names).
// nullopt when there are fewer than two items or the spans differ in
// length. Where the index is 0/0 (both partitions trivial: all in one group,
// or all apart) it is 1 when the partitions are the same, else 0.
std::optional<double> adjusted_rand_index(std::span<const std::int32_t> a,
                                          std::span<const std::int32_t> b);

// The adjusted Rand index between two memberships, over the locations that
// have a group in both; nullopt (written NA) when fewer than two do.
std::optional<double> stability_ari(const Membership& previous, const Membership& current);
std::optional<double> stability_ari(const BlockResult& previous, const BlockResult& current);

// A location that changed group from one step to the next.
struct Move {
  std::int32_t location = 0;  // location number
  std::int32_t from = 0;      // its group in the previous step
  std::int32_t to = 0;        // its group in the current step
  friend bool operator==(const Move&, const Move&) = default;
};

// The locations that changed group: over the locations with a group in both
// steps, each current group descends from the previous group with which it
// shares the most of them (the lower number on a tie), and a location moved
// when it was not in the group its current group descends from. In
// ascending location order.
std::vector<Move> moved_locations(const Membership& previous, const Membership& current);
std::vector<Move> moved_locations(const BlockResult& previous, const BlockResult& current);

}  // namespace locseq::findings
