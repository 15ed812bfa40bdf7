#include "capacity_job.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace locseq::bench {

namespace {

constexpr std::int32_t kTypes = 6;                 // environment types of the locations
constexpr double kMissing = 0.03;                  // share of cells absent in a year
constexpr std::uint64_t kYearStream = 0x5eed0001;  // seed offsets of the independent streams
constexpr std::uint64_t kBlockStream = 0x5eed0002;
constexpr std::uint64_t kCountStream = 0x5eed0003;
constexpr std::int32_t kFirstYearName = 1995;

std::uint64_t mix(std::uint64_t seed, std::uint64_t stream, std::uint64_t index) {
  Rng r(seed ^ (stream * 0x9e3779b97f4a7c15ULL) ^ (index * 0xd1b54a32d192ed03ULL));
  return r.next();
}

char* put_int(char* p, std::int64_t v) {
  return std::to_chars(p, p + 24, v).ptr;
}

// An integer right-aligned in w columns.
void append_int(std::string& out, std::int64_t v, int w) {
  char buf[24];
  char* end = put_int(buf, v);
  const auto n = static_cast<int>(end - buf);
  if (n < w) out.append(static_cast<std::size_t>(w - n), ' ');
  out.append(buf, end);
}

// A level in thousandths as a fixed-point number with 3 decimals in w columns.
void append_level(std::string& out, std::int64_t thousandths, int w) {
  std::string s = std::to_string(thousandths / 1000) + '.';
  const std::int64_t f = thousandths % 1000;
  s += static_cast<char>('0' + f / 100);
  s += static_cast<char>('0' + f / 10 % 10);
  s += static_cast<char>('0' + f % 10);
  if (static_cast<int>(s.size()) < w) out.append(static_cast<std::size_t>(w) - s.size(), ' ');
  out += s;
}

}  // namespace

CapacityJob::CapacityJob(std::uint64_t seed) : seed_(seed) {
  Rng rng(seed);
  const auto L = static_cast<std::size_t>(shape_.MAXL);
  const auto G = static_cast<std::size_t>(shape_.MAXG);
  location_mean_.resize(L);
  location_type_.resize(L);
  for (std::size_t i = 0; i < L; ++i) {
    location_mean_[i] = std::max(15.0, 50.0 + 8.0 * rng.normal());
    location_type_[i] = static_cast<std::int32_t>(rng.below(kTypes));
  }
  genotype_effect_.resize(G);
  for (double& g : genotype_effect_) g = 4.0 * rng.normal();
  interaction_.resize(G * kTypes);
  for (double& gt : interaction_) gt = 3.0 * rng.normal();
}

