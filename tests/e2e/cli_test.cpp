// The command line: its conventions (help, version, usage errors and their
// status) and `locseq run`, which must write the reports of the dialogue
// given the same answers and show its console without the prompts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "setup/dialogue.h"
#include "support/command_runner.h"
#include "support/compare.h"
#include "support/sample_jobs.h"

namespace locseq::testing {
namespace {

using Args = std::vector<std::string>;

const fs::path kGolden = LOCSEQ_GOLDEN_DIR;
const fs::path kExamples = LOCSEQ_EXAMPLES_DIR;

bool starts_with(const std::string& s, const std::string& head) {
  return s.rfind(head, 0) == 0;
}
bool holds(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

// The console of the dialogue without its prompts: each prompt goes, with
// the line end that follows it where there is one.
std::string without_prompts(const std::string& console) {
  static const char* const kPrompts[] = {
      " Do you wish default file names (Y or N)? - ",
      " Enter job name (ie. name for files without extension)",
      " Enter name of input file  (*.CLS) - ",
      " Enter name of input file  (*.NAQ) - ",
      " Enter name of input file  (*.SEQ) - ",
      " Enter name of output file (*.SCO) - ",
      " Enter name of output file (*.COS) - ",
      " Enter name of output file (*.ALC) - ",
      " Default truncation level (Y or N) :",
      "             Type truncation level :",
      "     Standardize again? (Y or N) :",
  };
  std::string out;
  for (std::size_t at = 0; at < console.size();) {
    const char* const* p = std::find_if(
        std::begin(kPrompts), std::end(kPrompts),
        [&](const char* prompt) { return console.compare(at, std::strlen(prompt), prompt) == 0; });
    if (p == std::end(kPrompts)) {
      out += console[at++];
      continue;
    }
    at += std::strlen(*p);
    if (at < console.size() && console[at] == '\n') ++at;
  }
  return out;
}

TEST(CommandLine, VersionAndHelpGoToStandardOutput) {
  const struct {
    Args args;
    std::string first_line_head;  // what the first line of standard output starts with
    std::string shows;            // and what it shows further on
  } cases[] = {
      {{"--version"}, "locseq 1.0.0", ""},
      {{"--help"}, "", "classify"},
      {{"-h"}, "", "Usage: locseq"},
      {{"run", "--help"}, "", "--tables DIR"},
      {{"check", "--help"}, "", "locseq check"},
      {{"import", "--help"}, "", "--replicates"},
      {{"classify", "--help"}, "", "--min-share"},
  };
  ScratchFolder work;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(starts_with(r.console, c.first_line_head)) << r.console;
    EXPECT_TRUE(holds(r.console, c.shows)) << r.console;
  }
  EXPECT_TRUE(fs::is_empty(work.path()));
}

TEST(CommandLine, UsageErrorsEndWithStatusTwoNamingWhatIsWrong) {
  const struct {
    Args args;
    std::string named;
  } cases[] = {
      {{"frob"}, "'frob'"},
      {{"frob", "J"}, "'frob'"},
      {{"run"}, "JOB"},
      {{"check"}, "JOB"},
      {{"classify"}, "JOB"},
      {{"import", "t.csv"}, "JOB"},
      {{"run", "J", "-g", "2.5"}, "--groups"},
      {{"run", "J", "-g", "0"}, "--groups"},
      {{"run", "J", "--groups", "-3"}, "--groups"},
      {{"run", "J", "-g", "99999999999"}, "--groups"},
      {{"run", "J", "-g"}, "--groups"},
      {{"check", "J", "-g", "2.5"}, "--groups"},
      {{"check", "J", "-g", "0"}, "--groups"},
      {{"classify", "J", "-g", "x"}, "--groups"},
      {{"run", "J", "--areas", "big"}, "--areas"},
      {{"check", "J", "--areas", "big"}, "--areas"},
      {{"run", "J", "--sweep", "6:2"}, "--sweep: '6:2' runs downwards"},
      {{"run", "J", "--sweep", "0:4"}, "--sweep: '0:4': the level '0'"},
      {{"run", "J", "--sweep", "2:x"}, "the level 'x' is not a whole number"},
      {{"run", "J", "--sweep", "4"}, "is not a range of levels A:B"},
      {{"run", "J", "--sweep", "2:99999999999"}, "is too large"},
      {{"run", "J", "--bogus"}, "--bogus"},
      {{"run", "J", "-q", "--console"}, "--console"},
      {{"import", "t.csv", "J", "--replicates", "median"}, "--replicates"},
      {{"classify", "J", "--sed", "raw"}, "--sed"},
  };
  ScratchFolder work;
  write_file(work.path() / "t.csv", "year,location,genotype,value\n1,A,G,1\n");
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.console.empty()) << r.console;
    EXPECT_TRUE(starts_with(r.error, "locseq: ")) << r.error;
    EXPECT_TRUE(holds(r.error.substr(0, r.error.find('\n')), c.named)) << r.error;
  }
  EXPECT_EQ(read_files(work.path()).size(), 1u) << "a usage error made a file";
}

