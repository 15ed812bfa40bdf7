#include "classify/ward.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace locseq::classify {

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();

// The current groups of the hierarchy and their rises. A group lives in the
// slot of the item it started from (a union takes the slot of its group of
// the smaller label). Each group keeps `least`, the least rise to a current
// group of a larger label (its partners), and the slot that gives it; when
// `exact` is false, `least` is only a lower bound of that rise and `nearest`
// means nothing.
class Groups {
 public:
  Groups(std::size_t n, std::vector<double>& rise)
      : n_(n),
        rise_(rise),
        label_(n),
        size_(n, 1),
        least_(n, kNone),
        nearest_(n, 0),
        exact_(n, 1),
        order_(n) {
    for (std::size_t i = 0; i < n; ++i) {
      label_[i] = static_cast<std::int32_t>(i + 1);
      order_[i] = i;
    }
    for (std::size_t i = 0; i < n; ++i) rescan(i);
  }

  double& at(std::size_t i, std::size_t j) {
    return i < j ? rise_[pair_index(i, j, n_)] : rise_[pair_index(j, i, n_)];
  }

  // The least rise of all current pairs.
  double least_rise() {
    for (;;) {
      std::size_t best = order_.front();
      for (std::size_t k : order_) {
        if (least_[k] < least_[best]) best = k;
      }
      if (exact_[best]) return least_[best];
      rescan(best);
    }
  }

  // The pair of the smallest labels, first then second, among those whose
  // rise is at most `tied`: slots p (the smaller label) and q.
  std::pair<std::size_t, std::size_t> first_pair_within(double tied) {
    for (std::size_t a = 0; a < order_.size(); ++a) {
      const std::size_t i = order_[a];
      if (least_[i] > tied) continue;
      if (!exact_[i]) rescan(i);
      if (least_[i] > tied) continue;
      for (std::size_t b = a + 1; b < order_.size(); ++b) {
        if (at(i, order_[b]) <= tied) return {i, order_[b]};
      }
    }
    return {order_[0], order_[1]};  // not reached: the least rise is within `tied`
  }

  // Joins the groups in slots p and q (label p < label q) at `level` into
  // the group labelled `label`, in slot p.
  void join(std::size_t p, std::size_t q, double level, std::int32_t label) {
    const double np = size_[p], nq = size_[q];
    for (std::size_t k : order_) {
      if (k == p || k == q) continue;
      // Lance-Williams for Ward.
      const double nk = size_[k];
      const double v = ((nk + np) * at(k, p) + (nk + nq) * at(k, q) - nk * level) / (nk + np + nq);
      at(k, p) = v;
      // Group k loses p and q as partners, if they were, and gains the
      // union, which has the largest label and so no partner itself. The
      // partners k keeps lie at or above its old least, so a rise to the
      // union below that least is the new least, exactly.
      const bool lost = !exact_[k] || nearest_[k] == p || nearest_[k] == q;
      if (v < least_[k]) {
        least_[k] = v;
        nearest_[k] = p;
        exact_[k] = 1;
      } else if (lost) {
        exact_[k] = 0;
      }
    }
    order_.erase(std::find(order_.begin(), order_.end(), q));
    order_.erase(std::find(order_.begin(), order_.end(), p));
    order_.push_back(p);
    label_[p] = label;
    size_[p] += size_[q];
    least_[p] = kNone;
    exact_[p] = 1;
  }

  std::int32_t label(std::size_t i) const { return label_[i]; }

 private:
  // Makes `least` of slot i exact: a pass over its partners.
  void rescan(std::size_t i) {
    double least = kNone;
    std::size_t nearest = i;
    for (std::size_t j : order_) {
      if (label_[j] <= label_[i]) continue;
      const double v = at(i, j);
      if (v < least) {
        least = v;
        nearest = j;
      }
    }
    least_[i] = least;
    nearest_[i] = nearest;
    exact_[i] = 1;
  }

  std::size_t n_;
  std::vector<double>& rise_;         // strict upper triangle over the slots
  std::vector<std::int32_t> label_;   // per slot
  std::vector<double> size_;          // items in the group of a slot
  std::vector<double> least_;         // per slot: the least rise to a partner, or a lower bound
  std::vector<std::size_t> nearest_;  // per slot: the partner giving `least` when exact
  std::vector<char> exact_;           // per slot: `least` is exact
  std::vector<std::size_t> order_;    // the slots of the current groups, by ascending label
};

}  // namespace

std::vector<Fusion> ward_hierarchy(std::int32_t n, std::vector<double> distances) {
  std::vector<Fusion> fusions;
  if (n < 2) return fusions;
  // The rise of joining two single items is half their squared distance.
  std::vector<double>& rise = distances;
  double largest = 0.0;  // the largest rise of two single items
  for (double& d : rise) {
    d *= 0.5;
    largest = std::max(largest, d);
  }
  Groups groups(static_cast<std::size_t>(n), rise);
  fusions.reserve(static_cast<std::size_t>(n - 1));
  for (std::int32_t r = 1; r < n; ++r) {
    const double least = groups.least_rise();
    const double tied = least + 1e-9 * std::abs(least) + 1e-12 * largest;
    const auto [p, q] = groups.first_pair_within(tied);
    const double level = groups.at(p, q);
    fusions.push_back({groups.label(p), groups.label(q), n + r, std::max(level, 0.0)});
    groups.join(p, q, level, n + r);
  }
  return fusions;
}

}  // namespace locseq::classify
