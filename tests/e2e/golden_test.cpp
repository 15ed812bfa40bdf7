// The golden jobs: each folder holds a job and the output a correct program
// writes for it (console, status, files), byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/compare.h"
#include "support/job_runner.h"

namespace locseq::testing {
namespace {

const fs::path kGolden = LOCSEQ_GOLDEN_DIR;

std::vector<std::string> golden_jobs() {
  std::vector<std::string> jobs;
  for (const auto& entry : fs::directory_iterator(kGolden)) {
    if (entry.is_directory()) jobs.push_back(entry.path().filename().string());
  }
  std::sort(jobs.begin(), jobs.end());
  return jobs;
}

// Copies the regular files of `from` into `to`, writable.
void lay_out(const fs::path& from, const fs::path& to, const std::set<std::string>& except = {}) {
  if (!fs::is_directory(from)) return;
  for (const auto& entry : fs::directory_iterator(from)) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || except.count(name)) continue;
    write_file(to / name, read_file(entry.path()));
  }
}

// A golden job, and the size of the year cache in MiB ("" for the default;
// "0" reads .SEQ again in every pass): the outputs must not depend on it.
using GoldenRun = std::tuple<std::string, std::string>;

class Golden : public ::testing::TestWithParam<GoldenRun> {};

TEST_P(Golden, MatchesByteForByte) {
  const auto& [job_name, cache_mb] = GetParam();
  const fs::path job = kGolden / job_name;
  ScratchFolder work;
  lay_out(job / "case", work.path(), {"stdin"});
  const auto inputs = read_files(work.path());
  lay_out(job / "case" / "preexisting", work.path());
  const auto preexisting = read_files(job / "case" / "preexisting");

  const std::vector<std::string> args = cache_mb.empty()
                                            ? std::vector<std::string>{}
                                            : std::vector<std::string>{"--cache-mb", cache_mb};
  JobRun run = run_job(program_path(), work.path(), read_file(job / "case" / "stdin"), 120, args);

  const std::string status = read_file(job / "expected" / "status");
  if (status.rfind("0", 0) == 0) {
    EXPECT_EQ(run.status, 0) << run.error;
  } else {
    EXPECT_GT(run.status, 0) << "a run that must fail ended with status " << run.status;
    EXPECT_LT(run.status, 128) << "killed by a signal: " << run.error;
  }
  EXPECT_TRUE(same_text(read_file(job / "expected" / "console"), run.console)) << "console";

  const auto after = read_files(work.path());
  const auto expected = read_files(job / "expected" / "files");
  for (const auto& [name, content] : expected) {
    auto it = after.find(name);
    ASSERT_NE(it, after.end()) << name << " was not written";
    EXPECT_TRUE(same_text(content, it->second)) << name;
  }
  for (const auto& [name, content] : after) {
    if (expected.count(name)) continue;
    auto in = inputs.find(name);
    auto earlier = preexisting.find(name);
    if (in != inputs.end()) {
      EXPECT_EQ(in->second, content) << "input " << name << " changed";
    } else if (earlier != preexisting.end()) {
      EXPECT_EQ(earlier->second, content) << "an earlier report changed: " << name;
    } else {
      ADD_FAILURE() << "the run made a file it should not: " << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, Golden,
                         ::testing::Combine(::testing::ValuesIn(golden_jobs()),
                                            ::testing::Values("", "0")),
                         [](const ::testing::TestParamInfo<GoldenRun>& param) {
                           std::string name = std::get<0>(param.param);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name + (std::get<1>(param.param).empty() ? "" : "_cache_0");
                         });

}  // namespace
}  // namespace locseq::testing
