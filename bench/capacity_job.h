// The capacity job: a synthetic trial of the largest shape the work areas
// take with the default truncation level (30 years, 300 locations, 900
// genotypes, 18 groups), generated deterministically so that every machine
// and every run times the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace locseq::bench {

struct CapacityShape {
  std::int32_t MAXY = 30;
  std::int32_t MAXL = 300;
  std::int32_t MAXG = 900;
  std::int32_t IYS = 1;
  std::int32_t IYF = 30;
  std::int32_t NGP = 18;  // the square-root rule for MAXL 300
};

// A small generator with a fixed algorithm (splitmix64), so that the job does not
// depend on how a standard library maps raw bits to distributions.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n), n < 2^32.
  std::uint32_t below(std::uint32_t n) {
    return static_cast<std::uint32_t>(((next() >> 32) * std::uint64_t{n}) >> 32);
  }
  // Uniform in [0, 1).
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
  // Roughly standard normal: the sum of four uniforms, centred and scaled
  // to unit variance (plain arithmetic, so the same bits everywhere).
  double normal() {
    const std::uint64_t a = next(), b = next();
    const double s = static_cast<double>(a & 0xffffffffu) + static_cast<double>(a >> 32) +
                     static_cast<double>(b & 0xffffffffu) + static_cast<double>(b >> 32);
    return (s * 0x1p-32 - 2.0) * 1.7320508075688772;
  }

 private:
  std::uint64_t state_;
};

// One block of the classification file: which locations are eliminated and
// the fusion hierarchy of the retained ones.
struct CapacityBlock {
  std::vector<std::int32_t> elimination;  // MAXL entries: 1 retained, 0 eliminated
  std::int32_t retained = 0;              // number of entries 1
  // RetainedCount - 1 fusions: labels joined, label formed, level in thousandths.
  struct Fusion {
    std::int32_t gi, gj, gij;
    std::int64_t level;
  };
  std::vector<Fusion> fusions;
};

class CapacityJob {
 public:
  static constexpr std::uint64_t kSeed = 20240611;

  explicit CapacityJob(std::uint64_t seed = kSeed);

  const CapacityShape& shape() const { return shape_; }

  // Appends the .SEQ records of data year y (one per line, in shuffled
  // order) to `out`. Each year is generated on its own, from the seed and y.
  void append_seq_year(std::int32_t y, std::string& out) const;

  // Block k of the classification file, with `eliminated` locations left out
  // (the file's own blocks use 10 to 20).
  CapacityBlock block(std::int32_t k, std::int32_t eliminated) const;
  // The number of eliminated locations of block k in the file.
  std::int32_t eliminated_in_block(std::int32_t k) const;

  std::string cls() const;
  std::string naq() const;
  static std::string answers() { return "Y\nCAP\nY\n"; }

 private:
  CapacityShape shape_;
  std::uint64_t seed_;
  // Effects shared by all years: location means and environment types,
  // genotype main effects and genotype x environment-type interactions.
  std::vector<double> location_mean_;
  std::vector<std::int32_t> location_type_;
  std::vector<double> genotype_effect_;
  std::vector<double> interaction_;  // MAXG x kTypes, genotype fastest
};

}  // namespace locseq::bench
