// What the analyst decides from the tables and the page, on trials made for
// the purpose and run as a user would: the best step is the best adjusted
// fit, not the step with the fewest locations per group; groups that do
// not change keep their lineage and colour, whatever numbers the steps give
// them; a sweep of truncation levels is, at the run's level, the run; and
// the distances that name a group's representative and measure how clear
// an allocation is are those the data give.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"

namespace locseq::testing {
namespace {

// A field of a simple CSV row, its quotes taken off (no field holds a comma).
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, ',');) {
    if (f.size() >= 2 && f.front() == '"') f = f.substr(1, f.size() - 2);
    out.push_back(f);
  }
  return out;
}

// A CSV table as rows of named fields.
std::vector<std::map<std::string, std::string>> table(const fs::path& file) {
  std::stringstream in(read_file(file));
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> names = fields(line);
  std::vector<std::map<std::string, std::string>> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> values = fields(line);
    auto& row = rows.emplace_back();
    for (std::size_t k = 0; k < names.size() && k < values.size(); ++k) row[names[k]] = values[k];
  }
  return rows;
}

// A made-up trial as the long table import reads: location l of kind
// kinds[l] has the genotype effects of its kind plus noise; `present` says
// which cells have a value.
struct Trial {
  std::vector<int> kinds;
  int years = 2, genotypes = 10;
  double noise = 0.5;
  std::uint64_t seed = 1;
  bool (*present)(int year, int location, int genotype) = nullptr;

  std::string csv() const {
    std::uint64_t state = seed;
    const auto uniform = [&state] {  // in [-1, 1)
      state = state * 6364136223846793005u + 1442695040888963407u;
      return static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0;
    };
    std::vector<std::vector<double>> effect(3, std::vector<double>(genotypes));
    for (auto& kind : effect) {
      for (double& e : kind) e = uniform();
    }
    std::ostringstream out;
    out << "year,location,genotype,yield\n";
    for (int y = 1; y <= years; ++y) {
      for (int l = 1; l <= static_cast<int>(kinds.size()); ++l) {
        for (int g = 1; g <= genotypes; ++g) {
          const double value = 5 + effect[kinds[l - 1]][g - 1] + noise * uniform();
          if (!present || present(y, l, g)) {
            out << "Y" << y << ",L" << l << ",G" << g << "," << value << "\n";
          }
        }
      }
    }
    return out.str();
  }
};

double number(const std::string& text) {
  return std::stod(text);
}

TEST(Decisions, TheBestStepIsTheBestAdjustedFit) {
  // Step 1 keeps 8 locations, step 2 (locations 5 to 8 measured on a few
  // genotypes in year 2) keeps 4, both cut into 3 groups of the locations'
  // kinds; the same signal. The seed is one on which RSQ and the adjusted
  // RSQ rank the two steps the other way round (checked below), so that the
  // page's choice shows which it follows.
  Trial trial;
  trial.kinds = {0, 0, 1, 2, 0, 1, 2, 1};
  trial.seed = 4;
  trial.present = [](int y, int l, int g) { return y == 1 || l <= 4 || g <= 3; };
  ScratchFolder work;
  write_file(work.path() / "trial.csv", trial.csv());
  const JobRun import =
      run_program(work.path(), {"import", "trial.csv", "T", "-g", "3", "--proximity", "complete"});
  ASSERT_EQ(import.status, 0) << import.error;
  const JobRun run = run_program(
      work.path(), {"run", "T", "-q", "-g", "3", "--tables", "t", "--report", "T.html"});
  ASSERT_EQ(run.status, 0) << run.error;

  const auto steps = table(work.path() / "t" / "steps.csv");
  const auto years = table(work.path() / "t" / "fit_by_year.csv");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].at("retained"), "8");
  EXPECT_EQ(steps[1].at("retained"), "4");
  for (const char* variant : {"classified", "with_allocated"}) {
    for (const auto& step : steps) {
      SCOPED_TRACE(std::string(variant) + " step " + step.at("step"));
      double located = 0, counted = 0;
      for (const auto& y : years) {
        if (y.at("step") == step.at("step") && y.at("variant") == variant &&
            y.at("locmod") != "0") {
          located += number(y.at("locmod"));
          ++counted;
        }
      }
      const double n = located / counted, k = number(step.at("groups"));
      const double rsq = number(step.at(std::string("rsq_") + variant));
      EXPECT_DOUBLE_EQ(number(step.at(std::string("adj_rsq_") + variant)),
                       1 - (1 - rsq) * n / (n - k));
    }
  }
  // RSQ favours the 4 locations; the adjusted RSQ, and the page, the 8.
  EXPECT_GT(number(steps[1].at("rsq_classified")), number(steps[0].at("rsq_classified")));
  EXPECT_GT(number(steps[0].at("adj_rsq_classified")), number(steps[1].at("adj_rsq_classified")));
  EXPECT_EQ(steps[1].at("singleton_groups"), "2");
  const std::string page = read_file(work.path() / "T.html");
  EXPECT_NE(page.find("<strong>Best fit:</strong> the classification of <a href=\"#step-1\">"),
            std::string::npos);
  EXPECT_NE(page.find("<strong>Weakest fit:</strong> <a href=\"#step-2\">"), std::string::npos);
}

