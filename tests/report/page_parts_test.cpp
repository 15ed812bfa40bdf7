#include "report/page_parts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "report/model.h"
#include "report/palette.h"

namespace locseq::report {
namespace {

TEST(ReportTables, FourSignificantDigitsInOneNotationPerColumn) {
  struct Case {
    std::vector<double> column;
    std::vector<std::string> shown;
  };
  const std::vector<Case> cases = {
      {{986300, 1.19e6}, {"9.863e+05", "1.190e+06"}},
      {{0.7848613696462039, 0.797572676354523}, {"0.7849", "0.7976"}},
      {{32.63016770916716, 239.4579946047284, 7.02}, {"32.63", "239.5", "7.020"}},
      {{0.0005, 1.2}, {"5.000e-04", "1.200e+00"}},
      {{0, 0.5, -0.25}, {"0.000", "0.5000", "-0.2500"}},
      {{999999.9}, {"1.000e+06"}},
  };
  for (const Case& c : cases) {
    const Notation n = Notation::of(c.column);
    for (std::size_t k = 0; k < c.column.size(); ++k) {
      EXPECT_EQ(four_digits(c.column[k], n), c.shown[k]) << c.column[k];
    }
  }
  EXPECT_EQ(four_digits(std::nan(""), {}), "NA");
}

TEST(ReportTables, WideTablesAreCutIntoEvenRuns) {
  using Runs = std::vector<std::pair<std::size_t, std::size_t>>;
  EXPECT_EQ(runs(0, 6), Runs{});
  EXPECT_EQ(runs(6, 6), (Runs{{0, 6}}));
  EXPECT_EQ(runs(7, 6), (Runs{{0, 4}, {4, 7}}));
  EXPECT_EQ(runs(13, 6), (Runs{{0, 5}, {5, 10}, {10, 13}}));
  EXPECT_EQ(runs(24, 6), (Runs{{0, 6}, {6, 12}, {12, 18}, {18, 24}}));
}

// Run findings whose steps have groups of the lineages given.
findings::RunFindings lineages(const std::vector<std::vector<std::int32_t>>& steps) {
  findings::RunFindings f;
  for (const auto& step : steps) {
    auto& s = f.steps.emplace_back();
    for (const std::int32_t l : step) s.groups.push_back({l, 2});
  }
  return f;
}

TEST(ReportColours, ALineageKeepsItsColourAndAStepsGroupsDiffer) {
  std::vector<std::int32_t> sixteen;
  for (std::int32_t l = 20; l < 36; ++l) sixteen.push_back(l);
  const std::vector<std::vector<std::int32_t>> steps = {
      {1, 2, 3}, {2, 1, 4}, {1, 2, 4, 5, 6, 7, 8, 9}, {9, 10}, sixteen};
  const auto slots = colour_slots(lineages(steps));
  const std::map<std::int32_t, std::int32_t> expected = {
      {1, 1},   {2, 2},  {3, 3},  // the first step in order
      {4, 4},                     // not 3, which lineage 3 left a step ago
      {5, 5},   {6, 6},  {7, 7}, {8, 8}, {9, 9}, {10, 10},  // never used before
      {20, 11}, {24, 3}, {25, 1}};  // the last four never used, then the longest left
  for (const auto& [lineage, slot] : expected) EXPECT_EQ(slots.at(lineage), slot) << lineage;
  for (const auto& step : steps) {
    std::set<std::int32_t> held;
    for (const std::int32_t l : step) held.insert(slots.at(l));
    EXPECT_EQ(held.size(), step.size());
  }
  // Sixteen groups: the fourteen colours, then two again.
  std::set<std::uint32_t> colours;
  for (const std::int32_t l : sixteen) colours.insert(group_colour(slots.at(l)).rgb);
  EXPECT_EQ(colours.size(), static_cast<std::size_t>(kGroupColours));
}

// The contrast ratio of two colours (WCAG 2).
double contrast(Colour a, Colour b) {
  const auto luminance = [](Colour c) {
    double l = 0;
    const double weight[] = {0.2126, 0.7152, 0.0722};
    for (int k = 0; k < 3; ++k) {
      const double v = ((c.rgb >> (16 - 8 * k)) & 0xFF) / 255.0;
      l += weight[k] * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return l;
  };
  const double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
  return x > y ? x / y : y / x;
}

TEST(ReportColours, GroupNumbersReadOnTheirColours) {
  std::set<std::uint32_t> distinct;
  for (std::int32_t k = 1; k <= kGroupColours; ++k) {
    distinct.insert(group_colour(k).rgb);
    // Bold 11-12 px numbers: at least the contrast of large text.
    EXPECT_GE(contrast(group_colour(k), group_text_colour(k)), 3.0) << hex(group_colour(k));
    EXPECT_NE(group_colour(k), kMarkInk);
    EXPECT_NE(group_colour(k), kCornerInk);
    EXPECT_NE(group_colour(k), ink::kSwatch);
  }
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kGroupColours));
}

}  // namespace
}  // namespace locseq::report
