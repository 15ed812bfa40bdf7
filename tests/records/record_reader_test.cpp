#include "records/record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_files.h"

namespace locseq::records {
namespace {

using locseq::testing::ConsoleIn;
using locseq::testing::fails_at;
using locseq::testing::InFile;
using Texts = std::vector<std::string>;

// Every record to the end, checking the line count on the way.
Texts all(RecordSource& r) {
  Texts out;
  std::string_view rec;
  while (r.next(rec)) {
    out.emplace_back(rec);
    EXPECT_EQ(r.line(), static_cast<long>(out.size()));
  }
  EXPECT_FALSE(r.next(rec));
  EXPECT_EQ(r.line(), static_cast<long>(out.size()));  // unchanged at the end
  return out;
}

// 60 records of 0 to 40 characters, most longer than a 16-byte block, some
// ended by CRLF.
std::string long_text(Texts& records) {
  std::string text;
  for (int i = 0; i < 60; ++i) {
    records.push_back(std::string(static_cast<std::size_t>(i * 7 % 41), char('a' + i % 26)));
    text += records.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  return text;
}

constexpr std::size_t kBlocks[] = {std::size_t{1} << 18, 16};

TEST(Readers, TheSameRecordsFromFilesAndTheConsole) {
  Texts many;
  const std::string text = long_text(many);
  const std::pair<std::string, Texts> cases[] = {
      {"a\nb\n", {"a", "b"}},
      {"a\r\nbc\r\n", {"a", "bc"}},
      {"a\nlast", {"a", "last"}},
      {"a\r\nlast\r", {"a", "last"}},
      {"\n\nx\n\n", {"", "", "x", ""}},
      {"\r\n", {""}},
      {"a\rb\n", {"a\rb"}},  // a CR inside a record stays
      {"", {}},
      {"0123456789abcdefXYZ\n0123456789abcde\n", {"0123456789abcdefXYZ", "0123456789abcde"}},
      {text, many},
  };
  for (const auto& [input, expected] : cases) {
    for (std::size_t block : kBlocks) {
      InFile f(input, "T.SEQ", block);
      EXPECT_EQ(all(f.reader), expected) << input << " block " << block;
    }
    ConsoleIn c(input);
    EXPECT_EQ(all(c.reader), expected) << input;
  }
}

TEST(FileReader, StepsBackOneRecordButNotPastTheEnd) {
  Texts records;
  const std::string text = long_text(records);
  for (std::size_t block : kBlocks) {
    InFile f(text, "T.SEQ", block);
    f.reader.step_back();  // nothing to step back to
    EXPECT_EQ(f.reader.line(), 0);
    for (std::size_t i = 0; i < records.size(); ++i) {
      ASSERT_EQ(f.next(), records[i]);
      f.reader.step_back();
      f.reader.step_back();  // only one step
      EXPECT_EQ(f.reader.line(), static_cast<long>(i));
      ASSERT_EQ(f.next(), records[i]) << "block " << block;
      EXPECT_EQ(f.reader.line(), static_cast<long>(i + 1));
    }
    EXPECT_EQ(f.next(), "<end>");
  }
  // The last record ends on a block boundary: the failed read moves the
  // buffer, and a step back then must not reach behind it.
  for (const char* end_on_boundary : {"abcdefghijklmno\n", "abcdefg\nhijklmn\n"}) {
    InFile f(end_on_boundary, "T.SEQ", 16);
    const long lines = static_cast<long>(all(f.reader).size());
    f.reader.step_back();
    EXPECT_EQ(f.next(), "<end>") << end_on_boundary;
    EXPECT_EQ(f.reader.line(), lines);
  }
}

// A stream that cannot seek.
struct NoSeek : std::stringbuf {
  using std::stringbuf::stringbuf;
  pos_type seekpos(pos_type, std::ios_base::openmode) override { return pos_type(off_type(-1)); }
};

TEST(FileReader, RewindsInMemoryOrBySeeking) {
  Texts records;
  const std::string text = long_text(records);
  for (const std::string& t : {std::string("x\ny\n"), text}) {
    for (std::size_t block : kBlocks) {
      InFile f(t, "T.SEQ", block);
      f.next();
      f.reader.rewind();  // part way
      EXPECT_EQ(f.reader.line(), 0);
      const Texts first = all(f.reader);
      f.reader.rewind();  // from the end
      EXPECT_EQ(all(f.reader), first);
      EXPECT_EQ(first.size(), t == text ? records.size() : 2u);
    }
  }
  // Without seeking only a stream held whole in the buffer can start again.
  NoSeek small_buf("x\ny\n"), big_buf(text);
  std::istream small(&small_buf), big(&big_buf);
  FileReader s(small, "T.SEQ"), b(big, "T.SEQ", 16);
  EXPECT_EQ(all(s).size(), 2u);
  s.rewind();
  EXPECT_EQ(all(s).size(), 2u);
  EXPECT_EQ(all(b), records);
  EXPECT_TRUE(fails_at([&] { b.rewind(); }, 0, "cannot return to the start", "T.SEQ"));
}

TEST(ConsoleReader, ReadsNoFurtherThanTheLine) {
  ConsoleIn c("abc\r\nrest\n");
  std::string_view rec;
  ASSERT_TRUE(c.reader.next(rec));
  EXPECT_EQ(rec, "abc");
  std::string rest;
  std::getline(c.in, rest);  // still in the stream
  EXPECT_EQ(rest, "rest");
}

TEST(Readers, ErrorsNameTheSourceAndTheLine) {
  InFile f("a\nb\n", "JOB.SEQ");
  f.next();
  f.next();
  EXPECT_TRUE(fails_at([&] { f.reader.fail("bad value"); }, 2, "bad value", "JOB.SEQ"));
  EXPECT_TRUE(fails_at([&] { f.reader.fail_at(7, "late"); }, 7, "late", "JOB.SEQ"));
  // The end of the stream is named at the line after the last one.
  EXPECT_TRUE(
      fails_at([&] { f.reader.fail_at_end("the head"); }, 3, "the file ends inside the head"));
  ConsoleIn c("Y\n");
  std::string_view rec;
  c.reader.next(rec);
  EXPECT_TRUE(fails_at([&] { c.reader.fail_at_end("the level"); }, 2,
                       "end of console input at the level", "standard input"));

  EXPECT_STREQ(InputError("JOB.SEQ", 2, "bad value").what(), "JOB.SEQ:2: bad value");
  EXPECT_STREQ(InputError("JOB.SEQ", 0, "cannot open").what(), "JOB.SEQ: cannot open");
}

}  // namespace
}  // namespace locseq::records
