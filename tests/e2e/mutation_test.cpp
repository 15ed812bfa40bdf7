// The real program on mutated copies of valid jobs: cut at every byte, text
// and huge numbers in numeric fields, values out of range, coinciding names,
// end of console input, garbage, very long lines and unwritable outputs.
// Every run must end by itself with status 0 or 1; status 1 comes with one
// line "locseq: FILE[:LINE]: message" naming a file of the job (besides
// warnings, and the line saying that no report was written); the inputs
// stay byte for byte as they were; a failed run leaves no report; where a
// mutation makes the job plainly invalid the status is 1; and where the
// fault is met at the first read of the mutated record, the console is a
// prefix of that of the valid job.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/job_runner.h"

namespace locseq::testing {
namespace {

using Files = std::map<std::string, std::string>;

const fs::path kGolden = LOCSEQ_GOLDEN_DIR;
const std::string kAnswers = "N\nJ.CLS\nJ.NAQ\nJ.SEQ\nJ.SCO\nJ.COS\nJ.ALC\n";
const char* const kInputs[] = {"J.CLS", "J.NAQ", "J.SEQ"};

struct Job {
  Files inputs;
  std::string answers;
};

// Two small valid jobs of the golden set, renamed J.*.
Job base_job(int which) {
  Job job;
  if (which == 0) {
    const fs::path c = kGolden / "analysis-stops" / "case";
    job.inputs = {{"J.CLS", read_file(c / "base.CLS")},
                  {"J.NAQ", read_file(c / "base.NAQ")},
                  {"J.SEQ", read_file(c / "base.SEQ")}};
  } else {
    const fs::path c = kGolden / "analysis-small-1" / "case";
    job.inputs = {{"J.CLS", read_file(c / "trial.CLS")},
                  {"J.NAQ", read_file(c / "trial.NAQ")},
                  {"J.SEQ", read_file(c / "trial.SEQ")}};
  }
  job.answers = kAnswers + "Y\n";
  return job;
}

struct Result {
  JobRun run;
  Files outputs;  // J.SCO, J.COS, J.ALC as left by the run
  Files earlier;  // those laid before the run
};

Result run(const Job& job, const Files& extra = {}) {
  ScratchFolder work;
  for (const auto& [name, content] : job.inputs) write_file(work.path() / name, content);
  for (const auto& [name, content] : extra) write_file(work.path() / name, content);
  Result r{run_job(program_path(), work.path(), job.answers, 60), {}, {}};
  Files after = read_files(work.path());
  for (const auto& [name, content] : job.inputs) {
    EXPECT_EQ(after[name], content) << "input " << name << " changed";
  }
  for (const char* out : {"J.SCO", "J.COS", "J.ALC"}) {
    if (after.count(out)) r.outputs[out] = after[out];
    if (extra.count(out)) r.earlier[out] = extra.at(out);
  }
  return r;
}

bool is_prefix(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0;
}

const std::string kNoReport = "locseq: no report was written; earlier reports were left unchanged";

// The lines of standard error that are neither warnings nor the line saying
// that no report was written.
std::vector<std::string> error_lines(const std::string& err) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < err.size()) {
    std::size_t end = err.find('\n', at);
    if (end == std::string::npos) end = err.size();
    std::string line = err.substr(at, end - at);
    at = end + 1;
    if (line != kNoReport && line.find(": warning: ") == std::string::npos) lines.push_back(line);
  }
  return lines;
}

// What every run must satisfy; `what` describes the mutation.
void check_clean_end(const Result& r, const std::string& what) {
  ASSERT_TRUE(r.run.status == 0 || r.run.status == 1) << what << ": status " << r.run.status << "\n"
                                                      << r.run.error;
  const std::vector<std::string> errors = error_lines(r.run.error);
  if (r.run.status == 1) {
    // One line; a file name typed on the console may hold any byte but a line end.
    ASSERT_EQ(errors.size(), 1u) << what << ": " << r.run.error;
    EXPECT_EQ(errors[0].rfind("locseq: ", 0), 0u) << what << ": " << r.run.error;
    EXPECT_NE(errors[0].find(": ", 8), std::string::npos) << what << ": " << r.run.error;
    EXPECT_EQ(r.outputs, r.earlier) << what << ": a failed run made or changed a report";
  } else {
    EXPECT_TRUE(errors.empty()) << what << ": " << r.run.error;
  }
}

void check_error(const Result& r, const std::string& what, const std::string& file) {
  check_clean_end(r, what);
  EXPECT_EQ(r.run.status, 1) << what;
  const std::vector<std::string> errors = error_lines(r.run.error);
  EXPECT_TRUE(!errors.empty() && errors[0].rfind("locseq: " + file, 0) == 0)
      << what << ": " << r.run.error;
}

// The run stopped where the valid run would have gone on: all it showed is
// what the valid run showed first.
void check_prefix(const Result& r, const Result& valid, const std::string& what) {
  EXPECT_TRUE(is_prefix(r.run.console, valid.run.console)) << what << ": console";
}

