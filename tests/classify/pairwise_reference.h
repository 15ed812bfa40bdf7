// The pairwise classification worked out from its definitions, for the
// tests: every count formed afresh, in the plainest way, at every step.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "classify/classify.h"
#include "classify/ward_reference.h"

namespace locseq::classify::testing {

// A trial's values prepared as a run prepares them: each location's present
// values of a year centred on their mean (and divided by their standard
// deviation, divisor n - 1, when standardised and it is positive), each
// rounded to single precision. x[y][g * L + i], year, genotype and
// location from 0.
struct Prepared {
  int Y = 0, L = 0, G = 0;
  std::vector<std::vector<double>> x;
  std::vector<std::vector<char>> has;
  bool has_value(int y, int i, int g) const { return has[y][g * L + i] != 0; }
};

inline Prepared prepare(const Trial& t, bool standardized) {
  Prepared p{t.MAXY, t.MAXL, t.MAXG, {}, {}};
  const int L = p.L, G = p.G;
  for (int y = 0; y < p.Y; ++y) {
    p.x.emplace_back(static_cast<std::size_t>(L * G), 0.0);
    p.has.emplace_back(static_cast<std::size_t>(L * G), 0);
    if (!t.has_data(y + 1)) continue;
    const TrialYear& ty = t.years[y];
    for (int i = 0; i < L; ++i) {
      double s = 0, n = 0, q = 0;
      for (int g = 0; g < G; ++g) {
        if (ty.presence[g * L + i]) s += static_cast<double>(ty.values[g * L + i]), ++n;
      }
      for (int g = 0; g < G; ++g) {
        if (!ty.presence[g * L + i]) continue;
        const double c = static_cast<float>(static_cast<double>(ty.values[g * L + i]) - s / n);
        p.x[y][g * L + i] = c;
        p.has[y][g * L + i] = 1;
        q += c * c;
      }
      const double d = std::sqrt(q / (n - 1));
      for (int g = 0; g < G && standardized && n > 1 && d > 0; ++g) {
        if (ty.presence[g * L + i]) p.x[y][g * L + i] = static_cast<float>(p.x[y][g * L + i] / d);
      }
    }
  }
  return p;
}

struct ReferenceStep {
  int last = 0;                         // the last year of the window (from 1)
  std::string entries;                  // per location: '1' retained, '0' eliminated, '2' left out
  std::vector<int> retained;            // location numbers (from 1)
  std::vector<std::vector<double>> d2;  // their squared distances
  std::vector<Fusion> fusions;
  int eliminated = 0;
};

// The step over the years first to last (from 1) by the pairwise rule.
inline ReferenceStep pairwise_step(const Prepared& p, int first, int last,
                                   const ClassifyOptions& o) {
  const int L = p.L, G = p.G;
  std::vector<int> years;  // the window's years with data
  for (int y = first - 1; y < last; ++y) {
    bool any = false;
    for (int c = 0; c < L * G; ++c) any = any || p.has[y][c];
    if (any) years.push_back(y);
  }
  auto shared = [&](int a, int b) {
    int c = 0;
    for (int y : years) {
      for (int g = 0; g < G; ++g) c += p.has_value(y, a, g) && p.has_value(y, b, g);
    }
    return c;
  };
  auto values_at = [&](int a) {
    int c = 0;
    for (int y : years) {
      for (int g = 0; g < G; ++g) c += p.has_value(y, a, g);
    }
    return c;
  };
  ReferenceStep step;
  step.last = last;
  std::vector<int> in;  // the candidates still in
  for (int i = 0; i < L; ++i) {
    int present = 0;
    for (int y : years) {
      int observed = 0, here = 0;
      for (int g = 0; g < G; ++g) {
        bool anywhere = false;
        for (int j = 0; j < L; ++j) anywhere = anywhere || p.has_value(y, j, g);
        observed += anywhere;
        here += p.has_value(y, i, g);
      }
      present += static_cast<double>(here) / observed >= o.min_share;
    }
    step.entries += values_at(i) == 0 ? '2' : '0';
    if (present >= 1 && present >= o.min_years * static_cast<double>(years.size())) in.push_back(i);
  }
  for (;;) {
    std::vector<int> short_pairs(in.size(), 0);
    for (std::size_t a = 0; a < in.size(); ++a) {
      for (std::size_t b = 0; b < in.size(); ++b) {
        short_pairs[a] += a != b && shared(in[a], in[b]) < o.min_cells;
      }
    }
    std::size_t worst = 0;
    for (std::size_t a = 1; a < in.size(); ++a) {
      const int sa = short_pairs[a], sw = short_pairs[worst];
      if (sa > sw || (sa == sw && values_at(in[a]) <= values_at(in[worst]))) worst = a;
    }
    if (in.empty() || short_pairs[worst] == 0) break;
    in.erase(in.begin() + static_cast<std::ptrdiff_t>(worst));
  }
  for (int i : in) {
    step.entries[static_cast<std::size_t>(i)] = '1';
    step.retained.push_back(i + 1);
  }
  for (char e : step.entries) step.eliminated += e == '0';
  double N = 0;
  for (int y : years) {
    for (int g = 0; g < G; ++g) {
      bool any = false;
      for (int i : in) any = any || p.has_value(y, i, g);
      N += any;
    }
  }
  const std::size_t n = in.size();
  step.d2.assign(n, std::vector<double>(n, 0.0));
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      if (a == b) continue;
      double sum = 0.0;
      for (int y : years) {
        for (int g = 0; g < G; ++g) {
          if (!p.has_value(y, in[a], g) || !p.has_value(y, in[b], g)) continue;
          const double t = p.x[y][g * L + in[a]] - p.x[y][g * L + in[b]];
          sum += t * t;
        }
      }
      step.d2[a][b] = N / shared(in[a], in[b]) * sum;
    }
  }
  if (n >= 2) step.fusions = brute_force_ward_on(step.d2);
  return step;
}

// The pairwise sequence with the truncation level `level` up to year
// `last`: from the first year whose step alone can be cut, as long as the
// steps can be cut.
inline std::vector<ReferenceStep> pairwise_sequence(const Prepared& p, const ClassifyOptions& o,
                                                    int level, int last) {
  auto cut = [&](const ReferenceStep& s) {
    return static_cast<int>(s.retained.size()) > level && s.eliminated <= p.L - level;
  };
  std::vector<ReferenceStep> steps;
  int first = 1;
  while (first <= last && !cut(pairwise_step(p, first, first, o))) ++first;
  for (int y = first; y <= last; ++y) {
    ReferenceStep s = pairwise_step(p, first, y, o);
    if (!cut(s)) break;
    steps.push_back(std::move(s));
  }
  return steps;
}

}  // namespace locseq::classify::testing
