#include "formats/fusion_level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "records/numbers.h"

namespace locseq::formats::cls {
namespace {

// The field read back as the run reads it: blanks dropped, three implied decimals.
float read_back(const std::string& field) {
  std::string token;
  for (char c : field) {
    if (c != ' ') token += c;
  }
  float out = -1.0f;
  EXPECT_EQ(records::parse_real_implied(token, 3, out), records::NumberStatus::Ok) << field;
  return out;
}

int digits_in(const std::string& field) {
  int n = 0;
  bool started = false;
  for (char c : field) {
    if (c == 'E') break;
    if (c >= '1' && c <= '9') started = true;
    n += started && c >= '0' && c <= '9';
  }
  return n;
}

TEST(FusionLevelField, Forms) {
  const struct {
    double v;
    const char* field;
  } cases[] = {
      {0.0, "       0.0"},
      {-0.0, "       0.0"},
      {0.5, ".500000000"},
      {1.0, "1.00000000"},
      {1234.5678, "1234.56780"},
      {-2.5, "-2.5000000"},
      {123456789.0, "123456789."},
      {999999999.6, "1.000000E9"},
      {1234567890.0, "1.234568E9"},
      {99999.999999, "100000.000"},
      {0.001234567891, ".001234568"},
      {0.000123456789, ".000123457"},
      {0.0000123456789, "1.23457E-5"},
      {1.23456789e-10, "1.2346E-10"},
      {3.0e38, "3.00000E38"},
      {1e-30, "1.0000E-30"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fusion_level_field(c.v), c.field) << c.v;
  }
}

// Across magnitudes: ten columns, a point, as many digits as fit, the value
// correctly rounded to them, and the nearest single-precision value whenever
// nine digits fit.
TEST(FusionLevelField, ReadsBackTheNearestValue) {
  // The most digits a field with a point holds for a value of magnitude 10^e:
  // fixed "123456789." down to ".000123457", or exponent "1.23457E-6".
  auto most_digits = [](int e) {
    const int fixed = e >= 0 ? (e <= 8 ? 9 : 0) : 10 + e;
    return std::max(fixed, 8 - static_cast<int>(std::to_string(e).size()));
  };
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int e = -12; e <= 37; ++e) {
    for (int k = 0; k < 200; ++k) {
      const double v = mantissa(rng) * std::pow(10.0, e);
      const std::string f = fusion_level_field(v);
      ASSERT_EQ(f.size(), 10u);
      ASSERT_NE(f.find('.'), std::string::npos) << f;
      const float back = read_back(f);
      const int p = digits_in(f);
      EXPECT_EQ(p, most_digits(e)) << f;
      if (p >= 9) {
        EXPECT_EQ(back, static_cast<float>(v)) << f << " for " << v;
      } else {
        const double half_digit = 0.5 * std::pow(10.0, std::floor(std::log10(v)) - p + 1);
        EXPECT_LE(std::fabs(static_cast<double>(back) - v), half_digit * (1 + 1e-6) + v * 1e-7)
            << f;
      }
    }
  }
}

// Just above the midpoint of two single-precision values, rounding to nine
// digits can fall back below it; the field must still read back the upper one.
TEST(FusionLevelField, NineDigitsNearAMidpoint) {
  int fallbacks = 0;
  for (float f : {1.0f, 3.7f, 77.1f, 4096.0f, 0.15f, 5.0e6f, 2.0e8f}) {
    for (int k = 0; k < 2000; ++k, f = std::nextafter(f, 1e30f)) {
      const float up = std::nextafter(f, 1e30f);
      const double v =
          std::nextafter((static_cast<double>(f) + static_cast<double>(up)) / 2, 1e300);
      ASSERT_EQ(static_cast<float>(v), up);
      const std::string field = fusion_level_field(v);
      EXPECT_EQ(read_back(field), up) << field << " for " << v;
      char plain[32];
      std::snprintf(plain, sizeof plain, "%.8e", v);
      fallbacks += std::strtof(plain, nullptr) != up;
    }
  }
  EXPECT_GT(fallbacks, 0);  // the cases above do reach the fallback
}

}  // namespace
}  // namespace locseq::formats::cls
