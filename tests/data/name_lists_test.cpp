#include "data/name_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/arrays.h"
#include "support/memory_files.h"

namespace locseq {
namespace {

using testing::fails_at;
using testing::InFile;
using testing::OutFile;
using testing::str;
using testing::TestArrays;

std::vector<std::string> strings(Vec<const Name8> names) {
  std::vector<std::string> out;
  for (long k = 1; k <= names.size(); ++k) out.push_back(str(names(k)));
  return out;
}

TEST(ReadNameLists, NamesAreTheFirstEightColumnsBlankPadded) {
  TestArrays t(2, 4, 2, 1);
  t.fill_stale();
  InFile naq("title\nsecond\n\nAB\nABCDEFGHIJKL\n  lead\nEXACTLY8\nCR\r\n\tT\nA B  C\nnever\n",
             "JOB.NAQ");
  ReadNameLists(t.a.names, naq.reader);
  EXPECT_EQ(strings(t.a.names.YearNames), (std::vector<std::string>{"        ", "AB      "}));
  EXPECT_EQ(strings(t.a.names.LocationNames),
            (std::vector<std::string>{"ABCDEFGH", "  lead  ", "EXACTLY8", "CR      "}));
  EXPECT_EQ(strings(t.a.names.GenotypeNames), (std::vector<std::string>{"\tT      ", "A B  C  "}));
  EXPECT_EQ(naq.reader.line(), 10);  // the two head records, then 8 names; no more
}

TEST(ReadNameLists, FileEndingBeforeTheLastNameNamesTheMissingRecord) {
  // MAXY 2, MAXL 2, MAXG 2 need 2 + 6 records.
  const std::pair<const char*, long> cases[] = {{"h1\nh2\nY1\nY2\nL1\nL2\n", 7},
                                                {"h1\nh2\nY1\nY2\nL1\nL2", 7},
                                                {"h1\nh2\nY1\n", 4},
                                                {"h1\n", 2},
                                                {"", 1}};
  for (const auto& [text, line] : cases) {
    TestArrays t(2, 2, 2, 1);
    InFile naq(text, "JOB.NAQ");
    EXPECT_TRUE(fails_at([&] { ReadNameLists(t.a.names, naq.reader); }, line, "", "JOB.NAQ"))
        << text;
  }
}

TEST(WriteNames, TenNamesToARecord) {
  std::vector<Name8> names;
  for (int k = 1; k <= 11; ++k) names.push_back(testing::name8("Year" + std::to_string(k)));
  OutFile sco;
  write_names(names, sco.unit);
  write_names(std::span(names).first(3), sco.unit);
  EXPECT_EQ(sco.str(),
            " Year1   Year2   Year3   Year4   Year5   Year6   Year7   Year8   Year9   Year10  \n"
            " Year11  \n"
            " Year1   Year2   Year3   \n");
}

}  // namespace
}  // namespace locseq
