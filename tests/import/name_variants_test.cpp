// Names spelled two ways in one table: a warning each, or one name with
// fold_names; years that are one number spelled two ways.
#include "import/name_variants.h"

#include <gtest/gtest.h>

#include "import/outcome.h"

namespace locseq::import {
namespace {

using testing::expect_words;
using testing::import_of;
using testing::names_of;

ImportOptions folding(bool fold, bool mean = false) {
  ImportOptions o;
  o.fold_names = fold;
  o.replicates_mean = mean;
  return o;
}

TEST(Spellings, WarnedOrMadeOne) {
  const std::string head = "year,location,genotype,value\n";
  const std::string variants = head +
                               "2019,COLUSA,G1,1\n"        // 2
                               "2019,Wagga Wagga,G1,2\n"   // 3
                               "2020,Colusa,g1,3\n"        // 4: merges with 2 only by case
                               "2020,Wagga  wagga,G1,4\n"  // 5: case and blanks
                               "2021,COLUSA,G1,5\n";       // 6
  const std::string years = head + "2005,a,g,1\n2005.0,b,g,2\n2006,a,g,3\n";
  struct Case {
    std::string name;
    std::string table;
    ImportOptions options;
    std::string names;                // .NAQ names, or empty for an error
    std::string seq;                  // for a job
    std::vector<long> warning_lines{};  // of the warnings
    std::vector<std::string> words{};  // in the warnings and notes, or in the error
    long error_line = -1;
  };
  const Case cases[] = {
      {"apart, with a warning each",
       variants,
       folding(false),
       "2019|2020|2021|COLUSA|Wagga Wa|Colusa|Wagga  w|G1|g1|",
       "1 1 1 1\n1 2 1 2\n2 3 2 3\n2 4 1 4\n3 1 1 5\n",
       {4, 5, 4},
       {"the location names 'COLUSA' (line 2) and 'Colusa' (line 4) differ only in letter case: "
        "two locations; --fold-names makes them one",
        "'G1' (line 2) and 'g1' (line 4) differ only in letter case",
        "'Wagga Wagga' (line 3) and 'Wagga  wagga' (line 5) differ only in letter case and "
        "blanks"}},
      {"made one, the first spelling kept",
       variants,
       folding(true),
       "2019|2020|2021|COLUSA|Wagga Wa|G1|",
       "1 1 1 1\n1 2 1 2\n2 1 1 3\n2 2 1 4\n3 1 1 5\n",
       {},
       {"the location 'Colusa' (line 4) was made one with 'COLUSA' (line 2): they differ only "
        "in letter case",
        "the genotype 'g1' (line 4) was made one with 'G1' (line 2)"}},
      {"made one, two values in one cell",
       head + "1,A,g,1\n1,a,g,2\n",
       folding(true),
       "",
       "",
       {},
       {"lines 2 and 3", "--fold-names", "--replicates mean"},
       3},
      {"made one, their mean",
       head + "1,A,g,1\n1,a,g,2\n",
       folding(true, true),
       "1|A|g|",
       "1 1 1 1.5\n",
       {},
       {"made one with 'A' (line 2)"}},
      {"a year spelled two ways",
       years,
       folding(false),
       "",
       "",
       {},
       {"the years '2005' (line 2) and '2005.0' (line 3) are the same number", "--fold-names"},
       3},
      {"a year spelled two ways, made one",
       years,
       folding(true),
       "2005|2006|a|b|g|",
       "1 1 1 1\n1 2 1 2\n2 1 1 3\n",
       {},
       {"the year '2005.0' (line 3) was made one with '2005' (line 2): the same number"}},
      {"years that are text",
       head + "Y1,a,g,1\ny1,a,g,2\n",
       folding(false),
       "Y1|y1|a|g|",
       "1 1 1 1\n2 1 1 2\n",
       {3},
       {"the year names 'Y1' (line 2) and 'y1' (line 3)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::Outcome got = import_of(c.table, c.options);
    if (c.names.empty()) {
      ASSERT_FALSE(got.job);
      EXPECT_EQ(got.line, c.error_line) << got.message;
      expect_words(got.message, c.words);
      continue;
    }
    ASSERT_TRUE(got.job) << got.message;
    EXPECT_EQ(names_of(*got.job), c.names);
    EXPECT_EQ(got.job->seq, c.seq);
    std::vector<long> lines;
    std::string said;
    for (const TableWarning& w : got.job->warnings) {
      lines.push_back(w.line);
      said += w.message + "\n";
    }
    for (const std::string& n : got.job->notes) said += n + "\n";
    EXPECT_EQ(lines, c.warning_lines) << said;
    expect_words(said, c.words);
  }
}

TEST(Spellings, TenShownThenCounted) {
  std::string table = "year,location,genotype,value\n";
  for (int k = 0; k < 13; ++k)
    table += "1,L" + std::to_string(k) + ",g,1\n1,l" + std::to_string(k) + ",h,2\n";
  for (bool fold : {false, true}) {
    const testing::Outcome got = import_of(table, folding(fold));
    ASSERT_TRUE(got.job) << got.message;
    const std::vector<std::string>& said = got.job->notes;
    EXPECT_EQ(got.job->warnings.size(), fold ? 0u : 11u);
    EXPECT_EQ(got.job->MAXL, fold ? 13 : 26);
    const std::string last = fold ? said.back() : got.job->warnings.back().message;
    EXPECT_EQ(last.rfind("3 more location names ", 0), 0u) << last;
  }
}

}  // namespace
}  // namespace locseq::import
