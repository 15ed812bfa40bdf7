#include "data/centring.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/vector_clones.h"

namespace locseq {

// Both operations read the year column by column (genotype by genotype),
// where it lies in memory, and keep one sum per location: each location's
// sums still add its cells in genotype order.

LOCSEQ_VECTOR_CLONES void CentreYear(const Year& year) {
  const long L = year.YearData.rows(), G = year.YearData.cols();
  float* const X = year.YearData.data();
  const std::int32_t* const N = year.IncidenceMatrix.data();
  std::vector<double> S(static_cast<std::size_t>(L), 0.0);  // sum of the present values
  std::vector<double> T(static_cast<std::size_t>(L), 0.0);  // number of present values
  for (long j = 0; j < G; ++j) {
    const float* x = X + j * L;
    const std::int32_t* n = N + j * L;
    for (long i = 0; i < L; ++i) {
      const double count = n[i];
      S[static_cast<std::size_t>(i)] += count * static_cast<double>(x[i]);
      T[static_cast<std::size_t>(i)] += count;
    }
  }
  for (long i = 0; i < L; ++i) {
    double& m = S[static_cast<std::size_t>(i)];
    if (T[static_cast<std::size_t>(i)] > 0.5) m /= T[static_cast<std::size_t>(i)];
  }
  for (long j = 0; j < G; ++j) {
    float* x = X + j * L;
    const std::int32_t* n = N + j * L;
    for (long i = 0; i < L; ++i) {
      if (n[i] > 0)
        x[i] = static_cast<float>(static_cast<double>(x[i]) - S[static_cast<std::size_t>(i)]);
    }
  }
}

LOCSEQ_VECTOR_CLONES void StandardiseYear(const Year& year) {
  const long L = year.YearData.rows(), G = year.YearData.cols();
  float* const X = year.YearData.data();
  const std::int32_t* const N = year.IncidenceMatrix.data();
  std::vector<double> Q(static_cast<std::size_t>(L), 0.0);      // sum of squares
  std::vector<std::int64_t> n(static_cast<std::size_t>(L), 0);  // number of present values
  for (long j = 0; j < G; ++j) {
    const float* x = X + j * L;
    const std::int32_t* c = N + j * L;
    for (long i = 0; i < L; ++i) {
      const double v = static_cast<double>(x[i]);
      Q[static_cast<std::size_t>(i)] += c[i] * (v * v);
      n[static_cast<std::size_t>(i)] += c[i];
    }
  }
  // The divisor of each location, 0.0 where its values stay: at most one
  // present value, or no spread.
  std::vector<double>& d = Q;
  for (long i = 0; i < L; ++i) {
    const auto k = static_cast<std::size_t>(i);
    d[k] = n[k] > 1 ? std::sqrt(Q[k] / static_cast<double>(n[k] - 1)) : 0.0;
    if (!(d[k] > 0.0)) d[k] = 0.0;
  }
  for (long j = 0; j < G; ++j) {
    float* x = X + j * L;
    const std::int32_t* c = N + j * L;
    for (long i = 0; i < L; ++i) {
      const double di = d[static_cast<std::size_t>(i)];
      if (c[i] > 0 && di > 0.0) x[i] = static_cast<float>(static_cast<double>(x[i]) / di);
    }
  }
}

}  // namespace locseq
