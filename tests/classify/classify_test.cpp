#include "classify/classify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "classify/ward_reference.h"
#include "core/input_error.h"
#include "records/numbers.h"

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
  EXPECT_EQ(classify(t, {}).cls,
            "2 4 2 1 2\n"
            "Ward SED, centred, min share 0.8\n"
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
  o.title = "My trial";
  const std::string cls = classify(t, o).cls;
  EXPECT_EQ(cls.substr(10, 43), "My trial\n     U     S     S     N\n   1   2\n");
}

// Entries per step: share threshold, entry 2, shrinking, years without data,
// and only the genotypes observed in a year count.
TEST(Classify, Retention) {
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
TEST(Classify, EndsAtTheLastStepThatCanBeCut) {
  const Trial t = make_trial({{"xxxx", "xxxx", "xxxx", "xxxx", "xxxx"},
                              {"xxxx", "xxxx", "xxxx", "xxxx", "x..."},
                              {"xxxx", "xxxx", "x...", "x...", "xxxx"}});
  ClassifyOptions o;
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
        "--min-share (now 0.8)", "-g 1 or lower (now 2)"}) {
    EXPECT_NE(r.warnings[0].find(word), std::string::npos) << r.warnings[0];
  }
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
    ClassifyOptions o;
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

TEST(Classify, Errors) {
  const std::vector<std::string> full(4, "xxxx");
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
       {},
       "T.SEQ",
       "no step of the sequence can be cut"},
      {"first year without data", {{}, full}, {}, "T.SEQ", "year 1 (Y1) has no data"},
      {"no shared cell",
       {{"xx..", "..xx", "xx..", "..xx"}},
       {.min_share = 0.5, .groups = 1},
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
}

// Random trials with absent cells against a reference worked out here from
// scratch: the entries of every step, and the hierarchy by brute-force Ward
// on the centred (or standardised) values of the shared cells.
TEST(Classify, MatchesAReferenceOnRandomTrials) {
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
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int Y = 4, L = 12, G = 9;
    std::vector<std::vector<std::string>> pattern(Y,
                                                  std::vector<std::string>(L, std::string(G, 'x')));
    for (auto& y : pattern) {
      for (auto& row : y) {
        for (char& cell : row) cell = u(rng) < c.absent ? '.' : 'x';
      }
    }
    Trial t = make_trial(pattern);
    for (auto& y : t.years) {
      for (std::size_t at = 0; at < y.values.size(); ++at) {
        if (y.presence[at]) y.values[at] = static_cast<float>(50.0 + 10.0 * u(rng));
      }
    }
    ClassifyOptions o;
    o.standardized = c.standardized;
    o.min_share = c.min_share;
    const ClassifyResult r = classify(t, o);
    const std::vector<Block> blocks = blocks_of(r.cls, L);
    ASSERT_FALSE(blocks.empty());
    // The reference: centre (and standardise) every year.
    std::vector<std::vector<double>> x(Y, std::vector<double>(L * G, 0.0));
    auto present = [&](int y, int i, int j) { return pattern[y][i][j] == 'x'; };
    for (int y = 0; y < Y; ++y) {
      for (int i = 0; i < L; ++i) {
        double s = 0, n = 0, q = 0;
        for (int j = 0; j < G; ++j) {
          if (present(y, i, j)) s += static_cast<double>(t.years[y].values[j * L + i]), ++n;
        }
        for (int j = 0; j < G; ++j) {
          if (!present(y, i, j)) continue;
          x[y][j * L + i] =
              static_cast<float>(static_cast<double>(t.years[y].values[j * L + i]) - s / n);
          q += x[y][j * L + i] * x[y][j * L + i];
        }
        const double d = std::sqrt(q / (n - 1));
        for (int j = 0; j < G && c.standardized && n > 1 && d > 0; ++j) {
          if (present(y, i, j)) x[y][j * L + i] = static_cast<float>(x[y][j * L + i] / d);
        }
      }
    }
    std::vector<bool> ok(L, true), seen(L, false);
    for (std::size_t k = 0; k < blocks.size(); ++k) {
      std::string entries;
      int observed = 0;
      for (int j = 0; j < G; ++j) {
        bool any = false;
        for (int i = 0; i < L; ++i) any = any || present(static_cast<int>(k), i, j);
        observed += any;
      }
      std::vector<int> retained;
      for (int i = 0; i < L; ++i) {
        int n = 0;
        for (int j = 0; j < G; ++j) n += present(static_cast<int>(k), i, j);
        ok[i] = ok[i] && n >= c.min_share * observed - 1e-9;
        seen[i] = seen[i] || n > 0;
        entries += !seen[i] ? '2' : ok[i] ? '1' : '0';
        if (entries.back() == '1') retained.push_back(i);
      }
      ASSERT_EQ(blocks[k].entries, entries) << "step " << k + 1;
      testing::Points points(retained.size());
      for (std::size_t w = 0; w <= k; ++w) {
        for (int j = 0; j < G; ++j) {
          bool shared = true;
          for (int i : retained) shared = shared && present(static_cast<int>(w), i, j);
          for (std::size_t a = 0; a < retained.size() && shared; ++a)
            points[a].push_back(x[w][j * L + retained[a]]);
        }
      }
      const std::vector<Fusion> want = testing::brute_force_ward(points);
      ASSERT_EQ(blocks[k].fusions.size(), want.size());
      for (std::size_t f = 0; f < want.size(); ++f) {
        EXPECT_EQ(blocks[k].fusions[f].gi * 1000 + blocks[k].fusions[f].gj,
                  want[f].gi * 1000 + want[f].gj);
        EXPECT_EQ(blocks[k].fusions[f].gij, want[f].gij);
        EXPECT_NEAR(blocks[k].fusions[f].level, want[f].level, 1e-6 * want[f].level);
      }
    }
  }
}

}  // namespace
}  // namespace locseq::classify
