#include "report/text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace locseq::report {
namespace {

TEST(ReportText, JobTextsAreEscapedAndMadeValidUtf8) {
  struct Case {
    std::string in, out;
  };
  const std::vector<Case> cases = {
      {"<b>x</b>", "&lt;b&gt;x&lt;/b&gt;"},
      {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
      {"a \"q\" & b", "a &quot;q&quot; &amp; b"},
      {"&amp;", "&amp;amp;"},
      {"Z\xC3\xBCrich \xE2\x80\x93 \xF0\x9F\x8C\xBE",
       "Z\xC3\xBCrich \xE2\x80\x93 \xF0\x9F\x8C\xBE"},
      {"\xFF\xFE"
       "ok",
       "\xEF\xBF\xBD\xEF\xBF\xBDok"},                            // bytes that begin nothing
      {"a\xC3", "a\xEF\xBF\xBD"},                                // cut short
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong '/'
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
      {std::string("a\0b", 3),
       "a\xEF\xBF\xBD"
       "b"},
      {"\x1B[31m\x7F\xC2\x85", "\xEF\xBF\xBD[31m\xEF\xBF\xBD\xEF\xBF\xBD"},  // C0, DEL, C1
      {"tab\tand\nline", "tab\tand\nline"},
      {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},  // U+FFFE
  };
  for (const Case& c : cases) EXPECT_EQ(escape(c.in), c.out) << c.in;
}

TEST(ReportText, NumbersAsTablesAndLabelsWriteThem) {
  EXPECT_EQ(round_trip(0.1), "0.1");
  EXPECT_EQ(round_trip(1.0 / 3.0), "0.3333333333333333");
  EXPECT_EQ(round_trip(1e-7), "1e-07");
  EXPECT_EQ(fixed(-0.001, 2), "0.00");
  EXPECT_EQ(fixed(0.745, 3), "0.745");
  EXPECT_EQ(fixed(std::numeric_limits<double>::quiet_NaN(), 2), "NA");
  EXPECT_EQ(significant(0.0601234, 3), "0.0601");
  EXPECT_EQ(significant(11.234, 3), "11.2");
  EXPECT_EQ(significant(2.5e-6, 2), "2.5e-06");
  EXPECT_EQ(coord(12.5), "12.5");
  EXPECT_EQ(coord(3.0), "3");
  EXPECT_EQ(coord(-0.001), "0");
}

TEST(ReportText, ShortenCountsCharactersNotBytes) {
  EXPECT_EQ(shorten("ABCDEFGH", 8), "ABCDEFGH");
  EXPECT_EQ(shorten("ABCDEFGHI", 8), "ABCDEFG\xE2\x80\xA6");
  EXPECT_EQ(shorten("\xC3\xBC\xC3\xBC\xC3\xBC", 2), "\xC3\xBC\xE2\x80\xA6");
  EXPECT_EQ(text_length("Z\xC3\xBCrich"), 6u);
  EXPECT_EQ(trimmed(Name8{'A', 'B', ' ', ' ', ' ', ' ', ' ', ' '}), "AB");
}

}  // namespace
}  // namespace locseq::report
