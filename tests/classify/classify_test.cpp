#include "classify/classify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

#include "classify/pairwise_reference.h"
#include "classify/ward_reference.h"
#include "core/input_error.h"
#include "records/numbers.h"
#include "support/unbalanced_trial.h"

namespace locseq::classify {
namespace {

// A trial from patterns: per year one string per location, 'x' a value and
// '.' none; a year without strings has no data. Names Y1.., L1.., G1...
Trial make_trial(const std::vector<std::vector<std::string>>& years,
                 const std::vector<std::string>& year_names = {}) {
  Trial t;
  t.MAXY = static_cast<std::int32_t>(years.size());
  for (const auto& y : years) {
    if (!y.empty()) {
      t.MAXL = static_cast<std::int32_t>(y.size());
      t.MAXG = static_cast<std::int32_t>(y[0].size());
    }
  }
  auto names = [](const std::string& kind, std::int32_t n) {
    std::vector<Name8> out(static_cast<std::size_t>(n));
    for (std::int32_t k = 0; k < n; ++k) {
      const std::string name = kind + std::to_string(k + 1);
      out[static_cast<std::size_t>(k)].fill(' ');
      std::copy(name.begin(), name.end(), out[static_cast<std::size_t>(k)].begin());
    }
    return out;
  };
  t.YearNames = names("Y", t.MAXY);
  for (std::size_t y = 0; y < year_names.size(); ++y) {
    t.YearNames[y].fill(' ');
    std::copy(year_names[y].begin(), year_names[y].end(), t.YearNames[y].begin());
  }
  t.LocationNames = names("L", t.MAXL);
  t.GenotypeNames = names("G", t.MAXG);
  t.naq_name = "T.NAQ";
  t.seq_name = "T.SEQ";
  t.years.resize(years.size());
  const auto cells = static_cast<std::size_t>(t.MAXL * t.MAXG);
  for (std::size_t y = 0; y < years.size(); ++y) {
    if (years[y].empty()) continue;
    t.years[y].values.assign(cells, 0.0f);
    t.years[y].presence.assign(cells, 0);
    for (std::size_t i = 0; i < years[y].size(); ++i) {
      for (std::size_t j = 0; j < years[y][i].size(); ++j) {
        if (years[y][i][j] == '.') continue;
        const std::size_t at = j * static_cast<std::size_t>(t.MAXL) + i;
        t.years[y].values[at] = static_cast<float>((i * 37 + j * 11 + y * 5) % 17);
        t.years[y].presence[at] = 1;
      }
    }
  }
  return t;
}

// A .CLS text without its title line, which names the proximity.
std::string without_title(const std::string& cls) {
  const std::size_t title = cls.find('\n') + 1;
  return cls.substr(0, title) + cls.substr(cls.find('\n', title) + 1);
}

// The blocks of a .CLS text.
struct Block {
  std::string header;           // the header record
  std::string entries;          // the elimination vector, one digit per location
  std::vector<Fusion> fusions;  // levels as read back
};

std::vector<Block> blocks_of(const std::string& cls, std::int32_t MAXL) {
  std::istringstream in(cls);
  std::string line;
  for (int k = 0; k < 4; ++k) std::getline(in, line);
  std::vector<Block> out;
  while (std::getline(in, line)) {
    Block b{line, "", {}};
    std::getline(in, line);
    const int retained = std::stoi(line);
    for (int i = 0; i < MAXL; ++i) {
      int e = 0;
      in >> e;
      b.entries += static_cast<char>('0' + e);
    }
    std::getline(in, line);
    for (int r = 1; r < retained; ++r) {
      std::getline(in, line);
      float level = 0.0f;
      std::string token = line.substr(20);
      token.erase(0, token.find_first_not_of(' '));
      EXPECT_EQ(records::parse_real_implied(token, 3, level), records::NumberStatus::Ok) << line;
      b.fusions.push_back({std::stoi(line.substr(3, 4)), std::stoi(line.substr(9, 4)),
                           std::stoi(line.substr(15, 4)), static_cast<double>(level)});
    }
    out.push_back(b);
  }
  return out;
}

TEST(Classify, WritesTheRecordsARunReads) {
  // Two genotypes; location values 10 + a and 10 - a centre to a and -a.
  Trial t = make_trial({{"xx", "xx", "xx", "xx"}, {"xx", "xx", "xx", "xx"}});
  const float a[] = {0, 1, 3, 7};
  for (auto& y : t.years) {
    for (int i = 0; i < 4; ++i) {
      y.values[static_cast<std::size_t>(i)] = 10 + a[i];
      y.values[static_cast<std::size_t>(4 + i)] = 10 - a[i];
    }
  }
  // Complete data: both proximities give the same records, but for the
  // title's word.
  const ClassifyOptions complete{.proximity = Proximity::complete};
  const ClassifyOptions pairwise{.min_cells = 2};
  EXPECT_EQ(without_title(classify(t, pairwise).cls), without_title(classify(t, complete).cls));
  EXPECT_EQ(classify(t, complete).cls,
            "2 4 2 1 2\n"
            "2 seasons, complete Ward\n"
            "     U     S     C     N\n"
            "   1   2\n"
            "     1    Y1\n4\n   1   1   1   1\n"
            "      1     2     5 1.00000000\n"
            "      3     5     6 8.33333333\n"
            "      4     6     7 48.1666667\n"
            "     2    Y2\n4\n   1   1   1   1\n"
            "      1     2     5 2.00000000\n"
            "      3     5     6 16.6666667\n"
            "      4     6     7 96.3333333\n");
  ClassifyOptions o;
  o.standardized = true;
  o.min_cells = 2;
  o.title = "My trial";
  const std::string cls = classify(t, o).cls;
  EXPECT_EQ(cls.substr(10, 43), "My trial\n     U     S     S     N\n   1   2\n");
}

// The default title: the trial's name, cut at a whole character to leave
// room for the seasons and the proximity in the 50 columns.
TEST(Classify, DefaultTitleNamesTheTrial) {
  const Trial t = make_trial({{"xx", "xx", "xx"}, {}, {"xx", "xx", "xx"}});
  const std::string a49(49, 'a');
  const struct {
    std::string name;
    Proximity proximity;
    std::optional<std::string> last_year;
    std::string title;
  } cases[] = {
      {"george.wheat", Proximity::pairwise, {}, "george.wheat: 3 seasons, pairwise Ward"},
      {"george.wheat", Proximity::complete, "1", "george.wheat: 1 season, complete Ward"},
      {"", Proximity::pairwise, {}, "3 seasons, pairwise Ward"},
      {a49, Proximity::pairwise, {}, std::string(24, 'a') + ": 3 seasons, pairwise Ward"},
      // A 2-byte letter across the cut goes whole.
      {std::string(23, 'a') + "\xC3\xBC" + "b",
       Proximity::pairwise,
       {},
       std::string(23, 'a') + ": 3 seasons, pairwise Ward"},
      {std::string(22, 'a') + "\xC3\xBC" + "b",
       Proximity::pairwise,
       {},
       std::string(22, 'a') + "\xC3\xBC: 3 seasons, pairwise Ward"},
      {"two\nlines\r\x7F", Proximity::pairwise, {}, "two?lines??: 3 seasons, pairwise Ward"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ClassifyOptions o{.last_year = c.last_year,
                            .proximity = c.proximity,
                            .min_cells = 1,
                            .groups = 1,
                            .name = c.name};
    const ClassifyResult r = classify(t, o);
    const std::string title = r.cls.substr(r.cls.find('\n') + 1);
    EXPECT_EQ(title.substr(0, title.find('\n')), c.title);
    EXPECT_LE(c.title.size(), 50u);
  }
  // Given, the title stands as it is.
  const ClassifyOptions given{.min_cells = 1, .groups = 1, .title = "Mine", .name = "T"};
  EXPECT_NE(classify(t, given).cls.find("\nMine\n"), std::string::npos);
}

// Complete: entries per step: share threshold, entry 2, shrinking, years
// without data, and only the genotypes observed in a year count.
TEST(Classify, CompleteRetention) {
  const std::vector<std::string> full(5, "xxxxx");
  const struct {
    const char* what;
    std::vector<std::vector<std::string>> years;
    double min_share;
    std::vector<std::string> entries;  // per step
    const char* warning;               // a word of the only warning, or ""
  } cases[] = {
      {"four of five is 0.8", {{"xxxxx", "xxxx.", "xxx..", "xxxxx", "xxxxx"}}, 0.8, {"11011"}, ""},
      {"but not 0.81", {{"xxxxx", "xxxx.", "xxx..", "xxxxx", "xxxxx"}}, 0.81, {"10011"}, ""},
      {"one value is eliminated",
       {{"xxxxx", "xxxxx", "x....", "xxxxx", "xxxxx"}},
       0.8,
       {"11011"},
       ""},
      {"no value gives 2, then 0",
       {{"xxxxx", "xxxxx", ".....", "xxxxx", "xxxxx"}, full},
       0.8,
       {"11211", "11011"},
       ""},
      {"eliminated for good",
       {full, {"xxxxx", "xxxxx", "xx...", "xxxxx", "xxxxx"}, full},
       0.8,
       {"11111", "11011", "11011"},
       ""},
      {"a year without data",
       {{"xxxxx", "xxxxx", "xxx..", "xxxxx", "xxxxx"}, {}, full},
       0.8,
       {"11011", "11011", "11011"},
       "year 2 (Y2) has no data"},
      {"a genotype nowhere observed",
       {{"xxxx.", "xxx..", "xxxx.", "xxxx.", "xxxx."}},
       1.0,
       {"10111"},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Trial t = make_trial(c.years);
    ClassifyOptions o;
    o.proximity = Proximity::complete;
    o.min_share = c.min_share;
    o.groups = 2;
    const ClassifyResult r = classify(t, o);
    const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
    ASSERT_EQ(blocks.size(), c.entries.size());
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      EXPECT_EQ(blocks[k].entries, c.entries[k]) << "step " << k + 1;
      EXPECT_EQ(blocks[k].header,
                "     " + std::to_string(k + 1) + "    Y" + std::to_string(k + 1));
      EXPECT_EQ(r.steps[k].retained, std::count(c.entries[k].begin(), c.entries[k].end(), '1'));
      EXPECT_EQ(r.steps[k].left_out, std::count(c.entries[k].begin(), c.entries[k].end(), '2'));
    }
    ASSERT_EQ(r.warnings.size(), *c.warning ? 1u : 0u);
    if (*c.warning) {
      EXPECT_NE(r.warnings[0].find(c.warning), std::string::npos) << r.warnings[0];
    }
  }
}

// The sequence ends at the last step the run can cut; IYF follows.
// Pairwise: entries per step. A location present in at least half the
// window's years with data is a candidate, whatever the other years hold;
// short pairs eliminate the location in most of them, then the one with
// fewer values, then the higher number.
TEST(Classify, PairwiseRetention) {
  const std::vector<std::string> full(5, "xxxx");
  const struct {
    const char* what;
    std::vector<std::vector<std::string>> years;
    ClassifyOptions o;
    std::vector<std::string> entries;  // per step
  } cases[] = {
      {"missing one season of three stays",
       {full, {"xxxx", "xxxx", "....", "xxxx", "xxxx"}, full},
       {.min_cells = 1},
       {"11111", "11111", "11111"}},
      {"present in one year of three is too few",
       {full, {"xxxx", "xxxx", "....", "xxxx", "xxxx"}, {"xxxx", "xxxx", "....", "xxxx", "xxxx"}},
       {.min_cells = 1},
       {"11111", "11111", "11011"}},
      {"and --min-years 0.3 keeps it",
       {full, {"xxxx", "xxxx", "....", "xxxx", "xxxx"}, {"xxxx", "xxxx", "....", "xxxx", "xxxx"}},
       {.min_years = 0.3, .min_cells = 1},
       {"11111", "11111", "11111"}},
      {"joining late: left out, then retained",
       {{"xxxx", "xxxx", "xxxx", "xxxx", "...."}, full},
       {.min_cells = 1},
       {"11112", "11111"}},
      {"below the share a year does not count",
       {{"xxxx", "xx..", "xxxx", "xxxx", "xxxx"}, full},
       {.min_cells = 1},
       {"10111", "11111"}},
      {"short pairs: the most short goes first, then the higher number",
       {{"xx..", "..xx", "xxxx", "xxxx", "xxxx"}, {"xx..", "..xx", "xxxx", "xxxx", "xxxx"}},
       {.min_share = 0.5, .min_cells = 3},
       {"00111", "10111"}},
      {"short pairs: fewer values goes first",
       {{"xxx.", "..xx", "xxxx", "xxxx", "xxxx"}, {"xxx.", "..xx", "xxxx", "xxxx", "xxxx"}},
       {.min_share = 0.5, .min_cells = 3},
       {"10111", "10111"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClassifyOptions o = c.o;
    o.groups = 1;
    const Trial t = make_trial(c.years);
    const ClassifyResult r = classify(t, o);
    const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
    ASSERT_EQ(blocks.size(), c.entries.size());
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      EXPECT_EQ(blocks[k].entries, c.entries[k]) << "step " << k + 1;
    }
  }
}

// The sequence ends at the last step the run can cut; IYF follows.
TEST(Classify, EndsAtTheLastStepThatCanBeCut) {
  const Trial t = make_trial({{"xxxx", "xxxx", "xxxx", "xxxx", "xxxx"},
                              {"xxxx", "xxxx", "xxxx", "xxxx", "x..."},
                              {"xxxx", "xxxx", "x...", "x...", "xxxx"}});
  ClassifyOptions o;
  o.proximity = Proximity::complete;
  o.groups = 2;
  const ClassifyResult r = classify(t, o);
  EXPECT_EQ(r.steps.size(), 2u);
  EXPECT_EQ(r.IYF, 2);
  EXPECT_EQ(r.cls.substr(0, 10), "3 5 4 1 2\n");
  EXPECT_NE(r.cls.find("\n   1   2\n"), std::string::npos);
  ASSERT_TRUE(r.stopped);
  EXPECT_EQ(r.stopped->retained * 10 + r.stopped->eliminated, 23);
  ASSERT_EQ(r.warnings.size(), 1u);
  for (const char* word :
       {"ends at step 2 (year 2 (Y2))", "step 3 (year 3 (Y3)) retains 2 and eliminates 3",
        "--min-share 0.25 (now 0.8) or -g 1 (now 2) would let it be cut"}) {
    EXPECT_NE(r.warnings[0].find(word), std::string::npos) << r.warnings[0];
  }
}

// The options a stop or a refusal names, with their values, let that step
// be cut: run again with each, the sequence goes further. An option that
// would not is not named.
TEST(Classify, HintsNameOnlyOptionsThatLetTheStepBeCut) {
  struct Case {
    std::string what;
    Trial t;
    ClassifyOptions o;
    std::vector<std::string> named, not_named;
  };
  std::vector<Case> cases = {
      {"no values, so no share helps",
       make_trial({{"xxxx", "xxxx", "xxxx", "xxxx"},
                   {"xxxx", "xxxx", "xxxx", "xxxx"},
                   {"....", "....", "xxxx", "xxxx"}}),
       {.proximity = Proximity::complete, .groups = 2},
       {"-g 1 (now 2)"},
       {"--min-share"}},
      {"a lower share helps",
       make_trial({{"xxxx", "xxxx", "xxxx", "xxxx"},
                   {"xxxx", "xxxx", "xxxx", "xxxx"},
                   {"xx..", "xx..", "xxxx", "xxxx"}}),
       {.proximity = Proximity::complete, .groups = 2},
       {"--min-share 0.5 (now 0.8)", "-g 1 (now 2)"},
       {}},
      {"pairwise: fewer years",
       make_trial({{"xxxx", "xxxx", "xxxx", "xxxx", "xxxx"},
                   {"xxxx", "xxxx", "xxxx", "....", "...."},
                   {"xxxx", "xxxx", "xxxx", "....", "...."}}),
       {.min_cells = 2, .groups = 3},
       {"--min-years 0.3 (now 0.5) or -g 2 or lower (now 3)"},
       {"--min-share", "--min-cells"}},
      {"pairwise: fewer cells",
       make_trial(
           {{"xxxx", "xxxx", "xxxx", "xxx.", "xxx."}, {"xxxx", "xxxx", "xxxx", "xxx.", "xxx."}}),
       {.min_share = 0.5, .min_cells = 4, .groups = 3},
       {"--min-cells 3 (now 4) or -g 2 or lower (now 3)"},
       {"--min-share", "--min-years"}},
  };
  for (unsigned seed = 1; seed <= 4; ++seed) {
    locseq::testing::UnbalancedShape shape{.seasons = 5,
                                           .locations = 12,
                                           .genotypes_per_season = 12,
                                           .replicates = 1,
                                           .missing = 0.05 * seed,
                                           .seed = seed};
    const locseq::testing::UnbalancedTrial u = locseq::testing::make_unbalanced_trial(shape);
    std::istringstream naq(u.naq()), seq(u.seq());
    cases.push_back({"generated " + std::to_string(seed),
                     load_trial(naq, "T.NAQ", seq, "T.SEQ", std::nullopt),
                     {.proximity = seed % 2 ? Proximity::pairwise : Proximity::complete,
                      .groups = 5 + static_cast<std::int32_t>(seed)},
                     {},
                     {}});
  }
  // "--min-share 0.5 (now 0.8)" -> options with it.
  const auto with = [](ClassifyOptions o, const std::string& option, const std::string& value) {
    if (option == "--min-share") o.min_share = std::stod(value);
    if (option == "--min-years") o.min_years = std::stod(value);
    if (option == "--min-cells") o.min_cells = std::stoi(value);
    if (option == "-g") o.groups = std::stoi(value);
    return o;
  };
  int tried = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string message;
    std::size_t steps = 0;
    try {
      const ClassifyResult r = classify(c.t, c.o);
      steps = r.steps.size();
      if (!r.stopped) continue;
      message = r.warnings.back();
    } catch (const InputError& e) {
      message = e.message();
    }
    for (const std::string& word : c.named)
      EXPECT_NE(message.find(word), std::string::npos) << message;
    for (const std::string& word : c.not_named)
      EXPECT_EQ(message.find(word), std::string::npos) << message;
    const std::size_t hint = message.rfind("; ");
    for (const char* option : {"--min-share ", "--min-years ", "--min-cells ", "-g "}) {
      const std::size_t at = message.find(option, hint);
      if (at == std::string::npos) continue;
      const std::size_t from = at + std::strlen(option);
      const std::string value = message.substr(from, message.find(' ', from) - from);
      SCOPED_TRACE(option + value);
      ++tried;
      const ClassifyResult again =
          classify(c.t, with(c.o, std::string(option, std::strlen(option) - 1), value));
      EXPECT_GT(again.steps.size(), steps) << message;
    }
  }
  EXPECT_GE(tried, 8);
}

TEST(Classify, YearsByNumberOrName) {
  const Trial t = make_trial({{"xx", "xx", "xx"}, {"xx", "xx", "xx"}, {"xx", "xx", "xx"}},
                             {"2", "1991", "1991b"});
  const struct {
    const char* first;
    const char* last;
    std::int32_t IYS, IYF;
    bool warning;
  } cases[] = {
      {"1991", " 1991b ", 2, 3, false}, {"3", "3", 3, 3, false}, {"2", nullptr, 2, 3, true}};
  for (const auto& c : cases) {
    for (const Proximity proximity : {Proximity::pairwise, Proximity::complete}) {
      ClassifyOptions o;
      o.proximity = proximity;
      o.min_cells = 1;
      o.groups = 1;
      o.first_year = c.first;
      if (c.last) o.last_year = c.last;
      const ClassifyResult r = classify(t, o);
      EXPECT_EQ(r.IYS * 10 + r.IYF, c.IYS * 10 + c.IYF) << c.first;
      EXPECT_EQ(r.warnings.size(), c.warning ? 1u : 0u) << c.first;
      // Each block header carries its last year's number and name.
      const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
      for (std::size_t k = 0; k < blocks.size(); ++k) {
        const std::int32_t y = c.IYS + static_cast<std::int32_t>(k);
        const Name8& name = t.YearNames[static_cast<std::size_t>(y - 1)];
        std::string shown(name.data(), name.size());
        EXPECT_EQ(blocks[k].header, "     " + std::to_string(y) + "    " +
                                        shown.substr(0, shown.find_last_not_of(' ') + 1));
      }
    }
  }
}

// Pairwise without --first-year: the sequence starts at the first year whose
// step alone can be cut, with a note; with --first-year, and complete, no.
TEST(Classify, PairwiseStartsAtTheFirstYearThatCanBeCut) {
  const std::vector<std::string> full(5, "xxxxxxxxxx");
  const Trial t = make_trial(
      {{"xxxxxxxxxx", "xxxxxxxxxx", "..........", "..........", ".........."}, {}, full, full});
  ClassifyOptions o;
  o.groups = 2;
  const ClassifyResult r = classify(t, o);
  EXPECT_EQ(r.IYS * 10 + r.IYF, 34);
  EXPECT_EQ(r.cls.substr(0, 10), "4 5 10 3 4");
  const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].header, "     3    Y3");
  EXPECT_TRUE(r.warnings.empty());
  ASSERT_EQ(r.notes.size(), 1u);
  for (const char* word : {"starts at year 3 (Y3)", "year 1 (Y1) alone retains 2 and eliminates 0",
                           "year 2 (Y2) has no data", "more than the truncation level 2"}) {
    EXPECT_NE(r.notes[0].find(word), std::string::npos) << r.notes[0];
  }
  for (ClassifyOptions refused : {ClassifyOptions{.first_year = "1", .groups = 2},
                                  ClassifyOptions{.proximity = Proximity::complete, .groups = 2}}) {
    EXPECT_THROW(classify(t, refused), InputError);
  }
  try {
    classify(make_trial({full, full}), {.groups = 5});
    ADD_FAILURE() << "no error";
  } catch (const InputError& e) {
    EXPECT_NE(e.message().find("no year of years 1 (Y1) to 2 (Y2) can be cut alone"),
              std::string::npos)
        << e.message();
  }
}

TEST(Classify, Errors) {
  const std::vector<std::string> full(4, "xxxx");
  const ClassifyOptions complete{.proximity = Proximity::complete};
  const struct {
    const char* what;
    std::vector<std::vector<std::string>> years;
    ClassifyOptions o;
    const char* file;
    const char* word;
  } cases[] = {
      {"share 0", {full}, {.min_share = 0.0}, "--min-share", "above 0"},
      {"share above 1", {full}, {.min_share = 1.5}, "--min-share", "at most 1"},
      {"share NaN", {full}, {.min_share = std::nan("")}, "--min-share", "above 0"},
      {"years 0", {full}, {.min_years = 0.0}, "--min-years", "above 0"},
      {"years above 1", {full}, {.min_years = 1.01}, "--min-years", "at most 1"},
      {"cells 0", {full}, {.min_cells = 0}, "--min-cells", "at least 1"},
      {"level 0", {full}, {.groups = 0}, "-g", "1 to MAXL (4)"},
      {"level above MAXL", {full}, {.groups = 5}, "-g", "1 to MAXL"},
      {"a title of two lines", {full}, {.title = "a\nb"}, "--title", "one line"},
      {"no such year", {full}, {.first_year = "1989"}, "--first-year", "'1989' names no year"},
      {"year 0", {full}, {.last_year = "0"}, "--last-year", "names no year"},
      {"first after last",
       {full, full},
       {.first_year = "2", .last_year = "1"},
       "--first-year",
       "after"},
      {"no step can be cut",
       {{"xxxx", "xxxx", "x...", "x..."}},
       complete,
       "T.SEQ",
       "no step of the sequence can be cut"},
      {"first year without data", {{}, full}, complete, "T.SEQ", "year 1 (Y1) has no data"},
      {"no shared cell",
       {{"xx..", "..xx", "xx..", "..xx"}},
       {.proximity = Proximity::complete, .min_share = 0.5, .groups = 1},
       "T.SEQ",
       "step 1 (year 1 (Y1)): its 4 retained locations share no cell"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      classify(make_trial(c.years), c.o);
      ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), c.file);
      EXPECT_NE(e.message().find(c.word), std::string::npos) << e.message();
    }
  }
  ClassifyOptions two_names;
  two_names.first_year = "X";
  EXPECT_THROW(classify(make_trial({full, full}, {"X", "X"}), two_names), InputError);
  // Values whose centred differences overflow single precision.
  Trial huge = make_trial({{"xxx", "xxx", "xxx"}});
  for (std::size_t g = 0; g < 3; ++g) huge.years[0].values[g * 3] = g < 2 ? 3.4e38f : -3.4e38f;
  for (const Proximity proximity : {Proximity::pairwise, Proximity::complete}) {
    try {
      classify(huge, {.proximity = proximity, .min_cells = 1, .groups = 1});
      ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "T.SEQ");
      EXPECT_NE(e.message().find(
                    "year 1 (Y1), location 1 (L1), genotype 3 (G3): the value -3.4e+38 less the "
                    "location's mean"),
                std::string::npos)
          << e.message();
    }
  }
}

