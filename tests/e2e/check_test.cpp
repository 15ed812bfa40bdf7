// `locseq check` on mutated copies of a small clean job: every warning and
// error with its FILE:LINE, a summary line, status 0 or 1, and no file
// written. Then the same warnings in `run` and the dialogue, which show the
// first of each kind and count the lines.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/sample_jobs.h"

namespace locseq::testing {
namespace {

std::string block(int year) {
  return small_block(year);
}

Files base_job() {
  return small_job();
}

// Replaces line `n` (from 1) of `text`.
void set_line(std::string& text, int n, const std::string& with) {
  std::size_t begin = 0;
  for (int k = 1; k < n; ++k) begin = text.find('\n', begin) + 1;
  text.replace(begin, text.find('\n', begin) - begin, with);
}

// Every line of `text` through `change`.
void each_line(std::string& text, const std::function<std::string(const std::string&)>& change) {
  std::string out;
  for (const std::string& line : lines_of(text)) out += change(line) + "\n";
  text = out;
}

const std::string kBom = "\xEF\xBB\xBF";

// One message on standard error: where it points and a word it holds.
struct Message {
  std::string where;  // after "locseq: ", e.g. "T.SEQ:3: warning: "
  std::string word;
};

struct CheckCase {
  std::string name;
  std::function<void(Files&)> mutate;
  std::vector<Message> messages;  // every line of standard error, in order
  std::string summary;            // "E errors, W warnings"
};

void PrintTo(const CheckCase& c, std::ostream* os) {
  *os << c.name;
}

struct Checked {
  JobRun run;
  std::string changes;  // to the folder
};

Checked check(const Files& job, const std::vector<std::string>& args) {
  ScratchFolder work;
  for (const auto& [name, content] : job) write_file(work.path() / name, content);
  const auto before = tree(work.path());
  Checked c{run_program(work.path(), args), ""};
  c.changes = changes(before, tree(work.path()));
  return c;
}

class Check : public ::testing::TestWithParam<CheckCase> {};

TEST_P(Check, ShowsEveryWarningAndErrorWithItsLine) {
  const CheckCase& c = GetParam();
  Files job = base_job();
  if (c.mutate) c.mutate(job);
  const Checked r = check(job, {"check", "T"});
  const bool errors = c.summary.rfind("0 errors", 0) != 0;
  EXPECT_EQ(r.run.status, errors ? 1 : 0) << r.run.error;
  EXPECT_EQ(r.run.console, "locseq check T: " + c.summary + "\n");
  EXPECT_EQ(r.changes, "") << "check wrote a file";
  const std::vector<std::string> lines = lines_of(r.run.error);
  ASSERT_EQ(lines.size(), c.messages.size()) << r.run.error;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(lines[k].rfind("locseq: " + c.messages[k].where, 0), 0u) << lines[k];
    EXPECT_NE(lines[k].find(c.messages[k].word), std::string::npos) << lines[k];
  }
  EXPECT_EQ(r.run.error.find('\xEF'), std::string::npos) << "a raw byte-order mark";
}

// The warnings of a .SEQ whose years are calendar years.
std::vector<Message> calendar_year_messages() {
  std::vector<Message> m;
  for (int line = 1; line <= 24; ++line) {
    m.push_back({"T.SEQ:" + std::to_string(line) + ": warning: ",
                 line <= 12 ? "year 2019 is outside 1 to MAXY (3)" : "year 2020"});
  }
  m.push_back({"T.CLS:5: warning: ", "block 1: its data years 1 to 1 hold no observation"});
  m.push_back({"T.CLS:11: warning: ", "block 2: its data years 1 to 2 hold no observation"});
  return m;
}

INSTANTIATE_TEST_SUITE_P(
    Mutations, Check,
    ::testing::Values(
        CheckCase{"Clean", nullptr, {}, "0 errors, 0 warnings"},
        CheckCase{"DecimalComma",
                  [](Files& f) { set_line(f["T.SEQ"], 3, "1 2 1 9,70"); },
                  {{"T.SEQ:3: warning: ", "decimal comma"}},
                  "0 errors, 1 warning"},
        CheckCase{"CalendarYears",
                  [](Files& f) {
                    each_line(f["T.SEQ"], [](const std::string& line) {
                      return (line[0] == '1' ? "2019" : "2020") + line.substr(1);
                    });
                  },
                  calendar_year_messages(), "0 errors, 26 warnings"},
        CheckCase{"OutOfYearOrder",
                  [](Files& f) {
                    std::string& seq = f["T.SEQ"];
                    seq.erase(0, seq.find('\n') + 1);  // "1 1 1 1", after the first of year 2
                    seq.insert(seq.find("2 1 2 -2\n"), "1 1 1 1\n");
                  },
                  {{"T.SEQ:13: warning: ", "a record of year 1 after one of year 2"}},
                  "0 errors, 1 warning"},
        CheckCase{"NoLineEndAtTheEnd",
                  [](Files& f) { f["T.SEQ"].pop_back(); },
                  {{"T.SEQ:24: warning: ", "no line end"}},
                  "0 errors, 1 warning"},
        CheckCase{"OptionLettersOutOfColumn",
                  [](Files& f) { set_line(f["T.CLS"], 3, "     U      S   C      N"); },
                  {{"T.CLS:3: warning: ", "'S' in column 13"}},
                  "0 errors, 1 warning"},
        CheckCase{"LongName",
                  [](Files& f) { set_line(f["T.NAQ"], 9, "Location5"); },
                  {{"T.NAQ:9: warning: ", "'Location5', is longer than 8 characters"}},
                  "0 errors, 1 warning"},
        CheckCase{"NamesCoincideInEightCharacters",
                  [](Files& f) {
                    set_line(f["T.NAQ"], 12, "GENOTYPE-A");
                    set_line(f["T.NAQ"], 13, "GENOTYPE-B");
                  },
                  {{"T.NAQ:12: warning: ", "longer than 8"},
                   {"T.NAQ:13: warning: ", "longer than 8"},
                   {"T.NAQ:13: warning: ", "genotypes 1 and 2 have the same name, 'GENOTYPE'"}},
                  "0 errors, 3 warnings"},
        CheckCase{"LinesBeyondTheNames",
                  [](Files& f) { f["T.NAQ"] += "\nG3\n"; },
                  {{"T.NAQ:15: warning: ", "lines follow the last name"}},
                  "0 errors, 1 warning"},
        CheckCase{"ByteOrderMarks",
                  [](Files& f) {
                    for (const char* name : {"T.CLS", "T.NAQ", "T.SEQ"}) f[name] = kBom + f[name];
                  },
                  {{"T.CLS:1: warning: ", "byte-order mark (\\xEF\\xBB\\xBF)"},
                   {"T.NAQ:1: warning: ", "\\xEF\\xBB\\xBF"},
                   {"T.SEQ:1: warning: ", "\\xEF\\xBB\\xBF"}},
                  "0 errors, 3 warnings"},
        CheckCase{"RangeInAYearNoBlockReads",
                  [](Files& f) { f["T.SEQ"] += "3 7 1 1.5\n3 1 3 1.5\n4 1 1 1.5\n"; },
                  {{"T.SEQ:25: warning: ", "location 7"},
                   {"T.SEQ:26: warning: ", "genotype 3"},
                   {"T.SEQ:27: warning: ", "year 4"}},
                  "0 errors, 3 warnings"},
        CheckCase{"TwoBadSeqLines",
                  [](Files& f) {
                    set_line(f["T.SEQ"], 2, "1 1 2 x");
                    set_line(f["T.SEQ"], 20, "2 four 2 -8");
                  },
                  {{"T.SEQ:2: ", "found 'x'"}, {"T.SEQ:20: ", "found 'four'"}},
                  "2 errors, 0 warnings"},
        CheckCase{
            "BadRetainedCountStopsTheClsCheck",
            [](Files& f) {
              set_line(f["T.CLS"], 6, "four");
              set_line(f["T.CLS"], 12, "five");
              set_line(f["T.SEQ"], 24, "2 6 2 y");
            },
            {{"T.CLS:6: ", "retained count of block 1, found 'four'"}, {"T.SEQ:24: ", "found 'y'"}},
            "2 errors, 0 warnings"},
        CheckCase{"NamesEndEarly",
                  [](Files& f) {
                    set_line(f["T.NAQ"], 13, "");
                    f["T.NAQ"].pop_back();
                  },
                  {{"T.NAQ:", "genotype 2"}},
                  "1 error, 0 warnings"},
        CheckCase{"LocationOutOfRangeInAYearABlockReads",
                  [](Files& f) { set_line(f["T.SEQ"], 15, "2 7 1 2"); },
                  {{"T.SEQ:15: ", "location 7 is outside 1 to MAXL (6)"}},
                  "1 error, 0 warnings"}),
    [](const ::testing::TestParamInfo<CheckCase>& param) { return param.param.name; });

TEST(CheckAreas, AJobTooBigForTheFixedAreasIsAnErrorUnlessAuto) {
  const Files job = chain_job("Z", 5, 300, 1000, 5);
  const Checked fixed = check(job, {"check", "Z"});
  EXPECT_EQ(fixed.run.status, 1);
  EXPECT_EQ(fixed.run.console, "locseq check Z: 1 error, 0 warnings\n");
  EXPECT_EQ(fixed.run.error.rfind("locseq: Z.CLS:1: ", 0), 0u) << fixed.run.error;
  EXPECT_NE(fixed.run.error.find("318001"), std::string::npos) << fixed.run.error;
  const Checked automatic = check(job, {"check", "Z", "--areas", "auto"});
  EXPECT_EQ(automatic.run.status, 0) << automatic.run.error;
  EXPECT_EQ(automatic.run.console, "locseq check Z: 0 errors, 0 warnings\n");
  EXPECT_EQ(fixed.changes + automatic.changes, "");
}

// A run shows the first warning of a kind and, at its end, how many lines
// of that kind there were: each line once, however many passes read it.
TEST(RunWarnings, ShowTheFirstAndCountEachLineOnce) {
  Files job = base_job();
  std::string& cls = job["T.CLS"];
  set_line(cls, 4, "   1   3");
  cls += block(3);  // a third block: year 1 is read by three blocks, twice each
  std::string& seq = job["T.SEQ"];
  for (const char* line : {"3 1 1 2\n", "3 2 1 1\n", "3 3 1 4\n", "3 4 1 3\n", "3 5 1 2\n",
                           "3 6 1 2\n", "3 1 2 1\n", "3 2 2 0\n"}) {
    seq += line;
  }
  const struct {
    std::vector<int> comma_lines;  // year-1 lines given a decimal comma
    std::vector<std::string> args;
  } cases[] = {
      {{3, 5, 9}, {"run", "T", "-q"}},
      {{3, 5, 9}, {}},
      {{7}, {"run", "T"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "dialogue" : c.args[0]);
    Files mutated = job;
    for (int line : c.comma_lines) {
      std::string text = lines_of(mutated["T.SEQ"])[static_cast<std::size_t>(line - 1)];
      set_line(mutated["T.SEQ"], line, text + ",25");
    }
    ScratchFolder work;
    for (const auto& [name, content] : mutated) write_file(work.path() / name, content);
    const JobRun r = run_program(work.path(), c.args, "Y\nT\nY\n");
    EXPECT_EQ(r.status, 0) << r.error;
    const std::string first = lines_of(r.error).empty() ? "" : lines_of(r.error)[0];
    EXPECT_TRUE(first.starts_with("locseq: T.SEQ:" + std::to_string(c.comma_lines[0]) +
                                  ": warning: more than four numbers on the line"))
        << r.error;
    EXPECT_NE(first.find("decimal comma"), std::string::npos) << r.error;
    const std::size_t n = c.comma_lines.size();
    EXPECT_EQ(lines_of(r.error).size(), 2u) << r.error;
    EXPECT_TRUE(r.error.ends_with(
        "locseq: T.SEQ: warning: lines with more than four numbers: " + std::to_string(n) +
        " in all" + (n > 1 ? " (the first shown)" : "") + "\n"))
        << r.error;
    EXPECT_TRUE(fs::exists(work.path() / "T.SCO"));
  }
}

}  // namespace
}  // namespace locseq::testing
