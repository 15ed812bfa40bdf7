#include "data/centring.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/vector_clones.h"

namespace locseq {

// Both operations read the year column by column (genotype by genotype),
// where it lies in memory, and keep one sum per location: each location's
// sums still add its cells in genotype order.

namespace {

// A double rounds to a finite single-precision value exactly when its
// magnitude lies below 2^128 - 2^103, halfway between the largest single
// (2^128 - 2^104) and 2^128.
constexpr double kSingleOverflow = 0x1.ffffffp127;

// Every centred value of a location is finite when its mean lies below
// 2^102 in magnitude: |x - m| <= 2^128 - 2^104 + 2^102, well below the
// overflow. Only a location with a mean that large needs its cells checked.
constexpr double kSafeMean = 0x1p102;

// The first present cell of location i whose value less the mean m is not
// finite in single precision; none when every one is.
std::optional<NonFinite> overflow_at(const Year& year, long i, double m) {
  for (long j = 1; j <= year.YearData.cols(); ++j) {
    if (year.IncidenceMatrix(i, j) <= 0) continue;
    const float x = year.YearData(i, j);
    if (std::fabs(static_cast<double>(x) - m) < kSingleOverflow) continue;
    return NonFinite{static_cast<std::int32_t>(i), static_cast<std::int32_t>(j),
                     "the value " + number_text(x) + " less the location's mean " +
                         number_text(static_cast<float>(m)) + " is beyond single precision"};
  }
  return std::nullopt;
}

// The mean of location i's present values, as CentreYear forms it.
double mean_of(const Year& year, long i) {
  double s = 0.0, t = 0.0;
  for (long j = 1; j <= year.YearData.cols(); ++j) {
    const double count = year.IncidenceMatrix(i, j);
    s += count * static_cast<double>(year.YearData(i, j));
    t += count;
  }
  return t > 0.5 ? s / t : s;
}

// Whether every centred value of the year is finite, given the locations'
// means: a compare per mean, and a look at the cells of a location whose
// mean is large. Kept out of CentreYear, whose loops it would crowd.
[[gnu::noinline]] bool finite_when_centred(const Year& year, const std::vector<double>& means) {
  for (std::size_t i = 0; i < means.size(); ++i) {
    if (!(std::fabs(means[i]) < kSafeMean) && overflow_at(year, static_cast<long>(i) + 1, means[i]))
      return false;
  }
  return true;
}

}  // namespace

LOCSEQ_VECTOR_CLONES bool CentreYear(const Year& year) {
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
  if (!finite_when_centred(year, S)) return false;
  for (long j = 0; j < G; ++j) {
    float* x = X + j * L;
    const std::int32_t* n = N + j * L;
    for (long i = 0; i < L; ++i) {
      if (n[i] > 0)
        x[i] = static_cast<float>(static_cast<double>(x[i]) - S[static_cast<std::size_t>(i)]);
    }
  }
  return true;
}

NonFinite CentringOverflow(const Year& year) {
  for (long i = 1; i <= year.YearData.rows(); ++i) {
    const double m = mean_of(year, i);
    if (std::fabs(m) < kSafeMean) continue;
    if (std::optional<NonFinite> bad = overflow_at(year, i, m)) return *bad;
  }
  return {1, 1, "the centred values are not finite"};  // not met: see CentreYear
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
