#include "formats/naq.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/arrays.h"
#include "support/hostile_names.h"
#include "support/memory_files.h"

namespace locseq::formats::naq {
namespace {

using testing::fails_at;
using testing::InFile;
using testing::str;
using testing::TestArrays;

std::vector<std::string> strings(Vec<const Name8> names) {
  std::vector<std::string> out;
  for (long k = 1; k <= names.size(); ++k) out.push_back(str(names(k)));
  return out;
}

TEST(NaqNames, AreTheFirstEightColumnsBlankPadded) {
  TestArrays t(2, 4, 2, 1);
  t.fill_stale();
  InFile naq("title\nsecond\n\nAB\nABCDEFGHIJKL\n  lead\nEXACTLY8\nCR\r\n\tT\nA B  C\nnever\n",
             "JOB.NAQ");
  read_name_lists(naq.reader, t.a.names);
  EXPECT_EQ(strings(t.a.names.YearNames), (std::vector<std::string>{"        ", "AB      "}));
  EXPECT_EQ(strings(t.a.names.LocationNames),
            (std::vector<std::string>{"ABCDEFGH", "  lead  ", "EXACTLY8", "CR      "}));
  EXPECT_EQ(strings(t.a.names.GenotypeNames), (std::vector<std::string>{"\tT      ", "A B  C  "}));
  EXPECT_EQ(naq.reader.line(), 10);  // the two head records, then 8 names; no more
}

TEST(NaqNames, AFileEndingEarlyNamesTheMissingRecord) {
  // MAXY 2, MAXL 2, MAXG 2 need 2 + 6 records.
  const struct {
    const char* text;
    long line;
    const char* words;
  } cases[] = {
      {"h1\nh2\nY1\nY2\nL1\nL2\n", 7, "ends before the name of genotype 1; it needs 2 + MAXY"},
      {"h1\nh2\nY1\nY2\nL1\nL2", 7, "genotype 1"},
      {"h1\nh2\nY1\n", 4, "year 2"},
      {"h1\n", 2, "the file ends inside the first two records"},
      {"", 1, "the file is empty; it needs two records before the names"},
  };
  for (const auto& c : cases) {
    TestArrays t(2, 2, 2, 1);
    InFile naq(c.text, "JOB.NAQ");
    EXPECT_TRUE(
        fails_at([&] { read_name_lists(naq.reader, t.a.names); }, c.line, c.words, "JOB.NAQ"))
        << c.text;
  }
}

TEST(NaqSizes, TheSizesRecordAndWhatIsNotOne) {
  EXPECT_EQ(sizes_record({3, 20, 13}), "3 years, 20 locations, 13 genotypes");
  EXPECT_EQ(parse_sizes("3 years, 20 locations, 13 genotypes"), (Sizes{3, 20, 13}));
  EXPECT_EQ(parse_sizes("1 years, 1 locations, 1 genotypes   "), (Sizes{1, 1, 1}));
  for (const char* other :
       {"", "Imported from t.csv", "3 years, 20 locations", "3 years, 20 locations, 13 genotypes.",
        " 3 years, 20 locations, 13 genotypes", "3 years,20 locations, 13 genotypes",
        "-3 years, 20 locations, 13 genotypes", "99999999999 years, 1 locations, 1 genotypes",
        "3 years, 20 locations, 13 genotypes\t"}) {
    EXPECT_EQ(parse_sizes(other), std::nullopt) << other;
  }
}

// Names of 1 to 8 bytes (UTF-8 cut anywhere, quotes, commas, bidi controls,
// byte-order marks) written, then read back as the run reads them: each the
// name blank padded to 8 columns, and the sizes record the counts.
TEST(NaqRoundTrip, HostileNamesComeBackBlankPadded) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::array<std::vector<std::string>, 3> names;
    const std::int32_t counts[3] = {1 + static_cast<std::int32_t>(seed % 4), 2 + (seed % 9 == 0),
                                    static_cast<std::int32_t>(seed % 3) + 1};
    const std::vector<std::string> pool = testing::hostile_names(seed, 20, false);
    std::size_t next = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      for (std::int32_t n = 0; n < counts[k]; ++n) {
        std::string name = pool[next++ % pool.size()].substr(0, 8);
        while (!name.empty() && name.back() == ' ') name.pop_back();  // as an import cuts them
        names[k].push_back(name);
      }
    }
    std::string text;
    write(text, "Imported from \"t\r\n\x7f.csv\"", {names[0], names[1], names[2]});
    ASSERT_TRUE(text.starts_with("Imported from \"t???.csv\"\n")) << text;

    TestArrays t(counts[0], counts[1], counts[2], 1);
    InFile naq(text, "JOB.NAQ");
    EXPECT_EQ(parse_sizes(read_heading(naq.reader)), (Sizes{counts[0], counts[1], counts[2]}));
    read_names(naq.reader, t.a.names);
    const Vec<Name8> lists[3] = {t.a.names.YearNames, t.a.names.LocationNames,
                                 t.a.names.GenotypeNames};
    for (std::size_t k = 0; k < 3; ++k) {
      std::vector<std::string> padded;
      for (const std::string& name : names[k])
        padded.push_back(name + std::string(8 - name.size(), ' '));
      EXPECT_EQ(strings(lists[k]), padded) << "seed " << seed << ", kind " << k;
    }
    EXPECT_EQ(naq.next(), "<end>");
  }
}

}  // namespace
}  // namespace locseq::formats::naq
