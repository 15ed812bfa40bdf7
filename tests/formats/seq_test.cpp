#include "formats/seq.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/memory_files.h"
#include "support/warning_log.h"

namespace locseq::formats::seq {
namespace {

using testing::InFile;
using testing::WarningLog;

TEST(SeqLines, BlankShortOrARecord) {
  InFile none("", "T.SEQ");
  Observation obs;
  for (const char* blank : {"", "   ", "\t", " \t "}) {
    EXPECT_EQ(parse_line(blank, obs, none.reader), Line::Blank) << '"' << blank << '"';
  }
  for (const char* short_line : {"1", "1 2", "1 2 3", "1,2,3", " 1 2 3 \t", "1 2 3,"}) {
    EXPECT_EQ(parse_line(short_line, obs, none.reader), Line::Short) << short_line;
  }
  ASSERT_EQ(parse_line("+1 -2 0003 -0", obs, none.reader), Line::Record);
  EXPECT_EQ(obs.location, -2);
  EXPECT_TRUE(std::signbit(obs.value));
  EXPECT_FALSE(obs.more_numbers);
  ASSERT_EQ(parse_line("1 2 3 9,70", obs, none.reader), Line::Record);
  EXPECT_EQ(obs.value, 9.0f);
  EXPECT_TRUE(obs.more_numbers);
  ASSERT_EQ(parse_line("1 2 3 9.7 kg", obs, none.reader), Line::Record);
  EXPECT_FALSE(obs.more_numbers);
}

// A whole file scanned as a check reads it (going on after an error): each
// record as "LINE:year", "skip LINE" for one out of year order, "E LINE" for
// an error, then "end"; and the warnings.
struct Scanned {
  std::string records;
  std::string warnings;
};

Scanned scan(const std::string& text, std::size_t block) {
  InFile f(text, "T.SEQ", block);
  WarningLog log;
  f.reader.watch(&log);
  Scanner scanner(f.reader);
  YearOrder order;
  Observation obs;
  Scanned out;
  for (;;) {
    try {
      if (!scanner.next(obs)) break;
    } catch (const InputError& e) {
      out.records += "E" + std::to_string(e.line()) + " ";
      continue;
    }
    const long line = f.reader.line();
    if (order.out_of_order(f.reader, obs.year)) {
      out.records += "skip" + std::to_string(line) + " ";
      continue;
    }
    out.records += std::to_string(line) + ":" + std::to_string(obs.year) + " ";
  }
  out.records += "end";
  out.warnings = log.text;
  return out;
}

TEST(SeqScanner, TheRulesEveryReaderFollows) {
  const struct {
    const char* what;
    std::string text;
    std::string records;
    std::string warnings;
  } cases[] = {
      {"blank lines, tabs, CRLF", "\r\n1 1 1 1\r\n  \t\r\n\n2 1 1 2\r\n", "2:1 5:2 end", ""},
      {"no line end at the end", "1 1 1 1\n2 1 1 2", "1:1 2:2 end", "T.SEQ:2 NoLineEnd; "},
      {"a last record cut short is the end of the data", "1 1 1 1\n1 2 2\n", "1:1 end",
       "T.SEQ:2 ShortLastRecord; "},
      {"... blank lines after it too", "1 1 1 1\n1 2 2\n\n \t\n", "1:1 end",
       "T.SEQ:2 ShortLastRecord; "},
      {"... without its line end it is the file's last line", "1 1 1 1\n1 2", "1:1 end",
       "T.SEQ:2 NoLineEnd; "},
      {"... the last blank line without one", "1 1 1 1\n1 2 2\n  ", "1:1 end",
       "T.SEQ:3 NoLineEnd; T.SEQ:2 ShortLastRecord; "},
      {"a record cut short anywhere else is an error; the reading goes on after it",
       "1 1 1 1\n1 2 2\n\n1 3 1 2\n", "1:1 E2 4:1 end", ""},
      {"... and the record after it is read once", "1 2\n1 1 1 9,5", "E1 2:1 end",
       "T.SEQ:2 NoLineEnd; T.SEQ:2 ExtraNumbers; "},
      {"two cut short, then a malformed line", "1 2\n3\nx\n", "E1 E2 E3 end", ""},
      {"a record of an earlier year is skipped", "1 1 1 1\n2 1 1 1\n1 2 1 1\n2 2 1 1\n3 1 1 1\n",
       "1:1 2:2 skip3 4:2 5:3 end", "T.SEQ:3 OutOfOrder; "},
      {"years below 1 are ordered too", "0 1 1 1\n-1 1 1 1\n1 1 1 1\n", "1:0 skip2 3:1 end",
       "T.SEQ:2 OutOfOrder; "},
      {"malformed lines", "1 1 1 x\n1 1 1 2\n1 / 1 2\n", "E1 2:1 E3 end", ""},
      {"a byte-order mark",
       "\xEF\xBB\xBF"
       "1 1 1 1\n",
       "1:1 end", "T.SEQ:1 ByteOrderMark; "},
      {"an empty file", "", "end", ""},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{1} << 16, std::size_t{16}}) {
      const Scanned s = scan(c.text, block);
      EXPECT_EQ(s.records, c.records) << c.what << ", block " << block;
      EXPECT_EQ(s.warnings, c.warnings) << c.what << ", block " << block;
    }
  }
}

