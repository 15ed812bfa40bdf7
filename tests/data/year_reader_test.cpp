#include "data/year_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq {
namespace {

const std::string kEnd = " End of data\n";

// A .SEQ file in memory with the console, .SCO and the two matrices of one year.
struct SeqFile {
  explicit SeqFile(std::string text, std::int32_t maxl = 3, std::int32_t maxg = 2,
                   std::size_t block = std::size_t{1} << 18)
      : in(std::move(text)),
        seq(in, "JOB.SEQ", records::RecordReader::Mode::Block, block),
        console(console_out, "console"),
        sco(sco_out, "JOB.SCO"),
        MAXL(maxl),
        MAXG(maxg),
        x(static_cast<std::size_t>(maxl * maxg), -9.0f),
        n(static_cast<std::size_t>(maxl * maxg), -9) {}

  void read(std::int32_t y) {
    ReadYear(Mat<float>(x.data(), MAXL, MAXG), Mat<std::int32_t>(n.data(), MAXL, MAXG), y, MAXL,
             MAXG, seq, console, sco);
  }
  float value(long i, long j) const { return Mat<const float>(x.data(), MAXL, MAXG)(i, j); }
  std::int32_t present(long i, long j) const {
    return Mat<const std::int32_t>(n.data(), MAXL, MAXG)(i, j);
  }
  bool empty() const {
    return std::all_of(x.begin(), x.end(), [](float v) { return v == 0.0f; }) &&
           std::all_of(n.begin(), n.end(), [](std::int32_t v) { return v == 0; });
  }
  // Reads the years in turn; the line of the InputError that stops it, or 0.
  long fault(std::initializer_list<std::int32_t> years) {
    try {
      for (std::int32_t y : years) read(y);
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "JOB.SEQ");
      return e.line();
    }
    return 0;
  }
  // The messages written so far, the same on the console and in .SCO.
  std::string messages() const {
    EXPECT_EQ(console_out.str(), sco_out.str());
    return sco_out.str();
  }

  std::istringstream in;
  records::RecordReader seq;
  std::ostringstream console_out, sco_out;
  records::Unit console, sco;
  std::int32_t MAXL, MAXG;
  std::vector<float> x;
  std::vector<std::int32_t> n;
};

TEST(ParseObservation, FieldsAndSeparators) {
  struct Case {
    const char* line;
    std::int32_t year, location, genotype;
    float value;
  };
  const Case cases[] = {
      {"1 2 3 4.5", 1, 2, 3, 4.5f},
      {"  7   12  3   -0.25  ", 7, 12, 3, -0.25f},
      {"1,2,3,4.5", 1, 2, 3, 4.5f},
      {"1, 2 ,3 , 4.5", 1, 2, 3, 4.5f},
      {"1\t2\t3\t4.5", 1, 2, 3, 4.5f},
      {"1 2 3 7", 1, 2, 3, 7.0f},
      {"1 2 3 .5", 1, 2, 3, 0.5f},
      {"1 2 3 -2.5E+01", 1, 2, 3, -25.0f},
      {"1 2 3 1.5e2", 1, 2, 3, 150.0f},
      {"+1 02 3 +4", 1, 2, 3, 4.0f},
      {"1 2 3 4.5 extra words 9", 1, 2, 3, 4.5f},
      {"1 2 3 4.5,more,text", 1, 2, 3, 4.5f},
      {"1 2 3 4.5 abc", 1, 2, 3, 4.5f},
      {"1 2 3 3.4e38", 1, 2, 3, 3.4e38f},
  };
  std::istringstream none;
  records::RecordReader reader(none, "JOB.SEQ");
  for (const Case& c : cases) {
    Observation obs;
    ASSERT_EQ(parse_observation(c.line, obs, reader), SeqLine::Record) << c.line;
    EXPECT_EQ(obs.year, c.year) << c.line;
    EXPECT_EQ(obs.location, c.location) << c.line;
    EXPECT_EQ(obs.genotype, c.genotype) << c.line;
    EXPECT_EQ(obs.value, c.value) << c.line;
  }
  Observation obs;
  for (const char* blank : {"", "   ", "\t", " \t "}) {
    EXPECT_EQ(parse_observation(blank, obs, reader), SeqLine::Blank) << '"' << blank << '"';
  }
  for (const char* short_line : {"1", "1 2", "1 2 3", "1,2,3", " 1 2 3 \t"}) {
    EXPECT_EQ(parse_observation(short_line, obs, reader), SeqLine::Short) << short_line;
  }
}

