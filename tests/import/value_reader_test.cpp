// Missing values beyond the usual spellings, and one decimal mark for all
// the values of a table.
#include "import/value_reader.h"

#include <gtest/gtest.h>

#include "import/outcome.h"

namespace locseq::import {
namespace {

using testing::expect_words;
using testing::import_of;

ImportOptions with(std::vector<std::string> na, DecimalMark decimal = DecimalMark::Auto) {
  ImportOptions o;
  o.na = std::move(na);
  o.decimal = decimal;
  return o;
}

TEST(Values, MissingSpellingsAndDecimalMarks) {
  const std::string comma = "year,loc,gen,value\n";
  const std::string semi = "year;loc;gen;value\n";
  const std::string tab = "year\tloc\tgen\tvalue\n";
  const DecimalMark point = DecimalMark::Point, decimal_comma = DecimalMark::Comma;
  struct Case {
    std::string table;
    ImportOptions options;
    std::string seq;  // empty: an error
    long line = 0;
    std::vector<std::string> words{};
  };
  const Case cases[] = {
      // Spellings of a missing value: the usual ones, --na, and the advice.
      {comma + "1,a,g,n/a\n1,a,h,2\n", with({"n/a"}), "1 1 2 2\n"},
      {comma + "1,a,g,-999\n1,a,h, #N/A \n1,a,i,3\n", with({"-999", "#N/A"}), "1 1 3 3\n"},
      {comma + "1,a,g,n/a\n", with({"N/A"}), "", 2, {"'n/a'", "not a number", "add --na 'n/a'"}},
      {comma + "1,a,g,1\n1,a,h,#N/A\n", with({}), "", 3, {"add --na '#N/A'"}},
      {comma + "1,a,g,NaN\n", with({}), "", 2, {"add --na 'NaN'"}},
      {comma + "1,a,g,?\n", with({}), "", 2, {"add --na '?'"}},
      {comma + "1,a,g,null\n", with({}), "", 2, {"add --na 'null'"}},
      // The mark of a ';' table: its values'.
      {semi + "1;a;g;1.250\n1;a;h;4\n", with({}), "1 1 1 1.25\n1 1 2 4\n"},
      {semi + "1;a;g;1,250\n1;a;h;4\n", with({}), "1 1 1 1.25\n1 1 2 4\n"},
      {semi + "1;a;g;1.250\n1;a;h;4\n1;a;i;4,75\n",
       with({}),
       "",
       2,
       {"'1.250'", "decimal point", "line 4 ('4,75') has a decimal comma", "thousands separator"}},
      {semi + "1;a;g;4,75\n1;a;h;NA\n1;a;i;1.250\n",
       with({}),
       "",
       4,
       {"'1.250'", "line 2 ('4,75')"}},
      {semi + "1;a;g;1.234,5\n", with({}), "", 2, {"holds a point and a comma", "thousands"}},
      {semi + "1;a;g;4,75\n", with({}, point), "", 2, {"'4,75'", "(--decimal point)"}},
      // Other tables: a point, or a comma when told.
      {tab + "1\ta\tg\t4,75\n", with({}), "", 2, {"'4,75'", "use --decimal comma"}},
      {tab + "1\ta\tg\t4,75\n", with({}, decimal_comma), "1 1 1 4.75\n"},
      {tab + "1\ta\tg\t4.75\n", with({}, decimal_comma), "", 2, {"'4.75'", "(--decimal comma)"}},
      {comma + "1,a,g,\"4,75\"\n1,a,h,5\n", with({}, decimal_comma), "1 1 1 4.75\n1 1 2 5\n"},
      {comma + "1,a,g,1e3\n", with({}, decimal_comma), "1 1 1 1000\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    const testing::Outcome got = import_of(c.table, c.options);
    if (c.seq.empty()) {
      ASSERT_FALSE(got.job);
      EXPECT_EQ(got.line, c.line) << got.message;
      expect_words(got.message, c.words);
    } else {
      ASSERT_TRUE(got.job) << got.message;
      EXPECT_EQ(got.job->seq, c.seq);
    }
  }
  // No advice for a value that is no spelling of a missing one.
  const testing::Outcome got = import_of(comma + "1,a,g,abc\n", with({}));
  EXPECT_EQ(got.message.find("--na"), std::string::npos) << got.message;
}

}  // namespace
}  // namespace locseq::import
