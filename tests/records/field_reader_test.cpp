#include "records/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "records/record_writer.h"

namespace locseq::records {
namespace {

// An in-memory input file.
struct Input {
  explicit Input(std::string text) : stream(std::move(text)), reader(stream, "JOB.CLS") {}
  std::string next() {
    std::string_view r;
    return reader.next(r) ? std::string(r) : "<end>";
  }
  std::istringstream stream;
  RecordReader reader;
};

std::int32_t read_int(const std::string& record, const char* layout = "(I4)") {
  Input in(record);
  std::int32_t v = -99;
  const Target t[] = {v};
  EXPECT_TRUE(read_fields(in.reader, Layout(layout), t, "a test record"));
  return v;
}

float read_real(const std::string& record, const char* layout = "(F10.3)") {
  Input in(record);
  float v = -99.0f;
  const Target t[] = {v};
  EXPECT_TRUE(read_fields(in.reader, Layout(layout), t, "a test record"));
  return v;
}

// Reads `record` by `layout` into one integer and expects an InputError
// naming the file, line 1, the columns and `word`.
void expect_bad(const std::string& record, const char* layout, const char* columns,
                const char* word) {
  Input in(record);
  std::int32_t i = 0;
  float f = 0.0f;
  const Target t[] = {i, f};
  try {
    read_fields(in.reader, Layout(layout), t, "a test record");
    ADD_FAILURE() << "no error for '" << record << "' by " << layout;
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "JOB.CLS");
    EXPECT_EQ(e.line(), 1);
    EXPECT_NE(e.message().find(columns), std::string::npos) << e.what();
    EXPECT_NE(e.message().find(word), std::string::npos) << e.what();
    EXPECT_NE(e.message().find("a test record"), std::string::npos) << e.what();
  }
}

TEST(ReadFields, IntegerFields) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"  42", 42}, {"1 2", 12}, {"    ", 0},  {"\n", 0},       {"  -5", -5},
      {"+  7", 7},  {" 007", 7}, {"- 3 ", -3}, {"12345", 1234},  // the field is 4 wide
  };
  for (auto [record, v] : cases) EXPECT_EQ(read_int(record), v) << "'" << record << "'";
  EXPECT_EQ(read_int("-2147483648", "(I11)"), INT32_MIN);
}

TEST(ReadFields, BadFieldsNameFileLineAndColumns) {
  expect_bad("1,2", "(I4,F4.0)", "columns 1-4", "integer");
  expect_bad("  + ", "(I4,F4.0)", "columns 1-4", "integer");
  expect_bad("   -", "(I4,F4.0)", "columns 1-4", "integer");
  expect_bad("  ab", "(I4,F4.0)", "columns 1-4", "integer");
  expect_bad("   1  x1", "(I4,F4.0)", "columns 5-8", "number");
  expect_bad("   1 1.2.", "(I4,F5.0)", "columns 5-9", "number");
  expect_bad("9999999999", "(I10,F4.0)", "columns 1-10", "32 bits");
  expect_bad("   11e99", "(I4,F4.0)", "columns 5-8", "single precision");
}

TEST(ReadFields, RealFields) {
  const std::pair<const char*, float> cases[] = {
      {"      1234", 1.234f}, {"1234", 1.234f},      {"1 2 3 4", 1.234f},
      {"    -1234", -1.234f}, {"      12.5", 12.5f}, {"12.5", 12.5f},
      {"-.5", -0.5f},         {"    1.5E2", 150.0f}, {"1.5e+2", 150.0f},
      {"1.5D2", 150.0f},      {"1.5d-2", 0.015f},    {"15E1", 0.15f},  // implied, then E1
      {"\n", 0.0f},           {"          ", 0.0f},  {"1234.", 1234.0f},
  };
  for (auto [record, v] : cases) EXPECT_EQ(read_real(record), v) << "'" << record << "'";
  EXPECT_EQ(read_real("   25", "(F5.0)"), 25.0f);
}

