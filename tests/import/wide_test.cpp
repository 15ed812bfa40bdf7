// Wide tables: a column per location (or genotype), read to the job their
// long form makes.
#include <gtest/gtest.h>

#include <random>

#include "import/columns.h"
#include "import/outcome.h"

namespace locseq::import {
namespace {

using testing::expect_words;
using testing::import_of;

ImportOptions wide(Wide kind, std::vector<std::string> ignore = {}) {
  ImportOptions o;
  o.wide = kind;
  o.ignore = std::move(ignore);
  return o;
}

// A random trial written both ways: as a wide table with a column per name
// of `kind`, and as the long table whose rows are the wide one's cells in
// the same order (so that names first appear in the same order).
struct TwoForms {
  std::string wide, long_form;
};
TwoForms random_trial(std::mt19937& random, Wide kind, char delimiter) {
  const char* across = kind == Wide::Location ? "location" : "genotype";
  const char* down = kind == Wide::Location ? "genotype" : "location";
  const int columns = 1 + static_cast<int>(random() % 6), rows = 1 + static_cast<int>(random() % 5);
  const std::string d(1, delimiter);
  TwoForms out;
  out.wide = std::string("Year") + d + down;
  out.long_form = std::string("year") + d + down + d + across + d + "value\n";
  for (int c = 0; c < columns; ++c)
    out.wide += d + (kind == Wide::Location ? "Loc " : "G") + std::to_string(c);
  out.wide += '\n';
  for (int year = 2001; year < 2004; ++year) {
    for (int r = 0; r < rows; ++r) {
      std::string name = (kind == Wide::Location ? "G" : "Loc ") + std::to_string((r * 7) % rows);
      out.wide += std::to_string(year) + d + name;
      for (int c = 0; c < columns; ++c) {
        std::string value =
            random() % 4 == 0 ? "NA"
                              : std::to_string(random() % 1000) + (delimiter == ';' ? ",5" : ".5");
        out.wide += d + value;
        out.long_form += std::to_string(year) + d + name + d +
                         (kind == Wide::Location ? "Loc " : "G") + std::to_string(c) + d + value +
                         "\n";
      }
      out.wide += '\n';
    }
  }
  return out;
}

TEST(Wide, ReadsAsItsLongForm) {
  std::mt19937 random(19);
  for (int trial = 0; trial < 60; ++trial) {
    const Wide kind = trial % 2 ? Wide::Location : Wide::Genotype;
    const char delimiter = ",;\t"[trial % 3];
    const TwoForms t = random_trial(random, kind, delimiter);
    SCOPED_TRACE(t.wide);
    const testing::Outcome from_wide = import_of(t.wide, wide(kind));
    const testing::Outcome from_long = import_of(t.long_form, {});
    ASSERT_EQ(from_wide.job.has_value(), from_long.job.has_value())
        << from_wide.message << from_long.message;
    if (!from_long.job) {
      EXPECT_EQ(from_wide.message, from_long.message);  // every value missing
      continue;
    }
    EXPECT_EQ(from_wide.job->naq, from_long.job->naq);
    EXPECT_EQ(from_wide.job->seq, from_long.job->seq);
    EXPECT_EQ(from_wide.job->names_csv, from_long.job->names_csv);
  }
}

TEST(Wide, ColumnsAndTheirFaults) {
  const std::string table = "year,gen,Moree,notes,Dubbo\n2019,G1,1.5,late,2\n2019,G2,NA,,3\n";
  struct Case {
    std::string name;
    std::string table;
    ImportOptions options;
    std::string seq;  // empty: an error
    std::string file = "t.csv";
    long line = 0;
    std::vector<std::string> words{};
  };
  const Case cases[] = {
      {"a column of text",
       table,
       wide(Wide::Location),
       "",
       "t.csv",
       2,
       {"'late'", "column 4 'notes'", "not a number", "leave it out with --ignore 'notes'"}},
      {"left out", table, wide(Wide::Location, {"NOTES"}), "1 1 1 1.5\n1 2 1 2\n1 2 2 3\n"},
      {"a genotype per column", "year,site,G1,G2\n1,a,1,2\n", wide(Wide::Genotype),
       "1 1 1 1\n1 1 2 2\n"},
      {"an unnamed empty column", "year,gen,A,\n1,g,1,\n", wide(Wide::Location), "1 1 1 1\n"},
      {"an unnamed column with a value",
       "year,gen,A,\n1,g,1,7\n",
       wide(Wide::Location),
       "",
       "t.csv",
       2,
       {"column 4 '' has no name", "'7'"}},
      {"one location in two columns",
       "year,gen,A,a,A\n1,g,1,2,3\n",
       wide(Wide::Location),
       "",
       "t.csv",
       2,
       {"lines 2 and 2"}},
      {"no column to ignore",
       table,
       wide(Wide::Location, {"remarks"}),
       "",
       "t.csv",
       1,
       {"no column is named 'remarks' (--ignore)"}},
      {"nothing but names",
       "year,gen,notes\n1,g,x\n",
       wide(Wide::Location, {"notes"}),
       "",
       "t.csv",
       1,
       {"there is none"}},
      {"ignore in a long table",
       table,
       [] {
         ImportOptions o;
         o.ignore = {"notes"};
         return o;
       }(),
       "",
       "--ignore",
       0,
       {"wide table"}},
      {"a location column in a wide table",
       table,
       [] {
         ImportOptions o = wide(Wide::Location);
         o.location_column = "Moree";
         return o;
       }(),
       "",
       "--wide",
       0,
       {"--location names a column of a long table"}},
      {"looks wide",
       "year,genotype,Moree,Dubbo,Narrabri\n2019,G1,1.5,NA,2.5\n",
       {},
       "",
       "t.csv",
       1,
       {"no location column", "the table looks wide", "'Moree', 'Narrabri'", "line 2",
        "--wide location"}},
      {"looks wide by genotype",
       "year,site,G1,G2,G3,G4\n2019,A,1,2,3,4\n",
       {},
       "",
       "t.csv",
       1,
       {"no genotype column", "'G1', 'G2', 'G3' and 1 more", "--wide genotype"}},
      {"long, not wide",
       "year,location,genotype,notes\n2019,A,G1,x\n",
       {},
       "",
       "t.csv",
       1,
       {"no value column"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::Outcome got = import_of(c.table, c.options);
    if (c.seq.empty()) {
      ASSERT_FALSE(got.job);
      EXPECT_EQ(got.file, c.file);
      EXPECT_EQ(got.line, c.line) << got.message;
      expect_words(got.message, c.words);
      if (c.name == "long, not wide") {
        EXPECT_EQ(got.message.find("--wide"), std::string::npos);
      }
    } else {
      ASSERT_TRUE(got.job) << got.message;
      EXPECT_EQ(got.job->seq, c.seq);
    }
  }
}

}  // namespace
}  // namespace locseq::import
