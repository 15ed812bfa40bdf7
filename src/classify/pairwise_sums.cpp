#include "classify/pairwise_sums.h"

#include <algorithm>

#include "core/vector_clones.h"

namespace locseq::classify {

namespace {

// The sums of row a over the m locations of a year (x and has: g genotypes
// of m values each): for b > a, sums[b] over the genotypes where both have
// a value of (x_a - x_b)^2, in genotype order, and cells[b] the number of
// those genotypes. A genotype that b lacks adds an exact +0.0.
LOCSEQ_VECTOR_CLONES void row_of_year(const double* x, const double* has, std::size_t m,
                                      std::size_t g, std::size_t a, double* sums, double* cells) {
  for (std::size_t b = a + 1; b < m; ++b) sums[b] = cells[b] = 0.0;
  for (std::size_t c = 0; c < g; ++c) {
    const double* const xc = x + c * m;
    const double* const hc = has + c * m;
    if (hc[a] == 0.0) continue;
    const double v = xc[a];
    for (std::size_t b = a + 1; b < m; ++b) {
      const double t = v - xc[b];
      sums[b] += hc[b] * (t * t);
      cells[b] += hc[b];
    }
  }
}

}  // namespace

PairwiseSums::PairwiseSums(std::int32_t MAXL)
    : MAXL_(MAXL),
      sums_(static_cast<std::size_t>(MAXL) * static_cast<std::size_t>(MAXL - 1) / 2, 0.0),
      cells_(sums_.size(), 0) {}

void PairwiseSums::clear() {
  std::fill(sums_.begin(), sums_.end(), 0.0);
  std::fill(cells_.begin(), cells_.end(), 0);
}

void PairwiseSums::add_year(Mat<const float> values, Mat<const std::int32_t> presence) {
  const std::int32_t G = static_cast<std::int32_t>(values.cols());
  // The locations with a value and the genotypes observed this year.
  locations_.clear();
  for (std::int32_t i = 1; i <= MAXL_; ++i) {
    for (std::int32_t j = 1; j <= G; ++j) {
      if (presence(i, j) > 0) {
        locations_.push_back(i);
        break;
      }
    }
  }
  std::vector<std::int32_t> genotypes;
  for (std::int32_t j = 1; j <= G; ++j) {
    for (std::int32_t i = 1; i <= MAXL_; ++i) {
      if (presence(i, j) > 0) {
        genotypes.push_back(j);
        break;
      }
    }
  }
  const std::size_t m = locations_.size(), g = genotypes.size();
  if (m < 2) return;
  x_.resize(m * g);
  has_.resize(m * g);
  for (std::size_t c = 0; c < g; ++c) {
    for (std::size_t a = 0; a < m; ++a) {
      const bool here = presence(locations_[a], genotypes[c]) > 0;
      x_[c * m + a] = here ? static_cast<double>(values(locations_[a], genotypes[c])) : 0.0;
      has_[c * m + a] = here ? 1.0 : 0.0;
    }
  }
  row_sums_.resize(m);
  row_cells_.resize(m);
  const auto L = static_cast<std::size_t>(MAXL_);
  for (std::size_t a = 0; a + 1 < m; ++a) {
    row_of_year(x_.data(), has_.data(), m, g, a, row_sums_.data(), row_cells_.data());
    const auto la = static_cast<std::size_t>(locations_[a] - 1);
    const std::size_t row = pair_index(la, la + 1, L);  // the pair (la, la + 1)
    for (std::size_t b = a + 1; b < m; ++b) {
      const std::size_t at = row + static_cast<std::size_t>(locations_[b] - 1) - la - 1;
      sums_[at] += row_sums_[b];
      cells_[at] += static_cast<std::int32_t>(row_cells_[b]);
    }
  }
}

}  // namespace locseq::classify
