#include "report/page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "report/sample_results.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// The names of the elements a text opens or closes, in order. Since every
// text of the job is escaped, each '<' left comes from the writer.
std::vector<std::string> tags(const std::string& doc) {
  std::vector<std::string> out;
  for (std::size_t at = doc.find('<'); at != std::string::npos; at = doc.find('<', at + 1)) {
    std::size_t end = at + 1;
    while (end < doc.size() && (std::isalnum(static_cast<unsigned char>(doc[end])) ||
                                doc[end] == '/' || doc[end] == '!' || doc[end] == '?')) {
      ++end;
    }
    out.push_back(doc.substr(at + 1, end - at - 1));
  }
  return out;
}

std::size_t count(const std::string& doc, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = doc.find(what); at != std::string::npos; at = doc.find(what, at + 1)) ++n;
  return n;
}

std::string page_of(const sample::Job& job) {
  return write_page(job.head, job.blocks, job.page);
}

TEST(ReportPage, HostileTextsCreateNoElement) {
  const sample::Job plain = sample::make_job(false), hostile = sample::make_job(true);
  const std::string page = page_of(hostile);
  const std::set<std::string> writer = {"!DOCTYPE",   "html",
                                        "head",       "meta",
                                        "title",      "style",
                                        "body",       "header",
                                        "nav",        "main",
                                        "section",    "footer",
                                        "div",        "p",
                                        "h1",         "h2",
                                        "h3",         "h4",
                                        "a",          "span",
                                        "strong",     "code",
                                        "dl",         "dt",
                                        "dd",         "ul",
                                        "li",         "table",
                                        "thead",      "tbody",
                                        "tr",         "th",
                                        "td",         "figure",
                                        "figcaption", "svg",
                                        "desc",       "defs",
                                        "g",          "rect",
                                        "line",       "path",
                                        "circle",     "text",
                                        "pattern",    "linearGradient",
                                        "stop",       "?xml",
                                        "bdi"};
  for (const std::string& tag : tags(page)) {
    EXPECT_TRUE(writer.count(tag[0] == '/' ? tag.substr(1) : tag)) << tag;
  }
  EXPECT_EQ(tags(page), tags(page_of(plain)));
  EXPECT_EQ(clean_utf8(page), page);  // well-formed, no control character
  for (const char* shown :
       {"&lt;b&gt;x&lt;/b&gt;", "&lt;script&gt;alert(1)&lt;/script&gt;",
        "Tom &amp; Jerry&#39;s &quot;farm&quot; &lt;b&gt;bold&lt;/b&gt;",
        "&lt;i&gt;Trial&lt;/i&gt;", "&lt;img src=x onerror=alert(1)&gt;.CLS", "Z\xC3\xBCrich",
        "S\xC3\xA3o Paulo \xE2\x80\x93 \\xFF bad", "\\xFF\\xFEBAD", "&lt;b&gt;20&lt;/b"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  }

  const auto plots = write_plots(hostile.head, hostile.blocks, hostile.page);
  const auto plain_plots = write_plots(plain.head, plain.blocks, plain.page);
  for (const auto& [name, svg] : plots) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns="));
    EXPECT_EQ(tags(svg), tags(plain_plots.at(name)));
    EXPECT_EQ(clean_utf8(svg), svg);
    EXPECT_EQ(svg.find("]]>"), std::string::npos);
  }
}

// The offsets of the bidi controls of a document that stand outside every
// <bdi> element and every U+2068 ... U+2069 (an isolate the job's text opens
// itself counts as one).
std::vector<std::size_t> loose_controls(const std::string& doc) {
  const std::string fsi = "\xE2\x81\xA8", pdi = "\xE2\x81\xA9", rli = "\xE2\x81\xA7",
                    rlo = "\xE2\x80\xAE", rlm = "\xE2\x80\x8F";
  std::vector<std::size_t> out;
  int depth = 0;
  for (std::size_t at = 0; at < doc.size(); ++at) {
    const std::string_view rest(doc.data() + at, doc.size() - at);
    if (depth <= 0 && (rest.starts_with(rli) || rest.starts_with(rlo) || rest.starts_with(rlm))) {
      out.push_back(at);
    }
    if (rest.starts_with("<bdi>") || rest.starts_with(fsi) || rest.starts_with(rli)) {
      ++depth;
    } else if (rest.starts_with("</bdi>") || rest.starts_with(pdi)) {
      --depth;
    }
  }
  return out;
}

