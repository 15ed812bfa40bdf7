#include "report/markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace locseq::report {
namespace {

constexpr const char* kFsi = "\xE2\x81\xA8";  // U+2068 FIRST STRONG ISOLATE
constexpr const char* kPdi = "\xE2\x81\xA9";  // U+2069 POP DIRECTIONAL ISOLATE
constexpr const char* kRli = "\xE2\x81\xA7";  // U+2067 RIGHT-TO-LEFT ISOLATE
constexpr const char* kLri = "\xE2\x81\xA6";  // U+2066 LEFT-TO-RIGHT ISOLATE
constexpr const char* kRlo = "\xE2\x80\xAE";  // U+202E RIGHT-TO-LEFT OVERRIDE
constexpr const char* kRlm = "\xE2\x80\x8F";  // U+200F RIGHT-TO-LEFT MARK

std::string s(std::initializer_list<const char*> parts) {
  std::string out;
  for (const char* p : parts) out += p;
  return out;
}

TEST(ReportMarkup, AJobTextIsEscapedAndIsolatedWhereverItGoes) {
  struct Case {
    std::string name, raw;
    std::string inside;  // what stands between the isolation, escaped
  };
  const std::vector<Case> cases = {
      {"plain", "ALDER", "ALDER"},
      {"markup", "<b>\"x\" & 'y'</b>", "&lt;b&gt;&quot;x&quot; &amp; &#39;y&#39;&lt;/b&gt;"},
      {"an override, kept inside", s({kRlo, "ABC"}), s({kRlo, "ABC"})},
      {"a mark, kept", s({"ABC", kRlm}), s({"ABC", kRlm})},
      {"an isolate left open is closed", s({kRli, "ABC"}), s({kRli, "ABC", kPdi})},
      {"two left open", s({kRli, "A", kLri, "B"}), s({kRli, "A", kLri, "B", kPdi, kPdi})},
      {"a closed isolate stays", s({kLri, "A", kPdi, "B"}), s({kLri, "A", kPdi, "B"})},
      {"a stray close is dropped", s({"A", kPdi, kRlo, "B"}), s({"A", kRlo, "B"})},
      {"a byte that is not UTF-8, a control", "\xFF\x1B", "\\xFF\xEF\xBF\xBD"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const JobText job(c.raw);
    Html html;
    html << job;
    EXPECT_EQ(html.str(), "<bdi>" + c.inside + "</bdi>");
    EXPECT_EQ(escape(Text(job)), kFsi + c.inside + kPdi);
    EXPECT_EQ(Html::flat(job).str(), kFsi + c.inside + kPdi);
  }
}

TEST(ReportMarkup, WordsAreEscapedLiteralsAreMarkup) {
  const JobText name(s({kRlo, "OAK"}));
  const Text said = "step 3 (" + name + "), 'best' & more";
  EXPECT_EQ(escape(said), s({"step 3 (", kFsi, kRlo, "OAK", kPdi, "), &#39;best&#39; &amp; more"}));
  Html html = "<p>";
  html << said << std::string("<i>") << std::string_view("&") << 42 << "</p>";
  EXPECT_EQ(html.str(), s({"<p>step 3 (<bdi>", kRlo,
                           "OAK</bdi>), &#39;best&#39; &amp; more&lt;i&gt;&amp;42</p>"}));
}

TEST(ReportMarkup, AJobTextIsCutAndMeasuredAsShown) {
  const JobText name("Z\xC3\xBCrich\xFF");
  EXPECT_EQ(name.length(), 10u);  // the byte shown as \xFF
  EXPECT_EQ(escape(Text(name.shortened(4))), s({kFsi, "Z\xC3\xBCr\xE2\x80\xA6", kPdi}));
  EXPECT_TRUE(JobText().empty());
  EXPECT_TRUE(Text().empty());
}

}  // namespace
}  // namespace locseq::report
