#include "data/year_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <string>
#include <vector>

#include "records/numbers.h"
#include "support/arrays.h"
#include "support/memory_files.h"

namespace locseq {
namespace {

using testing::Cell;
using testing::fails_at;
using testing::InFile;
using testing::TestArrays;

using formats::seq::Line;
using formats::seq::Observation;

// The line read by the full parser and, where it takes it, by the short cut:
// the same numbers, to the bit.
Line parse_both_ways(std::string_view line, Observation& out) {
  InFile none("", "T.SEQ");
  const Line kind = formats::seq::parse_line(line, out, none.reader);
  Observation fast;
  if (read_by_short_cut(line, fast)) {
    EXPECT_EQ(kind, Line::Record) << line;
    EXPECT_TRUE(out.year == fast.year && out.location == fast.location &&
                out.genotype == fast.genotype && out.more_numbers == fast.more_numbers &&
                std::bit_cast<std::uint32_t>(out.value) == std::bit_cast<std::uint32_t>(fast.value))
        << line << ": " << fast.value << " vs " << out.value;
  }
  return kind;
}

// A random spelling of a real: sign, digits, point, exponent letter.
std::string spelling(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::string s;
  if (pick(4) == 0) s += pick(2) ? "-" : "+";
  std::string digits;
  for (int n = 1 + pick(10); n > 0; --n) digits += static_cast<char>('0' + pick(10));
  if (pick(5) == 0) digits.insert(0, std::string(static_cast<std::size_t>(pick(4)), '0'));
  const std::size_t half = digits.size() / 2;
  const std::string forms[] = {digits, digits.substr(0, half) + "." + digits.substr(half),
                               "." + digits, digits + "."};
  s += forms[pick(4)];
  if (pick(3) == 0) {
    s += "EeDd"[pick(4)];
    if (pick(2)) s += pick(2) ? "-" : "+";
    s += std::to_string(pick(pick(4) == 0 ? 60 : 14));
  }
  return s;
}

TEST(ReadYearShortCut, ReadsEverySpellingAsTheFullParser) {
  std::mt19937 rng(7);
  const char* const separators[] = {" ", "  ", "\t", ",", " , ", ", "};
  for (int i = 0; i < 20000; ++i) {
    const std::string value = spelling(rng);
    float expected = 0.0f;
    if (records::parse_real(value, expected) != records::NumberStatus::Ok) continue;
    const char* sep = separators[rng() % std::size(separators)];
    const std::string line =
        std::string("12") + sep + "3" + sep + "004" + sep + value + (rng() % 3 == 0 ? " tail" : "");
    Observation obs;
    ASSERT_EQ(parse_both_ways(line, obs), Line::Record) << line;
    EXPECT_EQ(obs.year * 100 + obs.location * 10 + obs.genotype, 1234) << line;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(obs.value), std::bit_cast<std::uint32_t>(expected))
        << line;
  }
  // What the short cut cannot take it leaves to the full reader, which
  // refuses it.
  InFile none("", "T.SEQ");
  Observation obs;
  for (const char* line :
       {"1 2 3 4.5abc", "1 2 3 .", "1 2 3 -", "1 2 3 1e", "1 2 3 1e+", "1 2 3 1..2", "1 2 3 nan",
        "1 2 3 inf", "1234567890123 2 3 4", "1 2 3 4e9999999", "1 2 3 4.5\rX", "1 2 3 4.5\r"}) {
    EXPECT_FALSE(read_by_short_cut(line, obs)) << line;
    EXPECT_THROW(formats::seq::parse_line(line, obs, none.reader), InputError) << line;
  }
}

// .SEQ in memory and a year of MAXL 3 x MAXG 2, stale before every read:
// ReadYear must clear it.
struct SeqJob {
  explicit SeqJob(std::string text, std::size_t block = std::size_t{1} << 18)
      : seq(std::move(text), "JOB.SEQ", block) {}
  bool read(std::int32_t y) {
    t.fill_stale();
    return ReadYear(t.a.year, y, seq.reader).end_of_data;
  }
  // The present cells, in location-then-genotype order; every absent one
  // must hold 0.0.
  std::vector<Cell> cells() const {
    std::vector<Cell> out;
    for (long u = 1; u <= 3; ++u) {
      for (long j = 1; j <= 2; ++j) {
        const float x = t.a.year.YearData(u, j);
        const std::int32_t n = t.a.year.IncidenceMatrix(u, j);
        if (n == 1) out.push_back({u, j, x});
        EXPECT_TRUE(n == 1 || (n == 0 && x == 0.0f)) << u << "," << j;
      }
    }
    return out;
  }
  TestArrays t{6, 3, 2, 1};  // MAXY 6, MAXL 3, MAXG 2
  InFile seq;                // .SEQ
};

struct Step {
  std::int32_t y;           // the year read; 0 for a rewind
  bool end;                 // ReadYear meets the end of the file
  std::vector<Cell> cells;  // the year's present cells, as cells() lists them
};

TEST(ReadYear, PassesOverTheFile) {
  const struct {
    const char* what;
    std::string text;
    std::vector<Step> steps;
  } cases[] = {
      {"a later year's record is stepped back over and read by the next call",
       "1 1 1 1.0\n1 2 2 2.0\n2 3 1 5.0\n2 1 2 6.0\n",
       {{1, false, {{1, 1, 1}, {2, 2, 2}}}, {2, true, {{1, 2, 6}, {3, 1, 5}}}}},
      {"a year without records between two is empty",
       "1 1 1 1.0\n3 2 2 7.0\n3 1 1 8.0\n",
       {{1, false, {{1, 1, 1}}}, {2, false, {}}, {3, true, {{1, 1, 8}, {2, 2, 7}}}}},
      {"the end once per pass that reaches it, past the last year too",
       "1 1 1 1.0\n2 1 1 2.0\n3 1 1 3.0\n3 2 1 4.0\n",
       {{1, false, {{1, 1, 1}}},
        {2, false, {{1, 1, 2}}},
        {3, true, {{1, 1, 3}, {2, 1, 4}}},
        {0, false, {}},
        {1, false, {{1, 1, 1}}},
        {3, true, {{1, 1, 3}, {2, 1, 4}}},
        {4, true, {}},
        {5, true, {}}}},
      {"no record of the pass", "1 1 1 1.0\n2 1 1 2.0\n", {{3, true, {}}, {4, true, {}}}},
      {"an empty file", "", {{1, true, {}}}},
      {"blank lines only", "\n\n  \r\n", {{1, true, {}}}},
      {"earlier years are passed over wherever they stand",
       "1 1 1 9.0\n2 1 1 5.0\n1 2 1 9.0\n2 2 1 6.0\n1 3 1 9.0\n",
       {{2, true, {{1, 1, 5}, {2, 1, 6}}}}},
      {"a later duplicate wins; a zero is present",
       "1 1 1 4.0\n1 2 1 0.0\n1 1 1 -3.5\n1 2 2 0\n",
       {{1, true, {{1, 1, -3.5f}, {2, 1, 0}, {2, 2, 0}}}}},
      {"the bounds themselves are cells",
       "1 3 2 1.0\n1 1 1 2.0\n",
       {{1, true, {{1, 1, 2}, {3, 2, 1}}}}},
      {"blank lines, tabs, commas, CRLF; the last line without a line end",
       "\r\n1 1 1 1.5\r\n   \r\n\t\r\n1,2,2,2.5\r\n1\t3\t1\t-4\r\n\r\n2 1 1 3.0",
       {{1, false, {{1, 1, 1.5f}, {2, 2, 2.5f}, {3, 1, -4}}}, {2, true, {{1, 1, 3}}}}},
      {"in place, a CR before the line end and text after the value",
       "1 1 1 4.5\r\n1 3 2 -1.25 tail\r\n",
       {{1, true, {{1, 1, 4.5f}, {3, 2, -1.25f}}}}},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{1} << 18, std::size_t{16}}) {
      SeqJob job(c.text, block);
      for (const Step& s : c.steps) {
        if (s.y == 0) {
          job.seq.reader.rewind();
          continue;
        }
        EXPECT_EQ(job.read(s.y), s.end) << c.what << ", year " << s.y << ", block " << block;
        EXPECT_EQ(job.cells(), s.cells) << c.what << ", year " << s.y << ", block " << block;
      }
    }
  }
}

