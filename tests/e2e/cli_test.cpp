// The command line: its conventions (help, version, usage errors and their
// status) and `locseq run`, which must write the reports of the dialogue
// given the same answers and show its console without the prompts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

// A golden job run with `locseq run` and the options that give the
// dialogue's answers.
struct RunCase {
  std::string job;  // folder of the golden set
  Args args;        // after "run"
  int status;       // 0, or 3 for a refused job
};

void PrintTo(const RunCase& c, std::ostream* os) {
  *os << c.job;
}

class RunCommand : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunCommand, WritesTheReportsOfTheDialogue) {
  const RunCase& c = GetParam();
  const fs::path job = kGolden / c.job;
  ScratchFolder work, dialogue;
  copy_files(job / "case", work.path(), {"stdin"});
  copy_files(job / "case", dialogue.path(), {"stdin"});
  const auto inputs = read_files(work.path());
  Args args{"run"};
  args.insert(args.end(), c.args.begin(), c.args.end());

  const JobRun r = run_program(work.path(), args);
  EXPECT_EQ(r.status, c.status) << r.error;
  EXPECT_TRUE(same_text(without_prompts(read_file(job / "expected" / "console")), r.console))
      << "standard output";
  auto after = read_files(work.path());
  for (const auto& [name, content] : read_files(job / "expected" / "files")) {
    EXPECT_TRUE(same_text(content, after[name])) << name;
    after.erase(name);
  }
  EXPECT_EQ(after, inputs) << "inputs changed, or files made that the dialogue does not make";

  // Warnings are the dialogue's; a refusal adds its reason.
  const JobRun d = run_program(dialogue.path(), {}, read_file(job / "case" / "stdin"));
  if (c.status == 0) {
    EXPECT_EQ(r.error, d.error);
  } else {
    EXPECT_TRUE(starts_with(r.error, d.error)) << r.error;
    EXPECT_TRUE(holds(r.error, "the job was refused")) << r.error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Golden, RunCommand,
    ::testing::Values(RunCase{"analysis-allocation", {"JOB"}, 0},
                      RunCase{"analysis-hierarchy-ngp2", {"H2", "-g", "2"}, 0},
                      RunCase{"analysis-standardise", {"JOB", "-g", "1", "-s"}, 0},
                      RunCase{"analysis-standardise-no", {"JOB", "--groups", "1"}, 0},
                      RunCase{"analysis-medium-3", {"series-A"}, 0},
                      RunCase{"analysis-medium-10", {"S", "-g", "4"}, 0},
                      RunCase{"analysis-edge-1", {"job", "-g", "27", "--standardize"}, 0},
                      RunCase{"analysis-edge-11", {"  lead"}, 0},
                      RunCase{"analysis-small-5", {"my job"}, 0},
                      RunCase{"analysis-stops", {"base", "-o", "out"}, 0},
                      RunCase{"setup-dimensions", {"Z"}, 3},
                      RunCase{"setup-refused-2", {"Job 7", "--out", "out"}, 3},
                      RunCase{"setup-refused-3", {"series-A", "-g", "305"}, 3}),
    [](const ::testing::TestParamInfo<RunCase>& param) {
      std::string name = param.param.job;
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

TEST(RunCommandRefused, QuietSaysTheRefusalOnStandardError) {
  const fs::path job = kGolden / "setup-refused-3";
  ScratchFolder work;
  copy_files(job / "case", work.path(), {"stdin"});
  const JobRun r = run_program(work.path(), {"run", "series-A", "-g", "305", "-q"});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.console.empty()) << r.console;
  for (const auto& [name, content] : read_files(job / "expected" / "files")) {
    EXPECT_TRUE(same_text(content, read_file(work.path() / name))) << name;
  }
  std::string increase;  // the refusal lines of the console, each after "locseq: "
  for (const std::string& line : lines_of(read_file(job / "expected" / "console"))) {
    const std::size_t at = line.find(" INCREASE DIMENSION");
    if (at != std::string::npos) increase += "locseq: " + line.substr(at) + "\n";
  }
  ASSERT_FALSE(increase.empty());
  EXPECT_TRUE(starts_with(r.error, increase)) << r.error;
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

  const struct {
    Args args;
    std::string prefix;  // of the reports
    bool quiet;          // nothing on standard output
    std::string note;    // what standard error holds besides
  } cases[] = {
      {{"run", "WHEAT"}, "WHEAT", false, ""},
      {{"run", "WHEAT", "-q"}, "WHEAT", true, ""},
      {{"run", "--quiet", "WHEAT", "--out", "sub/x"}, "sub/x", true, ""},
      {{"run", "WHEAT", "-o", "y"}, "y", false, ""},
      {{"run", "WHEAT", "-s"},
       "WHEAT",
       false,
       "locseq: WHEAT.CLS: note: -s is ignored: SEDTYP is 'C'"},
      {{"run", "WHEAT", "--areas", "fixed"}, "WHEAT", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    ScratchFolder work;
    copy_files(kExamples, work.path());
    fs::create_directory(work.path() / "sub");
    const JobRun r = run_program(work.path(), c.args);
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_TRUE(same_text(c.quiet ? "" : console, r.console));
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

  const JobRun fixed = run_program(work.path(), {"run", "Z"});
  EXPECT_EQ(fixed.status, 3) << fixed.error;
  EXPECT_TRUE(
      same_text(without_prompts(read_file(golden / "expected" / "console")), fixed.console));
  EXPECT_TRUE(same_text(read_file(golden / "expected" / "files" / "Z.SCO"),
                        read_file(work.path() / "Z.SCO")));

  const JobRun r = run_program(work.path(), {"run", "Z", "--areas", "auto"});
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
