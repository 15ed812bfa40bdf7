#include "data/centring.h"

#include <cmath>
#include <cstdint>

namespace locseq {

void CentreYear(const Year& year) {
  const Mat<float> X = year.YearData;
  const Mat<const std::int32_t> N = year.IncidenceMatrix;
  for (long i = 1; i <= X.rows(); ++i) {
    double S = 0.0;  // sum of the present values
    double T = 0.0;  // number of present values
    for (long j = 1; j <= X.cols(); ++j) {
      const double n = N(i, j);
      S += n * static_cast<double>(X(i, j));
      T += n;
    }
    const double m = T > 0.5 ? S / T : S;
    for (long j = 1; j <= X.cols(); ++j) {
      if (N(i, j) > 0) X(i, j) = static_cast<float>(static_cast<double>(X(i, j)) - m);
    }
  }
}

void StandardiseYear(const Year& year) {
  const Mat<float> X = year.YearData;
  const Mat<const std::int32_t> N = year.IncidenceMatrix;
  for (long i = 1; i <= X.rows(); ++i) {
    double Q = 0.0;      // sum of squares of the present values
    std::int64_t n = 0;  // number of present values
    for (long j = 1; j <= X.cols(); ++j) {
      const double x = static_cast<double>(X(i, j));
      Q += N(i, j) * (x * x);
      n += N(i, j);
    }
    if (n <= 1) continue;
    const double d = std::sqrt(Q / static_cast<double>(n - 1));
    if (!(d > 0.0)) continue;  // no spread: the centred values stay
    for (long j = 1; j <= X.cols(); ++j) {
      if (N(i, j) > 0) X(i, j) = static_cast<float>(static_cast<double>(X(i, j)) / d);
    }
  }
}

}  // namespace locseq
