#include "import/importer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "core/non_finite.h"
#include "records/numbers.h"

namespace locseq::import {
namespace {

ImportOptions mean_and_rename() {
  ImportOptions o;
  o.replicates_mean = true;
  o.rename = true;
  return o;
}

ImportOptions location_named(const char* name) {
  ImportOptions o;
  o.location_column = name;
  return o;
}

std::string naq_head(int y, int l, int g) {
  return "Imported from t.csv\n" + std::to_string(y) + " years, " + std::to_string(l) +
         " locations, " + std::to_string(g) + " genotypes\n";
}

TEST(Import, TablesToJobFiles) {
  struct Case {
    const char* table;
    ImportOptions options;
    std::string naq;  // after the two head lines
    std::string seq;
  };
  const Case cases[] = {
      // Columns by any accepted name and case; missing values; years in
      // numeric order, the rest by first appearance.
      {"Genotype,Site, YEAR ,Yield,notes\nG2,Bega,2020,5.5,x\nG1,Bega,2019,NA,\n"
       "G1,Cooma,2020,4,\nG2,Cooma,2019,.,\nG2,Cooma,2019,-,\n ,,,,\nG1,Bega,2019,*,\n",
       {},
       "2019\n2020\nBega\nCooma\nG2\nG1\n",
       "2 1 1 5.5\n2 2 2 4\n"},
      {"year,loc,gen,value\n100,a,g,1\n9,a,g,2\n10,a,g,3\n",
       {},
       "9\n10\n100\na\ng\n",
       "1 1 1 2\n2 1 1 3\n3 1 1 1\n"},
      {"year,loc,gen,value\n9,a,g,1\n10,a,g,2\nx,a,g,3\n",
       {},
       "10\n9\nx\na\ng\n",
       "1 1 1 2\n2 1 1 1\n3 1 1 3\n"},
      // Byte-order mark, CRLF, semicolons, decimal commas, quoted names.
      {"\xEF\xBB\xBF\"Year\";\"Loc\";Gen;Value\r\n2019;\"A; B\";\"g,1\";5,25\r\n"
       "2019;C;\"g,1\";-1e-3\r\n",
       {},
       "2019\nA; B\nC\ng,1\n",
       "1 1 1 5.25\n1 2 1 -0.001\n"},
      {"season\tsite\tentry\tyield\n2019\t  A  \tg\t 0.1 \n", {}, "2019\nA\ng\n", "1 1 1 0.1\n"},
      // Explicit columns: an unusual name, and an alias left to another role.
      {"place,loc,gen,year,yield\nP,L,g,1,2\n", location_named("PLACE"), "1\nP\ng\n", "1 1 1 2\n"},
      // Replicates: the mean of the rows with values; shortest value text.
      {"year,loc,gen,value\n1,a,g,1\n1,a,g,2\n1,a,g,NA\n1,a,h,0.1\n1,a,h,0.2\n", mean_and_rename(),
       "1\na\ng\nh\n", "1 1 1 1.5\n1 1 2 0.15\n"},
      // Long names cut at whole UTF-8 characters; clashes renamed; names that
      // fit keep theirs.
      {"year,loc,gen,value\n1,Wagga Wagga North,ABCDEFGHIJ,1\n1,Wagga Wagga South,ABCDEFGH,2\n"
       "1,G\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4,ABCDEFG  "
       "HIJ,3\n",
       mean_and_rename(),
       "1\nWagga Wa\nWagga~1\nG\xC3\xA4\xC3\xA4\xC3\xA4\n"
       "ABCDEF~1\nABCDEFGH\nABCDEFG\n",
       "1 1 1 1\n1 2 2 2\n1 3 3 3\n"},
  };
  for (const Case& c : cases) {
    try {
      ImportedJob job = import_table(c.table, "dir/t.csv", c.options);
      EXPECT_EQ(job.naq, naq_head(job.MAXY, job.MAXL, job.MAXG) + c.naq) << c.table;
      EXPECT_EQ(job.seq, c.seq) << c.table;
    } catch (const InputError& e) {
      ADD_FAILURE() << e.what() << " for " << c.table;
    }
  }
}

TEST(Import, CountsNotesAndNamesFile) {
  ImportedJob job = import_table(
      "year,loc,gen,value\n2020,\"Say \"\"Hi\"\" Station\",g,1\n2019,b,g,2\n2019,b,g,3\n"
      "2019,Say \"Hi\" Station 2,g,4\n",
      "t.csv", mean_and_rename());
  EXPECT_EQ(job.MAXY, 2);
  EXPECT_EQ(job.MAXL, 3);
  EXPECT_EQ(job.MAXG, 1);
  EXPECT_EQ(job.observations, 3);
  EXPECT_EQ(job.mean_cells, 1);
  EXPECT_EQ(job.year_names, (std::vector<std::string>{"2019", "2020"}));
  EXPECT_EQ(job.names_csv,
            "kind,number,name,full_name\n\"year\",1,\"2019\",\"2019\"\n"
            "\"year\",2,\"2020\",\"2020\"\n"
            "\"location\",1,\"Say \"\"Hi\"\"\",\"Say \"\"Hi\"\" Station\"\n"
            "\"location\",2,\"b\",\"b\"\n"
            "\"location\",3,\"Say \"\"H~1\",\"Say \"\"Hi\"\" Station 2\"\n"
            "\"genotype\",1,\"g\",\"g\"\n");
  std::string notes;
  for (const std::string& n : job.notes) notes += n + "\n";
  EXPECT_NE(notes.find("3 cells of 6 (2 x 3 x 1) have a value"), std::string::npos) << notes;
  EXPECT_NE(notes.find("1 cell is the mean of its replicates"), std::string::npos) << notes;
  EXPECT_NE(notes.find("2 location names were cut"), std::string::npos) << notes;
}

TEST(Import, EveryFaultNamesItsLine) {
  struct Case {
    const char* table;
    ImportOptions options;
    long line;
    std::vector<const char*> words;
  };
  const char* head = "year,loc,gen,value\n";
  auto t = [&](const char* rows) { return std::string(head) + rows; };
  const std::string tables[] = {
      "year,loc,gen\n1,a,g\n",
      "year,loc,site,gen,value\n",
      "year,loc,gen,value\n",
      t("1,a,g,1,2\n"),
      t("1,a,g\n"),
      t("1,a,g,1\n1, ,g,1\n"),
      t("1,a,g,abc\n"),
      t("1,a,g,1e39\n"),
      t("1,a,g,-1e-50\n"),
      t("1,a,g,\"5,3\"\n"),
      t("1,a,g,inf\n"),
      t("1,a,g,1\n1,b,g,2\n\n1,a,g,3\n1,a,g,4\n"),
      t("1,Wagga Wagga North,g,1\n1,b,g,1\n1,Wagga Wagga South,g,1\n"),
      t("1,\"a\tb\",g,1\n"),
      t("1,a,g,NA\n2,a,g,\n"),
      "year;loc;gen;value\n1;a;g;1.234,5\n",
      t("1,a,g,4.2e37\n1,b,g,-4.3e37\n1,a,h,-5e37\n"),
  };
  const Case cases[] = {
      {tables[0].c_str(), {}, 1, {"no value column", "'year'", "yield", "--value"}},
      {tables[1].c_str(), {}, 1, {"'loc'", "'site'", "both name the location", "--location"}},
      {tables[1].c_str(), location_named("place"), 1, {"no column is named 'place'"}},
      {tables[2].c_str(), {}, 1, {"no rows"}},
      {tables[3].c_str(), {}, 2, {"5 fields", "header has 4", "quotes"}},
      {tables[4].c_str(), {}, 2, {"3 fields"}},
      {tables[5].c_str(), {}, 3, {"location is empty", "column 2"}},
      {tables[6].c_str(), {}, 2, {"'abc'", "not a number", "'value'"}},
      {tables[7].c_str(), {}, 2, {"'1e39'", "beyond single precision"}},
      {tables[8].c_str(), {}, 2, {"'-1e-50'", "beyond single precision"}},
      {tables[9].c_str(), {}, 2, {"'5,3'", "decimal comma", "--decimal comma"}},
      {tables[10].c_str(), {}, 2, {"'inf'", "not a number"}},
      {tables[11].c_str(),
       {},
       5,
       {"year '1', location 'a', genotype 'g'", "lines 2 and 5", "--replicates mean"}},
      {tables[12].c_str(),
       {},
       4,
       {"'Wagga Wagga North'", "'Wagga Wagga South'", "'Wagga Wa'", "--rename"}},
      {tables[13].c_str(), {}, 2, {"control character"}},
      {tables[14].c_str(), {}, 0, {"every value", "missing"}},
      {tables[15].c_str(), {}, 2, {"'1.234,5'", "thousands separators"}},
      {tables[16].c_str(),
       {},
       3,
       {"the value -4.3e+37 (column 4 'value')", "than 4.2e+37", "a job of 2 locations",
        "3.4e+38 / (4 x 2)"}},
  };
  for (const Case& c : cases) {
    try {
      import_table(c.table, "t.csv", c.options);
      ADD_FAILURE() << "no error for " << c.table;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "t.csv");
      EXPECT_EQ(e.line(), c.line) << e.what();
      for (const char* w : c.words) EXPECT_NE(e.message().find(w), std::string::npos) << e.what();
    }
  }
}

// Reads .SEQ text back as the run does: four numbers per line.
struct SeqRecord {
  std::int32_t y, l, g;
  float v;
};
std::vector<SeqRecord> read_seq(const std::string& text) {
  std::vector<SeqRecord> out;
  std::istringstream in(text);
  std::string y, l, g, v;
  while (in >> y >> l >> g >> v) {
    SeqRecord r{};
    EXPECT_EQ(records::parse_integer(y, r.y), records::NumberStatus::Ok);
    EXPECT_EQ(records::parse_integer(l, r.l), records::NumberStatus::Ok);
    EXPECT_EQ(records::parse_integer(g, r.g), records::NumberStatus::Ok);
    EXPECT_EQ(records::parse_real(v, r.v), records::NumberStatus::Ok) << v;
    out.push_back(r);
  }
  return out;
}

// Every finite float written to .SEQ reads back to itself, to the bit.
TEST(Import, ValuesReadBackExactly) {
  // Values up to the bound of a job of one location (see value_bound).
  const float largest = value_bound(1).value;
  std::vector<float> values = {-0.0f,
                               0.0f,
                               std::numeric_limits<float>::denorm_min(),
                               -std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::min(),
                               largest,
                               -largest,
                               0.1f,
                               16777217.0f,
                               1e-40f};
  std::uint32_t bits = 12345;
  while (values.size() < 20000) {
    bits = bits * 1664525u + 1013904223u;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::fabs(f) <= largest) values.push_back(f);
  }
  std::string table = "year,loc,gen,value\n";
  for (std::size_t k = 0; k < values.size(); ++k) {
    char text[64];
    std::snprintf(text, sizeof text, "1,a,%zu,%.9g\n", k, static_cast<double>(values[k]));
    table += text;
  }
  ImportedJob job = import_table(table, "t.csv", {});
  std::vector<SeqRecord> back = read_seq(job.seq);
  ASSERT_EQ(back.size(), values.size());
  for (const SeqRecord& r : back) {
    float want = values[static_cast<std::size_t>(r.g - 1)];
    EXPECT_EQ(std::memcmp(&r.v, &want, sizeof want), 0) << want;
  }
  EXPECT_LT(job.seq.size(), values.size() * 24);  // shortest texts, not %.9g
}

std::string file_text(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The example table holds the example job: the same names and numbers, and
// the same values to the bit.
TEST(Import, ExampleTableIsTheExampleJob) {
  auto examples = std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "examples";
  ImportedJob job = import_table(file_text(examples / "wheat.csv"), "wheat.csv", {});
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  };
  std::vector<std::string> naq = lines(job.naq), wheat = lines(file_text(examples / "WHEAT.NAQ"));
  EXPECT_EQ(naq[1], "6 years, 20 locations, 13 genotypes");
  EXPECT_EQ(std::vector<std::string>(naq.begin() + 2, naq.end()),
            std::vector<std::string>(wheat.begin() + 2, wheat.begin() + 41));
  std::vector<SeqRecord> got = read_seq(job.seq),
                         want = read_seq(file_text(examples / "WHEAT.SEQ"));
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_TRUE(got[k].y == want[k].y && got[k].l == want[k].l && got[k].g == want[k].g &&
                std::memcmp(&got[k].v, &want[k].v, 4) == 0)
        << "record " << k;
  }
}

}  // namespace
}  // namespace locseq::import
