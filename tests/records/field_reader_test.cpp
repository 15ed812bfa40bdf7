#include "records/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/record_writer.h"
#include "support/memory_files.h"

namespace locseq::records {
namespace {

using locseq::testing::fails_at;
using locseq::testing::InFile;
using Ints = std::vector<std::int32_t>;

// Reads one number from `record` by `layout`: an integer by an I layout,
// else a real.
double read_one(const std::string& record, const char* layout) {
  InFile in(record);
  std::int32_t i = -99;
  float f = -99.0f;
  const bool integer = std::string(layout).find('I') != std::string::npos;
  const Target t[] = {integer ? Target(i) : Target(f)};
  EXPECT_TRUE(read_fields(in.reader, Layout(layout), t, "a test record"));
  return integer ? i : static_cast<double>(f);
}

TEST(ReadFields, NumberFields) {
  // Iw ignores blanks (all blank reads 0) and takes w columns; Fw.d as well,
  // and takes the last d digits as decimals when no point is written; a
  // literal skips its columns, a doubled quote standing for one.
  const struct {
    const char* record;
    const char* layout;
    float value;
  } cases[] = {
      // clang-format off
      {"  42", "(I4)", 42},  {"1 2", "(I4)", 12}, {"    ", "(I4)", 0},   {"\n", "(I4)", 0},
      {"  -5", "(I4)", -5},  {"+  7", "(I4)", 7}, {" 007", "(I4)", 7},   {"- 3 ", "(I4)", -3},
      {"12345", "(I4)", 1234}, {"-2147483648", "(I11)", INT32_MIN}, {"it's4200", "('it''s',I4)", 4200},
      {"      1234", "(F10.3)", 1.234f}, {"1234", "(F10.3)", 1.234f},  {"1 2 3 4", "(F10.3)", 1.234f},
      {"    -1234", "(F10.3)", -1.234f}, {"      12.5", "(F10.3)", 12.5f}, {"-.5", "(F10.3)", -0.5f},
      {"    1.5E2", "(F10.3)", 150},     {"1.5e+2", "(F10.3)", 150},      {"1.5D2", "(F10.3)", 150},
      {"1.5d-2", "(F10.3)", 0.015f},     {"15E1", "(F10.3)", 0.15f},      {"\n", "(F10.3)", 0},
      {"1234.", "(F10.3)", 1234},        {"   25", "(F5.0)", 25},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_one(c.record, c.layout), static_cast<double>(c.value)) << c.record;
  }
}

TEST(ReadFields, BadFieldsNameFileLineAndColumns) {
  const struct {
    const char* record;
    const char* layout;
    const char* words;
  } cases[] = {
      {"1,2", "(I4,F4.0)", "an integer in columns 1-4"},
      {"  + ", "(I4,F4.0)", "an integer in columns 1-4"},
      {"   -", "(I4,F4.0)", "an integer in columns 1-4"},
      {"  ab", "(I4,F4.0)", "an integer in columns 1-4"},
      {"   1  x1", "(I4,F4.0)", "a number in columns 5-8"},
      {"   1 1.2.", "(I4,F5.0)", "a number in columns 5-9"},
      {"9999999999", "(I10,F4.0)", "an integer within 32 bits in columns 1-10"},
      {"   11e99", "(I4,F4.0)", "a number within single precision in columns 5-8"},
  };
  for (const auto& c : cases) {
    InFile in(c.record, "JOB.CLS");
    std::int32_t i = 0;
    float f = 0.0f;
    const Target t[] = {i, f};
    EXPECT_TRUE(fails_at([&] { read_fields(in.reader, Layout(c.layout), t, "a test record"); }, 1,
                         std::string(c.words) + " of a test record", "JOB.CLS"));
  }
}

TEST(ReadFields, TextFields) {
  InFile in("abcdefgh\n     Y     N     y     x\n     Y\n     3    1997\n");
  // A4 into 2 characters keeps the last 2; A3 into 6 pads on the right; A
  // into 3 takes 3 (and the record is then over: blanks).
  std::string a(2, '?'), b(6, '?'), c(3, '?');
  const Target abc[] = {std::span<char>(a), std::span<char>(b), std::span<char>(c)};
  read_fields(in.reader, Layout("(A4,A3,A)"), abc, "texts");
  EXPECT_EQ(a + "|" + b + "|" + c, "cd|efg   |h  ");

  std::string o(4, '?');
  const Target opts[] = {std::span<char>(&o[0], 1), std::span<char>(&o[1], 1),
                         std::span<char>(&o[2], 1), std::span<char>(&o[3], 1)};
  read_fields(in.reader, Layout("(4(5X,A1))"), opts, "options");
  EXPECT_EQ(o, "YNyx");
  read_fields(in.reader, Layout("(4(5X,A1))"), opts, "options");  // short: blanks
  EXPECT_EQ(o, "Y   ");

  std::int32_t count = 0;
  std::string name(8, '?');
  const Target head[] = {count, std::span<char>(name)};
  read_fields(in.reader, Layout("(I6,4X,A8)"), head, "year header");
  EXPECT_EQ(count, 3);
  EXPECT_EQ(name, "1997    ");
}

TEST(ReadFields, HierarchyRecordReadsItsOwnEcho) {
  constexpr Layout in_layout("(3X,I4,2X,I4,2X,I4,1X,F10.3)");
  constexpr Layout echo("(3X,I4,1X,'+',I4,1X,'=',I4,1X,F10.3)");
  const std::string line = format(echo, {12, 3, 14, 0.5f});
  ASSERT_EQ(line, "     12 +   3 =  14      0.500\n");
  std::string plain = line;
  plain[8] = plain[14] = ' ';
  // Read by the echo layout itself, each text skips its own columns.
  for (const auto& [text, layout] :
       {std::pair{line, in_layout}, std::pair{plain, in_layout},
        std::pair{std::string("     12    3   14        500"), in_layout}, std::pair{line, echo}}) {
    InFile in(text);
    std::int32_t i = 0, j = 0, ij = 0;
    float d = 0.0f;
    const Target t[] = {i, j, ij, d};
    ASSERT_TRUE(read_fields(in.reader, layout, t, "hierarchy"));
    EXPECT_EQ((Ints{i, j, ij}), (Ints{12, 3, 14})) << text;
    EXPECT_EQ(d, 0.5f) << text;
  }
}

TEST(ReadFields, SlashesAndResumptionConsumeRecords) {
  InFile in("   1\n   2\n   3\n   4\n   5\nlast\n");
  std::int32_t a = 0, b = 0, c = 0;
  const Target two[] = {a, b};
  read_fields(in.reader, Layout("(I4,/,I4)"), two, "pair");
  EXPECT_EQ((Ints{a, b}), (Ints{1, 2}));
  const Target three[] = {a, b, c};
  read_fields(in.reader, Layout("(I4)"), three, "triple");  // one record for each
  EXPECT_EQ((Ints{a, b, c}), (Ints{3, 4, 5}));
  EXPECT_EQ(in.next(), "last");

  InFile skip("one\ntwo\nthree\n");
  read_fields(skip.reader, Layout("(/)"), {}, "two records");
  EXPECT_EQ(skip.next(), "three");
}

TEST(ReadFields, EndOfStream) {
  std::int32_t a = 0, b = 0;
  const Target t[] = {a, b};
  InFile empty("");
  EXPECT_FALSE(read_fields(empty.reader, Layout("(I4,/,I4)"), t, "pair"));
  InFile cut("   1\n", "JOB.CLS");
  EXPECT_TRUE(fails_at([&] { read_fields(cut.reader, Layout("(I4,/,I4)"), t, "the pair"); }, 2,
                       "ends inside the pair", "JOB.CLS"));
}

}  // namespace
}  // namespace locseq::records
