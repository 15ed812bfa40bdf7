// Ward's incremental sum of squares: the fusion hierarchy of n items.
#pragma once

#include <cstdint>
#include <vector>

namespace locseq::classify {

// One fusion of the hierarchy.
struct Fusion {
  std::int32_t gi = 0;   // the smaller label of the two groups joined
  std::int32_t gj = 0;   // the larger label
  std::int32_t gij = 0;  // the label of the group formed: n + r for the r-th fusion
  double level = 0.0;  // the rise of the within-group sum of squares, nA nB / (nA + nB) |cA - cB|^2
};

// The n - 1 fusions of Ward's method on n items, given their squared
// Euclidean distances (n x n, row by row, symmetric; the diagonal is not
// read). Items are labels 1 to n; each step joins the two current groups
// whose union raises the within-group sum of squares least (kept up to date
// by the Lance-Williams recurrence, in double precision) and labels the
// result n + r. Ties go to the pair with the smaller first label, then the
// smaller second label; rises that agree to about nine significant digits
// (or both lie within 1e-12 of the largest distance of zero) count as tied,
// so that rounding in the last bits never decides a tie. A level that
// rounding leaves below zero is written as zero.
std::vector<Fusion> ward_hierarchy(std::int32_t n, std::vector<double> distances);

}  // namespace locseq::classify
