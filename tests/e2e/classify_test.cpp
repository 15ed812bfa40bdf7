// A classification written from a trial's .NAQ and .SEQ is a .CLS the
// program runs to its end.
#include "classify/classify.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <random>

#include "support/command_runner.h"
#include "support/job_runner.h"
#include "support/unbalanced_trial.h"

namespace locseq::testing {
namespace {

// A trial of 4 years, 14 locations and 10 genotypes, a few cells absent,
// the last location without any value in the first year.
void write_trial(const fs::path& folder) {
  const int Y = 4, L = 14, G = 10;
  std::string naq = "From trial.csv\n" + std::to_string(Y) + " years, " + std::to_string(L) +
                    " locations, " + std::to_string(G) + " genotypes\n";
  for (int y = 1; y <= Y; ++y) naq.append(std::to_string(2018 + y)).append("\n");
  for (int i = 1; i <= L; ++i) naq.append("Site ").append(std::to_string(i)).append("\n");
  for (int g = 1; g <= G; ++g) naq.append("G").append(std::to_string(g)).append("\n");
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  std::string seq;
  for (int y = 1; y <= Y; ++y) {
    for (int i = 1; i <= L; ++i) {
      for (int g = 1; g <= G; ++g) {
        if (u(rng) < 0.04f || (i == L && y == 1)) continue;
        char value[32];
        const float v =
            40.0f + static_cast<float>(i % 3) * 5.0f + static_cast<float>(g) + 8.0f * u(rng);
        *std::to_chars(value, value + sizeof value, v).ptr = '\0';
        seq += std::to_string(y) + " " + std::to_string(i) + " " + std::to_string(g) + " " + value +
               "\n";
      }
    }
  }
  write_file(folder / "JOB.NAQ", naq);
  write_file(folder / "JOB.SEQ", seq);
}

TEST(ClassifyEndToEnd, TheProgramRunsTheClassification) {
  const struct {
    const char* what;
    bool standardized;
    const char* answers;
    bool again;  // the program standardises again
  } cases[] = {
      {"centred", false, "Y\nJOB\nY\n", false},
      {"standardized, again", true, "Y\nJOB\nY\nY\n", true},
      {"standardized, not again", true, "Y\nJOB\nY\nN\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work;
    write_trial(work.path());
    std::ifstream naq(work.path() / "JOB.NAQ"), seq(work.path() / "JOB.SEQ");
    const classify::Trial t = classify::load_trial(naq, "JOB.NAQ", seq, "JOB.SEQ", std::nullopt);
    classify::ClassifyOptions o;
    o.proximity = classify::Proximity::complete;
    o.standardized = c.standardized;
    const classify::ClassifyResult r = classify::classify(t, o);
    ASSERT_EQ(r.steps.size(), 4u);
    EXPECT_EQ(r.steps[0].left_out, 1);
    write_file(work.path() / "JOB.CLS", r.cls);

    const JobRun run = run_job(program_path(), work.path(), c.answers);
    EXPECT_EQ(run.status, 0) << run.error;
    EXPECT_TRUE(run.error.empty()) << run.error;
    const std::string sco = read_file(work.path() / "JOB.SCO");
    std::size_t blocks = 0;
    for (std::size_t at = 0; (at = sco.find("   Calculate overall fit", at)) != std::string::npos;
         ++at)
      ++blocks;
    EXPECT_EQ(blocks, 4u);
    EXPECT_EQ(sco.find("Location standardise") != std::string::npos, c.again);
  }
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at) ++n;
  return n;
}

// Unbalanced trials from a long table with replicate blocks, imported and
// classified with the defaults: every season judged, and the run cuts every
// step. A first season with too few locations moves the start, with a note.
TEST(ClassifyEndToEnd, UnbalancedTrialsRunEveryStep) {
  for (const std::uint64_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ScratchFolder work;
    const UnbalancedTrial u = make_unbalanced_trial({.seasons = 8,
                                                     .locations = 30,
                                                     .genotypes_per_season = 25,
                                                     .replicates = 3,
                                                     .missing = 0.05 * static_cast<double>(seed),
                                                     .seed = seed});
    std::string table = u.csv();
    if (seed == 3) {  // season 1 at two sites only
      std::string kept;
      for (const std::string& line : lines_of(table)) {
        if (line.rfind("2001,", 0) != 0 || line.rfind("2001,SITE1,", 0) == 0 ||
            line.rfind("2001,SITE2,", 0) == 0) {
          kept += line + "\n";
        }
      }
      table = kept;
    }
    write_file(work.path() / "t.csv", table);
    JobRun r = run_program(work.path(), {"import", "t.csv", "J", "--replicates", "mean"});
    ASSERT_EQ(r.status, 0) << r.error;
    const std::size_t seasons = seed == 3 ? 7 : 8;
    EXPECT_NE(r.console.find(std::to_string(seasons) + " steps, data years " +
                             std::to_string(9 - seasons) + " to 8"),
              std::string::npos)
        << r.console;
    EXPECT_EQ(r.error.find("warning"), std::string::npos) << r.error;
    EXPECT_EQ(r.error.find("locseq: J.SEQ: note: the sequence starts at year 2 (2002)") !=
                  std::string::npos,
              seed == 3)
        << r.error;
    r = run_program(work.path(), {"run", "J", "-q"});
    EXPECT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(count_of(read_file(work.path() / "J.SCO"), "   Calculate overall fit"), seasons);
  }
}

// The example's table: the four locations that each miss one season stay
// in from step 2 on, and all six seasons are judged.
TEST(ClassifyEndToEnd, TheExampleKeepsLocationsThatMissASeason) {
  ScratchFolder work;
  write_file(work.path() / "wheat.csv", read_file(fs::path(LOCSEQ_EXAMPLES_DIR) / "wheat.csv"));
  const JobRun r = run_program(work.path(), {"import", "wheat.csv", "W"});
  ASSERT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.error, "");
  for (const char* row : {"     3  2021            20           0         0",
                          "     6  2024            20           0         0"}) {
    EXPECT_NE(r.console.find(row), std::string::npos) << r.console;
  }
}

}  // namespace
}  // namespace locseq::testing
