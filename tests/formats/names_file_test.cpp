#include "formats/names_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input_error.h"
#include "support/hostile_names.h"

namespace locseq::formats::names_file {
namespace {

TEST(NamesFile, ReadsTheFullNamesOfEachKind) {
  const FullNames names = read(
      "\xEF\xBB\xBF\"kind\",\"number\",\"name\",\"full_name\"\r\n"
      "\"year\",\"1\",\"2019\",\"Season 2019\"\r\n"
      "\"location\",\"2\",\"WAGGA\",\"Wagga Wagga, \"\"North\"\"\"\r\n"
      "\"location\",\"10\",\"NEWLINE\",\"two\nlines\"\n"
      "genotype,3,G3,\n\n,,,\n",
      "J.names.csv");
  EXPECT_EQ(names.years.at(1), "Season 2019");
  EXPECT_EQ(names.locations.at(2), "Wagga Wagga, \"North\"");
  EXPECT_EQ(names.locations.at(10), "two\nlines");
  EXPECT_EQ(names.genotypes.at(3), "");
  EXPECT_EQ(names.locations.size(), 2u);
}

TEST(NamesFile, RefusesMalformedFilesAtTheirLine) {
  struct Case {
    std::string text;
    long line;
    std::string word;  // in the message
  };
  const std::string header = "kind,number,name,full_name\n";
  const std::vector<Case> cases = {
      {"", 1, "expected the header kind,number,name,full_name"},
      {"\n\n", 1, "header"},
      {"kind,number,name\n", 1, "header"},
      {"\nkind;number;name;full_name\n", 2, "header"},
      {header + "location,1,A\n", 2, "expected 4 fields, found 3"},
      {header + "location,1,A,B\nplace,2,B,C\n", 3, "kind must be year, location or genotype"},
      {header + "location,0,A,B\n", 2, "whole number"},
      {header + "location,x1,A,B\n", 2, "whole number"},
      {header + "location,1,A,B\nlocation,\"1\",C,D\n", 3, "location 1 is named twice"},
      {header + "location,1,A,\"open\nyear,1,B,C\n", 2, "a quoted field is not closed"},
      {header + "location,1,\"A\"B,C\n", 2, "after the closing quote"},
  };
  for (const Case& c : cases) {
    try {
      read(c.text, "J.names.csv");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "J.names.csv");
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
}

// Names of every kind written, then read back: each full name under its
// kind and number, whatever it holds.
TEST(NamesFile, RoundTripOfHostileNames) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::array<std::vector<std::string>, 3> full, cut;
    for (std::size_t k = 0; k < 3; ++k) {
      full[k] = testing::hostile_names(seed * 3 + static_cast<unsigned>(k), 5 + seed % 7, true);
      for (const std::string& name : full[k]) cut[k].push_back(name.substr(0, 8));  // any 8 bytes
    }
    std::string text;
    write(text, {{{cut[0], full[0]}, {cut[1], full[1]}, {cut[2], full[2]}}});
    ASSERT_TRUE(text.starts_with("kind,number,name,full_name\n"));
    const FullNames back = read(text, "J.names.csv");
    const std::map<std::int32_t, std::string>* read_back[3] = {&back.years, &back.locations,
                                                               &back.genotypes};
    for (std::size_t k = 0; k < 3; ++k) {
      std::map<std::int32_t, std::string> expected;
      for (std::size_t n = 0; n < full[k].size(); ++n) {
        expected[static_cast<std::int32_t>(n + 1)] = full[k][n];
      }
      EXPECT_EQ(*read_back[k], expected) << "seed " << seed << ", kind " << kKinds[k];
    }
  }
}

}  // namespace
}  // namespace locseq::formats::names_file