// A hierarchy record: "Gpi + Gpj = Gpij D(ij)" in its columns.
std::string record(int gpi, int gpj, int gpij, double level) {
  char line[40];
  std::snprintf(line, sizeof line, "   %4d +%4d =%4d %10.3f\n", gpi, gpj, gpij, level);
  return line;
}

TEST(Decisions, GroupsKeepTheirLineageAndColourWhateverTheirNumbers) {
  // Two steps of the same two groups, {1, 2, 3} and {4, 5, 6}, joined in
  // another order in step 2, so that their numbers swap.
  Trial trial;
  trial.kinds = {0, 0, 0, 1, 1, 1};
  ScratchFolder work;
  write_file(work.path() / "trial.csv", trial.csv());
  ASSERT_EQ(run_program(work.path(), {"import", "trial.csv", "T", "--no-classify"}).status, 0);
  std::string cls = "2 6 10 1 2\nTwo steps, the same groups\n     U     S     C     N\n   1   2\n";
  const int order[2][2] = {{1, 4}, {4, 1}};  // the first location of the group joined first
  for (int step = 1; step <= 2; ++step) {
    cls += "     " + std::to_string(step) + "    Y" + std::to_string(step) + "\n6\n1 1 1 1 1 1\n";
    const int a = order[step - 1][0], b = order[step - 1][1];
    cls += record(a, a + 1, 7, 1) + record(7, a + 2, 8, 2) + record(b, b + 1, 9, 3) +
           record(9, b + 2, 10, 4) + record(8, 10, 11, 9);
  }
  write_file(work.path() / "T.CLS", cls);
  const JobRun run = run_program(
      work.path(), {"run", "T", "-q", "-g", "2", "--tables", "t", "--report", "T.html"});
  ASSERT_EQ(run.status, 0) << run.error;

  std::map<std::string, std::set<std::string>> groups, lineages;  // location -> over the steps
  for (const auto& row : table(work.path() / "t" / "groups.csv")) {
    groups[row.at("location")].insert(row.at("group"));
    lineages[row.at("location")].insert(row.at("lineage"));
  }
  ASSERT_EQ(groups.size(), 6u);
  for (const auto& [location, numbers] : groups) {
    EXPECT_EQ(numbers.size(), 2u) << "location " << location << " keeps its group number";
    EXPECT_EQ(lineages[location].size(), 1u) << "location " << location;
  }
  for (const auto& row : table(work.path() / "t" / "membership.csv")) {
    EXPECT_EQ(row.at("step_1"), row.at("step_2")) << "location " << row.at("location");
  }
  // The group map: each location's cells, in the colour of their lineage.
  const std::string page = read_file(work.path() / "T.html");
  std::map<std::string, std::set<std::string>> fills;  // location -> colours
  for (std::size_t at = page.find("class=\"group\"><title>"); at != std::string::npos;
       at = page.find("class=\"group\"><title>", at + 1)) {
    const std::size_t fill = page.rfind("fill=\"", at);
    const std::size_t title = at + std::string("class=\"group\"><title>").size();
    const std::string tip = page.substr(title, page.find("</title>", title) - title);
    if (tip.find(", step ") == std::string::npos) continue;  // a dendrogram's chip
    fills[tip.substr(0, tip.find(", step "))].insert(page.substr(fill + 6, 7));
  }
  ASSERT_EQ(fills.size(), 6u);
  std::set<std::string> colours;
  for (const auto& [location, seen] : fills) {
    EXPECT_EQ(seen.size(), 1u) << location;
    colours.insert(*seen.begin());
  }
  EXPECT_EQ(colours.size(), 2u);
  EXPECT_NE(page.find("0 locations changed group between steps"), std::string::npos);
  EXPECT_NE(page.find("(index 1.000)</span>: <span class=\"muted\">no change"), std::string::npos);
}

