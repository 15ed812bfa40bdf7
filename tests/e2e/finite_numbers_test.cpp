// Values so large that a run's single-precision sums would overflow: import
// refuses them, and a job written by hand with them ends with an error
// naming the year, the location and the record, never with a report that
// holds an infinity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/sample_jobs.h"

namespace locseq::testing {
namespace {

// `job` with each record "OLD" of its .SEQ replaced by "NEW".
Files with_records(Files job, const std::string& seq,
                   const std::vector<std::pair<std::string, std::string>>& records) {
  std::string& text = job[seq];
  for (const auto& [old, now] : records) {
    const std::size_t at = text.find(old + "\n");
    EXPECT_NE(at, std::string::npos) << old;
    if (at != std::string::npos) text.replace(at, old.size(), now);
  }
  return job;
}

// A chain job of 4 locations and 3 genotypes, one block reading year 1.
Files chain() {
  return chain_job("T", 1, 4, 3, 1);
}

TEST(FiniteNumbers, ARunWhoseSumsWouldOverflowEndsNamingTheRecord) {
  // The small job: groups 1 {3}, 2 {4} and 3 {2, 1}, in member-list order;
  // locations 5 and 6 eliminated, 5 nearest to group 1 when its values
  // match location 3's.
  const struct {
    const char* what;
    Files job;
    std::string error;     // the first line of standard error
    std::string classify;  // what classify's error says
  } cases[] = {
      {"the group means of year 1, in the first block",
       with_records(small_job(), "T.SEQ",
                    {{"1 1 1 1", "1 1 1 3e38"},
                     {"1 1 2 -1", "1 1 2 -3e38"},
                     {"1 2 1 2", "1 2 1 3e38"},
                     {"1 2 2 -2", "1 2 2 -3e38"}}),
       "locseq: T.SEQ:1: year 1 (Y1), location 1 (L1), genotype 1 (G1): its centred value 3e+38 "
       "added to the sum 3e+38 of group 3's members is beyond single precision; the sums of a "
       "job of 6 locations stay finite for values of magnitude up to 1.4e+37",
       "step 1 (year 1 (Y1)): joining group 7 and group 10 gives a fusion level of "
       "2.400000008796409e+77, beyond the single precision a run reads; the largest value of "
       "the window, 3e+38, is that of year 1 (Y1), location 1 (L1), genotype 1 (G1)"},
      {"the group means of year 2, in the second block",
       with_records(small_job(), "T.SEQ",
                    {{"2 1 1 1", "2 1 1 3e38"},
                     {"2 1 2 -2", "2 1 2 -3e38"},
                     {"2 2 1 2", "2 2 1 3e38"},
                     {"2 2 2 -4", "2 2 2 -3e38"}}),
       "locseq: T.SEQ:13: year 2 (Y2), location 1 (L1), genotype 1 (G1): its centred value "
       "3e+38 added to the sum 3e+38 of group 3's members",
       "step 2 (years 1 (Y1) to 2 (Y2)): joining group 7 and group 10 gives a fusion level of "
       "2.400000008796409e+77, beyond the single precision a run reads; the largest value of "
       "the window, 3e+38, is that of year 2 (Y2), location 1 (L1), genotype 1 (G1)"},
      {"the means of a group enlarged by the allocation",
       with_records(small_job(), "T.SEQ",
                    {{"1 3 1 3", "1 3 1 3e38"},
                     {"1 3 2 -3", "1 3 2 -3e38"},
                     {"1 5 1 5", "1 5 1 3e38"},
                     {"1 5 2 -5", "1 5 2 -3e38"}}),
       "locseq: T.SEQ:9: year 1 (Y1), location 5 (L5), genotype 1 (G1): its centred value 3e+38 "
       "added to the sum 3e+38 of group 1's members",
       "is that of year 1 (Y1), location 3 (L3), genotype 1 (G1)"},
      {"centring: the largest value less a mean of the other sign",
       with_records(chain(), "T.SEQ",
                    {{"1 2 1 43.2", "1 2 1 -3e38"},
                     {"1 2 2 44.4", "1 2 2 3e38"},
                     {"1 2 3 45.6", "1 2 3 3e38"}}),
       "locseq: T.SEQ:4: year 1 (Y1), location 2 (L2), genotype 1 (G1): the value -3e+38 less "
       "the location's mean 1e+38 is beyond single precision",
       "year 1 (Y1), location 2 (L2), genotype 1 (G1): the value -3e+38 less the location's "
       "mean 1e+38 is beyond single precision"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work;
    for (const auto& [name, content] : c.job) write_file(work.path() / name, content);
    const Files before = read_files(work.path());
    std::string first_error;
    for (const char* cache : {"256", "0"}) {
      SCOPED_TRACE(std::string("--cache-mb ") + cache);
      const JobRun r = run_program(work.path(), {"run", "T", "-q", "--cache-mb", cache, "--tables",
                                                 "tables", "--report", "T.html"});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.error.substr(0, c.error.size()), c.error) << r.error;
      EXPECT_EQ(lines_of(r.error).size(), 2u) << r.error;
      EXPECT_EQ(tree(work.path()), before) << "the run left a file";
      if (first_error.empty()) first_error = r.error;
      EXPECT_EQ(r.error, first_error) << "with and without the year cache";
    }
    // The classification of the same data: an error, never a .CLS with an
    // infinity in it.
    const JobRun r =
        run_program(work.path(), {"classify", "T", "--cls", "C.CLS", "--proximity", "complete"});
    EXPECT_EQ(r.status, 1) << r.error;
    EXPECT_FALSE(fs::exists(work.path() / "C.CLS"));
    EXPECT_EQ(r.error.rfind("locseq: T.SEQ: ", 0), 0u) << r.error;
    EXPECT_NE(r.error.find(c.classify), std::string::npos) << r.error;
  }
}

TEST(FiniteNumbers, ImportRefusesAValueTheSumsCouldNotHold) {
  ScratchFolder work;
  write_file(work.path() / "big.csv",
             "year,location,genotype,yield\n2019,A,G1,3e38\n2019,A,G2,-3e38\n2019,B,G1,3e38\n"
             "2019,B,G2,-3e38\n2019,C,G1,1\n2019,C,G2,2\n");
  const JobRun r = run_program(work.path(), {"import", "big.csv", "BIG"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(lines_of(r.error).at(0),
            "locseq: big.csv:2: the value 3e+38 (column 4 'yield') is larger in magnitude than "
            "2.8e+37, the most a job of 3 locations can sum: a run holds values and the sums of "
            "group means in single precision (largest 3.4e+38), centring can double a value and a "
            "group sums up to 3 of them, so values must stay within 3.4e+38 / (4 x 3)");
  EXPECT_EQ(read_files(work.path()).size(), 1u) << "import wrote a file";
}

}  // namespace
}  // namespace locseq::testing
