#include "groups/sed.h"

#include <cstdint>

namespace locseq {

void AddYearDistances(const Year& year, const Grouping& grouping, const Centroids& centroids,
                      const Distances& distances) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  const Mat<const float> GroupMeans = centroids.GroupMeans;
  const Mat<const std::int32_t> GroupCounts = centroids.GroupCounts;
  const Mat<double> SedSums = distances.SedSums;
  const Mat<std::int32_t> SedCounts = distances.SedCounts;
  const long NGP = GroupMeans.rows();
  for (std::int32_t e = 1; e <= grouping.EliminatedCount; ++e) {
    const std::int32_t u = grouping.EliminatedLocations(e);
    // Genotype by genotype, every group in turn: each (e, k) still sums its
    // terms in genotype order. A genotype the location lacks adds nothing.
    for (long j = 1; j <= YearData.cols(); ++j) {
      if (IncidenceMatrix(u, j) <= 0) continue;
      const double x = static_cast<double>(YearData(u, j));
      for (long k = 1; k <= NGP; ++k) {
        if (GroupCounts(k, j) <= 0) continue;
        const double d = x - static_cast<double>(GroupMeans(k, j));
        SedCounts(e, k) += IncidenceMatrix(u, j);
        SedSums(e, k) += IncidenceMatrix(u, j) * (d * d);
      }
    }
  }
}

}  // namespace locseq
