#include "classify/ward.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace locseq::classify {

std::vector<Fusion> ward_hierarchy(std::int32_t n, std::vector<double> distances) {
  std::vector<Fusion> fusions;
  if (n < 2) return fusions;
  const auto N = static_cast<std::size_t>(n);
  // rise(i, j): the rise in the sum of squares if the groups in slots i and
  // j were joined; half the squared distance for two single items.
  std::vector<double>& rise = distances;
  auto at = [&](std::size_t i, std::size_t j) -> double& { return rise[i * N + j]; };
  for (double& d : rise) d *= 0.5;
  double largest = 0.0;  // the largest rise of two single items
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) largest = std::max(largest, at(i, j));
  }
  std::vector<std::int32_t> label(N), size(N, 1);
  std::vector<std::size_t> live(N);  // the slots of the current groups
  for (std::size_t i = 0; i < N; ++i) {
    label[i] = static_cast<std::int32_t>(i + 1);
    live[i] = i;
  }
  fusions.reserve(N - 1);
  for (std::int32_t r = 1; r < n; ++r) {
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < live.size(); ++a) {
      for (std::size_t b = a + 1; b < live.size(); ++b)
        least = std::min(least, at(live[a], live[b]));
    }
    const double tied = least + 1e-9 * std::abs(least) + 1e-12 * largest;
    // Among the tied pairs, the smallest (first label, second label).
    std::size_t p = 0, q = 0;  // slots of the pair chosen: label[p] < label[q]
    bool found = false;
    for (std::size_t a = 0; a < live.size(); ++a) {
      for (std::size_t b = a + 1; b < live.size(); ++b) {
        const std::size_t i = live[a], j = live[b];
        if (at(i, j) > tied) continue;
        const std::size_t lo = label[i] < label[j] ? i : j, hi = lo == i ? j : i;
        if (!found || label[lo] < label[p] || (label[lo] == label[p] && label[hi] < label[q])) {
          p = lo;
          q = hi;
          found = true;
        }
      }
    }
    const double level = at(p, q);
    fusions.push_back({label[p], label[q], n + r, std::max(level, 0.0)});
    // The union takes slot p: Lance-Williams for Ward.
    const double np = size[p], nq = size[q];
    for (std::size_t k : live) {
      if (k == p || k == q) continue;
      const double nk = size[k];
      const double v = ((nk + np) * at(k, p) + (nk + nq) * at(k, q) - nk * level) / (nk + np + nq);
      at(k, p) = v;
      at(p, k) = v;
    }
    label[p] = n + r;
    size[p] += size[q];
    live.erase(std::find(live.begin(), live.end(), q));
  }
  return fusions;
}

}  // namespace locseq::classify
