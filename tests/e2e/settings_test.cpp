// The settings file a classification leaves beside its .CLS, as run and
// check take it: the level and the standardisation it was classified for,
// the command line first, a level the blocks cannot take refused before
// anything is written, and a job without the file run as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/compare.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;

bool holds(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The number of the line of `text` that starts with `head`, as text.
std::string line_of(const std::string& text, const std::string& head) {
  const std::vector<std::string> lines = lines_of(text);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (lines[n].rfind(head, 0) == 0) return std::to_string(n + 1);
  }
  return "?";
}

// A trial of 9 locations over 3 seasons whose first season was grown at
// three of them: classified with -g 2 its first step retains 3 locations,
// which the square-root rule's 3 groups cannot cut.
std::string small_trial() {
  std::string table = "season,site,entry,yield\n";
  for (int y = 1; y <= 3; ++y) {
    for (int l = 1; l <= 9; ++l) {
      if (y == 1 && l > 3) continue;
      for (int g = 1; g <= 12; ++g) {
        const int v = 400 + (l * 37 + g * 13 + y * 5) % 97 + l * 10;
        table += std::to_string(2020 + y) + ",S" + std::to_string(l) + ",G" + std::to_string(g) +
                 "," + std::to_string(v / 100) + "." + std::to_string(v % 100) + "\n";
      }
    }
  }
  return table;
}

// The job J imported from that trial with -g 2 --sed standardized.
const std::map<std::string, std::string>& classified_job() {
  static const std::map<std::string, std::string> job = [] {
    ScratchFolder work;
    write_file(work.path() / "t.csv", small_trial());
    const JobRun r =
        run_program(work.path(), {"import", "t.csv", "J", "-g", "2", "--sed", "standardized"});
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_TRUE(holds(r.console, "3 steps, data years 1 to 3, cut into 2 groups")) << r.console;
    std::map<std::string, std::string> files = read_files(work.path());
    files.erase("t.csv");
    return files;
  }();
  return job;
}

TEST(Settings, ImportWritesWhatTheJobWasMadeWith) {
  const std::string settings = classified_job().at("J.settings");
  for (const char* line :
       {"version = 1.0.0", "groups = 2", "standardize = yes", "proximity = pairwise",
        "min_share = 0.8", "min_years = 0.5", "min_cells = 10", "first_year = 1  # 2021",
        "last_year = 3  # 2023", "table = t.csv", "delimiter = ,", "replicates = error",
        "year_column = season", "location_column = site", "genotype_column = entry",
        "value_column = yield", "rename = no"}) {
    EXPECT_TRUE(holds(settings, std::string("\n") + line + "\n")) << line << "\n" << settings;
  }
  EXPECT_TRUE(holds(classified_job().at("J.CLS"), "\nt: 3 seasons, pairwise Ward\n"));
}

// Each case runs (and checks) J with the settings as changed.
struct Case {
  std::string what;
  std::string from, to;  // J.settings with `from` replaced by `to`: unchanged when both
                         // are empty, the whole file when `from` is "*", none when `to` is
                         // "-"
  Args args;             // after "run J -q" (and after "check J")
  int status;            // of the run
  // On the run's standard error, in order (none: nothing may be there);
  // {G} stands for the line of groups in J.settings, {N} for the next, {I}
  // for the line of the import's heading.
  std::vector<std::string> error;
  int level;          // NGP of the run that ends 0
  bool again;         // it standardised the data again
  std::string check;  // the summary of check, "" when not checked
};

