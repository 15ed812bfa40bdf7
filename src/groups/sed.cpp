#include "groups/sed.h"

namespace locseq {

void AddYearDistances(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                      Mat<const float> GroupMeans, Mat<const std::int32_t> GroupCounts,
                      Vec<const std::int32_t> EliminationVector, Mat<double> SedSums,
                      Mat<std::int32_t> SedCounts, Vec<std::int32_t> EliminatedLocations,
                      std::int32_t MAXL, std::int32_t MAXG, std::int32_t NGP) {
  std::int32_t e = 0;
  for (std::int32_t u = 1; u <= MAXL; ++u) {
    if (EliminationVector(u) != 0) continue;
    ++e;
    EliminatedLocations(e) = u;
    // Genotype by genotype, every group in turn: each (e, k) still sums its
    // terms in genotype order. A genotype the location lacks adds nothing.
    for (std::int32_t j = 1; j <= MAXG; ++j) {
      if (IncidenceMatrix(u, j) <= 0) continue;
      const double x = static_cast<double>(YearData(u, j));
      for (std::int32_t k = 1; k <= NGP; ++k) {
        if (GroupCounts(k, j) <= 0) continue;
        const double d = x - static_cast<double>(GroupMeans(k, j));
        SedCounts(e, k) += IncidenceMatrix(u, j);
        SedSums(e, k) += IncidenceMatrix(u, j) * (d * d);
      }
    }
  }
}

}  // namespace locseq