void CapacityJob::append_seq_year(std::int32_t y, std::string& out) const {
  Rng rng(mix(seed_, kYearStream, static_cast<std::uint64_t>(y)));
  const std::int32_t L = shape_.MAXL, G = shape_.MAXG;
  const double year_effect = 5.0 * rng.normal();
  struct Cell {
    std::uint16_t location, genotype;
    std::int32_t cents;
  };
  std::vector<Cell> cells;
  cells.reserve(static_cast<std::size_t>(L) * static_cast<std::size_t>(G));
  for (std::int32_t i = 1; i <= L; ++i) {
    const auto li = static_cast<std::size_t>(i - 1);
    const double site = location_mean_[li] + year_effect + 3.0 * rng.normal();
    const std::size_t type = static_cast<std::size_t>(location_type_[li]);
    for (std::int32_t j = 1; j <= G; ++j) {
      if (rng.uniform() < kMissing) continue;
      const auto gj = static_cast<std::size_t>(j - 1);
      const double v = site + genotype_effect_[gj] +
                       interaction_[gj + static_cast<std::size_t>(G) * type] + 2.0 * rng.normal();
      const auto cents = static_cast<std::int32_t>(std::max(50L, std::lround(v * 100.0)));
      cells.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(j), cents});
    }
  }
  // The records of a year come in no particular order.
  for (std::size_t n = cells.size(); n > 1; --n) {
    std::swap(cells[n - 1], cells[rng.below(static_cast<std::uint32_t>(n))]);
  }
  const std::size_t old = out.size();
  out.resize(old + cells.size() * 32);
  char* p = out.data() + old;
  for (const Cell& c : cells) {
    p = put_int(p, y);
    *p++ = ' ';
    p = put_int(p, c.location);
    *p++ = ' ';
    p = put_int(p, c.genotype);
    *p++ = ' ';
    p = put_int(p, c.cents / 100);
    *p++ = '.';
    *p++ = static_cast<char>('0' + c.cents / 10 % 10);
    *p++ = static_cast<char>('0' + c.cents % 10);
    *p++ = '\n';
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::int32_t CapacityJob::eliminated_in_block(std::int32_t k) const {
  Rng rng(mix(seed_, kCountStream, static_cast<std::uint64_t>(k)));
  return 10 + static_cast<std::int32_t>(rng.below(11));
}

CapacityBlock CapacityJob::block(std::int32_t k, std::int32_t eliminated) const {
  Rng rng(mix(seed_, kBlockStream, static_cast<std::uint64_t>(k)));
  const auto L = static_cast<std::uint32_t>(shape_.MAXL);
  CapacityBlock b;
  b.elimination.assign(L, 1);
  std::vector<std::int32_t> order(L);
  for (std::uint32_t i = 0; i < L; ++i) order[i] = static_cast<std::int32_t>(i);
  for (std::uint32_t e = 0; e < static_cast<std::uint32_t>(eliminated); ++e) {
    std::swap(order[e], order[e + rng.below(L - e)]);
    b.elimination[static_cast<std::size_t>(order[e])] = 0;
  }
  // Label t is the t-th retained location; group them by environment type.
  std::vector<std::vector<std::int32_t>> by_type(kTypes);
  std::int32_t n = 0;
  for (std::uint32_t i = 0; i < L; ++i) {
    if (b.elimination[i] == 1) by_type[static_cast<std::size_t>(location_type_[i])].push_back(++n);
  }
  b.retained = n;
  std::int64_t level = 0;
  std::int32_t r = 0;
  // Joins two random groups of `pool` into the next label, kept in the pool.
  auto join = [&](std::vector<std::int32_t>& pool) {
    const auto size = static_cast<std::uint32_t>(pool.size());
    const std::uint32_t a = rng.below(size);
    std::uint32_t c = rng.below(size - 1);
    if (c >= a) ++c;
    ++r;
    level += 1 + rng.below(static_cast<std::uint32_t>(3 * r));
    b.fusions.push_back({pool[a], pool[c], n + r, level});
    const std::uint32_t hi = std::max(a, c), lo = std::min(a, c);
    pool.erase(pool.begin() + hi);
    pool.erase(pool.begin() + lo);
    pool.push_back(n + r);
  };
  // Locations of one type join first, at lower levels; then the types join.
  for (;;) {
    std::vector<std::size_t> open;
    for (std::size_t t = 0; t < by_type.size(); ++t) {
      if (by_type[t].size() > 1) open.push_back(t);
    }
    if (open.empty()) break;
    join(by_type[open[rng.below(static_cast<std::uint32_t>(open.size()))]]);
  }
  std::vector<std::int32_t> rest;
  for (const auto& t : by_type) rest.insert(rest.end(), t.begin(), t.end());
  while (rest.size() > 1) join(rest);
  return b;
}

std::string CapacityJob::cls() const {
  const CapacityShape& s = shape_;
  std::string out;
  for (std::int32_t v : {s.MAXY, s.MAXL, s.MAXG, s.IYS, s.IYF}) append_int(out, v, 4);
  out += "\nSynthetic capacity trial, 300 x 900 x 30 years\n";
  out += "     U     S     C     N\n";
  append_int(out, s.IYS, 4);
  append_int(out, s.IYF, 4);
  out += '\n';
  for (std::int32_t k = 1; k <= s.IYF - s.IYS + 1; ++k) {
    const CapacityBlock b = block(k, eliminated_in_block(k));
    append_int(out, k, 6);
    out += "    ";
    out += std::to_string(kFirstYearName + s.IYS + k - 2);
    out += '\n';
    append_int(out, b.retained, 4);
    out += '\n';
    for (std::size_t i = 0; i < b.elimination.size(); ++i) {
      append_int(out, b.elimination[i], 4);
      if (i % 30 == 29 || i + 1 == b.elimination.size()) out += '\n';
    }
    for (const CapacityBlock::Fusion& f : b.fusions) {
      out += "   ";
      append_int(out, f.gi, 4);
      out += " +";
      append_int(out, f.gj, 4);
      out += " =";
      append_int(out, f.gij, 4);
      out += ' ';
      append_level(out, f.level, 10);
      out += '\n';
    }
  }
  return out;
}

std::string CapacityJob::naq() const {
  std::string out = "Synthetic capacity trial\nNames of years, locations and genotypes\n";
  for (std::int32_t y = 1; y <= shape_.MAXY; ++y) {
    out += std::to_string(kFirstYearName + y - 1) + '\n';
  }
  char buf[16];
  for (std::int32_t i = 1; i <= shape_.MAXL; ++i) {
    std::snprintf(buf, sizeof buf, "SITE%03d\n", static_cast<int>(i));
    out += buf;
  }
  for (std::int32_t g = 1; g <= shape_.MAXG; ++g) {
    std::snprintf(buf, sizeof buf, "G%04d\n", static_cast<int>(g));
    out += buf;
  }
  return out;
}

}  // namespace locseq::bench