TEST(ReadFields, TextFields) {
  Input in("abcdefgh");
  std::vector<char> a(2), b(6), c(3);
  const Target t[] = {std::span<char>(a), std::span<char>(b), std::span<char>(c)};
  // A4 into 2 characters keeps the last 2; A3 into 6 pads on the right; A into 3 takes 3
  // (and the record is then over: blanks).
  read_fields(in.reader, Layout("(A4,A3,A)"), t, "texts");
  EXPECT_EQ(std::string(a.begin(), a.end()), "cd");
  EXPECT_EQ(std::string(b.begin(), b.end()), "efg   ");
  EXPECT_EQ(std::string(c.begin(), c.end()), "h  ");
}

TEST(ReadFields, ALiteralSkipsItsColumnsWithADoubledQuoteAsOne) {
  EXPECT_EQ(read_int("it's4200", "('it''s',I4)"), 4200);
}

TEST(ReadFields, OptionsAndYearHeader) {
  Input in("     Y     N     y     x\n     Y\n     3    1997\n");
  char o[4][1];
  const Target opts[] = {std::span<char>(o[0]), std::span<char>(o[1]), std::span<char>(o[2]),
                         std::span<char>(o[3])};
  read_fields(in.reader, Layout("(4(5X,A1))"), opts, "options");
  EXPECT_EQ(std::string({o[0][0], o[1][0], o[2][0], o[3][0]}), "YNyx");
  read_fields(in.reader, Layout("(4(5X,A1))"), opts, "options");  // short: blanks
  EXPECT_EQ(std::string({o[0][0], o[1][0], o[2][0], o[3][0]}), "Y   ");

  std::int32_t count = 0;
  char name[8];
  const Target head[] = {count, std::span<char>(name)};
  read_fields(in.reader, Layout("(I6,4X,A8)"), head, "year header");
  EXPECT_EQ(count, 3);
  EXPECT_EQ(std::string(name, 8), "1997    ");
}

TEST(ReadFields, HierarchyRecordReadsItsOwnEcho) {
  constexpr Layout in_layout("(3X,I4,2X,I4,2X,I4,1X,F10.3)");
  constexpr Layout echo("(3X,I4,1X,'+',I4,1X,'=',I4,1X,F10.3)");
  std::string line = format(echo, {12, 3, 14, 0.5f});
  ASSERT_EQ(line, "     12 +   3 =  14      0.500\n");
  std::string plain = line;
  plain[8] = plain[14] = ' ';
  for (const std::string& text : {line, plain, std::string("     12    3   14        500")}) {
    Input in(text);
    std::int32_t i = 0, j = 0, ij = 0;
    float d = 0.0f;
    const Target t[] = {i, j, ij, d};
    ASSERT_TRUE(read_fields(in.reader, in_layout, t, "hierarchy"));
    EXPECT_EQ(std::vector<std::int32_t>({i, j, ij}), std::vector<std::int32_t>({12, 3, 14}));
    EXPECT_EQ(d, 0.5f) << text;
  }
  // Read by the echo layout itself, each text skips its own columns.
  Input again(line);
  std::int32_t i = 0, j = 0, ij = 0;
  float d = 0.0f;
  const Target t[] = {i, j, ij, d};
  read_fields(again.reader, echo, t, "echo");
  EXPECT_EQ(std::vector<std::int32_t>({i, j, ij}), std::vector<std::int32_t>({12, 3, 14}));
  EXPECT_EQ(d, 0.5f);
}

TEST(ReadFields, SlashesAndResumptionConsumeRecords) {
  Input in("   1\n   2\n   3\n   4\n   5\nlast\n");
  std::int32_t a = 0, b = 0, c = 0;
  const Target two[] = {a, b};
  read_fields(in.reader, Layout("(I4,/,I4)"), two, "pair");
  EXPECT_EQ(a * 10 + b, 12);
  const Target three[] = {a, b, c};
  read_fields(in.reader, Layout("(I4)"), three, "triple");  // one record for each
  EXPECT_EQ(a * 100 + b * 10 + c, 345);
  EXPECT_EQ(in.next(), "last");

  Input skip("one\ntwo\nthree\n");
  read_fields(skip.reader, Layout("(/)"), {}, "two records");
  EXPECT_EQ(skip.next(), "three");
}