TEST(Decisions, ASweepLevelWhoseRecordCannotBeAppliedHasNoFit) {
  // Six locations; the last record, which only a cut into one group
  // applies, joins a group with itself.
  Trial trial;
  trial.kinds = {0, 0, 0, 1, 1, 1};
  ScratchFolder work;
  write_file(work.path() / "trial.csv", trial.csv());
  ASSERT_EQ(run_program(work.path(), {"import", "trial.csv", "T", "--no-classify"}).status, 0);
  write_file(work.path() / "T.CLS",
             "2 6 10 1 2\nA bad last record\n     U     S     C     N\n   1   2\n     1    Y1\n6\n"
             "1 1 1 1 1 1\n" +
                 record(1, 2, 7, 1) + record(7, 3, 8, 2) + record(4, 5, 9, 3) +
                 record(9, 6, 10, 4) + record(8, 8, 11, 9));
  const JobRun run =
      run_program(work.path(), {"run", "T", "-q", "-g", "2", "--sweep", "1:3", "--tables", "t"});
  ASSERT_EQ(run.status, 0) << run.error;
  const auto sweep = table(work.path() / "t" / "sweep.csv");
  ASSERT_EQ(sweep.size(), 3u);
  EXPECT_EQ(sweep[0].at("rsq_classified"), "NA");
  EXPECT_NE(sweep[1].at("rsq_classified"), "NA");
  EXPECT_NE(sweep[2].at("rsq_classified"), "NA");
  EXPECT_NE(run.error.find("T.CLS:12: warning: the sweep has no fit at 1 group for block 1: "
                           "hierarchy record 5"),
            std::string::npos)
      << run.error;
}

const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;

// The example job, copied into `work` as WHEAT.*.
void copy_example(const fs::path& work) {
  for (const char* ext : {".CLS", ".NAQ", ".SEQ"}) {
    write_file(work / (std::string("WHEAT") + ext),
               read_file(kExamples / (std::string("WHEAT") + ext)));
  }
}

TEST(Decisions, TheSweepIsTheRunAtTheRunsLevel) {
  ScratchFolder work;
  copy_example(work.path());
  const JobRun run = run_program(
      work.path(), {"run", "WHEAT", "-q", "--sweep", "2:6", "--tables", "t", "--report", "W.html"});
  ASSERT_EQ(run.status, 0) << run.error;
  const auto steps = table(work.path() / "t" / "steps.csv");
  const auto sweep = table(work.path() / "t" / "sweep.csv");
  ASSERT_EQ(sweep.size(), steps.size() * 5);
  std::size_t at_run_level = 0;
  for (const auto& row : sweep) {
    const auto& step = steps.at(std::stoul(row.at("step")) - 1);
    for (const char* column : {"retained", "eliminated"})
      EXPECT_EQ(row.at(column), step.at(column));
    if (row.at("groups") != step.at("groups")) continue;
    ++at_run_level;
    for (const char* column :
         {"rsq_classified", "rsq_with_allocated", "adj_rsq_classified", "adj_rsq_with_allocated"}) {
      EXPECT_EQ(row.at(column), step.at(column)) << "step " << row.at("step") << " " << column;
    }
  }
  EXPECT_EQ(at_run_level, steps.size());
  // At another level, a run with -g at that level.
  const JobRun three =
      run_program(work.path(), {"run", "WHEAT", "-q", "-g", "3", "--tables", "g3", "-o", "g3"});
  ASSERT_EQ(three.status, 0) << three.error;
  const auto at_three = table(work.path() / "g3" / "steps.csv");
  for (const auto& row : sweep) {
    if (row.at("groups") != "3") continue;
    const auto& step = at_three.at(std::stoul(row.at("step")) - 1);
    for (const char* column :
         {"rsq_classified", "rsq_with_allocated", "adj_rsq_classified", "adj_rsq_with_allocated"}) {
      EXPECT_EQ(row.at(column), step.at(column)) << "step " << row.at("step") << " " << column;
    }
  }
  const std::string page = read_file(work.path() / "W.html");
  EXPECT_NE(page.find("id=\"sweep\""), std::string::npos);
  EXPECT_NE(page.find("id=\"sweep-chart\""), std::string::npos);

  // Levels a step retains too few locations for: NA fits, a warning each.
  const JobRun beyond =
      run_program(work.path(), {"run", "WHEAT", "-q", "--sweep", "16:18", "--tables", "t"});
  ASSERT_EQ(beyond.status, 0) << beyond.error;
  std::set<std::string> uncut;  // levels with NA rows
  for (const auto& row : table(work.path() / "t" / "sweep.csv")) {
    const bool cut = std::stoi(row.at("groups")) < std::stoi(row.at("retained"));
    EXPECT_EQ(row.at("rsq_classified") == "NA", !cut) << row.at("step") << " " << row.at("groups");
    if (!cut) uncut.insert(row.at("groups"));
  }
  EXPECT_FALSE(uncut.empty());
  // Each level is named in one warning: "no fit at 17, 18 groups for ...".
  std::multiset<std::string> said;
  std::stringstream lines(beyond.error);
  const std::string mark = "warning: the sweep has no fit at ";
  for (std::string line; std::getline(lines, line);) {
    if (line.find(mark) == std::string::npos) continue;
    std::stringstream levels(line.substr(line.find(mark) + mark.size()));
    for (std::string level; levels >> level && level != "groups";) {
      said.insert(level.substr(0, level.find(',')));
    }
  }
  EXPECT_EQ(said, std::multiset<std::string>(uncut.begin(), uncut.end())) << beyond.error;
}

