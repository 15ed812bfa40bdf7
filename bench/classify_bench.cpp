// Times the classification of a job's trial, each variant in a process of
// its own so that its peak resident memory (from wait4) is its own: the
// child reads .NAQ and .SEQ, as `locseq classify` does, and classifies.
//
//   classify_bench [--job NAME] [--dense] JOBDIR      (NAME defaults to CAP)
//
// Variants: the trial as generated, with the default (pairwise) proximity
// and with --proximity complete. With --dense, also the same trial made
// dense (every absent cell filled with its location's mean of the year,
// which leaves the centred values of the present cells as they were), under
// both proximities, and a worst case for complete: gaps laid so that every
// step eliminates one more location and changes the shared genotypes of
// every year, so that each step forms the distances of all its years afresh.
//
// The sizes come from the head of JOBDIR/NAME.CLS when there is one, else
// from the second record of NAME.NAQ.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "classify/classify.h"
#include "core/input_error.h"

namespace {

using locseq::classify::ClassifyOptions;
using locseq::classify::ClassifyResult;
using locseq::classify::Proximity;
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

struct Job {
  std::string base;  // JOBDIR/NAME
  locseq::classify::Sizes size;
};

enum class Data { as_generated, dense, worst_case };

// In a child: loads the trial, prepares it, classifies it and reports.
[[noreturn]] void classify_in_child(const Job& job, Data data, Proximity proximity) {
  const auto start = std::chrono::steady_clock::now();
  std::ifstream naq(job.base + ".NAQ"), seq(job.base + ".SEQ", std::ios::binary);
  if (!naq || !seq) die("cannot open " + job.base + ".NAQ and .SEQ");
  Trial t;
  try {
    t = locseq::classify::load_trial(naq, job.base + ".NAQ", seq, job.base + ".SEQ", job.size);
  } catch (const locseq::InputError& e) {
    die(e.what());
  }
  if (data != Data::as_generated) make_dense(t);
  if (data == Data::worst_case) make_worst_case(t);
  const double loaded = seconds_since(start);
  ClassifyOptions o;
  o.proximity = proximity;
  const auto classify_start = std::chrono::steady_clock::now();
  try {
    const ClassifyResult r = locseq::classify::classify(t, o);
    std::printf("  read %.2f s, classify %.2f s: %zu steps (data years %d to %d)", loaded,
                seconds_since(classify_start), r.steps.size(), r.IYS, r.IYF);
    if (!r.steps.empty()) {
      std::printf(", the last retains %d and eliminates %d", r.steps.back().retained,
                  r.steps.back().eliminated);
    }
    std::printf("\n");
  } catch (const locseq::InputError& e) {
    std::printf("  read %.2f s, classify %.2f s: refused: %s\n", loaded,
                seconds_since(classify_start), e.what());
  }
  std::fflush(stdout);
  std::_Exit(0);
}

void run_variant(const Job& job, Data data, Proximity proximity, const char* what) {
  std::printf("classify (%s, %s):\n", what,
              proximity == Proximity::pairwise ? "pairwise" : "complete");
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) die("cannot fork");
  if (pid == 0) classify_in_child(job, data, proximity);
  int status = 0;
  rusage ru{};
  if (wait4(pid, &status, 0, &ru) != pid) die("wait4 failed");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) die("the child failed");
  std::printf(
      "  wall %.2f s, user %.2f s, peak RSS %.1f MiB\n", seconds_since(start),
      static_cast<double>(ru.ru_utime.tv_sec) + static_cast<double>(ru.ru_utime.tv_usec) * 1e-6,
      static_cast<double>(ru.ru_maxrss) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string name = "CAP", dir;
  bool dense = false;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--job" && a + 1 < argc) {
      name = argv[++a];
    } else if (arg == "--dense") {
      dense = true;
    } else if (dir.empty()) {
      dir = arg;
    } else {
      die("usage: classify_bench [--job NAME] [--dense] JOBDIR");
    }
  }
  if (dir.empty()) die("usage: classify_bench [--job NAME] [--dense] JOBDIR");
  Job job{dir + "/" + name, std::nullopt};
  if (std::ifstream cls(job.base + ".CLS"); cls) {
    std::array<std::int32_t, 3> head{};
    for (std::int32_t& v : head) {
      if (!(cls >> v)) die("cannot read the head of " + job.base + ".CLS");
    }
    job.size = head;
  }
  std::printf("classify_bench: %s\n", job.base.c_str());
  run_variant(job, Data::as_generated, Proximity::pairwise, "as generated");
  run_variant(job, Data::as_generated, Proximity::complete, "as generated");
  if (dense) {
    run_variant(job, Data::dense, Proximity::pairwise, "dense");
    run_variant(job, Data::dense, Proximity::complete, "dense");
    run_variant(job, Data::worst_case, Proximity::complete,
                "dense, every year formed again at every step");
  }
  return 0;
}
