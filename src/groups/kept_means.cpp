#include "groups/kept_means.h"

#include <algorithm>

namespace locseq {

KeptMeans::KeptMeans(const Centroids& centroids, std::int32_t years, YearCache& budget) {
  const auto cells =
      static_cast<std::size_t>(centroids.GroupMeans.rows() * centroids.GroupMeans.cols());
  const std::size_t n = cells * static_cast<std::size_t>(std::max(years, 0));
  if (n == 0 || !budget.reserve(static_cast<std::int64_t>(n * (sizeof(float) + 4)))) return;
  cells_ = cells;
  means_.resize(n);
  counts_.resize(n);
  kept_.assign(static_cast<std::size_t>(years), false);
}

void KeptMeans::clear() {
  std::fill(kept_.begin(), kept_.end(), false);
}

void KeptMeans::keep(std::int32_t y, const Centroids& centroids) {
  if (y < 1 || static_cast<std::size_t>(y) > kept_.size()) return;
  const std::size_t at = static_cast<std::size_t>(y - 1) * cells_;
  std::copy_n(centroids.GroupMeans.data(), cells_,
              means_.begin() + static_cast<std::ptrdiff_t>(at));
  std::copy_n(centroids.GroupCounts.data(), cells_,
              counts_.begin() + static_cast<std::ptrdiff_t>(at));
  kept_[static_cast<std::size_t>(y - 1)] = true;
}

bool KeptMeans::restore(std::int32_t y, const Centroids& centroids) const {
  if (y < 1 || static_cast<std::size_t>(y) > kept_.size() ||
      !kept_[static_cast<std::size_t>(y - 1)]) {
    return false;
  }
  const std::size_t at = static_cast<std::size_t>(y - 1) * cells_;
  std::copy_n(means_.begin() + static_cast<std::ptrdiff_t>(at), cells_,
              centroids.GroupMeans.data());
  std::copy_n(counts_.begin() + static_cast<std::ptrdiff_t>(at), cells_,
              centroids.GroupCounts.data());
  return true;
}

}  // namespace locseq
