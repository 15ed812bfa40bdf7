// Times the classification of a job's trial: reading .NAQ and .SEQ, then
// classifying with the default options, once on the data as they are and
// once on the same trial made dense (every absent cell filled with its
// location's mean of the year, which leaves the centred values of the
// present cells as they were), so that every step has distances over all
// genotypes; and a third time with gaps laid so that every step eliminates
// one more location and changes the shared genotypes of every year, so that
// each step forms the distances of all its years afresh (the worst case).
//
//   classify_bench [--job NAME] JOBDIR      (NAME defaults to CAP)
//
// The sizes come from the head of JOBDIR/NAME.CLS.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "classify/classify.h"
#include "core/input_error.h"

namespace {

using locseq::classify::ClassifyResult;
using locseq::classify::Trial;

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "classify_bench: %s\n", message.c_str());
  std::exit(1);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every absent cell of a year with data set to its location's mean.
void make_dense(Trial& t) {
  for (auto& y : t.years) {
    if (y.values.empty()) continue;
    for (std::size_t i = 0; i < static_cast<std::size_t>(t.MAXL); ++i) {
      double sum = 0.0;
      int n = 0;
      for (std::size_t at = i; at < y.values.size(); at += static_cast<std::size_t>(t.MAXL)) {
        if (y.presence[at] > 0) sum += static_cast<double>(y.values[at]), ++n;
      }
      for (std::size_t at = i; at < y.values.size(); at += static_cast<std::size_t>(t.MAXL)) {
        if (y.presence[at] == 0 && n > 0) {
          y.values[at] = static_cast<float>(sum / n);
          y.presence[at] = 1;
        }
      }
    }
  }
}

// Location j (1 to MAXY - 1) lacks genotype j in every year and a third of
// its genotypes in year j + 1, which eliminates it from step j + 1 on.
void make_worst_case(Trial& t) {
  const auto L = static_cast<std::size_t>(t.MAXL);
  for (std::int32_t j = 1; j < t.MAXY && j <= t.MAXL && j <= t.MAXG; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    for (std::size_t y = 0; y < t.years.size(); ++y) {
      auto& year = t.years[y];
      if (year.values.empty()) continue;
      year.presence[i * L + i] = 0;
      year.values[i * L + i] = 0.0f;
      if (y == static_cast<std::size_t>(j)) {
        for (std::size_t g = 0; g < static_cast<std::size_t>(t.MAXG) / 3; ++g) {
          year.presence[g * L + i] = 0;
          year.values[g * L + i] = 0.0f;
        }
      }
    }
  }
}

void classify_timed(const Trial& t, const char* what) {
  const auto start = std::chrono::steady_clock::now();
  try {
    const ClassifyResult r = locseq::classify::classify(t, {});
    const double s = seconds_since(start);
    std::printf("classify (%s): %.2f s wall, %zu steps, %zu warnings, %zu bytes of .CLS\n", what, s,
                r.steps.size(), r.warnings.size(), r.cls.size());
    if (!r.steps.empty()) {
      std::printf("  step %d: %d retained, %d eliminated, %lld shared genotype-years\n",
                  r.steps.back().step, r.steps.back().retained, r.steps.back().eliminated,
                  static_cast<long long>(r.steps.back().shared_cells));
    }
  } catch (const locseq::InputError& e) {
    std::printf("classify (%s): %.2f s wall, refused: %s\n", what, seconds_since(start), e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string job = "CAP", dir;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--job" && a + 1 < argc) {
      job = argv[++a];
    } else if (dir.empty()) {
      dir = arg;
    } else {
      die("usage: classify_bench [--job NAME] JOBDIR");
    }
  }
  if (dir.empty()) die("usage: classify_bench [--job NAME] JOBDIR");
  const std::string base = dir + "/" + job;
  std::ifstream cls(base + ".CLS"), naq(base + ".NAQ"), seq(base + ".SEQ", std::ios::binary);
  if (!cls || !naq || !seq) die("cannot open " + base + ".CLS, .NAQ and .SEQ");
  std::array<std::int32_t, 5> head{};
  for (std::int32_t& v : head) {
    if (!(cls >> v)) die("cannot read the head of " + base + ".CLS");
  }

  auto start = std::chrono::steady_clock::now();
  Trial t;
  try {
    t = locseq::classify::load_trial(naq, base + ".NAQ", seq, base + ".SEQ",
                                     std::array<std::int32_t, 3>{head[0], head[1], head[2]});
  } catch (const locseq::InputError& e) {
    die(e.what());
  }
  std::printf("classify_bench: %s: %d years, %d locations, %d genotypes\n", base.c_str(), t.MAXY,
              t.MAXL, t.MAXG);
  std::printf("load .NAQ and .SEQ: %.2f s wall\n", seconds_since(start));
  classify_timed(t, "as generated");
  make_dense(t);
  classify_timed(t, "dense");
  make_worst_case(t);
  classify_timed(t, "dense, every year formed again at every step");
  return 0;
}
