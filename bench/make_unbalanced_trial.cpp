// Writes an unbalanced trial (the tests' generator) as a job's TRIAL.NAQ and
// TRIAL.SEQ: by default the 5,000-location trial of the classification
// benchmark, 10 seasons of 40 genotypes, 10 % of the cells missing, one value
// a cell. The same bytes on every run.
//
//   make_unbalanced_trial [--locations N] [--seasons N] [--genotypes N]
//                         [--missing SHARE] [--seed N] OUTDIR

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/unbalanced_trial.h"

namespace {

bool write_file(const std::filesystem::path& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

int usage() {
  std::fprintf(stderr,
               "usage: make_unbalanced_trial [--locations N] [--seasons N] [--genotypes N] "
               "[--missing SHARE] [--seed N] OUTDIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  locseq::testing::UnbalancedShape shape{.seasons = 10,
                                         .locations = 5000,
                                         .genotypes_per_season = 40,
                                         .replicates = 1,
                                         .missing = 0.10,
                                         .seed = 5000};
  std::filesystem::path dir;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    const bool has_value = a + 1 < argc;
    if (arg == "--locations" && has_value) {
      shape.locations = std::stoi(argv[++a]);
    } else if (arg == "--seasons" && has_value) {
      shape.seasons = std::stoi(argv[++a]);
    } else if (arg == "--genotypes" && has_value) {
      shape.genotypes_per_season = std::stoi(argv[++a]);
    } else if (arg == "--missing" && has_value) {
      shape.missing = std::stod(argv[++a]);
    } else if (arg == "--seed" && has_value) {
      shape.seed = std::stoull(argv[++a]);
    } else if (dir.empty() && arg[0] != '-') {
      dir = arg;
    } else {
      return usage();
    }
  }
  if (dir.empty()) return usage();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const locseq::testing::UnbalancedTrial t = locseq::testing::make_unbalanced_trial(shape);
  for (const auto& [name, text] :
       {std::pair{"TRIAL.NAQ", t.naq()}, std::pair{"TRIAL.SEQ", t.seq()}}) {
    if (!write_file(dir / name, text)) {
      std::fprintf(stderr, "make_unbalanced_trial: cannot write %s\n", (dir / name).c_str());
      return 1;
    }
  }
  std::printf("make_unbalanced_trial: wrote %s: %d seasons, %d locations, %d genotypes\n",
              dir.c_str(), shape.seasons, shape.locations, t.genotypes);
  return 0;
}
