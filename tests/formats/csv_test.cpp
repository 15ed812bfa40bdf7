#include "formats/csv.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "support/hostile_names.h"

namespace locseq::formats::csv {
namespace {

// Every row as "LINE:field|field|...", the header first.
std::vector<std::string> rows_of(std::string_view bytes, std::optional<char> delimiter,
                                 char& used) {
  Reader reader(bytes, "t.csv", delimiter);
  used = reader.delimiter();
  std::vector<std::string> out;
  if (!reader.has_header()) return out;
  Row row = reader.header();
  do {
    std::string text = std::to_string(row.line) + ":";
    for (std::size_t i = 0; i < row.fields.size(); ++i) text += (i ? "|" : "") + row.fields[i];
    out.push_back(text);
  } while (reader.next(row));
  return out;
}

TEST(CsvReader, RowsFieldsAndLines) {
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
      {"a,b\n\"cr\rand crlf\r\n\",x\n", {}, ',', {"1:a|b", "2:cr\rand crlf\r\n|x"}},
      {"a,b\n  \"q\"  ,x\n", {}, ',', {"1:a|b", "2:q|x"}},
      {"a,b\n5\" pot,x\n", {}, ',', {"1:a|b", "2:5\" pot|x"}},
      // Blank rows below the header are passed over, whatever the line end.
      {"a,b,\n1,2,\n\n,,\r\n \t, \r\n4,5,6", {}, ',', {"1:a|b|", "2:1|2|", "6:4|5|6"}},
      {"a;b,c\n", ',', ',', {"1:a;b|c"}},
      {"\"a;b\",c,d;e\n", {}, ',', {"1:a;b|c|d;e"}},
      // Nothing but blank lines: no header.
      {"", {}, ',', {}},
      {"\n,,\n", {}, ',', {}},
      {"\xEF\xBB\xBF\r\n", '|', ',', {}},
  };
  for (const Case& c : cases) {
    char used = 0;
    EXPECT_EQ(rows_of(c.bytes, c.delimiter, used), c.rows) << c.bytes;
    EXPECT_EQ(used, c.used) << c.bytes;
  }
}

TEST(CsvReader, Faults) {
  struct Case {
    const char* bytes;
    std::optional<char> delimiter;
    long line;
    const char* words;
  };
  const Case cases[] = {
      {"\xFF\xFE"
       "a",
       {},
       1,
       "UTF-16"},
      {"\nyear\n", {}, 2, "no comma, semicolon or tab"},
      {"a,b;c\n", {}, 1, "--delimiter"},
      {"a,b\n", '|', 0, "delimiter must be"},
      {"a,b\n1,\"open\n2,3\n", {}, 2, "a quoted field is not closed"},
      {"a,b\n\"x\n\"y,2\n", {}, 3, "after the closing quote"},
  };
  for (const Case& c : cases) {
    try {
      Reader reader(c.bytes, "t.csv", c.delimiter);
      Row row;
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

TEST(CsvWriter, QuotesEveryTextAndDoublesItsQuotes) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"", "\"\""},
      {"plain", "\"plain\""},
      {"\"", "\"\"\"\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"a,b;c\td", "\"a,b;c\td\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"NA", "\"NA\""},
  };
  for (const auto& c : cases) EXPECT_EQ(csv::quoted(c.text), c.field) << c.text;
  RowWriter row;
  row << csv::quoted("x") << std::int64_t{-12} << std::int32_t{7} << kMissing;
  EXPECT_EQ(row.str(), "\"x\",-12,7,NA\n");
}

TEST(CsvMissingValues, EmptyNaDotDashStar) {
  for (const char* missing : {"", "NA", ".", "-", "*"}) EXPECT_TRUE(is_missing(missing)) << missing;
  for (const char* value : {"0", "na", "N/A", "NaN", "-1", ".5", "**", " ", "NA.", "nan", "-."}) {
    EXPECT_FALSE(is_missing(value)) << value;
  }
}

// Rows of hostile texts written, then read back: the same fields, whatever
// line ends and byte-order mark the file gets on the way.
TEST(CsvRoundTrip, HostileTextsComeBackAsWritten) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const std::vector<std::string> texts = testing::hostile_names(seed, 60, true);
    std::vector<std::vector<std::string>> rows;
    RowWriter header;
    header << "a"
           << "b"
           << "c";
    std::string file = header.str();
    for (std::size_t k = 0; k + 3 <= texts.size(); k += 3) {
      rows.push_back({texts[k], texts[k + 1], texts[k + 2]});
      RowWriter row;
      for (const std::string& t : rows.back()) row << csv::quoted(t);
      file += row.str();
    }
    for (int form = 0; form < 3; ++form) {
      std::string bytes = file;
      std::vector<std::vector<std::string>> expected = rows;
      if (form == 1) bytes.insert(0, "\xEF\xBB\xBF");
      if (form == 2) {  // every LF a CRLF, in the fields too
        bytes.clear();
        for (char c : file) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
        for (auto& row : expected) {
          for (std::string& f : row) {
            std::string crlf;
            for (char c : f) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
            f = crlf;
          }
        }
      }
      Reader reader(bytes, "t.csv", std::nullopt);
      ASSERT_EQ(reader.delimiter(), ',');
      ASSERT_EQ(reader.header().fields, (std::vector<std::string>{"a", "b", "c"}));
      std::vector<std::vector<std::string>> read;
      for (Row row; reader.next(row);) read.push_back(row.fields);
      // A row of blanks only is passed over: it is blank whether written or not.
      std::erase_if(expected, [](const std::vector<std::string>& row) {
        for (const std::string& f : row) {
          if (f.find_first_not_of(" \t") != std::string::npos) return false;
        }
        return true;
      });
      EXPECT_EQ(read, expected) << "seed " << seed << ", form " << form;
    }
  }
}

}  // namespace
}  // namespace locseq::formats::csv
