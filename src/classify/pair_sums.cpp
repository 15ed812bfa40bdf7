#include "classify/pair_sums.h"

#include <algorithm>

namespace locseq::classify {

namespace {

// Start of row a in a strict upper triangle of m items stored row by row.
std::size_t row_start(std::size_t a, std::size_t m) {
  return a * (2 * m - a - 1) / 2;
}

}  // namespace

void PairSums::form(Year& year, std::span<const std::int32_t> retained, Mat<const float> values) {
  const std::size_t n = retained.size(), g = shared_.size();
  year.genotypes = shared_;
  year.members.assign(retained.begin(), retained.end());
  year.pairs.assign(n * (n - 1) / 2, 0.0);
  year.valid = true;
  ++formed_;
  // The shared cells, one genotype's retained locations after another.
  compact_.resize(n * g);
  for (std::size_t c = 0; c < g; ++c) {
    for (std::size_t a = 0; a < n; ++a) {
      compact_[c * n + a] = static_cast<double>(values(retained[a], shared_[c]));
    }
  }
  // Row a of the triangle; genotype by genotype, so the inner loop runs
  // along the locations (every pair still sums its genotypes in order).
  for (std::size_t a = 0; a + 1 < n; ++a) {
    double* const row = year.pairs.data() + row_start(a, n);  // pair (a, b) at b - a - 1
    for (std::size_t c = 0; c < g; ++c) {
      const double* const x = compact_.data() + c * n;
      const double v = x[a];
      for (std::size_t b = a + 1; b < n; ++b) {
        const double t = v - x[b];
        row[b - a - 1] += t * t;
      }
    }
  }
}

std::int64_t PairSums::add_year(std::int32_t y, std::span<const std::int32_t> retained,
                                Mat<const float> values, Mat<const std::int32_t> presence,
                                std::vector<double>& d) {
  shared_.clear();
  for (std::int32_t j = 1; j <= presence.cols(); ++j) {
    if (std::all_of(retained.begin(), retained.end(),
                    [&](std::int32_t i) { return presence(i, j) > 0; })) {
      shared_.push_back(j);
    }
  }
  if (shared_.empty() || retained.size() < 2) return static_cast<std::int64_t>(shared_.size());
  Year& year = years_[static_cast<std::size_t>(y - 1)];
  // The sums kept serve when they cover the same genotypes and every
  // retained location.
  index_.resize(retained.size());
  bool reuse = year.valid && year.genotypes == shared_;
  for (std::size_t a = 0, m = 0; reuse && a < retained.size(); ++a) {
    while (m < year.members.size() && year.members[m] < retained[a]) ++m;
    reuse = m < year.members.size() && year.members[m] == retained[a];
    index_[a] = m;
  }
  if (!reuse) {
    form(year, retained, values);
    for (std::size_t a = 0; a < retained.size(); ++a) index_[a] = a;
  }
  const std::size_t n = retained.size(), m = year.members.size();
  for (std::size_t a = 0; a + 1 < n; ++a) {
    const double* const row = year.pairs.data() + row_start(index_[a], m);
    double* const out = d.data() + row_start(a, n);
    for (std::size_t b = a + 1; b < n; ++b) out[b - a - 1] += row[index_[b] - index_[a] - 1];
  }
  return static_cast<std::int64_t>(shared_.size());
}

}  // namespace locseq::classify