// A random trial of patterns: Y years, L locations, G genotypes, each cell
// absent with the given chance; values 50 to 60.
Trial random_trial(std::mt19937_64& rng, int Y, int L, int G, double absent) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<std::vector<std::string>> pattern(Y,
                                                std::vector<std::string>(L, std::string(G, 'x')));
  for (auto& y : pattern) {
    for (auto& row : y) {
      for (char& cell : row) cell = u(rng) < absent ? '.' : 'x';
    }
  }
  Trial t = make_trial(pattern);
  for (auto& y : t.years) {
    for (std::size_t at = 0; at < y.values.size(); ++at) {
      if (y.presence[at]) y.values[at] = static_cast<float>(50.0 + 10.0 * u(rng));
    }
  }
  return t;
}

void expect_same_fusions(const std::vector<Fusion>& got, const std::vector<Fusion>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t f = 0; f < want.size(); ++f) {
    EXPECT_EQ(got[f].gi * 10000 + got[f].gj, want[f].gi * 10000 + want[f].gj) << "fusion " << f + 1;
    EXPECT_EQ(got[f].gij, want[f].gij);
    EXPECT_NEAR(got[f].level, want[f].level, 1e-9 * want[f].level) << "fusion " << f + 1;
  }
}

// Complete: random trials with absent cells against a reference worked out
// here from scratch: the entries of every step, and the hierarchy by
// brute-force Ward on the centred (or standardised) values of the shared
// cells.
TEST(Classify, CompleteMatchesAReferenceOnRandomTrials) {
  const struct {
    unsigned seed;
    bool standardized;
    double absent, min_share;
  } cases[] = {{1, false, 0.05, 0.8},
               {2, true, 0.05, 0.8},
               {3, false, 0.1, 0.7},
               {4, true, 0.02, 0.9},
               {5, false, 0.0, 0.8}};
  for (const auto& c : cases) {
    SCOPED_TRACE("seed " + std::to_string(c.seed));
    std::mt19937_64 rng(c.seed);
    const int Y = 4, L = 12, G = 9;
    const Trial t = random_trial(rng, Y, L, G, c.absent);
    ClassifyOptions o;
    o.proximity = Proximity::complete;
    o.standardized = c.standardized;
    o.min_share = c.min_share;
    const ClassifyResult r = classify(t, o);
    const std::vector<Block> blocks = blocks_of(r.cls, L);
    ASSERT_FALSE(blocks.empty());
    const testing::Prepared p = testing::prepare(t, c.standardized);
    std::vector<bool> ok(L, true), seen(L, false);
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      const int y = static_cast<int>(k);
      std::string entries;
      int observed = 0;
      for (int j = 0; j < G; ++j) {
        bool any = false;
        for (int i = 0; i < L; ++i) any = any || p.has_value(y, i, j);
        observed += any;
      }
      std::vector<int> retained;
      for (int i = 0; i < L; ++i) {
        int n = 0;
        for (int j = 0; j < G; ++j) n += p.has_value(y, i, j);
        ok[i] = ok[i] && n >= c.min_share * observed - 1e-9;
        seen[i] = seen[i] || n > 0;
        entries += !seen[i] ? '2' : ok[i] ? '1' : '0';
        if (entries.back() == '1') retained.push_back(i);
      }
      ASSERT_EQ(blocks[k].entries, entries) << "step " << k + 1;
      testing::Points points(retained.size());
      for (int w = 0; w <= y; ++w) {
        for (int j = 0; j < G; ++j) {
          bool shared = true;
          for (int i : retained) shared = shared && p.has_value(w, i, j);
          for (std::size_t a = 0; a < retained.size() && shared; ++a)
            points[a].push_back(p.x[w][j * L + retained[a]]);
        }
      }
      expect_same_fusions(r.hierarchies[k], testing::brute_force_ward(points));
    }
  }
}