TEST(ReadYear, MalformedLinesStopTheRunAtTheirLine) {
  // Each text has its fault on line 3, after a good record and a blank line.
  const char* faults[] = {
      "1 1 1 4.5abc", "1 1 1 abc",           "year location genotype value",
      "1 1x 1 4.0",   "1 1 1.0 4.0",         "1 1 1 1e39",
      "1 1 1 -1e39",  "1 1 1 nan",           "1 1 1 inf",
      "1,,1 1 4.0",   ",1 1 1 4.0",          "1 1 1 /",
      "1 1 / 1 4.0",  "99999999999 1 1 4.0", "1 0 1 4.0",
      "1 4 1 4.0",    "1 1 0 4.0",           "1 1 3 4.0",
      "1 -1 1 4.0",   "1 1 1 4.0.0",
  };
  for (const char* fault : faults) {
    SeqFile f(std::string("1 1 1 2.0\n\n").append(fault).append("\n1 2 2 3.0\n"));
    EXPECT_EQ(f.fault({1}), 3) << fault;
    EXPECT_EQ(f.messages(), "") << fault;
  }
}

TEST(ReadYear, RangeIsCheckedOnlyForTheYearBeingRead) {
  // MAXL 3, MAXG 2. Read from year 2, the year-1 records out of range are
  // passed over and the year-2 one stops the run; read from year 1, the
  // first record does. A later year's record is only stepped back over.
  const std::string text = "1 9 1 1.0\n1 1 9 1.0\n2 1 1 5.0\n2 9 1 6.0\n";
  EXPECT_EQ(SeqFile(text).fault({2}), 4);
  EXPECT_EQ(SeqFile(text).fault({1}), 1);
  SeqFile f("1 3 2 1.0\n2 1 3 6.0\n");
  EXPECT_EQ(f.fault({1}), 0);
  EXPECT_EQ(f.value(3, 2), 1.0f);  // the bounds themselves are cells
  EXPECT_EQ(f.messages(), "");
  EXPECT_EQ(f.fault({2}), 2);
}

TEST(ReadYear, LaterYearRecordIsReadAgainByTheNextCall) {
  SeqFile f("1 1 1 1.0\n1 2 2 2.0\n2 3 1 5.0\n2 1 2 6.0\n");
  f.read(1);
  EXPECT_EQ(f.value(1, 1), 1.0f);
  EXPECT_EQ(f.value(2, 2), 2.0f);
  EXPECT_EQ(f.present(3, 1), 0);
  EXPECT_EQ(f.value(3, 1), 0.0f);
  EXPECT_EQ(f.messages(), "");
  f.read(2);
  EXPECT_EQ(f.value(3, 1), 5.0f);  // the stepped-back record
  EXPECT_EQ(f.value(1, 2), 6.0f);
  EXPECT_EQ(f.present(1, 1), 0);  // year 1 is gone
  EXPECT_EQ(f.value(1, 1), 0.0f);
  EXPECT_EQ(f.messages(), kEnd);
}

TEST(ReadYear, YearWithoutRecordsBetweenTwoYearsIsEmptyAndSilent) {
  // Small buffers as well, so that the step back meets a refilled buffer.
  for (std::size_t block : {std::size_t{1} << 18, std::size_t{16}}) {
    SeqFile f("1 1 1 1.0\n3 2 2 7.0\n3 1 1 8.0\n", 3, 2, block);
    f.read(1);
    f.read(2);
    EXPECT_TRUE(f.empty()) << block;
    EXPECT_EQ(f.messages(), "") << block;
    f.read(3);
    EXPECT_EQ(f.value(2, 2), 7.0f) << block;
    EXPECT_EQ(f.value(1, 1), 8.0f) << block;
    EXPECT_EQ(f.messages(), kEnd) << block;
  }
}

TEST(ReadYear, EndOfDataOncePerPassThatReachesTheLastYear) {
  SeqFile f("1 1 1 1.0\n2 1 1 2.0\n3 1 1 3.0\n3 2 1 4.0\n");
  for (std::int32_t y = 1; y <= 3; ++y) {
    f.read(y);
    EXPECT_EQ(f.value(1, 1), static_cast<float>(y)) << y;
    EXPECT_EQ(f.messages(), y < 3 ? "" : kEnd) << y;
  }
  f.seq.rewind();
  for (std::int32_t y = 1; y <= 5; ++y) {
    std::fill(f.x.begin(), f.x.end(), -9.0f);
    std::fill(f.n.begin(), f.n.end(), -9);
    f.read(y);
    if (y <= 3) {
      EXPECT_EQ(f.value(1, 1), static_cast<float>(y)) << y;
    } else {
      EXPECT_TRUE(f.empty()) << y;
    }
  }
  EXPECT_EQ(f.messages(), kEnd + kEnd + kEnd + kEnd);  // 1 of the first pass, 3 of this one
}