// The positions of the tokens of a free-format text: [begin, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> tokens(const std::string& s, std::size_t from,
                                                        std::size_t to) {
  std::vector<std::pair<std::size_t, std::size_t>> out;
  std::size_t i = from;
  while (i < to) {
    while (i < to && (s[i] == ' ' || s[i] == ',' || s[i] == '\n' || s[i] == '\t')) ++i;
    std::size_t b = i;
    while (i < to && s[i] != ' ' && s[i] != ',' && s[i] != '\n' && s[i] != '\t') ++i;
    if (i > b) out.emplace_back(b, i);
  }
  return out;
}

std::size_t line_start(const std::string& s, int line) {  // line from 1
  std::size_t at = 0;
  for (int k = 1; k < line; ++k) at = s.find('\n', at) + 1;
  return at;
}

TEST(Mutations, CutAtEveryByte) {
  for (int which : {0, 1}) {
    const Job base = base_job(which);
    const Result valid = run(base);
    ASSERT_EQ(valid.run.status, 0) << valid.run.error;
    for (const char* input : kInputs) {
      const std::string& text = base.inputs.at(input);
      const std::size_t step = which == 0 ? 1 : 7;
      for (std::size_t at = 0; at < text.size(); at += step) {
        Job job = base;
        job.inputs[input] = text.substr(0, at);
        const std::string what = std::string(input) + " cut at byte " + std::to_string(at);
        Result r = run(job);
        check_clean_end(r, what);
        // A cut at the end of a line of .CLS or .NAQ loses whole records: the
        // run stops at the first of them with all it wrote before.
        if (r.run.status == 1 && (at == 0 || text[at - 1] == '\n') && input != kInputs[2]) {
          check_prefix(r, valid, what);
        }
      }
    }
  }
}

TEST(Mutations, TextAndHugeNumbersInNumericFields) {
  const char* const kBad[] = {"abc",        "x1",          "1.5.2",      "--3",
                              "N/A",        "#",           "1e",         "0x1F",
                              "2147483648", "-2147483649", "4294967296", "9223372036854775808",
                              "99999999999"};
  const Job base = base_job(0);
  const Result valid = run(base);
  const std::string& cls = base.inputs.at("J.CLS");
  const std::string& seq = base.inputs.at("J.SEQ");
  // Free-format fields of .CLS: the head (line 1), a retained count (6) and
  // an elimination vector (7); every field of the first .SEQ records.
  std::vector<std::pair<const char*, std::pair<std::size_t, std::size_t>>> fields;
  for (int line : {1, 6, 7}) {
    for (auto t : tokens(cls, line_start(cls, line), line_start(cls, line + 1)))
      fields.push_back({"J.CLS", t});
  }
  for (auto t : tokens(seq, 0, line_start(seq, 4))) fields.push_back({"J.SEQ", t});
  std::size_t k = 0;
  for (const auto& [file, span] : fields) {
    const char* bad = kBad[k++ % std::size(kBad)];
    Job job = base;
    job.inputs[file].replace(span.first, span.second - span.first, bad);
    const std::string what =
        std::string(file) + " field at " + std::to_string(span.first) + " -> " + bad;
    // The value field of .SEQ takes reals: a huge integer there is a number.
    const bool value_field = std::string(file) == "J.SEQ" && (k % 4 == 0);
    Result r = run(job);
    if (value_field && bad[0] != '-' && std::isdigit(static_cast<unsigned char>(bad[0]))) continue;
    check_error(r, what, file);
    check_prefix(r, valid, what);
  }
  // Fixed fields: the block header, the sequence years and a hierarchy record.
  for (const auto& [line, col, width] :
       {std::tuple{5, 0, 6}, {4, 0, 4}, {4, 4, 4}, {8, 3, 4}, {8, 9, 4}, {8, 20, 10}}) {
    for (const char* bad : {"ab", "1-", "+", ","}) {
      Job job = base;
      std::string& c = job.inputs["J.CLS"];
      std::size_t at = line_start(c, line) + static_cast<std::size_t>(col);
      c.replace(at + static_cast<std::size_t>(width) - 2, 2,
                std::string(bad).append(2, ' ').substr(0, 2));
      const std::string what = "J.CLS line " + std::to_string(line) + " -> " + bad;
      Result r = run(job);
      check_error(r, what, "J.CLS:" + std::to_string(line) + ":");
      check_prefix(r, valid, what);
    }
  }
}

