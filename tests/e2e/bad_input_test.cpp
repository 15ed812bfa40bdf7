// Bad input of every kind the program checks: each must end with status 1,
// "locseq: FILE:LINE: message" on standard error, the inputs untouched, the
// console as far as the fault, and no report made or changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <string>

#include "support/job_runner.h"
#include "support/sample_jobs.h"

namespace locseq::testing {
namespace {

const std::string kTypedNames = "N\nT.CLS\nT.NAQ\nT.SEQ\nT.SCO\nT.COS\nT.ALC\n";

std::string block(int year) {
  return small_block(year);
}

const std::string kHead = small_head("Bad input");

struct Job {
  Files files = small_job();
  std::string answers = kTypedNames + "Y\n";
  Files preexisting;
};

struct Outcome {
  JobRun run;
  Files after;  // every file of the folder after the run
};

// Runs the job in a fresh folder and checks that no input changed and that
// a failed run left every other file as it was: no report made, the earlier
// ones unchanged.
Outcome run(const Job& job, const std::function<void(const fs::path&)>& lay_out = {}) {
  ScratchFolder work;
  for (const auto& [name, content] : job.files) write_file(work.path() / name, content);
  for (const auto& [name, content] : job.preexisting) write_file(work.path() / name, content);
  if (lay_out) lay_out(work.path());
  const Files before = read_files(work.path());
  Outcome out{run_job(program_path(), work.path(), job.answers), {}};
  out.after = read_files(work.path());
  for (const auto& [name, content] : job.files) {
    EXPECT_EQ(out.after[name], content) << "input " << name << " changed";
  }
  if (out.run.status != 0) {
    EXPECT_EQ(out.after, before) << "a failed run changed the folder";
  }
  return out;
}

// Status 1 and a line on standard error that starts "locseq: FILE:LINE: "
// (or "locseq: FILE: " for line 0) and holds `word`, then, once the reports
// were prepared, the line that says none was written.
void expect_error(const Outcome& o, const std::string& file, long line, const std::string& word) {
  EXPECT_EQ(o.run.status, 1) << o.run.error;
  std::string where = "locseq: " + file + (line > 0 ? ":" + std::to_string(line) : "") + ": ";
  EXPECT_EQ(o.run.error.rfind(where, 0), 0u) << "expected " << where << "\n got " << o.run.error;
  const std::string first = o.run.error.substr(0, o.run.error.find('\n'));
  EXPECT_NE(first.find(word), std::string::npos) << o.run.error;
  const std::string rest = o.run.error.substr(first.size() + 1);
  EXPECT_TRUE(rest.empty() ||
              rest == "locseq: no report was written; earlier reports were left unchanged\n")
      << o.run.error;
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(BadInput, TheBaseJobRunsToTheEnd) {
  Outcome o = run(Job{});
  EXPECT_EQ(o.run.status, 0) << o.run.error;
  EXPECT_TRUE(o.run.error.empty());
  EXPECT_TRUE(ends_with(o.after["T.SCO"],
                        "RSQ\n                     0.592E+03 0.575E+03 0.162E+02"
                        "      0.97\n"))
      << o.after["T.SCO"];
}

TEST(BadInput, MissingInputStopsBeforeAnyOutputIsMade) {
  for (const char* missing : {"T.CLS", "T.NAQ", "T.SEQ"}) {
    Job job;
    job.files.erase(missing);
    Outcome o = run(job);
    expect_error(o, missing, 0, "cannot open");
    EXPECT_EQ(o.after.count("T.SCO") + o.after.count("T.COS") + o.after.count("T.ALC"), 0u);
  }
}

TEST(BadInput, NamesReachingTheSameFileAreRefusedBeforeAnyOutputIsOpened) {
  const std::string stale = "an earlier report\n";
  struct Case {
    std::string answers, file;
  } cases[] = {
      {"N\nT.CLS\nT.NAQ\nT.SEQ\nT.SCO\n./T.NAQ\nT.ALC\nY\n", "./T.NAQ"},
      {"N\nT.CLS\nT.NAQ\nT.SEQ\nT.SCO\nT.COS\nT.SCO\nY\n", "T.SCO"},
      {"N\nT.CLS\nT.CLS\nT.SEQ\nT.SCO\nT.COS\nT.ALC\nY\n", "T.CLS"},
      {"N\nT.CLS\nT.NAQ\nT.SEQ\nLINK\nT.COS\nT.ALC\nY\n", "LINK"},
  };
  for (const Case& c : cases) {
    Job job;
    job.answers = c.answers;
    job.preexisting = {{"T.SCO", stale}};
    Outcome o = run(job, [](const fs::path& work) {
      ASSERT_EQ(::link((work / "T.SEQ").c_str(), (work / "LINK").c_str()), 0);
    });
    expect_error(o, c.file, 0, "same file");
  }
}

TEST(BadInput, EndOfConsoleInputAtEachLaterQuestion) {
  Job job;
  job.answers = kTypedNames;  // no answer to the truncation question
  expect_error(run(job), "standard input", 8, "end of console input");
  job.answers = kTypedNames + "N\n";  // no typed level
  expect_error(run(job), "standard input", 9, "end of console input");
  job.files["T.CLS"] = "3 6 2 1 3\nBad input\n     U     S     S     N\n   1   3\n";
  job.answers = kTypedNames + "Y\n";  // no answer to "Standardize again?"
  Outcome o = run(job);
  expect_error(o, "standard input", 9, "end of console input");
  EXPECT_TRUE(ends_with(o.run.console, "     Standardize again? (Y or N) :"));
}

TEST(BadInput, TypedTruncationLevelMustBeAnIntegerFromOneToMaxl) {
  for (const char* typed : {"three", "2.5", "0", "-1", "7", "99999999999", ",3"}) {
    Job job;
    job.answers = kTypedNames + "N\n" + typed + "\n";
    Outcome o = run(job);
    expect_error(o, "standard input", 9, "");
  }
}

TEST(BadInput, RunParameterHead) {
  struct Case {
    std::string head;
    long line;
    std::string word;
  } cases[] = {
      {"3 6 2\n", 2, "ends"},
      {"", 1, "ends"},
      {"3 6 x 1 3\n", 1, "integer"},
      {"3 6 2147483648 1 3\n", 1, "32 bits"},
      {"3 6, ,2 1 3\n", 1, "empty value"},
      {"3 6 2 / 1 3\n", 1, "'/'"},
      {"3 0 2 1 3\n", 1, "MAXL must be at least 1"},
      {"3 6\n-1 1 3\n", 2, "MAXG must be at least 1"},
  };
  for (const Case& c : cases) {
    Job job;
    job.files["T.CLS"] = c.head;
    Outcome o = run(job);
    expect_error(o, "T.CLS", c.line, c.word);
    EXPECT_EQ(o.run.console.find("Default truncation"), std::string::npos) << c.head;
  }
}

TEST(BadInput, HugeDimensionsAreRefusedNotWrapped) {
  Job job;
  job.files["T.CLS"] = "5 2000000000 2000000000 1 5\n";
  Outcome o = run(job);
  EXPECT_EQ(o.run.status, 0) << o.run.error;
  EXPECT_NE(o.run.console.find(" INCREASE DIMENSION OF Z ARRAY TO********\n"), std::string::npos);
  EXPECT_NE(o.run.console.find(" DIMENSIONS REQUIRED: DZ=****** Z=****** MZ=****** AZ=******\n"),
            std::string::npos)
      << o.run.console;
  EXPECT_NE(o.after["T.SCO"].find("(NTM) = ******\n"), std::string::npos);
}

// A fault in .CLS after the head, with what the console shows by then.
struct ClsCase {
  std::string name, cls;
  long line;
  std::string word, console_tail;
};

class ClsFault : public ::testing::TestWithParam<ClsCase> {};

TEST_P(ClsFault, StopsAtTheRecord) {
  const ClsCase& c = GetParam();
  Job job;
  job.files["T.CLS"] = c.cls;
  job.preexisting = {{"T.COS", "an earlier report\n"}};
  Outcome o = run(job);
  expect_error(o, "T.CLS", c.line, c.word);
  EXPECT_TRUE(ends_with(o.run.console, c.console_tail)) << o.run.console;
}

const std::string kRetainedLine = "   Read number of locations retained in year\n";
const std::string kMembership = "   Calculate group membership\n";
const std::string kBlock3Fit = "                     0.250E+03 0.234E+03 0.160E+02      0.94\n";

INSTANTIATE_TEST_SUITE_P(
    Cls, ClsFault,
    ::testing::Values(
        ClsCase{"NoTitle", "3 6 2 1 3\n", 2, "job title", " Read and write job names\n"},
        ClsCase{"NoYears", "3 6 2 1 3\nT\n     U     S     C     N\n", 4, "sequence-years",
                "(CORTYP) N\n"},
        ClsCase{"BlankLineAfterTheLastBlock", kHead + block(1) + "\n", 12, "retained count",
                kRetainedLine},
        ClsCase{"CountIsText", kHead + "     1    Y1\nfour\n", 6, "integer", kRetainedLine},
        ClsCase{"VectorCutShort", kHead + "     1    Y1\n4\n1 1 1\n", 8, "elimination vector",
                "   Read elimination vector\n"},
        ClsCase{"NullInVector", kHead + "     1    Y1\n4\n1,1,,1,0,0\n", 7, "empty value",
                "   Read elimination vector\n"},
        ClsCase{"SlashInVector", kHead + "     1    Y1\n4\n1 1 1 1 /\n", 7, "'/'",
                "   Read elimination vector\n"},
        ClsCase{"HierarchyCutShort", kHead + "     1    Y1\n4\n1 1 1 1 0 0\n      1 +   2 =   5\n",
                9, "hierarchy record 2", "   Write hierarchy\n"},
        ClsCase{"HeaderYearIsText", kHead + "  abc     Y1\n", 5, "columns 1-6", "For each year\n"},
        ClsCase{"HierarchyLevelIsText",
                kHead + "     1    Y1\n4\n1 1 1 1 0 0\n      1 +   2 =   5     x.000\n", 8,
                "columns 21-30", "   Write hierarchy\n"},
        ClsCase{"CountAboveMaxl", kHead + "     1    Y1\n7\n1 1 1 1 1 1\n", 6, "above MAXL",
                "   Read elimination vector\n"},
        ClsCase{"CountDiffersFromVector", kHead + "     1    Y1\n5\n1 1 1 1 0 0\n", 6,
                "differs from the 4 entries 1", "   Read elimination vector\n"},
        ClsCase{"TooFewRetainedForTheGroups", kHead + "     1    Y1\n3\n1 1 1 0 0 2\n", 6,
                "cannot be cut into 3 groups", "   Read elimination vector\n"},
        ClsCase{"SameGroupTwice",
                kHead + "     1    Y1\n5\n1 1 1 1 1 0\n      1 +   1 =   6\n      2 +   3 =   7\n"
                        "      4 +   5 =   8\n      6 +   7 =   9\n",
                8, "itself", kMembership},
        ClsCase{"AbsorbedLabel",
                kHead + "     1    Y1\n6\n1 1 1 1 1 1\n      1 +   2 =   7\n      1 +   3 =   8\n"
                        "      4 +   5 =   9\n      7 +   8 =  10\n      9 +  10 =  11\n",
                9, "label 1 is not a current group", kMembership},
        ClsCase{"FutureLabel",
                kHead + "     1    Y1\n5\n1 1 1 1 1 0\n      7 +   1 =   6\n      2 +   3 =   7\n"
                        "      4 +   5 =   8\n      6 +   7 =   9\n",
                8, "label 7", kMembership},
        ClsCase{"SequenceStartsBeforeYearOne",
                "3 6 2 1 3\nBad input\n     U     S     C     N\n   0   3\n" + block(1), 4,
                "numbered from 1", kMembership},
        ClsCase{"MoreBlocksThanYears", kHead + block(1) + block(2) + block(3) + block(4), 23,
                "beyond MAXY", kMembership}),
    [](const ::testing::TestParamInfo<ClsCase>& param) { return param.param.name; });

TEST(BadInput, MoreBlocksThanYearsStopsAfterTheEarlierBlocks) {
  Job job;
  job.files["T.CLS"] = kHead + block(1) + block(2) + block(3) + block(4);
  job.files["T.SEQ"] += "3 1 1 1\n3 2 2 2\n";
  Outcome o = run(job);
  expect_error(o, "T.CLS", 23, "block 4 needs data years 1 to 4, beyond MAXY (3)");
  EXPECT_NE(o.run.console.find("   For year Y3       in MODFIT sequence for year   3\n"),
            std::string::npos);
  EXPECT_TRUE(ends_with(o.run.console, "\n   For year Y4      \n" + kRetainedLine +
                                           "   Read elimination vector\n   Write hierarchy\n" +
                                           kMembership))
      << o.run.console;
}

TEST(BadInput, NamesEndEarly) {
  Job job;
  job.files["T.NAQ"] = "names\n\nY1\nY2\nY3\nL1\nL2\n";
  Outcome o = run(job);
  expect_error(o, "T.NAQ", 8, "location 3");
  EXPECT_TRUE(ends_with(o.run.console,
                        " DIMENSIONS REQUIRED: DZ=    34 Z=    19 MZ=   106 "
                        "AZ=    23\n Read and write job names\n"));
}

// A fault in .SEQ: the line of the record at fault.
struct SeqCase {
  std::string name, record;  // the record put in front of year 1's last record
  std::string word;
};

class SeqFault : public ::testing::TestWithParam<SeqCase> {};

TEST_P(SeqFault, StopsAtTheRecord) {
  const SeqCase& c = GetParam();
  Job job;
  std::string& seq = job.files["T.SEQ"];
  seq.insert(seq.find("1 6 2 -6\n"), c.record + "\n");
  Outcome o = run(job);
  expect_error(o, "T.SEQ", 12, c.word);
  EXPECT_TRUE(ends_with(o.run.console, "   Read data and calculate incidence matrix\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Seq, SeqFault,
    ::testing::Values(SeqCase{"LocationAboveMaxl", "1 7 1 2.5", "location 7"},
                      SeqCase{"LocationZero", "1 0 1 2.5", "location 0"},
                      SeqCase{"GenotypeAboveMaxg", "1 1 3 2.5", "genotype 3"},
                      SeqCase{"NotANumber", "1 4 1 NaN", "expected a number"},
                      SeqCase{"Infinity", "1 4 1 inf", "expected a number"},
                      SeqCase{"BeyondSinglePrecision", "1 4 1 1e999", "single precision"},
                      SeqCase{"JustBeyondSinglePrecision", "1 4 1 3.5E38", "single precision"},
                      SeqCase{"TextStuckToANumber", "1 4 1 4.5abc", "expected a number"},
                      SeqCase{"Heading", "YEAR LOC GEN VALUE", "expected an integer"},
                      SeqCase{"Slash", "1 4 /", "'/'"},
                      SeqCase{"EmptyField", "1,4,,2", "empty value"},
                      SeqCase{"NumberMissing", "1 4 2", "fewer than four"},
                      SeqCase{"YearBeyond32Bits", "4294967296 1 1 1", "32 bits"}),
    [](const ::testing::TestParamInfo<SeqCase>& param) { return param.param.name; });

TEST(BadInput, OnlyRecordsOfTheYearBeingReadAreCheckedForRange) {
  Job job;
  job.files["T.SEQ"] += "3 99 99 1.0\n1 2 3\n";  // year 3 is never read; a cut-short last record
  Outcome o = run(job);
  EXPECT_EQ(o.run.status, 0) << o.run.error;
}

}  // namespace
}  // namespace locseq::testing