// Pairwise: generated unbalanced trials against the rule worked out from its
// definitions (testing::pairwise_sequence): where the sequence starts and
// ends, the entries of every step, and the hierarchy, by brute-force Ward on
// the scaled pairwise distances: the same joins, levels within 1e-9.
TEST(Classify, PairwiseMatchesItsDefinitionOnRandomUnbalancedTrials) {
  int steps = 0, eliminated = 0, stopped = 0, moved = 0, refused = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const locseq::testing::UnbalancedTrial u = locseq::testing::make_unbalanced_trial(
        {.seasons = 5,
         .locations = 9 + static_cast<std::int32_t>(seed % 4),
         .genotypes_per_season = 6 + static_cast<std::int32_t>(seed % 3),
         .replicates = 1 + static_cast<std::int32_t>(seed % 2),
         .missing = 0.05 + 0.15 * (seed % 4) / 3,
         .seed = seed});
    std::istringstream naq(u.naq()), seq(u.seq());
    Trial t = load_trial(naq, "T.NAQ", seq, "T.SEQ", std::nullopt);
    // Some trials lose year 1 but at two locations (a sequence that starts
    // later), or four locations' last three years (one that stops).
    const auto drop = [&t](int y, int i) {
      TrialYear& year = t.years[static_cast<std::size_t>(y - 1)];
      for (int g = 0; g < t.MAXG; ++g) {
        year.presence[static_cast<std::size_t>(g * t.MAXL + i - 1)] = 0;
        year.values[static_cast<std::size_t>(g * t.MAXL + i - 1)] = 0.0f;
      }
    };
    for (int i = 3; i <= t.MAXL && seed % 4 == 1; ++i) drop(1, i);
    for (int i = 1; i <= 4 && seed % 4 == 2; ++i) drop(3, i), drop(4, i), drop(5, i);
    ClassifyOptions o;
    o.standardized = seed % 3 == 0;
    o.min_share = seed % 2 ? 0.8 : 0.6;
    o.min_years = seed % 5 ? 0.5 : 0.7;
    o.min_cells = 2 + static_cast<std::int32_t>(seed % 4) * 2;
    const testing::Prepared p = testing::prepare(t, o.standardized);
    for (const std::int32_t level : {2, t.MAXL / 2, t.MAXL - 3}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", level " + std::to_string(level));
      o.groups = level;
      const std::vector<testing::ReferenceStep> want =
          testing::pairwise_sequence(p, o, level, t.MAXY);
      if (want.empty()) {
        EXPECT_THROW(classify(t, o), InputError);
        ++refused;
        continue;
      }
      const ClassifyResult r = classify(t, o);
      const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
      EXPECT_EQ(r.IYS, want[0].last);
      ASSERT_EQ(blocks.size(), want.size());
      for (std::size_t k = 0; k < want.size(); ++k) {
        SCOPED_TRACE("step " + std::to_string(k + 1));
        EXPECT_EQ(blocks[k].entries, want[k].entries);
        expect_same_fusions(r.hierarchies[k], want[k].fusions);
        ++steps;
        eliminated += want[k].eliminated > 0;
      }
      stopped += want.back().last < t.MAXY;
      moved += want[0].last > 1;
    }
  }
  // The trials meet every turn of the rule.
  EXPECT_GE(steps, 80);
  EXPECT_GE(eliminated, 20);
  EXPECT_GE(stopped, 2);
  EXPECT_GE(moved, 5);
  EXPECT_GE(refused, 5);
}