TEST(Mutations, ValuesOutOfRange) {
  const Job base = base_job(0);
  const Result valid = run(base);
  struct Case {
    std::string file, from, to;
  } cases[] = {
      {"J.CLS", "2 6 2 1 2", "0 6 2 1 2"},
      {"J.CLS", "2 6 2 1 2", "2 -6 2 1 2"},
      {"J.CLS", "2 6 2 1 2", "2 6 0 1 2"},
      {"J.CLS", "   1   2\n", "   0   2\n"},
      {"J.CLS", "     1    Y1\n4\n", "     1    Y1\n7\n"},
      {"J.CLS", "     1    Y1\n4\n", "     1    Y1\n3\n"},
      {"J.CLS", "     1    Y1\n4\n1 1 1 1 0 2", "     1    Y1\n4\n1 1 1 1 1 2"},
      {"J.CLS", "     1    Y1\n4\n1 1 1 1 0 2", "     1    Y1\n2\n1 1 0 0 0 2"},
      {"J.CLS", "      1 +   2 =   5", "      1 +   9 =   5"},
      {"J.CLS", "      1 +   2 =   5", "      1 +   0 =   5"},
      {"J.CLS", "      1 +   2 =   5", "      2 +   2 =   5"},
      {"J.SEQ", "1 3 1 3\n", "1 7 1 3\n"},
      {"J.SEQ", "1 3 1 3\n", "1 0 1 3\n"},
      {"J.SEQ", "1 3 1 3\n", "1 3 3 3\n"},
      {"J.SEQ", "1 3 1 3\n", "1 3 -1 3\n"},
      {"J.SEQ", "2 6 2 -12\n", "2 6 2 -1e39\n"},
      {"J.SEQ", "1 3 1 3\n", "1 3 1 nan\n"},
  };
  for (const Case& c : cases) {
    Job job = base;
    std::string& text = job.inputs[c.file];
    std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    const std::string what = c.file + ": " + c.to;
    Result r = run(job);
    check_error(r, what, c.file + ":");
  }
  // Three blocks with MAXY 2: the third needs year 3.
  Job job = base;
  job.inputs["J.CLS"] += job.inputs["J.CLS"].substr(job.inputs["J.CLS"].find("     2    Y2"));
  Result r = run(job);
  check_error(r, "a block beyond MAXY", "J.CLS:");
  EXPECT_TRUE(is_prefix(valid.run.console, r.run.console)) << "the first two blocks ran";
}

TEST(Mutations, CoincidingNamesAndUnwritableOutputs) {
  const Job base = base_job(0);
  const std::string stale = "stale report\n";
  const std::vector<std::vector<std::string>> names = {
      {"J.CLS", "J.NAQ", "J.SEQ", "J.SCO", "J.CLS", "J.ALC"},
      {"J.CLS", "J.NAQ", "J.SEQ", "J.SCO", "J.COS", "./J.SEQ"},
      {"J.CLS", "J.NAQ", "J.SEQ", "J.SCO", "J.SCO", "J.ALC"},
      {"J.CLS", "J.CLS", "J.SEQ", "J.SCO", "J.COS", "J.ALC"},
      {"J.CLS", "J.NAQ", "./J.NAQ", "J.SCO", "J.COS", "J.ALC"},
      {"J.CLS", "J.NAQ", "J.SEQ", "J.SCO", "J.COS", "J.COS"},
  };
  for (const auto& n : names) {
    Job job = base;
    job.answers = "N\n";
    for (const std::string& name : n) job.answers += name + "\n";
    job.answers += "Y\n";
    Result r = run(job, {{"J.SCO", stale}});
    check_error(r, job.answers, "");
    EXPECT_EQ(r.outputs["J.SCO"], stale) << "an output was opened before the names were checked";
    EXPECT_EQ(r.outputs.count("J.COS") + r.outputs.count("J.ALC"), 0u);
  }
  // (A device such as /dev/full is written after the files: see outputs_test.)
  for (const std::string out : {"no-such-folder/J.COS", "."}) {
    Job job = base;
    job.answers = "N\nJ.CLS\nJ.NAQ\nJ.SEQ\nJ.SCO\n" + out + "\nJ.ALC\nY\n";
    Result r = run(job);
    check_error(r, out, out);
  }
}

TEST(Mutations, EndOfConsoleInputAtEachQuestion) {
  Job base = base_job(0);
  // With SEDTYP S the standardisation question is asked too.
  std::string& cls = base.inputs["J.CLS"];
  cls.replace(cls.find("     U     S     C     N"), 23, "     U     S     S     N");
  const std::string full = kAnswers + "N\n3\nY\n";  // names, typed level 3, standardise
  ASSERT_EQ(run(Job{base.inputs, full}).run.status, 0);
  for (std::size_t lines = 0; lines < 10; ++lines) {
    std::string cut;
    std::size_t at = 0;
    for (std::size_t k = 0; k < lines; ++k) at = full.find('\n', at) + 1;
    cut = full.substr(0, at);
    Result r = run(Job{base.inputs, cut});
    check_error(r, "console input of " + std::to_string(lines) + " lines",
                "standard input:" + std::to_string(lines + 1) + ":");
  }
}

TEST(Mutations, GarbageAndVeryLongLines) {
  const Job base = base_job(1);
  std::mt19937 rng(20261208);
  for (int round = 0; round < 60; ++round) {
    Job job = base;
    const int target = round % 4;  // the three inputs, then the console
    std::string& text = target < 3 ? job.inputs[kInputs[target]] : job.answers;
    std::size_t at = rng() % (text.size() + 1);
    std::string junk;
    if (round % 3 == 0) {
      junk.assign(70000 + rng() % 3, "x 9"[round % 3 == 0 ? rng() % 3 : 0]);
    } else {
      for (std::size_t n = 1 + rng() % 300; n > 0; --n) junk += static_cast<char>(rng() & 0xff);
    }
    text.insert(at, junk);
    check_clean_end(run(job), "round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace locseq::testing
