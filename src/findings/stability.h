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

}  // namespace locseq::findings
