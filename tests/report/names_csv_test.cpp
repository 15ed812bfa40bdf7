#include "report/names_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq::report {
namespace {

TEST(ReportNamesCsv, ReadsTheFullNamesOfEachKind) {
  const FullNames names = parse_names_csv(
      "\xEF\xBB\xBF\"kind\",\"number\",\"name\",\"full_name\"\r\n"
      "\"year\",\"1\",\"2019\",\"Season 2019\"\r\n"
      "\"location\",\"2\",\"WAGGA\",\"Wagga Wagga, \"\"North\"\"\"\r\n"
      "\"location\",\"10\",\"NEWLINE\",\"two\nlines\"\n"
      "genotype,3,G3,\n\n",
      "J.names.csv");
  EXPECT_EQ(names.years.at(1), "Season 2019");
  EXPECT_EQ(names.locations.at(2), "Wagga Wagga, \"North\"");
  EXPECT_EQ(names.locations.at(10), "two\nlines");
  EXPECT_EQ(names.genotypes.at(3), "");
  EXPECT_EQ(names.locations.size(), 2u);
}

TEST(ReportNamesCsv, RefusesMalformedFilesAtTheirLine) {
  struct Case {
    std::string text;
    long line;
    std::string word;  // in the message
  };
  const std::string header = "kind,number,name,full_name\n";
  const std::vector<Case> cases = {
      {"", 1, "header"},
      {"kind,number,name\n", 1, "header"},
      {header + "location,1,A\n", 2, "4 fields"},
      {header + "location,1,A,B\nplace,2,B,C\n", 3, "kind"},
      {header + "location,0,A,B\n", 2, "whole number"},
      {header + "location,x1,A,B\n", 2, "whole number"},
      {header + "location,1,A,B\nlocation,\"1\",C,D\n", 3, "twice"},
      {header + "location,1,A,\"open\nyear,1,B,C\n", 2, "not closed"},
  };
  for (const Case& c : cases) {
    try {
      parse_names_csv(c.text, "J.names.csv");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "J.names.csv");
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
}

}  // namespace
}  // namespace locseq::report
