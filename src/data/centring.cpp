#include "data/centring.h"

#include <cmath>

namespace locseq {

void CentreYear(Mat<float> YearData, Mat<const std::int32_t> IncidenceMatrix, std::int32_t MAXL,
                std::int32_t MAXG) {
  for (std::int32_t i = 1; i <= MAXL; ++i) {
    double S = 0.0;  // sum of the present values
    double T = 0.0;  // number of present values
    for (std::int32_t j = 1; j <= MAXG; ++j) {
      const double n = IncidenceMatrix(i, j);
      S += n * static_cast<double>(YearData(i, j));
      T += n;
    }
    const double m = T > 0.5 ? S / T : S;
    for (std::int32_t j = 1; j <= MAXG; ++j) {
      if (IncidenceMatrix(i, j) > 0) {
        YearData(i, j) = static_cast<float>(static_cast<double>(YearData(i, j)) - m);
      }
    }
  }
}

void StandardiseYear(Mat<float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                     std::int32_t MAXL, std::int32_t MAXG) {
  for (std::int32_t i = 1; i <= MAXL; ++i) {
    double Q = 0.0;      // sum of squares of the present values
    std::int64_t n = 0;  // number of present values
    for (std::int32_t j = 1; j <= MAXG; ++j) {
      const double x = static_cast<double>(YearData(i, j));
      Q += IncidenceMatrix(i, j) * (x * x);
      n += IncidenceMatrix(i, j);
    }
    if (n <= 1) continue;
    const double d = std::sqrt(Q / static_cast<double>(n - 1));
    if (!(d > 0.0)) continue;  // no spread: the centred values stay
    for (std::int32_t j = 1; j <= MAXG; ++j) {
      if (IncidenceMatrix(i, j) > 0) {
        YearData(i, j) = static_cast<float>(static_cast<double>(YearData(i, j)) / d);
      }
    }
  }
}

}  // namespace locseq
