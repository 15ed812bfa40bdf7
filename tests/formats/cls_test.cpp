#include "formats/cls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/hostile_names.h"
#include "support/memory_files.h"
#include "support/warning_log.h"

namespace locseq::formats::cls {
namespace {

using testing::fails_at;
using testing::InFile;

// The first `n` bytes of `text`, blank padded to n.
std::string padded(std::string text, std::size_t n) {
  text.resize(n, ' ');
  return text;
}

struct Join {
  std::int32_t Gpi, Gpj, Gpij;
  double level;
};

struct Block {
  BlockHeader header;
  std::int32_t count = 0;
  std::vector<std::int32_t> entries;
  std::vector<Join> joins;
};

// A whole .CLS of generated content written, then read back record by
// record as a run reads it: the same numbers and texts (the title and the
// year names blank padded to their columns), every fusion level as its
// field says.
TEST(ClsRoundTrip, AWholeFileReadsBackAsWritten) {
  std::size_t records = 0;  // hierarchy records read back in all
  for (unsigned seed = 1; seed <= 25; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](std::int32_t lo, std::int32_t hi) {
      return lo + static_cast<std::int32_t>(rng() % static_cast<unsigned>(hi - lo + 1));
    };
    const std::vector<std::string> texts = testing::hostile_names(seed, 40, false);
    const Head head{pick(1, 40), pick(1, 95), pick(1, 900), pick(-3, 40), pick(-3, 9999)};
    std::string title;
    for (std::size_t k = 0; title.size() < 50 && k < 6; ++k) title += texts[k];
    title.resize(std::min<std::size_t>(title.size(), 50));
    const Options options = {"UW"[rng() % 2], "SC"[rng() % 2], "CS "[rng() % 3], "NZ"[rng() % 2]};
    std::vector<Block> blocks(static_cast<std::size_t>(pick(0, 4)));
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      Block& block = blocks[b];
      const std::string name = texts[10 + b].substr(0, 8);
      block.header.SequenceYear = pick(1, 9999);
      for (std::size_t c = 0; c < 8; ++c)
        block.header.SequenceYearName[c] = c < name.size() ? name[c] : ' ';
      block.count = pick(1, 3000);
      for (std::int32_t u = 0; u < head.MAXL; ++u) block.entries.push_back(pick(0, 2));
      for (std::int32_t r = 0; r < pick(0, 12); ++r) {
        const double level = std::ldexp(static_cast<double>(rng()) / 4294967296.0, pick(-40, 120));
        block.joins.push_back({pick(1, 9999), pick(1, 9999), pick(1, 9999), level});
      }
    }

    std::string text;
    write_head(text, head);
    write_title(text, title);
    text += options_record(options);
    text += sequence_years_record({head.IYS, head.IYF});
    for (const Block& block : blocks) {
      write_block_header(text, block.header);
      write_retained_count(text, block.count);
      write_elimination_vector(text, block.entries);
      for (const Join& j : block.joins) write_hierarchy_record(text, j.Gpi, j.Gpj, j.Gpij, j.level);
    }

