#include "fit/level_fit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/vector_clones.h"

namespace locseq {

namespace {

// Cells moved at a time by the layout: a tile of the year read column by
// column and written row by row, both within the cache.
constexpr long kTile = 32;

// How many fits go side by side: each keeps a running sum of its own, so
// their additions overlap rather than wait for each other.
constexpr std::size_t kSideBySide = 4;

// Where one fit stands: its member and that member's group's squares.
struct Cursor {
  const GroupLists* lists = nullptr;
  const double* squares = nullptr;
  std::size_t member = 0;  // next member, from 0
  std::size_t group = 0;   // its group, from 0
  std::int32_t left = 0;   // members of that group still to come, this one included
};

// Moves `c` to its next member; false when it has none left.
bool next_member(Cursor& c, std::int32_t& u, const double*& squares, long G) {
  if (c.member >= c.lists->locations.size()) return false;
  while (c.left == 0) c.left = c.lists->sizes[c.group++];
  u = c.lists->locations[c.member++];
  squares = c.squares + static_cast<long>(c.group - 1) * G;
  --c.left;
  return true;
}

// Up to kSideBySide fits, member position by member position: a fit whose
// members are all counted reads the row without cells, which adds +0.0 to
// its sums (never -0.0, so they stay as they are).
LOCSEQ_VECTOR_CLONES void fit_side_by_side(const YearRows& rows, std::span<const RowFit> fits,
                                           const std::vector<double>& no_squares,
                                           std::span<VariantSums> out) {
  const long G = rows.genotypes();
  std::array<Cursor, kSideBySide> cursor{};
  std::array<double, kSideBySide> tss{}, ess{};
  for (std::size_t f = 0; f < fits.size(); ++f) cursor[f] = {fits[f].lists, fits[f].squares};
  for (;;) {
    std::array<const float*, kSideBySide> x{};
    std::array<const std::int32_t*, kSideBySide> n{};
    std::array<const double*, kSideBySide> m{};
    bool any = false;
    for (std::size_t f = 0; f < kSideBySide; ++f) {
      std::int32_t u = 0;
      m[f] = no_squares.data();
      if (f < fits.size() && next_member(cursor[f], u, m[f], G)) {
        any = true;
        const std::int32_t present = rows.present(u);
        out[f].members += present > 0;
        out[f].cells += present;
      }
      x[f] = rows.values(u);
      n[f] = rows.incidence(u);
    }
    if (!any) break;
    for (long j = 0; j < G; ++j) {
      for (std::size_t f = 0; f < kSideBySide; ++f) {
        const bool in = n[f][j] > 0;
        const auto v = static_cast<double>(x[f][j]);
        tss[f] += in ? v * v : 0.0;
        ess[f] += in ? m[f][j] : 0.0;
      }
    }
  }
  for (std::size_t f = 0; f < fits.size(); ++f) {
    out[f].tss = tss[f];
    out[f].ess = ess[f];
  }
}

}  // namespace

void YearRows::fill(const Year& year) {
  const long L = year.YearData.rows(), G = year.YearData.cols();
  genotypes_ = G;
  const auto cells = static_cast<std::size_t>((L + 1) * G);
  values_.assign(cells, 0.0f);
  incidence_.assign(cells, 0);
  present_.assign(static_cast<std::size_t>(L + 1), 0);
  const float* X = year.YearData.data();
  const std::int32_t* N = year.IncidenceMatrix.data();
  for (long u0 = 0; u0 < L; u0 += kTile) {
    for (long j0 = 0; j0 < G; j0 += kTile) {
      for (long u = u0; u < std::min(L, u0 + kTile); ++u) {
        float* v = values_.data() + (u + 1) * G;
        std::int32_t* n = incidence_.data() + (u + 1) * G;
        for (long j = j0; j < std::min(G, j0 + kTile); ++j) {
          v[j] = X[j * L + u];
          n[j] = N[j * L + u];
        }
      }
    }
  }
  for (long u = 1; u <= L; ++u) {
    const std::int32_t* n = incidence_.data() + u * G;
    present_[static_cast<std::size_t>(u)] =
        static_cast<std::int32_t>(std::count_if(n, n + G, [](std::int32_t c) { return c > 0; }));
  }
}

LOCSEQ_VECTOR_CLONES bool MeansOfRows(const YearRows& rows, const GroupLists& lists,
                                      std::vector<float>& means,
                                      std::vector<std::int32_t>& counts) {
  const long G = rows.genotypes();
  const std::size_t groups = lists.sizes.size();
  means.assign(groups * static_cast<std::size_t>(G), 0.0f);
  counts.assign(groups * static_cast<std::size_t>(G), 0);
  bool finite = true;
  std::size_t p = 0;
  for (std::size_t k = 0; k < groups; ++k) {
    float* sum = means.data() + k * static_cast<std::size_t>(G);
    std::int32_t* count = counts.data() + k * static_cast<std::size_t>(G);
    for (std::int32_t i = 0; i < lists.sizes[k]; ++i) {
      const std::int32_t u = lists.locations[p++];
      const float* x = rows.values(u);
      const std::int32_t* n = rows.incidence(u);
      for (long j = 0; j < G; ++j) {
        count[j] += n[j];
        sum[j] = sum[j] + static_cast<float>(n[j]) * x[j];
      }
    }
    for (long j = 0; j < G; ++j) {
      finite = finite && std::isfinite(sum[j]);
      sum[j] = count[j] > 0 ? sum[j] / static_cast<float>(count[j]) : 0.0f;
    }
  }
  return finite;
}

void SquareMeans(const std::vector<float>& means, std::vector<double>& squares) {
  squares.resize(means.size());
  for (std::size_t c = 0; c < means.size(); ++c) {
    const auto mean = static_cast<double>(means[c]);
    squares[c] = mean * mean;
  }
}

void FitRows(const YearRows& rows, std::span<const RowFit> fits, std::span<VariantSums> out) {
  const std::vector<double> no_squares(static_cast<std::size_t>(rows.genotypes()), 0.0);
  for (std::size_t first = 0; first < fits.size(); first += kSideBySide) {
    const std::size_t n = std::min(kSideBySide, fits.size() - first);
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(first), n, VariantSums{});
    fit_side_by_side(rows, fits.subspan(first, n), no_squares, out.subspan(first, n));
  }
}

}  // namespace locseq
