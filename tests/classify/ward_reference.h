// Independent Ward's methods for the tests: every possible join of the
// current groups evaluated from scratch at every step, from centroids of
// points, or from the sums of squared distances within groups; and the plain
// search over all pairs of the Lance-Williams rises, the classification's
// first algorithm, which the one with kept minima must follow to the bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "classify/ward.h"

namespace locseq::classify::testing {

using Points = std::vector<std::vector<double>>;  // one coordinate vector per item

// Squared Euclidean distances, a strict upper triangle row by row.
inline std::vector<double> squared_distances(const Points& x) {
  const std::size_t n = x.size();
  std::vector<double> d;
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = a + 1; b < n; ++b) {
      double s = 0.0;
      for (std::size_t c = 0; c < x[a].size(); ++c) s += (x[a][c] - x[b][c]) * (x[a][c] - x[b][c]);
      d.push_back(s);
    }
  }
  return d;
}

// The tie rule on rises evaluated from scratch: among the joins within
// 1e-9 of the least (plus 1e-12 of `largest`), the smallest labels.
template <class Rise>
std::vector<Fusion> join_by_rises(
    std::vector<std::pair<std::int32_t, std::vector<std::size_t>>> groups, Rise rise) {
  const auto n = static_cast<std::int32_t>(groups.size());
  double largest = 0.0;
  for (std::size_t a = 0; a < groups.size(); ++a) {
    for (std::size_t b = a + 1; b < groups.size(); ++b)
      largest = std::max(largest, rise(groups[a].second, groups[b].second));
  }
  std::vector<Fusion> out;
  for (std::int32_t r = 1; r < n; ++r) {
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b)
        least = std::min(least, rise(groups[a].second, groups[b].second));
    }
    Fusion best{};
    std::size_t ba = 0, bb = 0;
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        const double v = rise(groups[a].second, groups[b].second);
        if (v > least + 1e-9 * least + 1e-12 * largest) continue;
        const std::int32_t lo = std::min(groups[a].first, groups[b].first);
        const std::int32_t hi = std::max(groups[a].first, groups[b].first);
        if (best.gi == 0 || lo < best.gi || (lo == best.gi && hi < best.gj)) {
          best = {lo, hi, n + r, v};
          ba = a;
          bb = b;
        }
      }
    }
    out.push_back(best);
    groups[ba].first = n + r;
    groups[ba].second.insert(groups[ba].second.end(), groups[bb].second.begin(),
                             groups[bb].second.end());
    groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(bb));
  }
  return out;
}

inline std::vector<std::pair<std::int32_t, std::vector<std::size_t>>> singletons(std::size_t n) {
  std::vector<std::pair<std::int32_t, std::vector<std::size_t>>> g;
  for (std::size_t i = 0; i < n; ++i) g.push_back({static_cast<std::int32_t>(i + 1), {i}});
  return g;
}

// Ward on any squared distances d (n x n, d[a][b]): the rise of joining A
// and B is W(A u B) - W(A) - W(B), with W(S) the sum of d over the pairs of
// S divided by |S| (for Euclidean d, the sum of squares about the
// centroid).
inline std::vector<Fusion> brute_force_ward_on(const std::vector<std::vector<double>>& d) {
  const auto W = [&](const std::vector<std::size_t>& s) {
    double sum = 0.0;
    for (std::size_t a = 0; a < s.size(); ++a) {
      for (std::size_t b = a + 1; b < s.size(); ++b) sum += d[s[a]][s[b]];
    }
    return sum / static_cast<double>(s.size());
  };
  return join_by_rises(singletons(d.size()),
                       [&](const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
                         std::vector<std::size_t> u = a;
                         u.insert(u.end(), b.begin(), b.end());
                         return W(u) - W(a) - W(b);
                       });
}

// The search over all pairs of the current groups at every step, on the
// Lance-Williams rises (d: a strict upper triangle, as ward_hierarchy takes
// it), as the classification first did it: O(n^3).
inline std::vector<Fusion> ward_by_full_search(std::int32_t n, std::vector<double> d) {
  std::vector<Fusion> fusions;
  const auto N = static_cast<std::size_t>(n);
  std::vector<double> rise(N * N, 0.0);
  for (std::size_t i = 0, at = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j, ++at) rise[i * N + j] = rise[j * N + i] = 0.5 * d[at];
  }
  auto at = [&](std::size_t i, std::size_t j) -> double& { return rise[i * N + j]; };
  double largest = 0.0;
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) largest = std::max(largest, at(i, j));
  }
  std::vector<std::int32_t> label(N);
  std::vector<double> size(N, 1);
  std::vector<std::size_t> live(N);
  for (std::size_t i = 0; i < N; ++i) label[i] = static_cast<std::int32_t>(i + 1), live[i] = i;
  for (std::int32_t r = 1; r < n; ++r) {
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < live.size(); ++a) {
      for (std::size_t b = a + 1; b < live.size(); ++b)
        least = std::min(least, at(live[a], live[b]));
    }
    const double tied = least + 1e-9 * std::abs(least) + 1e-12 * largest;
    std::size_t p = 0, q = 0;
    bool found = false;
    for (std::size_t a = 0; a < live.size(); ++a) {
      for (std::size_t b = a + 1; b < live.size(); ++b) {
        const std::size_t i = live[a], j = live[b];
        if (at(i, j) > tied) continue;
        const std::size_t lo = label[i] < label[j] ? i : j, hi = lo == i ? j : i;
        if (!found || label[lo] < label[p] || (label[lo] == label[p] && label[hi] < label[q])) {
          p = lo, q = hi, found = true;
        }
      }
    }
    const double level = at(p, q);
    fusions.push_back({label[p], label[q], n + r, std::max(level, 0.0)});
    for (std::size_t k : live) {
      if (k == p || k == q) continue;
      const double nk = size[k];
      const double v = ((nk + size[p]) * at(k, p) + (nk + size[q]) * at(k, q) - nk * level) /
                       (nk + size[p] + size[q]);
      at(k, p) = at(p, k) = v;
    }
    label[p] = n + r;
    size[p] += size[q];
    live.erase(std::find(live.begin(), live.end(), q));
  }
  return fusions;
}

// Ward on points: the rise of joining A and B is nA nB / (nA + nB) times
// the squared distance of their centroids.
inline std::vector<Fusion> brute_force_ward(const Points& x) {
  auto centroid = [&](const std::vector<std::size_t>& g) {
    std::vector<double> c(x[0].size(), 0.0);
    for (std::size_t m : g) {
      for (std::size_t k = 0; k < c.size(); ++k) c[k] += x[m][k];
    }
    for (double& v : c) v /= static_cast<double>(g.size());
    return c;
  };
  return join_by_rises(singletons(x.size()), [&](const std::vector<std::size_t>& a,
                                                 const std::vector<std::size_t>& b) {
    const std::vector<double> ca = centroid(a), cb = centroid(b);
    double s = 0.0;
    for (std::size_t k = 0; k < ca.size(); ++k) s += (ca[k] - cb[k]) * (ca[k] - cb[k]);
    const auto na = static_cast<double>(a.size()), nb = static_cast<double>(b.size());
    return na * nb / (na + nb) * s;
  });
}

}  // namespace locseq::classify::testing