TEST(ReadYear, FileWithoutRecordsOfThePassGivesEmptyYears) {
  for (const char* text : {"1 1 1 1.0\n2 1 1 2.0\n", "", "\n\n", "  \r\n"}) {
    SeqFile f(text);
    f.read(3);
    EXPECT_TRUE(f.empty()) << text;
    f.read(4);
    EXPECT_TRUE(f.empty()) << text;
    EXPECT_EQ(f.messages(), kEnd + kEnd) << text;
  }
}

TEST(ReadYear, EarlierYearRecordsArePassedOverWherever) {
  SeqFile f("1 1 1 9.0\n2 1 1 5.0\n1 2 1 9.0\n2 2 1 6.0\n1 3 1 9.0\n");
  f.read(2);
  EXPECT_EQ(f.value(1, 1), 5.0f);
  EXPECT_EQ(f.value(2, 1), 6.0f);
  EXPECT_EQ(f.present(3, 1), 0);
  EXPECT_EQ(f.value(3, 1), 0.0f);
}

TEST(ReadYear, LaterDuplicateWinsAndZeroIsPresent) {
  SeqFile f("1 1 1 4.0\n1 2 1 0.0\n1 1 1 -3.5\n1 2 2 0\n");
  f.read(1);
  EXPECT_EQ(f.value(1, 1), -3.5f);
  EXPECT_EQ(f.present(1, 1), 1);
  EXPECT_EQ(f.value(2, 1), 0.0f);
  EXPECT_EQ(f.present(2, 1), 1);
  EXPECT_EQ(f.present(2, 2), 1);
  // The left-out cell has the same value but is absent.
  EXPECT_EQ(f.value(3, 1), 0.0f);
  EXPECT_EQ(f.present(3, 1), 0);
}

TEST(ReadYear, OrderOfLinesWithinAYearDoesNotMatter) {
  std::vector<std::string> lines = {"2 1 1 1.5\n", "2 3 2 -2.0\n", "2 2 1 3.25\n", "2 1 2 0.0\n",
                                    "2 3 1 7.0\n"};
  std::sort(lines.begin(), lines.end());
  std::vector<float> first_x;
  std::vector<std::int32_t> first_n;
  do {
    std::string text = "1 2 2 9.0\n";
    for (const std::string& l : lines) text += l;
    SeqFile f(text + "3 1 1 8.0\n");
    f.read(2);
    if (first_x.empty()) {
      first_x = f.x;
      first_n = f.n;
      EXPECT_EQ(f.value(3, 2), -2.0f);
      EXPECT_EQ(f.present(2, 2), 0);
    }
    ASSERT_EQ(f.x, first_x) << text;
    ASSERT_EQ(f.n, first_n) << text;
  } while (std::next_permutation(lines.begin(), lines.end()));
}

TEST(ReadYear, BlankLinesAndCrlfAreHarmless) {
  // The last line has no line end.
  SeqFile f("\r\n1 1 1 1.5\r\n   \r\n\t\r\n1,2,2,2.5\r\n1\t3\t1\t-4\r\n\r\n2 1 1 3.0");
  f.read(1);
  EXPECT_EQ(f.value(1, 1), 1.5f);
  EXPECT_EQ(f.value(2, 2), 2.5f);
  EXPECT_EQ(f.value(3, 1), -4.0f);
  EXPECT_EQ(f.messages(), "");
  f.read(2);
  EXPECT_EQ(f.value(1, 1), 3.0f);
  EXPECT_EQ(f.messages(), kEnd);
}

TEST(ReadYear, ShortLastRecordEndsTheData) {
  for (const char* tail : {"1 2 2", "1 2 2\n", "1 2 2\n\n   \n\t\n", "1 2", "1,2,2\r\n\r\n"}) {
    SeqFile f(std::string("1 1 1 1.0\n").append(tail));
    f.read(1);
    EXPECT_EQ(f.value(1, 1), 1.0f) << tail;
    EXPECT_EQ(f.present(2, 2), 0) << tail;  // the cut record is dropped
    EXPECT_EQ(f.messages(), kEnd) << tail;
    f.read(2);  // the end is met again at once
    EXPECT_TRUE(f.empty()) << tail;
    EXPECT_EQ(f.messages(), kEnd + kEnd) << tail;
  }
}

TEST(ReadYear, ShortRecordFollowedByARecordIsAnError) {
  for (const char* text : {"1 1 1 1.0\n1 2 2\n1 3 1 2.0\n", "1 1 1 1.0\n1 2 2\n\n1 3 1 2.0\n",
                           "1 1 1 1.0\n1 2 2\n2 3 1 2.0\n"}) {
    SeqFile f(text);
    EXPECT_EQ(f.fault({1}), 2) << text;
    EXPECT_EQ(f.messages(), "") << text;
  }
}

}  // namespace
}  // namespace locseq
