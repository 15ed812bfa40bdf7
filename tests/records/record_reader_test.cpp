#include "records/record_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq::records {
namespace {

using Mode = RecordReader::Mode;

std::vector<std::string> all(RecordReader& r) {
  std::vector<std::string> out;
  std::string_view rec;
  while (r.next(rec)) {
    out.emplace_back(rec);
    EXPECT_EQ(r.line(), static_cast<long>(out.size()));
  }
  EXPECT_EQ(r.line(), static_cast<long>(out.size()));  // unchanged at the end
  EXPECT_FALSE(r.next(rec));
  return out;
}

// Many records of lengths 0 to 40, most of them longer than a 16-byte block.
std::string long_text(std::vector<std::string>& records) {
  std::string text;
  for (int i = 0; i < 60; ++i) {
    records.push_back(std::string(static_cast<std::size_t>(i * 7 % 41), char('a' + i % 26)));
    text += records.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  return text;
}

TEST(RecordReader, RecordsInEveryMode) {
  using V = std::vector<std::string>;
  const std::pair<const char*, V> cases[] = {
      {"a\nb\n", {"a", "b"}},
      {"a\r\nbc\r\n", {"a", "bc"}},
      {"a\nlast", {"a", "last"}},
      {"a\r\nlast\r", {"a", "last"}},
      {"\n\nx\n\n", {"", "", "x", ""}},
      {"\r\n", {""}},
      {"a\rb\n", {"a\rb"}},  // a CR inside a record stays
      {"", {}},
      {"0123456789abcdefXYZ\n0123456789abcde\n", {"0123456789abcdefXYZ", "0123456789abcde"}},
  };
  for (auto& [text, expected] : cases) {
    for (auto [mode, block] :
         {std::pair{Mode::Block, std::size_t{1} << 18}, std::pair{Mode::Block, std::size_t{16}},
          std::pair{Mode::Line, 0ul}}) {
      std::istringstream in(text);
      RecordReader r(in, "T.SEQ", mode, block);
      EXPECT_EQ(all(r), expected) << text << " block " << block;
    }
  }
}

TEST(RecordReader, RecordsAcrossRefillsAndLongerThanTheBlock) {
  std::vector<std::string> records;
  std::istringstream in(long_text(records));
  RecordReader r(in, "T.SEQ", Mode::Block, 16);
  EXPECT_EQ(all(r), records);
}

TEST(RecordReader, StepBackReturnsTheSameRecord) {
  std::vector<std::string> records;
  const std::string text = long_text(records);
  for (auto [mode, block] : {std::pair{Mode::Block, std::size_t{1} << 18},
                             std::pair{Mode::Block, std::size_t{16}}, std::pair{Mode::Line, 0ul}}) {
    std::istringstream in(text);
    RecordReader r(in, "T.SEQ", mode, block);
    r.step_back();  // nothing to step back to
    EXPECT_EQ(r.line(), 0);
    std::string_view rec;
    for (std::size_t i = 0; i < records.size(); ++i) {
      ASSERT_TRUE(r.next(rec));
      r.step_back();
      r.step_back();  // only one step
      EXPECT_EQ(r.line(), static_cast<long>(i));
      ASSERT_TRUE(r.next(rec));
      EXPECT_EQ(rec, records[i]) << "block " << block;
      EXPECT_EQ(r.line(), static_cast<long>(i + 1));
    }
    EXPECT_FALSE(r.next(rec));
  }
}

TEST(RecordReader, NoStepBackAfterTheEnd) {
  // The last record ends on a block boundary: the failed read moves the
  // buffer, and a step back then must not reach behind it.
  for (const char* text : {"abcdefghijklmno\n", "abcdefg\nhijklmn\n"}) {
    for (auto mode : {Mode::Block, Mode::Line}) {
      std::istringstream in(text);
      RecordReader r(in, "T.SEQ", mode, 16);
      std::string_view rec;
      while (r.next(rec)) {
      }
      const long lines = r.line();
      r.step_back();
      EXPECT_FALSE(r.next(rec)) << text;
      EXPECT_EQ(r.line(), lines);
    }
  }
}

TEST(RecordReader, RewindInMemoryAndAfterRefills) {
  std::istringstream small("x\ny\n");
  RecordReader s(small, "T.SEQ");
  std::string_view rec;
  ASSERT_TRUE(s.next(rec));
  s.rewind();
  EXPECT_EQ(s.line(), 0);
  EXPECT_EQ(all(s), (std::vector<std::string>{"x", "y"}));
  s.rewind();
  EXPECT_EQ(all(s), (std::vector<std::string>{"x", "y"}));

  std::vector<std::string> records;
  std::istringstream big(long_text(records));
  RecordReader r(big, "T.SEQ", Mode::Block, 16);
  for (int i = 0; i < 20; ++i) r.next(rec);  // part way
  r.rewind();
  EXPECT_EQ(r.line(), 0);
  EXPECT_EQ(all(r), records);  // to the end
  r.rewind();
  EXPECT_EQ(all(r), records);
}

// A stream that cannot seek.
struct NoSeek : std::stringbuf {
  using std::stringbuf::stringbuf;
  pos_type seekpos(pos_type, std::ios_base::openmode) override { return pos_type(off_type(-1)); }
};

TEST(RecordReader, RewindWithoutSeeking) {
  NoSeek small_buf("x\ny\n");
  std::istream small(&small_buf);
  RecordReader s(small, "T.SEQ");
  EXPECT_EQ(all(s).size(), 2u);
  s.rewind();  // the whole stream is in the buffer: no seek needed
  EXPECT_EQ(all(s).size(), 2u);

  std::vector<std::string> records;
  NoSeek big_buf(long_text(records));
  std::istream big(&big_buf);
  RecordReader r(big, "T.SEQ", Mode::Block, 16);
  EXPECT_EQ(all(r), records);
  try {
    r.rewind();
    ADD_FAILURE() << "rewound a stream that cannot seek";
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "T.SEQ");
    EXPECT_EQ(e.line(), 0);
  }
  std::istringstream console("a\n");
  RecordReader c(console, "console", Mode::Line);
  EXPECT_THROW(c.rewind(), InputError);
}

TEST(RecordReader, LineModeReadsNoFurtherThanTheLine) {
  std::istringstream console("abc\r\nrest\n");
  RecordReader r(console, "console", Mode::Line);
  std::string_view rec;
  ASSERT_TRUE(r.next(rec));
  EXPECT_EQ(rec, "abc");
  std::string rest;
  std::getline(console, rest);  // still in the stream
  EXPECT_EQ(rest, "rest");
}

TEST(RecordReader, FailNamesFileAndLine) {
  std::istringstream in("a\nb\n");
  RecordReader r(in, "JOB.SEQ");
  std::string_view rec;
  r.next(rec);
  r.next(rec);
  try {
    r.fail("bad value");
    ADD_FAILURE();
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "JOB.SEQ");
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.message(), "bad value");
    EXPECT_STREQ(e.what(), "JOB.SEQ:2: bad value");
  }
  try {
    r.fail_at(7, "late");
    ADD_FAILURE();
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 7);
    EXPECT_STREQ(e.what(), "JOB.SEQ:7: late");
  }
  EXPECT_STREQ(InputError("JOB.SEQ", 0, "cannot open").what(), "JOB.SEQ: cannot open");
}

}  // namespace
}  // namespace locseq::records