TEST(SeqScanner, StartIsWhereTheRecordOrTheEndOfTheDataStands) {
  InFile f("\n\n1 1 1 1\n\n1 2\n\n", "T.SEQ");
  Scanner scanner(f.reader);
  Observation obs;
  ASSERT_TRUE(scanner.next(obs));
  EXPECT_EQ(scanner.start().offset, 2);  // after the blank lines
  EXPECT_EQ(scanner.start().line, 2);
  ASSERT_FALSE(scanner.next(obs));
  EXPECT_EQ(scanner.start().offset, 11);  // the record cut short
  EXPECT_EQ(scanner.start().line, 4);
}

TEST(SeqFaults, WordedOnce) {
  Observation obs{3, 0, 1, 1.0f, false};
  EXPECT_EQ(year_fault(3, 2), "year 3 is outside 1 to MAXY (2)");
  EXPECT_EQ(year_fault(0, 2), "year 0 is outside 1 to MAXY (2)");
  EXPECT_EQ(year_fault(2, 2), "");
  EXPECT_EQ(cell_fault(obs, 5, 5), "location 0 is outside 1 to MAXL (5)");
  obs.location = 5;
  obs.genotype = 6;
  EXPECT_EQ(cell_fault(obs, 5, 5), "genotype 6 is outside 1 to MAXG (5)");
  obs.genotype = 5;
  EXPECT_EQ(cell_fault(obs, 5, 5), "");
}

// Records written, then scanned back: the same numbers, every value to the
// bit, whatever single-precision value it is.
TEST(SeqRoundTrip, EveryValueReadsBackToTheBit) {
  std::mt19937 rng(5);
  std::vector<float> values = {0.0f,        -0.0f,       1.0f,         -1.5f,   0.1f,
                               1e-5f,       FLT_MAX,     -FLT_MAX,     FLT_MIN, FLT_TRUE_MIN,
                               16777217.0f, 3.14159265f, 123456789.0f, 1e10f,   9.999999e-39f};
  while (values.size() < 5000) {
    const float v = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
    if (std::isfinite(v)) values.push_back(v);
  }
  std::string text;
  for (std::size_t k = 0; k < values.size(); ++k) {
    const auto n = static_cast<std::int32_t>(k);
    write_record(text, 1 + n / 1000, 1 + n % 97, 1 + n % 13, values[k]);
  }
  InFile f(text, "T.SEQ", 64);
  Scanner scanner(f.reader);
  Observation obs;
  for (std::size_t k = 0; k < values.size(); ++k) {
    ASSERT_TRUE(scanner.next(obs)) << k;
    const auto n = static_cast<std::int32_t>(k);
    EXPECT_EQ(obs.year * 10000 + obs.location * 100 + obs.genotype,
              (1 + n / 1000) * 10000 + (1 + n % 97) * 100 + 1 + n % 13);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(obs.value), std::bit_cast<std::uint32_t>(values[k]))
        << values[k];
    EXPECT_FALSE(obs.more_numbers);
  }
  EXPECT_FALSE(scanner.next(obs));
}

}  // namespace
}  // namespace locseq::formats::seq
