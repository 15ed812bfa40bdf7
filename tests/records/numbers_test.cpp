#include "records/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace locseq::records {
namespace {

TEST(ParseInteger, Forms) {
  const std::pair<const char*, std::int32_t> good[] = {
      {"0", 0},
      {"-0", 0},
      {"+5", 5},
      {"007", 7},
      {"-12", -12},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"000000000000000000000042", 42},
  };
  for (auto [t, v] : good) {
    std::int32_t out = -99;
    EXPECT_EQ(parse_integer(t, out), NumberStatus::Ok) << t;
    EXPECT_EQ(out, v) << t;
  }
  for (const char* t : {"2147483648", "-2147483649", "4294967296", "99999999999999999999999"}) {
    std::int32_t out = 0;
    EXPECT_EQ(parse_integer(t, out), NumberStatus::OutOfRange) << t;
  }
  for (const char* t : {"", "+", "-", "1.0", "1e3", " 1", "1 ", "0x10", "--1", "+-1", "1,2", "a"}) {
    std::int32_t out = 0;
    EXPECT_EQ(parse_integer(t, out), NumberStatus::Malformed) << t;
  }
}

// The nearest single-precision value, by the standard library.
float nearest(const char* s) {
  float f = 0.0f;
  std::from_chars(s, s + std::char_traits<char>::length(s), f);
  return f;
}

float parsed(std::string_view t, NumberStatus expected = NumberStatus::Ok) {
  float out = -99.0f;
  EXPECT_EQ(parse_real(t, out), expected) << t;
  return out;
}

TEST(ParseReal, EveryFreeFormatForm) {
  const std::pair<const char*, float> cases[] = {
      {".5", 0.5f},
      {"5.", 5.0f},
      {"+1.5", 1.5f},
      {"1.5D+02", 150.0f},
      {"2d3", 2000.0f},
      {"0.0D0", 0.0f},
      {"0e+00", 0.0f},
      {"12E3", 12000.0f},
      {"007.25", 7.25f},
      {"5.e3", 5000.0f},
      {"-.5e-1", -0.05f},
      {"+.1D1", 1.0f},
      {"0.1", 0.1f},
      {"1.1", 1.1f},
      {"1e0", 1.0f},
      {"-3", -3.0f},
      {"16777217", 16777216.0f},  // a tie between floats: to even
      {"16777219", 16777220.0f},
      {"3.4028235E38", std::numeric_limits<float>::max()},
      {"1.17549435E-38", std::numeric_limits<float>::min()},
      {"1e-45", std::numeric_limits<float>::denorm_min()},
  };
  for (auto [t, v] : cases) EXPECT_EQ(parsed(t), v) << t;
  EXPECT_TRUE(std::signbit(parsed("-0")));
  EXPECT_TRUE(std::signbit(parsed("-0.0D0")));
  for (const char* t : {"0.3", "123456789", "2.718281828459045235360287", "-6.02214076e23",
                        "9.999999e-39", "1e-40", "0.000001234567890123456789e-30"}) {
    EXPECT_EQ(parsed(t), nearest(t)) << t;
  }
  const float sub = parsed("1e-40");  // subnormals are kept
  EXPECT_GT(sub, 0.0f);
  EXPECT_LT(sub, std::numeric_limits<float>::min());
}

TEST(ParseReal, RoundsOnceToSinglePrecision) {
  // Just above the midpoint between 1 and the next float; its nearest double is
  // the midpoint itself, which a double-then-float conversion rounds to 1 (even).
  const char* above = "1.00000005960464477539062500001";
  ASSERT_EQ(static_cast<float>(1.00000005960464477539062500001), 1.0f);
  const float up = std::nextafter(1.0f, 2.0f);
  EXPECT_EQ(parsed(above), up);
  EXPECT_EQ(parsed("1.00000005960464477539062500001D0"), up);
  EXPECT_EQ(parsed("10.0000005960464477539062500001d-1"), up);
  EXPECT_EQ(parsed("1.000000059604644775390625"), 1.0f);  // the exact tie: to even
  EXPECT_EQ(parsed("1.00000005960464477539062499999"), 1.0f);
  float out = 0.0f;
  EXPECT_EQ(parse_real_implied("100000005960464477539062500001", 29, out), NumberStatus::Ok);
  EXPECT_EQ(out, up);
}

TEST(ParseReal, UnderflowReadsZeroOverflowIsOutOfRange) {
  for (const char* t : {"1e-50", "1D-50", "0.0000001e-40", "123e-99999999999", "7e-46"}) {
    EXPECT_EQ(parsed(t), 0.0f) << t;
  }
  EXPECT_TRUE(std::signbit(parsed("-1e-50")));
  for (const char* t : {"3.5E38", "1e999", "1D400", "-1e39", "3.4028237e38", "1e99999999999",
                        "340282370000000000000000000000000000000", "0.001e42"}) {
    parsed(t, NumberStatus::OutOfRange);
  }
  float out = 0.0f;
  EXPECT_EQ(parse_real_implied("35", -37, out), NumberStatus::OutOfRange);  // 3.5E38
}

TEST(ParseReal, Malformed) {
  for (const char* t : {"nan",  "NAN",   "inf",   "Infinity", "-inf",  "1e", "1E+", "1e-",
                        "0x1F", "1.5.2", "--3",   "+-3",      "abc",   "",   ".",   "-.",
                        "e5",   "D5",    "1e+",   "1.5E+2.0", "1E+-2", " 1", "1 ",  "1e5x",
                        "1.5f", "1,5",   "1.5Q2", "1ee5",     "1e5e5", "1D", "1d+", "1.5.2D0"}) {
    parsed(t, NumberStatus::Malformed);
  }
}

TEST(ParseRealImplied, LastDigitsAreDecimalsWithoutAPoint) {
  const struct {
    const char* t;
    int d;
    float v;
  } cases[] = {
      {"1234", 3, 1.234f},   {"1234", 0, 1234.0f},  {"12.34", 3, 12.34f},  // a point overrides d
      {"-1234", 2, -12.34f}, {"+1234", 3, 1.234f},  {"5", 3, 0.005f},     {"15E1", 3, 0.15f},
      {"1234D1", 3, 12.34f}, {"1234.", 3, 1234.0f}, {"0", 3, 0.0f},       {"1e-42", 3, 1e-45f},
  };
  for (const auto& c : cases) {
    float out = -99.0f;
    EXPECT_EQ(parse_real_implied(c.t, c.d, out), NumberStatus::Ok) << c.t;
    EXPECT_EQ(out, c.v) << c.t << " d=" << c.d;
  }
  float out = 0.0f;
  EXPECT_EQ(parse_real_implied("1.2.", 3, out), NumberStatus::Malformed);
  EXPECT_EQ(parse_real_implied("1e-50", 3, out), NumberStatus::Ok);
  EXPECT_EQ(out, 0.0f);
}

}  // namespace
}  // namespace locseq::records