// The distance of every member of every group to its centroid, and the
// margin of every allocation, worked out from the .SEQ of the example:
// each year's values centred per location, a group's centroid the means of
// its retained members, a distance the mean squared difference over the
// cells a location shares with the centroid over the step's years.
TEST(Decisions, DistancesToCentroidsAndMarginsAreThoseOfTheData) {
  ScratchFolder work;
  copy_example(work.path());
  const JobRun run = run_program(work.path(), {"run", "WHEAT", "-q", "--tables", "t"});
  ASSERT_EQ(run.status, 0) << run.error;
  using Cell = std::array<int, 3>;  // year, location, genotype
  std::map<Cell, double> centred;
  std::ifstream seq(kExamples / "WHEAT.SEQ");
  for (int y, l, g; seq >> y >> l >> g;) seq >> centred[{y, l, g}];
  std::map<std::pair<int, int>, std::pair<double, int>> sums;  // (year, location)
  for (const auto& [cell, v] : centred) {
    auto& s = sums[{cell[0], cell[1]}];
    s.first += v;
    ++s.second;
  }
  for (auto& [cell, v] : centred) {
    const auto& s = sums[{cell[0], cell[1]}];
    v -= s.first / s.second;
  }
  // The mean distance of location u to the centroid of `members` over the
  // years first to last; none without a shared cell.
  const auto distance = [&](int u, const std::vector<int>& members, int first, int last) {
    double sum = 0;
    int cells = 0;
    for (const auto& [cell, x] : centred) {
      if (cell[1] != u || cell[0] < first || cell[0] > last) continue;
      double mean = 0;
      int n = 0;
      for (const int m : members) {
        const auto it = centred.find({cell[0], m, cell[2]});
        if (it != centred.end()) mean += it->second, ++n;
      }
      if (n == 0) continue;
      sum += (x - mean / n) * (x - mean / n);
      ++cells;
    }
    return cells > 0 ? std::optional<double>(sum / cells) : std::nullopt;
  };
  const auto near = [](double expected, double value) {
    return std::fabs(value - expected) <= 1e-5 * std::fabs(expected);
  };

  const auto steps = table(work.path() / "t" / "steps.csv");
  const auto groups = table(work.path() / "t" / "groups.csv");
  std::map<std::pair<std::string, std::string>, std::vector<int>> retained;  // (step, group)
  for (const auto& row : groups) {
    if (row.at("role") == "retained")
      retained[{row.at("step"), row.at("group")}].push_back(std::stoi(row.at("location")));
  }
  std::size_t representatives = 0;
  for (const auto& row : groups) {
    const auto& step = steps.at(std::stoul(row.at("step")) - 1);
    const int first = std::stoi(step.at("first_year")), last = std::stoi(step.at("last_year"));
    const std::vector<int>& members = retained[{row.at("step"), row.at("group")}];
    const std::optional<double> d = distance(std::stoi(row.at("location")), members, first, last);
    ASSERT_TRUE(d.has_value());
    EXPECT_TRUE(near(*d, number(row.at("distance_to_centroid")))) << row.at("distance_to_centroid");
    if (row.at("representative") == "false") continue;
    ++representatives;
    EXPECT_EQ(row.at("role"), "retained");
    for (const int m : members) EXPECT_GE(*distance(m, members, first, last), *d * (1 - 1e-5));
  }
  EXPECT_EQ(representatives, retained.size());

  std::size_t margins = 0;
  for (const auto& row : table(work.path() / "t" / "distances.csv")) {
    const auto& step = steps.at(std::stoul(row.at("step")) - 1);
    const int first = std::stoi(step.at("first_year")), last = std::stoi(step.at("last_year"));
    std::vector<double> in_reach;
    for (const auto& [key, members] : retained) {
      if (key.first != row.at("step")) continue;
      if (auto d = distance(std::stoi(row.at("location")), members, first, last)) {
        in_reach.push_back(*d);
      }
    }
    std::sort(in_reach.begin(), in_reach.end());
    ASSERT_GE(in_reach.size(), 2u);
    // The ratio of the two smallest, to within the precision of the means.
    EXPECT_TRUE(near(in_reach[1] / in_reach[0], 1 + number(row.at("margin")))) << row.at("margin");
    ++margins;
  }
  EXPECT_GT(margins, 0u);
}

}  // namespace
}  // namespace locseq::testing
