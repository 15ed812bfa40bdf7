#include "classify/retention.h"

#include <algorithm>

namespace locseq::classify {

namespace {

bool present(const YearCounts& y, std::size_t i, double min_share) {
  const double share = static_cast<double>(y.values[i]) / y.observed;
  return share >= min_share;
}

}  // namespace

YearCounts count_year(std::int32_t y, Mat<const std::int32_t> presence) {
  YearCounts c;
  c.year = y;
  c.values.assign(static_cast<std::size_t>(presence.rows()), 0);
  for (std::int32_t j = 1; j <= presence.cols(); ++j) {
    bool any = false;
    for (std::int32_t i = 1; i <= presence.rows(); ++i) {
      if (presence(i, j) > 0) {
        ++c.values[static_cast<std::size_t>(i - 1)];
        any = true;
      }
    }
    c.observed += any;
  }
  return c;
}

std::vector<std::int32_t> complete_entries(std::span<const YearCounts> window, double min_share,
                                           std::int32_t MAXL) {
  std::vector<std::int32_t> entries(static_cast<std::size_t>(MAXL));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    bool qualifies = true, has_value = false;
    for (const YearCounts& y : window) {
      qualifies = qualifies && present(y, i, min_share);
      has_value = has_value || y.values[i] > 0;
    }
    entries[i] = !has_value ? 2 : qualifies ? 1 : 0;
  }
  return entries;
}

std::vector<std::int32_t> pairwise_entries(std::span<const YearCounts> window,
                                           const PairwiseSums& pairs, double min_share,
                                           double min_years, std::int32_t min_cells,
                                           std::int32_t MAXL) {
  const auto L = static_cast<std::size_t>(MAXL);
  std::vector<std::int32_t> entries(L, 2);
  std::vector<std::int64_t> cells(L, 0);  // cells with a value in the window
  std::vector<std::int32_t> candidates;   // location numbers, ascending
  const auto years = static_cast<double>(window.size());
  for (std::size_t i = 0; i < L; ++i) {
    std::int32_t present_years = 0;
    for (const YearCounts& y : window) {
      cells[i] += y.values[i];
      present_years += present(y, i, min_share);
    }
    if (cells[i] == 0) continue;
    entries[i] = 0;
    if (present_years > 0 && present_years / years >= min_years) {
      candidates.push_back(static_cast<std::int32_t>(i + 1));
    }
  }
  // Short pairs per candidate, then the eliminations, one at a time.
  const std::size_t n = candidates.size();
  std::vector<std::int32_t> short_pairs(n, 0);
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = a + 1; b < n; ++b) {
      if (pairs.cells(candidates[a], candidates[b]) < min_cells) {
        ++short_pairs[a];
        ++short_pairs[b];
      }
    }
  }
  std::vector<char> kept(n, 1);
  for (;;) {
    std::size_t worst = n;
    for (std::size_t a = 0; a < n; ++a) {
      if (!kept[a] || short_pairs[a] == 0) continue;
      const auto cells_of = [&](std::size_t c) {
        return cells[static_cast<std::size_t>(candidates[c] - 1)];
      };
      // Later candidates have higher location numbers, so >= on the last
      // tie takes the higher.
      if (worst == n || short_pairs[a] > short_pairs[worst] ||
          (short_pairs[a] == short_pairs[worst] && cells_of(a) <= cells_of(worst))) {
        worst = a;
      }
    }
    if (worst == n) break;
    kept[worst] = 0;
    for (std::size_t b = 0; b < n; ++b) {
      if (!kept[b] || b == worst) continue;
      const std::int32_t lo = std::min(candidates[worst], candidates[b]);
      const std::int32_t hi = std::max(candidates[worst], candidates[b]);
      if (pairs.cells(lo, hi) < min_cells) --short_pairs[b];
    }
  }
  for (std::size_t a = 0; a < n; ++a) {
    if (kept[a]) entries[static_cast<std::size_t>(candidates[a] - 1)] = 1;
  }
  return entries;
}

std::int64_t cells_with_a_value(std::span<const Mat<const std::int32_t>> window,
                                std::span<const std::int32_t> retained) {
  std::int64_t cells = 0;
  for (const Mat<const std::int32_t>& presence : window) {
    for (std::int32_t j = 1; j <= presence.cols(); ++j) {
      for (std::int32_t i : retained) {
        if (presence(i, j) > 0) {
          ++cells;
          break;
        }
      }
    }
  }
  return cells;
}

}  // namespace locseq::classify
