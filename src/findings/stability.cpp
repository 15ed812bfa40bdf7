#include "findings/stability.h"

#include <cstddef>

namespace locseq::findings {
namespace {

std::int64_t pairs(std::int64_t count) {
  return count * (count - 1) / 2;
}

// The groups of the locations in both partitions, side by side.
void shared(const Membership& p, const Membership& q, std::vector<std::int32_t>& a,
            std::vector<std::int32_t>& b) {
  for (const auto& [location, group] : p) {
    const auto it = q.find(location);
    if (it == q.end()) continue;
    a.push_back(group);
    b.push_back(it->second);
  }
}

}  // namespace

Membership memberships(const BlockResult& block) {
  Membership out;
  for (std::size_t k = 0; k < block.groups.size(); ++k) {
    const auto group = static_cast<std::int32_t>(k + 1);
    for (const std::int32_t location : block.groups[k].members) out.emplace(location, group);
    for (const std::int32_t location : block.groups[k].allocated) out.emplace(location, group);
  }
  return out;
}

std::optional<double> adjusted_rand_index(std::span<const std::int32_t> a,
                                          std::span<const std::int32_t> b) {
  if (a.size() != b.size() || a.size() < 2) return std::nullopt;
  std::map<std::pair<std::int32_t, std::int32_t>, std::int64_t> cells;
  std::map<std::int32_t, std::int64_t> rows, cols;
  for (std::size_t i = 0; i < a.size(); ++i) {
    ++cells[{a[i], b[i]}];
    ++rows[a[i]];
    ++cols[b[i]];
  }
  // With N pairs in all, index I, row pairs A and column pairs B, the
  // index is (I - AB/N) / ((A + B)/2 - AB/N) = (2NI - 2AB) / (N(A + B) - 2AB).
  // Its denominator is 0 exactly when A = B = 0 or A = B = N.
  std::int64_t index = 0, row_pairs = 0, col_pairs = 0;
  for (const auto& cell : cells) index += pairs(cell.second);
  for (const auto& row : rows) row_pairs += pairs(row.second);
  for (const auto& col : cols) col_pairs += pairs(col.second);
  const std::int64_t all = pairs(static_cast<std::int64_t>(a.size()));
  if (row_pairs == col_pairs && (row_pairs == 0 || row_pairs == all)) {
    const bool same = cells.size() == rows.size() && cells.size() == cols.size();
    return same ? 1.0 : 0.0;
  }
  // Whole numbers in a 64-bit mantissa: exact up to some 60000 items.
  const auto n = static_cast<long double>(all);
  const auto i = static_cast<long double>(index);
  const auto r = static_cast<long double>(row_pairs);
  const auto c = static_cast<long double>(col_pairs);
  return static_cast<double>((2 * n * i - 2 * r * c) / (n * (r + c) - 2 * r * c));
}

std::optional<double> stability_ari(const Membership& previous, const Membership& current) {
  std::vector<std::int32_t> a, b;
  shared(previous, current, a, b);
  return adjusted_rand_index(a, b);
}

std::optional<double> stability_ari(const BlockResult& previous, const BlockResult& current) {
  return stability_ari(memberships(previous), memberships(current));
}

}  // namespace locseq::findings
