#include "setup/run_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "setup/carving.h"
#include "support/memory_files.h"

namespace locseq {
namespace {

TEST(SquareRootRule, SmallestWholeNumberWhoseSquareReachesMaxl) {
  const std::pair<int, int> table[] = {{1, 1},    {2, 2},    {3, 2},    {4, 2},    {5, 3},
                                       {100, 10}, {101, 11}, {121, 11}, {122, 12}, {300, 18}};
  for (auto [maxl, ngp] : table) EXPECT_EQ(square_root_rule(maxl), ngp) << "MAXL " << maxl;
  // The rule holds over the whole 32-bit range.
  for (std::int32_t maxl : {1999999, 2000000, 2000001, 46340 * 46340, 46340 * 46340 + 1,
                            std::numeric_limits<std::int32_t>::max()}) {
    std::int64_t n = square_root_rule(maxl);
    EXPECT_GE(n * n, maxl);
    EXPECT_LT((n - 1) * (n - 1), maxl);
  }
}

TEST(RunSetUp, AreasTooSmallRefuseTheRunAfterTheSummaryAndTheTable) {
  // MAXY 10, MAXL 100, MAXG 50 with the square-root rule need 981, 5501,
  // 8418 and 360; a required size equal to the capacity passes.
  const Capacities required = {981, 5501, 8418, 360};
  const char* const names[] = {"DZ", "Z", "MZ", "AZ"};
  const std::string summary = "    10   100    50     1    10    10  5050    10\n";
  for (unsigned short_by_one : {0b0001u, 0b1010u, 0b1111u}) {
    Capacities capacity = required;
    std::string expected;  // on the console
    for (std::size_t k = 0; k < 4; ++k) {
      if ((short_by_one >> k) & 1) {
        capacity[k] -= 1;
        expected += std::string(" INCREASE DIMENSION OF ") + names[k] + " ARRAY TO" +
                    records::integer_field(required[k], 8) + "\n";
      }
    }
    std::string table = "\n DIMENSIONS OF ARRAYS:\n PRESENT DIMENSIONS:  DZ=";
    for (std::size_t k = 0; k < 4; ++k) {
      table +=
          (k ? std::string(" ") + names[k] + "=" : "") + records::integer_field(capacity[k], 6);
    }
    table += "\n DIMENSIONS REQUIRED: DZ=   981 Z=  5501 MZ=  8418 AZ=   360\n";
    testing::InFile cls("10 100 50 1 10 rest of the head\nnever read\n"), naq(""), seq("");
    testing::OutFile console("standard output"), sco, cos("JOB.COS"), alc("JOB.ALC");
    Units u{console.unit, cls.reader, naq.reader, seq.reader, sco.unit, cos.unit, alc.unit};
    PresetAnswers rule(std::nullopt, false, console.unit);
    ResultObserver no_one;
    const SetUpResult result = RunSetUp(u, rule, RunSettings{capacity, 0}, no_one);
    EXPECT_EQ(result.outcome, SetUpOutcome::Refused);
    EXPECT_EQ(result.refusal, expected);
    EXPECT_EQ(console.str(), expected + table) << short_by_one;
    const std::string report = sco.str();
    EXPECT_EQ(report.substr(report.size() - table.size()), table) << short_by_one;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 8 + 4);  // summary, table
    EXPECT_EQ(cos.str(), summary);
    EXPECT_EQ(alc.str(), summary);
    EXPECT_EQ(cls.reader.line(), 1);
  }
}

}  // namespace
}  // namespace locseq