TEST(ReadYear, AShortLastRecordEndsTheData) {
  for (const char* tail : {"1 2 2", "1 2 2\n", "1 2 2\n\n   \n\t\n", "1 2", "1,2,2\r\n\r\n"}) {
    SeqJob job(std::string("1 1 1 1.0\n").append(tail));
    EXPECT_TRUE(job.read(1)) << tail;
    EXPECT_EQ(job.cells(), (std::vector<Cell>{{1, 1, 1}})) << tail;  // the cut record is dropped
    EXPECT_TRUE(job.read(2)) << tail;                                // the end is met again at once
    EXPECT_EQ(job.cells(), std::vector<Cell>{}) << tail;
  }
}

TEST(ReadYear, OrderOfLinesWithinAYearDoesNotMatter) {
  std::vector<std::string> lines = {"2 1 1 1.5\n", "2 3 2 -2.0\n", "2 2 1 3.25\n", "2 1 2 0.0\n",
                                    "2 3 1 7.0\n"};
  std::sort(lines.begin(), lines.end());
  const std::vector<Cell> expected = {
      {1, 1, 1.5f}, {1, 2, 0}, {2, 1, 3.25f}, {3, 1, 7}, {3, 2, -2}};
  do {
    std::string text = "1 2 2 9.0\n";
    for (const std::string& l : lines) text += l;
    SeqJob job(text + "3 1 1 8.0\n");
    EXPECT_FALSE(job.read(2));
    ASSERT_EQ(job.cells(), expected) << text;
  } while (std::next_permutation(lines.begin(), lines.end()));
}

