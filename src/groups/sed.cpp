#include "groups/sed.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/vector_clones.h"

namespace locseq {

namespace {

// The genotype whose term took the distance of location u to group k
// beyond the finite numbers this year: the first term that is not finite
// (the sums of the years before were finite), else the last genotype.
NonFinite distance_overflow(const Year& year, const Centroids& centroids, std::int32_t u, long k) {
  long j = 1;
  for (; j < year.YearData.cols(); ++j) {
    const std::int32_t n = year.IncidenceMatrix(u, j);
    if (n <= 0) continue;
    const std::int32_t w = centroids.GroupCounts(k, j) > 0 ? n : 0;
    const double d =
        static_cast<double>(year.YearData(u, j)) - static_cast<double>(centroids.GroupMeans(k, j));
    if (!std::isfinite(w * (d * d))) break;
  }
  return {u, static_cast<std::int32_t>(j),
          "the squared distance of its centred value " + number_text(year.YearData(u, j)) +
              " to the mean " + number_text(centroids.GroupMeans(k, j)) + " of group " +
              std::to_string(k) + " is not finite"};
}

}  // namespace

LOCSEQ_VECTOR_CLONES bool AddYearDistances(const Year& year, const Grouping& grouping,
                                           const Centroids& centroids, const Distances& distances) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  const long NGP = centroids.GroupMeans.rows();
  const float* const means = centroids.GroupMeans.data();  // group k of genotype j at j*NGP+k
  const std::int32_t* const counts = centroids.GroupCounts.data();
  // The sums and counts of one eliminated location, one per group, held
  // apart while its genotypes are added: each (e, k) still sums its terms
  // in genotype order, onto the sum of the years before. A group without
  // the genotype adds an exact +0.0 (the sums are never -0.0).
  std::vector<double> sum(static_cast<std::size_t>(NGP));
  std::vector<std::int32_t> count(static_cast<std::size_t>(NGP));
  bool finite = true;  // every sum so far
  for (std::int32_t e = 1; e <= grouping.EliminatedCount; ++e) {
    const std::int32_t u = grouping.EliminatedLocations(e);
    for (long k = 1; k <= NGP; ++k) {
      sum[static_cast<std::size_t>(k - 1)] = distances.SedSums(e, k);
      count[static_cast<std::size_t>(k - 1)] = distances.SedCounts(e, k);
    }
    for (long j = 1; j <= YearData.cols(); ++j) {
      const std::int32_t n = IncidenceMatrix(u, j);
      if (n <= 0) continue;  // a genotype the location lacks adds nothing
      const double x = static_cast<double>(YearData(u, j));
      const float* m = means + (j - 1) * NGP;
      const std::int32_t* c = counts + (j - 1) * NGP;
      for (long k = 0; k < NGP; ++k) {
        const std::int32_t w = c[k] > 0 ? n : 0;
        const double d = x - static_cast<double>(m[k]);
        count[static_cast<std::size_t>(k)] += w;
        sum[static_cast<std::size_t>(k)] += w * (d * d);
      }
    }
    for (long k = 1; k <= NGP; ++k) {
      const double s = sum[static_cast<std::size_t>(k - 1)];
      finite = finite && std::isfinite(s);
      distances.SedSums(e, k) = s;
      distances.SedCounts(e, k) = count[static_cast<std::size_t>(k - 1)];
    }
  }
  return finite;
}

NonFinite DistanceOverflow(const Year& year, const Grouping& grouping, const Centroids& centroids,
                           const Distances& distances) {
  for (std::int32_t e = 1; e <= grouping.EliminatedCount; ++e) {
    for (long k = 1; k <= distances.SedSums.cols(); ++k) {
      if (!std::isfinite(distances.SedSums(e, k)))
        return distance_overflow(year, centroids, grouping.EliminatedLocations(e), k);
    }
  }
  return {1, 1, "the squared distances are not finite"};  // not met: see AddYearDistances
}

LOCSEQ_VECTOR_CLONES bool AddMemberDistances(const Year& year, const Grouping& grouping,
                                             const Centroids& centroids,
                                             const MemberDistances& members) {
  const long L = year.YearData.rows(), G = year.YearData.cols();
  const long NGP = centroids.GroupMeans.rows();
  double* const sums = members.sums.data();  // member p at p - 1
  std::int32_t* const counts = members.counts.data();
  const std::int32_t* const where = grouping.MemberLocations.data();
  // Genotype by genotype, so that each column of the year is read where it
  // lies; each member's sum still adds its terms in genotype order. A
  // member has a genotype only where its group does, so every present cell
  // is measured.
  for (long j = 0; j < G; ++j) {
    const float* x = year.YearData.data() + j * L;
    const std::int32_t* n = year.IncidenceMatrix.data() + j * L;
    const float* m = centroids.GroupMeans.data() + j * NGP;
    long p = 0;
    for (long k = 0; k < NGP; ++k) {
      const auto mean = static_cast<double>(m[k]);
      for (const long last = p + grouping.GroupSizes(k + 1); p < last; ++p) {
        const long u = where[p] - 1;
        if (n[u] <= 0) continue;
        const double d = static_cast<double>(x[u]) - mean;
        sums[p] += d * d;
        counts[p] += 1;
      }
    }
  }
  bool finite = true;
  for (long p = 1; p <= grouping.RetainedCount; ++p)
    finite = finite && std::isfinite(members.sums(p));
  return finite;
}

NonFinite MemberDistanceOverflow(const Year& year, const Grouping& grouping,
                                 const Centroids& centroids, const MemberDistances& members) {
  std::int32_t p = 0;
  for (long k = 1; k <= centroids.GroupMeans.rows(); ++k) {
    for (std::int32_t i = 1; i <= grouping.GroupSizes(k); ++i) {
      if (!std::isfinite(members.sums(++p)))
        return distance_overflow(year, centroids, grouping.MemberLocations(p), k);
    }
  }
  return {1, 1, "the squared distances are not finite"};  // not met: see AddMemberDistances
}

}  // namespace locseq
