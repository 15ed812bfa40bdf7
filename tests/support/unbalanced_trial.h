// Unbalanced multi-year trials, as real networks are: locations that join
// late, skip a season or stop; genotypes that enter for two to five
// seasons; replicate blocks; cells missing at random. The same bytes on
// every machine (a generator of its own, no standard distributions).
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace locseq::testing {

struct UnbalancedShape {
  std::int32_t seasons = 6;
  std::int32_t locations = 12;
  std::int32_t genotypes_per_season = 8;
  std::int32_t replicates = 2;  // blocks per location and season
  double missing = 0.1;         // the share of cells (season, location, genotype) without a value
  std::uint64_t seed = 1;
};

// How a location takes part: in every season, from a later season on, in
// all but one season, or up to an earlier season.
enum class Attendance { every, joins_late, skips_one, stops };

struct UnbalancedTrial {
  UnbalancedShape shape;
  std::int32_t genotypes = 0;  // genotype numbers used, 1 to this
  std::vector<Attendance> attendance;
  std::vector<std::int32_t> first, last, skipped;  // per location; skipped 0 for none
  struct Plot {
    std::int32_t season, location, genotype, block;
    float value;
  };
  std::vector<Plot> plots;  // by season, then location, genotype and block

  // The long table: season,site,variety,block,yield; names S2001..,
  // SITE1.., V1.. (so the import's column names and numbering apply).
  std::string csv() const {
    std::string out = "season,site,variety,block,yield\n";
    for (const Plot& p : plots) {
      out += std::to_string(2000 + p.season) + ",SITE" + std::to_string(p.location) + ",V" +
             std::to_string(p.genotype) + "," + std::to_string(p.block) + "," + text(p.value) +
             "\n";
    }
    return out;
  }

  // .NAQ and .SEQ of the job: one record per cell with a value, the mean
  // of its blocks.
  std::string naq() const {
    std::string out = "Unbalanced trial\n" + std::to_string(shape.seasons) + " years, " +
                      std::to_string(shape.locations) + " locations, " + std::to_string(genotypes) +
                      " genotypes\n";
    for (std::int32_t s = 1; s <= shape.seasons; ++s) out.append(std::to_string(2000 + s)) += '\n';
    for (std::int32_t i = 1; i <= shape.locations; ++i) {
      out.append("SITE").append(std::to_string(i)) += '\n';
    }
    for (std::int32_t g = 1; g <= genotypes; ++g) out.append("V").append(std::to_string(g)) += '\n';
    return out;
  }
  std::string seq() const {
    std::string out;
    for (std::size_t at = 0; at < plots.size();) {
      const Plot& p = plots[at];
      double sum = 0.0;
      int n = 0;
      for (; at < plots.size() && plots[at].season == p.season &&
             plots[at].location == p.location && plots[at].genotype == p.genotype;
           ++at) {
        sum += static_cast<double>(plots[at].value);
        ++n;
      }
      out += std::to_string(p.season) + " " + std::to_string(p.location) + " " +
             std::to_string(p.genotype) + " " + text(static_cast<float>(sum / n)) + "\n";
    }
    return out;
  }

  static std::string text(float v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
  }
};

namespace unbalanced_detail {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }  // [0, 1)
  std::int32_t between(std::int32_t lo, std::int32_t hi) {                  // [lo, hi]
    return lo + static_cast<std::int32_t>(uniform() * (hi - lo + 1));
  }
  double normal() {  // about standard normal: four uniforms, centred and scaled
    return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508075688772;
  }

 private:
  std::uint64_t state_;
};

}  // namespace unbalanced_detail

inline UnbalancedTrial make_unbalanced_trial(const UnbalancedShape& shape) {
  unbalanced_detail::Rng rng(shape.seed);
  UnbalancedTrial t;
  t.shape = shape;
  const std::int32_t S = shape.seasons, L = shape.locations;
  // Attendance: most locations every season; about one in six joins late,
  // one in six skips a season, one in eight stops early.
  for (std::int32_t i = 0; i < L; ++i) {
    const double u = rng.uniform();
    Attendance a = u < 0.17   ? Attendance::joins_late
                   : u < 0.34 ? Attendance::skips_one
                   : u < 0.46 ? Attendance::stops
                              : Attendance::every;
    if (S < 3) a = Attendance::every;
    std::int32_t first = 1, last = S, skipped = 0;
    if (a == Attendance::joins_late) first = rng.between(2, (S + 1) / 2);
    if (a == Attendance::stops) last = rng.between(S / 2 + 1, S - 1);
    if (a == Attendance::skips_one) skipped = rng.between(2, S - 1);
    t.attendance.push_back(a);
    t.first.push_back(first);
    t.last.push_back(last);
    t.skipped.push_back(skipped);
  }
  // Genotypes: each season's entries; one that has served its two to five
  // seasons gives way to a new one.
  std::vector<std::int32_t> entry(static_cast<std::size_t>(shape.genotypes_per_season));
  std::vector<std::int32_t> left(entry.size());  // seasons still to serve
  for (std::size_t e = 0; e < entry.size(); ++e) {
    entry[e] = ++t.genotypes;
    left[e] = rng.between(1, 5);  // staggered: the first turnover comes early
  }
  // Effects: location means and types, genotype effects and their
  // interaction with the type, season and location-season effects.
  constexpr int kTypes = 3;
  std::vector<double> loc_mean, genotype, interaction;
  std::vector<int> type;
  for (std::int32_t i = 0; i < L; ++i) {
    loc_mean.push_back(4.0 + 1.5 * rng.normal());
    type.push_back(static_cast<int>(rng.uniform() * kTypes));
  }
  for (std::int32_t s = 1; s <= S; ++s) {
    if (s > 1) {
      for (std::size_t e = 0; e < entry.size(); ++e) {
        if (--left[e] == 0) {
          entry[e] = ++t.genotypes;
          left[e] = rng.between(2, 5);
        }
      }
    }
    while (static_cast<std::int32_t>(genotype.size()) < t.genotypes) {
      genotype.push_back(0.5 * rng.normal());
      for (int k = 0; k < kTypes; ++k) interaction.push_back(0.4 * rng.normal());
    }
    const double season = 0.8 * rng.normal();
    for (std::int32_t i = 1; i <= L; ++i) {
      const auto li = static_cast<std::size_t>(i - 1);
      if (s < t.first[li] || s > t.last[li] || s == t.skipped[li]) continue;
      const double env = loc_mean[li] + season + 0.5 * rng.normal();
      std::vector<std::int32_t> cells(entry.begin(), entry.end());
      std::sort(cells.begin(), cells.end());
      for (std::int32_t g : cells) {
        if (rng.uniform() < shape.missing) continue;
        const auto gi = static_cast<std::size_t>(g - 1);
        const double mean =
            env + genotype[gi] + interaction[gi * kTypes + static_cast<std::size_t>(type[li])];
        for (std::int32_t b = 1; b <= shape.replicates; ++b) {
          const double v = std::round((mean + 0.3 * rng.normal()) * 100.0) / 100.0;
          t.plots.push_back({s, i, g, b, static_cast<float>(v)});
        }
      }
    }
  }
  return t;
}

}  // namespace locseq::testing