// With complete data (every location has every genotype observed in a year)
// the pairwise distances are the complete ones, to the bit: the same .CLS.
TEST(Classify, PairwiseIsCompleteOnCompleteData) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 rng(seed);
    Trial t = random_trial(rng, 4, 6 + static_cast<int>(seed) * 3, 8, 0.0);
    // Genotype j is grown only in some years; year 3 has no data.
    for (std::size_t y = 0; y < t.years.size(); ++y) {
      for (std::size_t at = 0; at < t.years[y].values.size(); ++at) {
        const std::size_t g = at / static_cast<std::size_t>(t.MAXL);
        if ((g + y + seed) % 4 == 0) t.years[y].values[at] = 0.0f, t.years[y].presence[at] = 0;
      }
    }
    t.years[2] = {};
    ClassifyOptions pairwise;
    pairwise.standardized = seed % 2 == 0;
    pairwise.min_cells = 1;
    ClassifyOptions complete = pairwise;
    complete.proximity = Proximity::complete;
    const ClassifyResult a = classify(t, pairwise), b = classify(t, complete);
    EXPECT_EQ(a.steps.size(), 4u);
    EXPECT_EQ(without_title(a.cls), without_title(b.cls));
  }
}

// Generated unbalanced trials with the default options: every location that
// has no value in one year of a window of three or more, and is present in
// its other years, is retained; the sequence runs to the last year unless
// the cut rule stops it, and then says so.
TEST(Classify, PairwiseKeepsLocationsThatMissASeason) {
  int kept = 0;
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const locseq::testing::UnbalancedTrial u =
        locseq::testing::make_unbalanced_trial({.seasons = 7,
                                                .locations = 16,
                                                .genotypes_per_season = 30,
                                                .replicates = 2,
                                                .missing = 0.025 * (seed + 2),
                                                .seed = 100 + seed});
    std::istringstream naq(u.naq()), seq(u.seq());
    const Trial t = load_trial(naq, "T.NAQ", seq, "T.SEQ", std::nullopt);
    const ClassifyResult r = classify(t, {});
    const std::vector<Block> blocks = blocks_of(r.cls, t.MAXL);
    const testing::Prepared p = testing::prepare(t, false);
    for (std::size_t k = 2; k < blocks.size(); ++k) {
      for (int i = 0; i < t.MAXL; ++i) {
        int without = 0, present = 0;
        for (int y = r.IYS - 1; y <= r.IYS - 1 + static_cast<int>(k); ++y) {
          int here = 0, observed = 0;
          for (int g = 0; g < t.MAXG; ++g) {
            bool any = false;
            for (int j = 0; j < t.MAXL; ++j) any = any || p.has_value(y, j, g);
            observed += any;
            here += p.has_value(y, i, g);
          }
          without += here == 0;
          present += here >= 0.8 * observed;
        }
        if (without == 1 && present == static_cast<int>(k)) {
          EXPECT_EQ(blocks[k].entries[static_cast<std::size_t>(i)], '1')
              << "step " << k + 1 << ", location " << i + 1;
          ++kept;
        }
      }
    }
    if (r.IYF < t.MAXY) {
      ASSERT_TRUE(r.stopped);
      EXPECT_NE(r.warnings.back().find("the sequence ends at step"), std::string::npos);
    }
  }
  EXPECT_GE(kept, 20);
}

}  // namespace
}  // namespace locseq::classify
