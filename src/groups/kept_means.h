// The group means of the years of a block, kept from its SED pass for its
// MODFIT pass, which needs the same ones (the means of the groups as
// classified; the fit then forms those of the enlarged groups itself).
#pragma once

#include <cstdint>
#include <vector>

#include "core/bundles.h"
#include "data/year_cache.h"

namespace locseq {

class KeptMeans {
 public:
  // Room for the means of `years` years of the shape of `centroids`, taken
  // from the cache's budget; without room nothing is kept.
  KeptMeans(const Centroids& centroids, std::int32_t years, YearCache& budget);

  // Forgets every year (a new block has new groups).
  void clear();
  // Keeps the means and counts of year y.
  void keep(std::int32_t y, const Centroids& centroids);
  // Puts the means and counts of year y into `centroids`; false when they
  // are not kept.
  bool restore(std::int32_t y, const Centroids& centroids) const;

 private:
  std::size_t cells_ = 0;             // NGP x MAXG
  std::vector<float> means_;          // year y at (y - 1) * cells_
  std::vector<std::int32_t> counts_;  // likewise
  std::vector<bool> kept_;            // year y at y - 1
};

}  // namespace locseq