TEST(Settings, RunAndCheckTakeTheLevelAndTheStandardisation) {
  const std::string note = "locseq: J.settings: note: ";
  const std::string refused =
      "locseq: J.CLS:6: block 1 retains 3 and eliminates 0 locations: it "
      "cannot be cut into ";
  const std::vector<Case> cases = {
      {"as classified",
       "",
       "",
       {},
       0,
       {note + "groups 2 and standardize yes, as classified (-g N or --no-standardize to change)"},
       2,
       true,
       "0 errors, 0 warnings"},
      {"-g wins over groups",
       "",
       "",
       {"-g", "1"},
       0,
       {note + "standardize yes, as classified (--no-standardize to change)"},
       1,
       true,
       "0 errors, 0 warnings"},
      {"--no-standardize wins over standardize",
       "",
       "",
       {"--no-standardize"},
       0,
       {note + "groups 2, as classified (-g N to change)"},
       2,
       false,
       "0 errors, 0 warnings"},
      {"-s, as the settings say",
       "",
       "",
       {"-s"},
       0,
       {note + "groups 2, as classified (-g N to change)"},
       2,
       true,
       ""},
      {"both given",
       "",
       "",
       {"-g", "2", "--no-standardize"},
       0,
       {},
       2,
       false,
       "0 errors, 0 warnings"},
      {"no settings file: as before",
       "",
       "-",
       {},
       1,
       {"locseq: J.CLS:6: block 1: 3 retained locations cannot be cut into 3 groups (NGP)",
        "locseq: no report was written; earlier reports were left unchanged"},
       0,
       false,
       "1 error, 0 warnings"},
      {"no settings file, the options given",
       "",
       "-",
       {"-g", "2", "-s"},
       0,
       {},
       2,
       true,
       "0 errors, 0 warnings"},
      {"an unknown key",
       "\n# The import",
       "\ncolour = red\n# The import",
       {},
       0,
       {"locseq: J.settings:{I}: warning: unknown key 'colour' is ignored", note + "groups 2"},
       2,
       true,
       "0 errors, 1 warning"},
      {"a malformed line",
       "groups = 2",
       "groups = 2\nstandardize yes",
       {},
       1,
       {"locseq: J.settings:{N}: expected KEY = VALUE: no '=' after the key 'standardize'"},
       0,
       false,
       "2 errors, 0 warnings"},
      {"a level the blocks cannot take",
       "",
       "",
       {"-g", "3"},
       1,
       {note + "standardize yes",
        refused + "3 groups (-g 3), as a run cuts a block only when it retains more locations than "
                  "groups; "
                  "J.CLS was classified for 2 groups (J.settings:{G}); -g 2 or lower cuts every "
                  "block"},
       0,
       false,
       "1 error, 0 warnings"},
      {"groups edited beyond the blocks",
       "groups = 2",
       "groups = 4",
       {},
       1,
       {note + "groups 4 and standardize yes", refused + "4 groups (groups = 4 in J.settings:{G})"},
       0,
       false,
       "1 error, 0 warnings"},
      {"groups above MAXL",
       "groups = 2",
       "groups = 10",
       {},
       1,
       {"locseq: J.settings:{G}: groups = 10 is above MAXL (9) of J.CLS"},
       0,
       false,
       "2 errors, 0 warnings"},
      {"standardize neither yes nor no",
       "standardize = yes",
       "standardize = 1",
       {},
       1,
       {"locseq: J.settings:{N}: standardize must be yes or no, not '1'"},
       0,
       false,
       ""},
      {"an empty file", "*", "", {"-g", "2"}, 0, {}, 2, false, "0 errors, 0 warnings"},
      {"a file of comments",
       "*",
       "# groups = 5\r\n\r\n",
       {},
       1,
       {refused + "3 groups (the square-root rule)"},
       0,
       false,
       "1 error, 0 warnings"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work;
    for (const auto& [name, content] : classified_job()) write_file(work.path() / name, content);
    const std::string settings = classified_job().at("J.settings");
    const std::string groups = line_of(settings, "groups = ");
    const auto lines = [&](std::string text) {
      text = replaced(text, "{G}", groups);
      text = replaced(text, "{N}", std::to_string(std::stoi(groups) + 1));
      return replaced(text, "{I}", line_of(settings, "# The import"));
    };
    if (c.to == "-") {
      fs::remove(work.path() / "J.settings");
    } else {
      write_file(work.path() / "J.settings", c.from == "*"    ? c.to
                                             : c.from.empty() ? settings
                                                              : replaced(settings, c.from, c.to));
    }
    Args args = {"run", "J", "-q"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const JobRun r = run_program(work.path(), args);
    EXPECT_EQ(r.status, c.status) << r.error;
    if (c.error.empty()) {
      EXPECT_EQ(r.error, "");
    }
    std::size_t at = 0;
    for (const std::string& message : c.error) {
      at = r.error.find(lines(message), at);
      ASSERT_NE(at, std::string::npos) << "missing, in order: " << lines(message) << "\n"
                                       << r.error;
    }
    const bool ran = fs::exists(work.path() / "J.SCO");
    EXPECT_EQ(ran, c.status == 0) << "a failed run wrote its reports";
    if (ran) {
      const std::string sco = read_file(work.path() / "J.SCO");
      EXPECT_TRUE(holds(sco, "(NGP) =      " + std::to_string(c.level)));
      EXPECT_EQ(holds(sco, "Location standardise"), c.again);
      std::size_t steps = 0;
      for (std::size_t from = 0;
           (from = sco.find("Calculate overall fit", from)) != std::string::npos; ++from) {
        ++steps;
      }
      EXPECT_EQ(steps, 3u) << "every step is run";
    }
    if (c.check.empty()) continue;
    args[0] = "check";
    args.erase(std::find(args.begin(), args.end(), "-q"));
    const JobRun k = run_program(work.path(), args);
    EXPECT_EQ(k.console, "locseq check J: " + c.check + "\n") << k.error;
  }
}

// The outputs a run takes its options from: the page's line, and the
// dialogue, which asks and never reads the file.
TEST(Settings, ThePageSaysWhereTheOptionsCameFromAndTheDialogueIgnoresThem) {
  ScratchFolder work;
  for (const auto& [name, content] : classified_job()) write_file(work.path() / name, content);
  JobRun r = run_program(work.path(), {"run", "J", "-q", "--report", "p.html"});
  ASSERT_EQ(r.status, 0) << r.error;
  const std::string page = read_file(work.path() / "p.html");
  EXPECT_TRUE(holds(page, "<dt>As classified</dt><dd>groups 2 and standardize yes "))
      << page.substr(page.find("<dl"), 800);
  EXPECT_TRUE(holds(page, "J.settings</bdi>)</span>")) << page.substr(page.find("<dl"), 800);
  EXPECT_TRUE(holds(page, "<dt>Options given</dt><dd><code>--areas fixed</code>"));

  r = run_program(work.path(), {}, "Y\nJ\nN\n2\nN\n");
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.error, "");
  EXPECT_FALSE(holds(read_file(work.path() / "J.SCO"), "Location standardise"));
  r = run_program(work.path(), {}, "Y\nJ\nY\nY\n");  // the square-root rule: 3 groups
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(holds(r.error, "cannot be cut into 3 groups (NGP)")) << r.error;
}

}  // namespace
}  // namespace locseq::testing
