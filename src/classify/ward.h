// Ward's incremental sum of squares: the fusion hierarchy of n items.
#pragma once

#include <cstddef>
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

// Where the pair (a, b), a < b < n, stands in a strict upper triangle of n
// items stored row by row: (0, 1), (0, 2), ..., (0, n - 1), (1, 2), ...
inline std::size_t pair_index(std::size_t a, std::size_t b, std::size_t n) {
  return a * (2 * n - a - 1) / 2 + (b - a - 1);
}

// The n - 1 fusions of Ward's method on n items, given their squared
// distances as a strict upper triangle (pair_index; n (n - 1) / 2 values).
// Items are labels 1 to n. Each step joins the two current groups whose
// union raises the within-group sum of squares least, and labels the result
// n + r. The rises start at half the squared distances and are kept up to
// date by the Lance-Williams recurrence for Ward, in double precision;
// for squared Euclidean distances they are nA nB / (nA + nB) |cA - cB|^2.
// Ties go to the pair with the smaller first label, then the smaller second
// label; a rise counts as tied with the least when it exceeds it by at most
// 1e-9 of it plus 1e-12 of the largest rise of two single items, so that
// rounding in the last bits never decides a tie. A level that rounding
// leaves below zero is written as zero.
//
// Each current group keeps the least rise to a group of a larger label (or
// a lower bound of it, made exact when it matters), so that a step costs a
// pass over the current groups rather than over all their pairs: O(n^2) in
// all for the usual data, with the same joins and the same levels, to the
// bit, as the search over all pairs.
std::vector<Fusion> ward_hierarchy(std::int32_t n, std::vector<double> distances);

}  // namespace locseq::classify
