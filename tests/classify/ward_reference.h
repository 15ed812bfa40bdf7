// An independent Ward's method for the tests: every possible join of the
// current groups evaluated from scratch, from centroids of the points, at
// every step.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "classify/ward.h"

namespace locseq::classify::testing {

using Points = std::vector<std::vector<double>>;  // one coordinate vector per item

// Squared Euclidean distances, n x n row by row.
inline std::vector<double> squared_distances(const Points& x) {
  const std::size_t n = x.size();
  std::vector<double> d(n * n, 0.0);
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      for (std::size_t c = 0; c < x[a].size(); ++c)
        d[a * n + b] += (x[a][c] - x[b][c]) * (x[a][c] - x[b][c]);
    }
  }
  return d;
}

inline std::vector<Fusion> brute_force_ward(const Points& x) {
  struct Group {
    std::int32_t label;
    std::vector<std::size_t> members;
  };
  const auto n = static_cast<std::int32_t>(x.size());
  std::vector<Group> groups;
  for (std::int32_t i = 0; i < n; ++i) groups.push_back({i + 1, {static_cast<std::size_t>(i)}});
  auto centroid = [&](const Group& g) {
    std::vector<double> c(x[0].size(), 0.0);
    for (std::size_t m : g.members) {
      for (std::size_t k = 0; k < c.size(); ++k) c[k] += x[m][k];
    }
    for (double& v : c) v /= static_cast<double>(g.members.size());
    return c;
  };
  auto rise = [&](const Group& a, const Group& b) {
    const std::vector<double> ca = centroid(a), cb = centroid(b);
    double s = 0.0;
    for (std::size_t k = 0; k < ca.size(); ++k) s += (ca[k] - cb[k]) * (ca[k] - cb[k]);
    const auto na = static_cast<double>(a.members.size()),
               nb = static_cast<double>(b.members.size());
    return na * nb / (na + nb) * s;
  };
  double largest = 0.0;
  for (std::size_t a = 0; a < groups.size(); ++a) {
    for (std::size_t b = a + 1; b < groups.size(); ++b)
      largest = std::max(largest, rise(groups[a], groups[b]));
  }
  std::vector<Fusion> out;
  for (std::int32_t r = 1; r < n; ++r) {
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b)
        least = std::min(least, rise(groups[a], groups[b]));
    }
    Fusion best{};
    std::size_t ba = 0, bb = 0;
    for (std::size_t a = 0; a < groups.size(); ++a) {
      for (std::size_t b = a + 1; b < groups.size(); ++b) {
        const double v = rise(groups[a], groups[b]);
        if (v > least + 1e-9 * least + 1e-12 * largest) continue;
        const std::int32_t lo = std::min(groups[a].label, groups[b].label);
        const std::int32_t hi = std::max(groups[a].label, groups[b].label);
        if (best.gi == 0 || lo < best.gi || (lo == best.gi && hi < best.gj)) {
          best = {lo, hi, n + r, v};
          ba = a;
          bb = b;
        }
      }
    }
    out.push_back(best);
    groups[ba].label = n + r;
    groups[ba].members.insert(groups[ba].members.end(), groups[bb].members.begin(),
                              groups[bb].members.end());
    groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(bb));
  }
  return out;
}

}  // namespace locseq::classify::testing
