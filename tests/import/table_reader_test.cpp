#include "import/table_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq::import {
namespace {

// Every row as "LINE:field|field|...", the header first.
std::vector<std::string> rows_of(std::string_view bytes, std::optional<char> delimiter,
                                 char& used) {
  TableReader reader(bytes, "t.csv", delimiter);
  used = reader.delimiter();
  std::vector<std::string> out;
  TableRow row = reader.header();
  do {
    std::string text = std::to_string(row.line) + ":";
    for (std::size_t i = 0; i < row.fields.size(); ++i) text += (i ? "|" : "") + row.fields[i];
    out.push_back(text);
  } while (reader.next(row));
  return out;
}

TEST(ImportTableReader, RowsFieldsAndLines) {
  using V = std::vector<std::string>;
  struct Case {
    const char* bytes;
    std::optional<char> delimiter;
    char used;
    V rows;
  };
  const Case cases[] = {
      {"a,b\n1,2\n", {}, ',', {"1:a|b", "2:1|2"}},
      {"a,b\r\n1,2\r\n3,4", {}, ',', {"1:a|b", "2:1|2", "3:3|4"}},
      {"a,b\r1,2\r", {}, ',', {"1:a|b", "2:1|2"}},
      {"\xEF\xBB\xBF"
       "a;b\n1,5;2\n",
       {},
       ';',
       {"1:a|b", "2:1,5|2"}},
      {"a\tb c\n1\t2\n", {}, '\t', {"1:a|b c", "2:1|2"}},
      {"\n ,,\n\"x,y\";b;c\n", {}, ';', {"3:x,y|b|c"}},
      {"a,b\n\"Smith, J\",\"say \"\"hi\"\"\"\n", {}, ',', {"1:a|b", "2:Smith, J|say \"hi\""}},
      {"a,b\n\"two\nlines\",x\n3,4\n", {}, ',', {"1:a|b", "2:two\nlines|x", "4:3|4"}},
      {"a,b\n  \"q\"  ,x\n", {}, ',', {"1:a|b", "2:q|x"}},
      {"a,b\n5\" pot,x\n", {}, ',', {"1:a|b", "2:5\" pot|x"}},
      {"a,b,\n1,2,\n\n", {}, ',', {"1:a|b|", "2:1|2|", "3:"}},
      {"a;b,c\n", ',', ',', {"1:a;b|c"}},
      {"\"a;b\",c,d;e\n", {}, ',', {"1:a;b|c|d;e"}},
  };
  for (const Case& c : cases) {
    char used = 0;
    EXPECT_EQ(rows_of(c.bytes, c.delimiter, used), c.rows) << c.bytes;
    EXPECT_EQ(used, c.used) << c.bytes;
  }
}

TEST(ImportTableReader, Faults) {
  struct Case {
    const char* bytes;
    std::optional<char> delimiter;
    long line;
    const char* words;
  };
  const Case cases[] = {
      {"", {}, 0, "empty"},
      {"\n,,\n", {}, 0, "empty"},
      {"\xFF\xFE"
       "a",
       {},
       1,
       "UTF-16"},
      {"\nyear\n", {}, 2, "no comma, semicolon or tab"},
      {"a,b;c\n", {}, 1, "--delimiter"},
      {"a,b\n", '|', 0, "delimiter must be"},
      {"a,b\n1,\"open\n2,3\n", {}, 2, "no closing quote"},
      {"a,b\n\"x\n\"y,2\n", {}, 3, "after the closing quote"},
  };
  for (const Case& c : cases) {
    try {
      TableReader reader(c.bytes, "t.csv", c.delimiter);
      TableRow row;
      while (reader.next(row)) {
      }
      ADD_FAILURE() << "no error for " << c.bytes;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "t.csv");
      EXPECT_EQ(e.line(), c.line) << c.bytes;
      EXPECT_NE(e.message().find(c.words), std::string::npos) << e.message();
    }
  }
}

}  // namespace
}  // namespace locseq::import
