#include "data/centring.h"

#include <gtest/gtest.h>

#include <vector>

namespace locseq {
namespace {

// One year's data: values and incidence, MAXL x MAXG, all cells absent at first.
struct Year {
  Year(std::int32_t maxl, std::int32_t maxg)
      : MAXL(maxl),
        MAXG(maxg),
        x(static_cast<std::size_t>(maxl * maxg), 0.0f),
        n(static_cast<std::size_t>(maxl * maxg), 0) {}

  Mat<float> data() { return {x.data(), MAXL, MAXG}; }
  Mat<std::int32_t> incidence() { return {n.data(), MAXL, MAXG}; }
  // Makes cell (i, j) present with value v.
  void set(long i, long j, float v) {
    data()(i, j) = v;
    incidence()(i, j) = 1;
  }
  // A location's present values, in genotype order.
  void set_row(long i, std::initializer_list<float> values) {
    long j = 0;
    for (float v : values) set(i, ++j, v);
  }
  float at(long i, long j) { return data()(i, j); }

  void centre() { CentreYear(data(), incidence(), MAXL, MAXG); }
  void standardise() { StandardiseYear(data(), incidence(), MAXL, MAXG); }

  std::int32_t MAXL, MAXG;
  std::vector<float> x;
  std::vector<std::int32_t> n;
};

TEST(CentreYear, ThreePresentValuesAndTwoAbsent) {
  Year y(1, 5);
  y.set(1, 1, 1.0f);
  y.set(1, 3, 2.0f);
  y.set(1, 5, 3.0f);
  const std::vector<std::int32_t> incidence = y.n;
  y.centre();
  EXPECT_EQ(y.x, (std::vector<float>{-1.0f, 0.0f, 0.0f, 0.0f, 1.0f}));
  y.standardise();  // d = 1
  EXPECT_EQ(y.x, (std::vector<float>{-1.0f, 0.0f, 0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(y.n, incidence);
}

TEST(StandardiseYear, TwoValuesBecomeOneOverRootTwo) {
  Year y(1, 2);
  y.set_row(1, {2.0f, 6.0f});
  y.centre();
  EXPECT_EQ(y.at(1, 1), -2.0f);
  EXPECT_EQ(y.at(1, 2), 2.0f);
  y.standardise();  // d = sqrt(8 / 1), the divisor n - 1
  EXPECT_EQ(y.at(1, 1), -0.70710677f);
  EXPECT_EQ(y.at(1, 2), 0.70710677f);
}

TEST(CentreYear, OnePresentCellBecomesExactlyZero) {
  Year y(1, 3);
  y.set(1, 2, 3.7f);
  y.centre();
  EXPECT_EQ(y.at(1, 2), 0.0f);
  y.standardise();  // no spread: the centred 0.0 stays
  EXPECT_EQ(y.at(1, 2), 0.0f);
  EXPECT_EQ(y.at(1, 1), 0.0f);
}

TEST(StandardiseYear, EqualValuesKeepTheirCentredZeros) {
  Year y(1, 4);
  y.set_row(1, {5.5f, 5.5f, 5.5f});
  y.centre();
  y.standardise();
  for (long j = 1; j <= 3; ++j) EXPECT_EQ(y.at(1, j), 0.0f) << j;
}

TEST(StandardiseYear, OnlyThePresentCellsCountForTheSpread) {
  // Values 1, 2, 3 among absent cells: n is 3, not MAXG.
  Year y(1, 6);
  y.set(1, 2, 10.0f);
  y.set(1, 4, 12.0f);
  y.set(1, 6, 14.0f);
  y.centre();
  y.standardise();  // -2, 0, 2 with d = sqrt(8 / 2) = 2
  EXPECT_EQ(y.x, (std::vector<float>{0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f}));
}

TEST(CentreYear, AbsentCellsAreNeverWritten) {
  // An absent cell holds 0.0 after the reader; a stray value there must
  // neither enter the mean nor be changed.
  Year y(2, 3);
  y.set_row(1, {1.0f, 3.0f});
  y.data()(1, 3) = 100.0f;
  y.data()(2, 1) = 7.0f;  // location 2 has no present cell
  y.data()(2, 3) = -7.0f;
  y.centre();
  EXPECT_EQ(y.at(1, 1), -1.0f);
  EXPECT_EQ(y.at(1, 2), 1.0f);
  EXPECT_EQ(y.at(1, 3), 100.0f);
  y.standardise();
  EXPECT_EQ(y.at(1, 3), 100.0f);
  EXPECT_EQ(y.at(2, 1), 7.0f);
  EXPECT_EQ(y.at(2, 2), 0.0f);
  EXPECT_EQ(y.at(2, 3), -7.0f);
}

TEST(CentreYear, LocationsAreIndependent) {
  Year a(3, 3), b(3, 3);
  for (Year* y : {&a, &b}) {
    y->set_row(1, {1.0f, 2.0f, 6.0f});
    y->set_row(3, {-4.0f, 0.5f});
  }
  a.set_row(2, {9.0f, 9.5f, 30.0f});
  b.set(2, 2, -1000.0f);
  for (Year* y : {&a, &b}) {
    y->centre();
    y->standardise();
  }
  for (long i : {1, 3}) {
    for (long j = 1; j <= 3; ++j) EXPECT_EQ(a.at(i, j), b.at(i, j)) << i << "," << j;
  }
  EXPECT_EQ(a.at(3, 1), -0.70710677f);
  EXPECT_EQ(b.at(2, 2), 0.0f);
}

TEST(CentreYear, MeanIsSummedInDoublePrecision) {
  // In single precision 1e8 + 1 - 1e8 would be 0 and the middle value stay 1.
  Year y(1, 3);
  y.set_row(1, {1.0e8f, 1.0f, -1.0e8f});
  y.centre();
  EXPECT_EQ(y.at(1, 1), 1.0e8f);
  EXPECT_EQ(y.at(1, 2), static_cast<float>(1.0 - 1.0 / 3.0));
  EXPECT_EQ(y.at(1, 3), -1.0e8f);
}

}  // namespace
}  // namespace locseq