// Usage errors say clearly what is wrong.
TEST(CommandLine, UsageMessagesSayWhatIsExpected) {
  const struct {
    Args args;
    std::string says;
  } cases[] = {
      {{"--bogus"}, "--bogus"},
      {{"check", "J", "-g", "0"}, "not a whole number of at least 1"},
  };
  ScratchFolder work;
  std::string faults;
  for (const auto& c : cases) {
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_EQ(r.status, 2);
    if (!holds(r.error, c.says)) faults += "'" + c.args[0] + "...' says: " + r.error;
  }
  EXPECT_EQ(faults, "");
}

TEST(CommandLine, ATruncationLevelAboveMaxlIsBadInputForTheJob) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  const JobRun r = run_program(work.path(), {"run", "WHEAT", "-g", "21"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(starts_with(r.error, "locseq: --groups: ")) << r.error;
  EXPECT_TRUE(holds(r.error, "MAXL (20)")) << r.error;
  EXPECT_FALSE(fs::exists(work.path() / "WHEAT.SCO"));
}

// A golden job as `locseq run --console` runs it: its arguments, and the
// names its files get, where the dialogue's names do not share a job name
// and a prefix of the reports (dialogue's name -> run's; as the files are
// named, and as the dialogue was given them).
struct RunPlan {
  Args args{"run", "--console"};
  std::map<std::string, std::string> renamed, typed;
};

// The plan that gives the answers of the golden job in `case_folder`, or
// none where the dialogue fails on its answers or its file names, which
// `run` cannot give: answers that end before the questions do, two of the
// six names one file, a typed level that is not a whole number in 1 to
// MAXL.
std::optional<RunPlan> run_plan(const fs::path& case_folder) {
  std::vector<std::string> a = lines_of(read_file(case_folder / "stdin"));
  for (std::string& line : a) line = line.substr(0, 50);  // as the dialogue reads them
  auto yes = [](const std::string& line) {
    return !line.empty() && (line[0] == 'Y' || line[0] == 'y');
  };
  std::size_t at = 0;
  if (a.empty()) return std::nullopt;
  FileNames names;
  if (yes(a[at++])) {
    if (at >= a.size()) return std::nullopt;
    names = default_file_names(a[at++]);
  } else {
    if (a.size() < at + 6) return std::nullopt;
    for (std::string& name : names) {
      name = a[at++];
      name.erase(name.find_last_not_of(' ') + 1);
    }
  }
  std::set<std::string> distinct;
  for (const std::string& name : names) distinct.insert(fs::path(name).lexically_normal().string());
  if (distinct.size() < names.size()) return std::nullopt;
  RunPlan plan;
  auto base = [&names](std::size_t k) {
    const std::string name = fs::path(names[k]).lexically_normal().string();
    const std::string ext = kFileKinds[k];
    const bool has =
        name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    return has ? name.substr(0, name.size() - ext.size()) : std::string();
  };
  const std::string job = base(0), prefix = base(3);
  const bool shared = !job.empty() && !prefix.empty() && base(1) == job && base(2) == job &&
                      base(4) == prefix && base(5) == prefix;
  plan.args.push_back(shared ? job : "J");
  if (shared && prefix != job) plan.args.insert(plan.args.end(), {"-o", prefix});
  for (std::size_t k = 0; k < names.size(); ++k) {
    const std::string ours = (!shared ? "J" : k < 3 ? job : prefix) + kFileKinds[k];
    if (!shared) plan.renamed[fs::path(names[k]).lexically_normal().string()] = ours;
    if (names[k] != ours) plan.typed[names[k]] = ours;
  }
  if (at >= a.size()) return std::nullopt;
  if (!yes(a[at++])) {
    while (at < a.size() && a[at].find_first_not_of(' ') == std::string::npos) ++at;
    if (at >= a.size()) return std::nullopt;
    const std::string line = a[at++];
    const std::size_t from = line.find_first_not_of(' ');
    const std::size_t to = line.find_first_not_of("0123456789", from);
    const std::string level = line.substr(from, to - from);
    if (level.empty() || (to != std::string::npos && line[to] != ' ')) return std::nullopt;
    std::string cls = read_file(case_folder / fs::path(names[0]).lexically_normal());
    std::replace(cls.begin(), cls.end(), ',', ' ');
    std::istringstream head(cls);
    long MAXY = 0, MAXL = 0;
    head >> MAXY >> MAXL;
    if (std::stol(level) < 1 || std::stol(level) > MAXL) return std::nullopt;
    plan.args.insert(plan.args.end(), {"-g", level});
  }
  if (at < a.size() && yes(a[at])) plan.args.push_back("-s");
  return plan;
}

// `text` with every name of `renamed` replaced by its new name, the
// longest first.
std::string renamed_in(std::string text, const std::map<std::string, std::string>& renamed) {
  std::vector<std::pair<std::string, std::string>> longest(renamed.begin(), renamed.end());
  std::stable_sort(longest.begin(), longest.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
  for (const auto& [from, to] : longest) {
    for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
         at += to.size()) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

// The golden jobs whose answers `run` can give.
std::vector<std::string> golden_jobs() {
  std::vector<std::string> jobs;
  for (const auto& entry : fs::directory_iterator(kGolden)) {
    if (entry.is_directory() && run_plan(entry.path() / "case")) {
      jobs.push_back(entry.path().filename().string());
    }
  }
  std::sort(jobs.begin(), jobs.end());
  return jobs;
}

class RunConsole : public ::testing::TestWithParam<std::string> {};

// `run --console` with the options that give the dialogue's answers shows
// the dialogue's console without its prompts, ends as it does and writes
// its reports, on every golden job whose answers it can give.
TEST_P(RunConsole, IsTheDialoguesConsoleWithoutItsPrompts) {
  const fs::path job = kGolden / GetParam();
  const std::optional<RunPlan> plan = run_plan(job / "case");
  ASSERT_TRUE(plan);
  ScratchFolder work, dialogue;
  copy_files(job / "case", dialogue.path(), {"stdin"});
  for (const auto& [name, content] : read_files(dialogue.path())) {
    const auto to = plan->renamed.find(name);
    write_file(work.path() / (to == plan->renamed.end() ? name : to->second), content);
  }
  for (const fs::path& folder : {work.path(), dialogue.path()}) {
    copy_files(job / "case" / "preexisting", folder);
  }
  const auto before = read_files(work.path());
  const JobRun d = run_program(dialogue.path(), {}, read_file(job / "case" / "stdin"));
  const std::string console = without_prompts(read_file(job / "expected" / "console"));
  EXPECT_FALSE(holds(d.error, "standard input")) << "the dialogue failed on its answers";

  const JobRun r = run_program(work.path(), plan->args);
  const bool refused = holds(console, " INCREASE DIMENSION OF ");
  EXPECT_EQ(r.status, d.status == 0 ? (refused ? 3 : 0) : 1) << r.error;
  EXPECT_TRUE(same_text(console, r.console)) << "standard output";
  const auto after = read_files(work.path());
  auto expected = before;  // a failed run changes nothing
  if (d.status == 0) {
    for (const auto& [name, content] : read_files(job / "expected" / "files")) {
      const std::string ours = renamed_in(name, plan->renamed);
      EXPECT_TRUE(same_text(content, after.count(ours) ? after.at(ours) : "")) << ours;
      expected[ours] = content;
    }
  }
  EXPECT_TRUE(after == expected) << "inputs or earlier files changed, or files made that the "
                                    "dialogue does not make";
  // Warnings and errors are the dialogue's; a refusal adds its reason.
  const std::string said = renamed_in(d.error, plan->typed);
  if (refused) {
    EXPECT_TRUE(starts_with(r.error, said)) << r.error;
    EXPECT_TRUE(holds(r.error, "the job was refused")) << r.error;
  } else {
    EXPECT_EQ(r.error, said);
  }
}

INSTANTIATE_TEST_SUITE_P(Golden, RunConsole, ::testing::ValuesIn(golden_jobs()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           std::string name = param.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// Without --console, the refusal's lines go to standard error.
TEST(RunCommandRefused, SaysTheRefusalOnStandardErrorUnlessConsole) {
  const fs::path job = kGolden / "setup-refused-3";
  std::string increase;  // the refusal lines of the console, each after "locseq: "
  for (const std::string& line : lines_of(read_file(job / "expected" / "console"))) {
    const std::size_t at = line.find(" INCREASE DIMENSION");
    if (at != std::string::npos) increase += "locseq: " + line.substr(at) + "\n";
  }
  ASSERT_FALSE(increase.empty());
  for (const Args& args :
       {Args{"run", "series-A", "-g", "305", "-q"}, Args{"run", "series-A", "-g", "305"}}) {
    SCOPED_TRACE(args.back());
    ScratchFolder work;
    copy_files(job / "case", work.path(), {"stdin"});
    const JobRun r = run_program(work.path(), args);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.console.empty()) << r.console;
    for (const auto& [name, content] : read_files(job / "expected" / "files")) {
      EXPECT_TRUE(same_text(content, read_file(work.path() / name))) << name;
    }
    EXPECT_TRUE(starts_with(r.error, increase)) << r.error;
    EXPECT_TRUE(holds(r.error, "the dimension table in series-A.SCO")) << r.error;
  }
}

// The summary of a run: a line per step, its numbers those of steps.csv
// (RSQ to four decimals), then the files written.
TEST(RunSummary, ShowsEachStepAsTheTablesHaveItAndTheFilesWritten) {
  ScratchFolder work;
  copy_files(kExamples, work.path());
  const JobRun r = run_program(
      work.path(), {"run", "WHEAT", "--tables", "t", "--report", "p.html", "--plots", "P"});
  ASSERT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.error, "");
  std::string expected =
      "  step  year      retained  eliminated  groups  RSQ classified  with allocated\n";
  const std::vector<std::string> rows = lines_of(read_file(work.path() / "t" / "steps.csv"));
  ASSERT_EQ(rows.size(), 7u);
  for (std::size_t k = 1; k < rows.size(); ++k) {
    std::vector<std::string> f;
    std::istringstream fields(rows[k]);
    for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
    ASSERT_EQ(f.size(), 20u) << rows[k];
    auto rsq = [](const std::string& field) {
      char text[32];
      std::snprintf(text, sizeof text, "%16.4f", std::stod(field));
      return field == "NA" ? std::string(14, ' ') + "NA" : std::string(text);
    };
    char line[128];
    std::snprintf(line, sizeof line, "%6s  %-8s%10s%12s%8s", f[0].c_str(),
                  f[2].substr(1, f[2].size() - 2).c_str(), f[5].c_str(), f[6].c_str(),
                  f[7].c_str());
    expected += line + rsq(f[11]) + rsq(f[15]) + "\n";
  }
  expected +=
      "locseq: wrote WHEAT.SCO WHEAT.COS WHEAT.ALC, t/ (5 tables), p.html, P/ (9 figures)\n";
  EXPECT_TRUE(same_text(expected, r.console));
}

// Options that change where the output goes, not what it is: each must
// give the reports of the dialogue on the example job.
TEST(RunOptions, LeaveTheReportsAsTheDialogueWritesThem) {
  ScratchFolder dialogue;
  copy_files(kExamples, dialogue.path());
  const JobRun d = run_program(dialogue.path(), {}, read_file(kExamples / "answers"));
  ASSERT_EQ(d.status, 0) << d.error;
  EXPECT_TRUE(starts_with(d.console, " Do you wish default file names (Y or N)? - "));
  const std::string console = without_prompts(d.console);

  enum Shows { kSummary, kConsole, kNothing };  // on standard output
  const struct {
    Args args;
    std::string prefix;  // of the reports
    Shows shows;
    std::string note;  // what standard error holds besides
  } cases[] = {
      {{"run", "WHEAT"}, "WHEAT", kSummary, ""},
      {{"run", "WHEAT", "--console"}, "WHEAT", kConsole, ""},
      {{"run", "WHEAT", "-q"}, "WHEAT", kNothing, ""},
      {{"run", "--quiet", "WHEAT", "--out", "sub/x"}, "sub/x", kNothing, ""},
      {{"run", "WHEAT", "-o", "y"}, "y", kSummary, ""},
      {{"run", "WHEAT", "-s", "--console"},
       "WHEAT",
       kConsole,
       "locseq: WHEAT.CLS: note: -s is ignored: SEDTYP is 'C'"},
      {{"run", "WHEAT", "--areas", "fixed"}, "WHEAT", kSummary, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    ScratchFolder work;
    copy_files(kExamples, work.path());
    fs::create_directory(work.path() / "sub");
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_EQ(r.status, 0) << r.error;
    if (c.shows == kSummary) {
      // The header, a line per step, the files (the summary's own test
      // reads its numbers).
      EXPECT_EQ(lines_of(r.console).size(), 8u) << r.console;
      EXPECT_TRUE(holds(r.console, "\nlocseq: wrote " + c.prefix + ".SCO " + c.prefix + ".COS " +
                                       c.prefix + ".ALC\n"))
          << r.console;
    } else {
      EXPECT_TRUE(same_text(c.shows == kConsole ? console : "", r.console));
    }
    EXPECT_EQ(r.error.empty(), c.note.empty()) << r.error;
    EXPECT_TRUE(starts_with(r.error, c.note)) << r.error;
    for (const char* kind : {".SCO", ".COS", ".ALC"}) {
      EXPECT_TRUE(same_text(read_file(dialogue.path() / (std::string("WHEAT") + kind)),
                            read_file(work.path() / (c.prefix + kind))))
          << c.prefix << kind;
    }
    const bool beside = c.prefix.find('/') == std::string::npos;  // the reports beside the job
    EXPECT_EQ(read_files(work.path()).size(), read_files(kExamples).size() + (beside ? 3 : 0));
  }
}

// The dimension lines of a console, from the text after their label.
std::string dimensions(const std::string& console, const std::string& label) {
  for (const std::string& line : lines_of(console)) {
    if (starts_with(line, label)) return line.substr(label.size());
  }
  return "(no line " + label + ")";
}

TEST(RunAreas, AutoRunsAJobTheFixedAreasRefuse) {
  // The golden job whose Z array is too small, completed to a whole job.
  const fs::path golden = kGolden / "setup-dimensions";
  ScratchFolder work;
  for (const auto& [name, content] : chain_job("Z", 5, 300, 1000, 5)) {
    write_file(work.path() / name, content);
  }
  ASSERT_EQ(read_file(work.path() / "Z.CLS").substr(0, 15), read_file(golden / "case" / "Z.CLS"));

  const JobRun fixed = run_program(work.path(), {"run", "Z", "--console"});
  EXPECT_EQ(fixed.status, 3) << fixed.error;
  EXPECT_TRUE(
      same_text(without_prompts(read_file(golden / "expected" / "console")), fixed.console));
  EXPECT_TRUE(same_text(read_file(golden / "expected" / "files" / "Z.SCO"),
                        read_file(work.path() / "Z.SCO")));

  const JobRun r = run_program(work.path(), {"run", "Z", "--areas", "auto", "--console"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_TRUE(r.error.empty()) << r.error;
  const std::string required = dimensions(fixed.console, " DIMENSIONS REQUIRED:");
  EXPECT_EQ(required, " DZ=  5117 Z=318001 MZ=331460 AZ=  1905");
  EXPECT_EQ(dimensions(r.console, " PRESENT DIMENSIONS: "), required) << r.console;
  EXPECT_EQ(dimensions(r.console, " DIMENSIONS REQUIRED:"), required) << r.console;
  EXPECT_FALSE(holds(r.console, "INCREASE")) << r.console;
  EXPECT_TRUE(holds(read_file(work.path() / "Z.SCO"), " Model fit with eliminated locations"));
}

TEST(RunAreas, AutoRefusesAJobTheReportLayoutsCannotHold) {
  ScratchFolder work;
  write_file(work.path() / "J.CLS", "5 5001 10 1 5\n");
  write_file(work.path() / "J.NAQ", "");
  write_file(work.path() / "J.SEQ", "");
  const JobRun r = run_program(work.path(), {"run", "J", "--areas", "auto"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(starts_with(r.error, "locseq: J.CLS:1: ")) << r.error;
  EXPECT_TRUE(holds(r.error.substr(0, r.error.find('\n')), "MAXL can be at most 5000")) << r.error;
  EXPECT_EQ(read_files(work.path()).size(), 3u);
}

}  // namespace
}  // namespace locseq::testing