TEST(ReportPage, EveryTextOfTheJobIsIsolated) {
  const sample::Job job = sample::make_bidi_job();
  const std::string page = page_of(job);
  EXPECT_EQ(loose_controls(page), std::vector<std::size_t>{});
  for (const char* shown : {"<title>\xE2\x81\xA8\xE2\x80\xAE"
                            "BARLEY\xE2\x81\xA9 \xC2\xB7 ",
                            "<bdi>\xE2\x80\xAE"
                            "Birch Hollow</bdi>",
                            "<bdi>\xE2\x81\xA7MAPLE\xE2\x81\xA9</bdi>",
                            "<bdi>\xE2\x80\xAE"
                            "Iron Range</bdi>",
                            "Step 6 (\xE2\x81\xA8\xE2\x80\xAE"
                            "2024\xE2\x81\xA9): 14 retained"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  }
  for (const auto& [name, svg] : write_plots(job.head, job.blocks, job.page)) {
    EXPECT_EQ(loose_controls(svg), std::vector<std::size_t>{}) << name;
    EXPECT_EQ(svg.find("<bdi>"), std::string::npos) << name;
  }
}

TEST(ReportPage, SameInputsSameBytes) {
  const sample::Job job = sample::make_job(true);
  EXPECT_EQ(page_of(job), page_of(sample::make_job(true)));
  const auto plots = write_plots(job.head, job.blocks, job.page);
  EXPECT_EQ(plots, write_plots(job.head, job.blocks, job.page));
  std::set<std::string> names;
  for (const auto& plot : plots) names.insert(plot.first);
  EXPECT_EQ(names, (std::set<std::string>{"fit.svg", "fit_by_year.svg", "stability.svg",
                                          "step-1.svg", "step-2.svg", "step-3.svg", "step-4.svg",
                                          "step-5.svg", "step-6.svg"}));
}

TEST(ReportPage, UndefinedFitIsHatchedAndWrittenNA) {
  sample::Job job = sample::make_job(false);
  // The sample leaves one RSQj undefined: one hatched cell besides the legend's.
  std::string page = page_of(job);
  EXPECT_EQ(count(page, "fill=\"url(#fit-by-year-na)\""), 2u);
  EXPECT_NE(page.find("with allocated locations: RSQj NA (undefined)"), std::string::npos);

  job.blocks[3].fit[kWithAllocated].years[1].sums = job.blocks[3].fit[kWithAllocated].years[0].sums;
  job.blocks[0].fit[kClassified].overall.rsq_defined = false;
  page = page_of(job);
  EXPECT_EQ(count(page, "fill=\"url(#fit-by-year-na)\""), 1u);
  EXPECT_NE(page.find("<code>rsq_classified</code></th><td class=\"num na\">NA</td>"),
            std::string::npos);
}

TEST(ReportPage, CloseAllocationsAndRepresentativesAreNamed) {
  sample::Job job = sample::make_job(false);
  EXPECT_EQ(count(page_of(job), ">close: 2.0 %</span>"), 0u);
  // An eliminated location whose runner-up is 2 % farther than its group.
  BlockResult& b = job.blocks[0];
  ASSERT_FALSE(b.eliminated.empty());
  EliminatedLocation& e = b.eliminated[0];
  ASSERT_GE(e.mean_sed.size(), 2u);
  std::fill(e.cells.begin(), e.cells.end(), 3);
  std::fill(e.mean_sed.begin(), e.mean_sed.end(), 9.0);
  e.mean_sed[0] = 1.0;
  e.mean_sed[1] = 1.02;
  e.group = 1;
  // Group 1's second member is the nearest its centroid.
  Group& g = b.groups[0];
  ASSERT_GE(g.members.size(), 2u);
  g.member_cells.assign(g.members.size(), 3);
  g.member_sed.assign(g.members.size(), 0.5);
  g.member_sed[1] = 0.25;
  const std::string page = page_of(job);
  EXPECT_EQ(count(page, ">close: 2.0 %</span>"), 1u);
  EXPECT_NE(page.find("<span title=\"mean squared distance to the centroid 0.25\">"),
            std::string::npos);
}

TEST(ReportPage, TheNumbersOfTheTables) {
  const sample::Job job = sample::make_job(false);
  const std::string page = page_of(job);
  for (const BlockResult& b : job.blocks) {
    for (const VariantFit& v : b.fit) {
      for (const double value : {v.overall.TSS, v.overall.ESS, v.overall.RSS, v.overall.RSQ}) {
        // Four significant digits shown, the full value on hover.
        const std::string cell =
            "title=\"" + round_trip(value) + "\">" + significant(value, 4) + "<";
        EXPECT_NE(page.find(cell), std::string::npos) << value;
      }
    }
  }
  EXPECT_NE(page.find("<code>stability_ari</code></th><td class=\"num na\">NA</td>"),
            std::string::npos);
  // The best step is said in words; full names stand for the 8-character ones.
  EXPECT_NE(page.find("step 6 (<bdi>2024</bdi>)</a></strong> fits best"), std::string::npos);
  EXPECT_NE(page.find("Birch Hollow"), std::string::npos);
  EXPECT_EQ(page.find(">BIRCH<"), std::string::npos);
  // Every chart has a text alternative.
  EXPECT_EQ(count(page, "<svg "), count(page, "role=\"img\" aria-labelledby="));
  EXPECT_EQ(count(page, "<svg "), count(page, "<desc id="));
}

// The page's text with its markup taken out.
std::string words(const std::string& page) {
  std::string out;
  bool in_tag = false;
  for (const char c : page) {
    if (c == '<') in_tag = true;
    if (!in_tag) out += c;
    if (c == '>') in_tag = false;
  }
  return out;
}

TEST(ReportPage, AtAGlanceSaysWhatItCounts) {
  const std::string page = words(page_of(sample::make_job(false)));
  for (const char* said : {
           "Best fit: the classification of step 6 (2024), adjusted RSQ 0.644 (RSQ 0.745; 14 "
           "locations in 4 groups).",
           "Weakest fit: step 5 (2023), adjusted RSQ 0.550 (RSQ 0.700; 12 locations in 4 groups).",
           "Single-site groups: in 1 of the 6 steps (step 5 (2023) has 1).",
           "Stability: 1 location changed group between steps; the groups changed most from "
           "step 2 (2020) to step 3 (2021) (index 0.821).",
           "Eliminated locations: 14 eliminations over the 6 steps (a location counts once in "
           "each step that eliminates it); 13 of them were allocated to the nearest group.",
       }) {
    EXPECT_NE(page.find(said), std::string::npos) << said;
  }
}

TEST(ReportPage, ARunWithoutStepsStillMakesAPage) {
  sample::Job job = sample::make_job(false);
  job.blocks.clear();
  const std::string page = page_of(job);
  EXPECT_NE(page.find("The job has no steps."), std::string::npos);
  EXPECT_EQ(write_plots(job.head, job.blocks, job.page).size(), 3u);
}

TEST(ReportPage, ResultsThatDisagreeWithThemselvesAreDrawnAsFarAsTheyGo) {
  struct Case {
    std::string name;
    void (*spoil)(sample::Job&);
    const char* said;  // on the page
  };
  const std::vector<Case> cases = {
      {"no cut", [](sample::Job& j) { j.blocks[0].CutLevel = 0; }, "Every record is applied"},
      {"more groups than locations", [](sample::Job& j) { j.blocks[0].CutLevel = 99; },
       "Heights are"},
      {"a retained count the vector denies", [](sample::Job& j) { j.blocks[0].RetainedCount = 3; },
       "differs from the entries 1"},
      {"no hierarchy", [](sample::Job& j) { j.blocks[0].hierarchy.clear(); },
       "do not form a hierarchy"},
      {"a label below 1", [](sample::Job& j) { j.blocks[0].hierarchy[0].Gpi = -5; },
       "do not form a hierarchy"},
      {"an infinite level",
       [](sample::Job& j) { j.blocks[0].hierarchy[0].D = std::numeric_limits<float>::infinity(); },
       "order of the joins"},
      {"no groups", [](sample::Job& j) { j.blocks[1].groups.clear(); }, "Each step"},
      {"an allocation to no such group",
       [](sample::Job& j) {
         j.blocks[0].eliminated[0].group = 42;
         j.blocks[0].eliminated[0].cells.clear();
         j.blocks[0].eliminated[0].mean_sed.clear();
       },
       "Each step"},
      {"years outside the run",
       [](sample::Job& j) {
         j.blocks[2].fit[0].years[0].year = -7;
         j.blocks[2].last_year = 2000000000;
       },
       "Fit by year"},
      {"no names and no vector",
       [](sample::Job& j) {
         j.head.LocationNames.clear();
         j.head.YearNames.clear();
         j.blocks[5].EliminationVector.clear();
       },
       "location 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sample::Job job = sample::make_job(false);
    c.spoil(job);
    const std::string page = page_of(job);
    EXPECT_NE(page.find(c.said), std::string::npos);
    EXPECT_EQ(clean_utf8(page), page);
    EXPECT_FALSE(write_plots(job.head, job.blocks, job.page).empty());
  }
}

}  // namespace
}  // namespace locseq::report