TEST(ReadFields, EndOfStream) {
  Input empty("");
  std::int32_t a = 0, b = 0;
  const Target t[] = {a, b};
  EXPECT_FALSE(read_fields(empty.reader, Layout("(I4,/,I4)"), t, "pair"));

  Input cut("   1\n");
  try {
    read_fields(cut.reader, Layout("(I4,/,I4)"), t, "the pair");
    ADD_FAILURE() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "JOB.CLS");
    EXPECT_EQ(e.line(), 2);
    EXPECT_NE(e.message().find("ends inside the pair"), std::string::npos) << e.what();
  }
}

// Free format.

std::vector<std::int32_t> free_ints(Input& in, std::size_t n) {
  std::vector<std::int32_t> v(n, -99);
  read_free_integers(in.reader, v, "the head");
  return v;
}

TEST(ReadFreeIntegers, Forms) {
  struct Case {
    const char* text;
    std::vector<std::int32_t> expected;
  };
  const Case cases[] = {
      {"1 2 3 4 5\nnext", {1, 2, 3, 4, 5}},
      {"1\n\n2,3\n  \n 4\t5 6 7\nnext", {1, 2, 3, 4, 5}},  // rest of the record skipped
      {"1,2,\nnext", {1, 2}},
      {"1,2,3\nnext", {1, 2, 3}},
      {"1 , 2\r\nnext", {1, 2}},
      {"007 -3 +4\nnext", {7, -3, 4}},
      {"3*1 2\nnext", {1, 1, 1, 2}},
      {"2*7,3*-1 9\nnext", {7, 7, -1, -1}},
      {"2147483647 -2147483648\nnext", {INT32_MAX, INT32_MIN}},
      {"1\n,2\nnext", {1, 2}},  // a comma after a line end separates
  };
  for (const Case& c : cases) {
    Input in(c.text);
    EXPECT_EQ(free_ints(in, c.expected.size()), c.expected) << c.text;
    EXPECT_EQ(in.next(), "next") << c.text;
  }
  Input two("1 2 99\n3\n");
  EXPECT_EQ(free_ints(two, 2), std::vector<std::int32_t>({1, 2}));
  EXPECT_EQ(free_ints(two, 1), std::vector<std::int32_t>({3}));
  EXPECT_EQ(two.reader.line(), 2);
}

TEST(ReadFreeIntegers, Errors) {
  struct Case {
    const char* text;
    std::size_t n;
    long line;
    const char* word;
  };
  const Case cases[] = {
      {"1 x", 2, 1, "integer"},        {"\n1.5", 1, 2, "integer"},
      {"2147483648", 1, 1, "32 bits"}, {"-2147483649", 1, 1, "32 bits"},
      {"1,,2", 2, 1, "empty"},         {"1, ,2", 2, 1, "empty"},
      {",1", 1, 1, "empty"},           {"1\n2/3", 3, 2, "'/'"},
      {"3* 1", 2, 1, "repeat"},        {"x*1", 2, 1, "repeat"},
      {"0*1 2", 2, 1, "repeat"},       {"-2*1", 2, 1, "repeat"},
      {"+2*1", 2, 1, "repeat"},        {"1 2\n", 3, 2, "ends"},
      {"\n\n5", 2, 4, "ends"},         {"", 1, 1, "ends"},
      {"1 2 3e0", 3, 1, "integer"},
  };
  for (const Case& c : cases) {
    Input in(c.text);
    try {
      free_ints(in, c.n);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "JOB.CLS") << c.text;
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.what();
      EXPECT_NE(e.message().find("the head"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace locseq::records