TEST(ReadYear, FaultsStopTheRunAtTheirLine) {
  const struct {
    std::string text;
    std::vector<std::int32_t> years;  // read in turn
    long line;
  } cases[] = {
      // A malformed line (what is malformed the free-format tests tell),
      // after a good record and a blank line; in place or not.
      {"1 1 1 2.0\n\n1 1x 1 4.0\n", {1}, 3},
      {"1 1 1 2.0\n\n1 1 1 4.5\rX\n", {1}, 3},
      {"1 1 1 2.0\n\n1 1 1 4.5\r\r\n", {1}, 3},
      // Locations and genotypes outside the year, in a record of the year read.
      {"1 1 1 2.0\n\n1 0 1 4.0\n", {1}, 3},
      {"1 1 1 2.0\n\n1 4 1 4.0\n", {1}, 3},
      {"1 1 1 2.0\n\n1 1 0 4.0\n", {1}, 3},
      {"1 1 1 2.0\n\n1 1 3 4.0\n", {1}, 3},
      {"1 9 1 1.0\n1 1 9 1.0\n2 1 1 5.0\n2 9 1 6.0\n", {2}, 4},  // year 1 is passed over
      {"1 9 1 1.0\n2 1 1 5.0\n", {1}, 1},
      {"1 3 2 1.0\n2 1 3 6.0\n", {1, 2}, 2},  // stepped back over, then read
      // A record cut short, with another after it.
      {"1 1 1 1.0\n1 2 2\n\n1 3 1 2.0\n", {1}, 2},
      {"1 1 1 1.0\n1 2 2\n2 3 1 2.0\n", {1}, 2},
  };
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{1} << 18, std::size_t{16}}) {
      SeqJob job(c.text, block);
      auto run = [&] {
        for (std::int32_t y : c.years) job.read(y);
      };
      EXPECT_TRUE(fails_at(run, c.line, "", "JOB.SEQ")) << c.text << " block " << block;
    }
  }
}

}  // namespace
}  // namespace locseq