    SCOPED_TRACE("seed " + std::to_string(seed) + ":\n" + text);
    InFile cls(text, "T.CLS", 64);
    const Head h = read_head(cls.reader);
    EXPECT_EQ(std::vector<std::int32_t>({h.MAXY, h.MAXL, h.MAXG, h.IYS, h.IYF}),
              std::vector<std::int32_t>({head.MAXY, head.MAXL, head.MAXG, head.IYS, head.IYF}));
    EXPECT_EQ(read_title(cls.reader), padded(title, kTitleColumns));
    EXPECT_EQ(read_options(cls.reader), options);
    const SequenceYears years = read_sequence_years(cls.reader);
    EXPECT_EQ(years.IYS * 100000 + years.IYF, head.IYS * 100000 + head.IYF);
    for (std::int32_t step = 1; const Block& block : blocks) {
      BlockHeader header;
      ASSERT_TRUE(read_block_header(cls.reader, header));
      EXPECT_EQ(header.SequenceYear, block.header.SequenceYear);
      EXPECT_EQ(header.SequenceYearName, block.header.SequenceYearName);
      EXPECT_EQ(read_retained_count(cls.reader, step), block.count);
      std::vector<std::int32_t> entries(block.entries.size());
      read_elimination_vector(cls.reader, entries, step);
      EXPECT_EQ(entries, block.entries);
      for (std::int32_t r = 1; const Join& j : block.joins) {
        ++records;
        const HierarchyRecord got = read_hierarchy_record(
            cls.reader, step, r++, static_cast<std::int32_t>(block.joins.size()));
        EXPECT_EQ(got.Gpi * 100000000LL + got.Gpj * 10000LL + got.Gpij,
                  j.Gpi * 100000000LL + j.Gpj * 10000LL + j.Gpij);
        // Nine digits, the level's single-precision value itself, fit from
        // 0.1 to below 1.0E9; elsewhere at least five.
        const double tolerance = j.level >= 0.1 && j.level < 1e9 ? 0.0 : 6e-5 * j.level;
        EXPECT_LE(
            std::abs(static_cast<double>(got.D) - static_cast<double>(static_cast<float>(j.level))),
            tolerance)
            << j.level;
      }
      ++step;
    }
    BlockHeader none;
    EXPECT_FALSE(read_block_header(cls.reader, none));
  }
  EXPECT_GT(records, 100u);
}

TEST(ClsRecords, AsWrittenAndAsCopied) {
  std::string out;
  write_block_header(out, {7, {'2', '0', '1', '9', ' ', ' ', ' ', ' '}});
  write_block_header(out, {12, {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}});
  write_hierarchy_record(out, 4, 3, 6, 2.898);
  EXPECT_EQ(out, "     7    2019\n    12    \n      4     3     6 2.89800000\n");
  EXPECT_EQ(block_header_record({7, {'2', '0', '1', '9', ' ', ' ', ' ', ' '}}),
            "     7    2019    \n");
  EXPECT_EQ(options_record({'U', 'S', 'C', 'N'}), "     U     S     C     N\n");
  std::string thirty;
  for (int k = 0; k < 30; ++k) thirty += "   1";
  EXPECT_EQ(integer_records(std::vector<std::int32_t>(31, 1)), thirty + "\n   1\n");
}

TEST(ClsReading, FaultsAndWarnings) {
  {
    InFile cls("2 0 3 1 1\n", "T.CLS");
    EXPECT_TRUE(fails_at([&] { read_head(cls.reader); }, 1,
                         "MAXL must be at least 1, but the run parameters give 0", "T.CLS"));
  }
  {
    InFile cls("2 3\n", "T.CLS");
    EXPECT_TRUE(fails_at([&] { read_head(cls.reader); }, 2, "the run parameters", "T.CLS"));
  }
  {
    InFile cls("", "T.CLS");
    EXPECT_TRUE(fails_at([&] { read_title(cls.reader); }, 1,
                         "the file ends where the job title should stand", "T.CLS"));
  }
  {
    InFile cls("      4     3     6 2.5\n", "T.CLS");
    read_hierarchy_record(cls.reader, 2, 1, 2);
    EXPECT_TRUE(fails_at([&] { read_hierarchy_record(cls.reader, 2, 2, 2); }, 2,
                         "the file ends before hierarchy record 2 of block 2 (2 expected)"));
  }
  {
    InFile cls("     U    S C      N\n", "T.CLS");
    testing::WarningLog log;
    cls.reader.watch(&log);
    EXPECT_EQ(read_options(cls.reader), (Options{'U', ' ', ' ', ' '}));
    EXPECT_EQ(log.text, "T.CLS:1 OptionColumns; ");
    EXPECT_NE(log.messages.find("'S' in column 11"), std::string::npos) << log.messages;
  }
}

}  // namespace
}  // namespace locseq::formats::cls
