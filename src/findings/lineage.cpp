#include "findings/lineage.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace locseq::findings {
namespace {

constexpr std::int64_t kInfinity = std::numeric_limits<std::int64_t>::max() / 4;

// A rectangular assignment problem of minimum cost: every row takes a
// column of its own. Rows and columns count from 1; column 0 is the
// method's own.
struct Assignment {
  std::size_t rows = 0, cols = 0;
  std::vector<std::int64_t> cost;   // row i, column j at (i - 1) * cols + (j - 1)
  std::vector<std::int64_t> u, v;   // the optimal dual: u_i + v_j <= cost, v_j <= 0
  std::vector<std::size_t> row_of;  // the row holding column j, 0 for none
  std::vector<std::size_t> col_of;  // the column held by row i

  std::int64_t at(std::size_t i, std::size_t j) const { return cost[(i - 1) * cols + (j - 1)]; }
  bool tight(std::size_t i, std::size_t j) const { return at(i, j) - u[i] - v[j] == 0; }
};

// The Hungarian method with potentials, row by row: O(rows^2 cols). The
// duals stay whole numbers, so tightness is exact. A column never held has
// v = 0; a held one v <= 0.
void solve(Assignment& a) {
  const std::size_t n = a.rows, m = a.cols;
  a.u.assign(n + 1, 0);
  a.v.assign(m + 1, 0);
  a.row_of.assign(m + 1, 0);
  std::vector<std::size_t> way(m + 1, 0);
  for (std::size_t i = 1; i <= n; ++i) {
    a.row_of[0] = i;
    std::size_t j0 = 0;
    std::vector<std::int64_t> least(m + 1, kInfinity);
    std::vector<char> used(m + 1, 0);
    do {
      used[j0] = 1;
      const std::size_t i0 = a.row_of[j0];
      std::int64_t delta = kInfinity;
      std::size_t j1 = 0;
      for (std::size_t j = 1; j <= m; ++j) {
        if (used[j]) continue;
        const std::int64_t reduced = a.at(i0, j) - a.u[i0] - a.v[j];
        if (reduced < least[j]) least[j] = reduced, way[j] = j0;
        if (least[j] < delta) delta = least[j], j1 = j;
      }
      for (std::size_t j = 0; j <= m; ++j) {
        if (used[j]) {
          a.u[a.row_of[j]] += delta;
          a.v[j] -= delta;
        } else {
          least[j] -= delta;
        }
      }
      j0 = j1;
    } while (a.row_of[j0] != 0);
    do {
      const std::size_t j1 = way[j0];
      a.row_of[j0] = a.row_of[j1];
      j0 = j1;
    } while (j0 != 0);
  }
  a.v[0] = 0;
  a.col_of.assign(n + 1, 0);
  for (std::size_t j = 1; j <= m; ++j) a.col_of[a.row_of[j]] = j;
  a.row_of[0] = 0;
}

// Fixing rows one at a time to a column they hold in some optimal
// assignment of the rows and columns not yet fixed. The problem is read as
// a square one in which a free column is held by a row of its own that may
// take any column with v = 0 at no cost (the dual stays optimal with u = 0
// for such rows): an edge lies in some optimal assignment exactly when it
// is tight and closes an alternating cycle of tight edges with the one held.
class Fixer {
 public:
  explicit Fixer(Assignment& a) : a_(a), row_alive_(a.rows + 1, 1), col_alive_(a.cols + 1, 1) {}

  // The columns row i can hold in an optimal assignment: flags by column.
  std::vector<char> open_to(std::size_t i) {
    reach(a_.col_of[i]);
    std::vector<char> out(a_.cols + 1, 0);
    for (std::size_t j = 1; j <= a_.cols; ++j) {
      out[j] = col_alive_[j] && reached_[j] && a_.tight(i, j);
    }
    return out;
  }

  // Moves row i to column j (one of open_to(i), after that call) along the
  // cycle, and takes both out of the problem.
  void fix(std::size_t i, std::size_t j) {
    std::vector<std::pair<std::size_t, std::size_t>> moves = {{i, j}};
    for (std::size_t c = j; c != a_.col_of[i]; c = parent_[c]) {
      if (a_.row_of[c] != 0) moves.emplace_back(a_.row_of[c], parent_[c]);
    }
    for (const auto& [row, col] : moves) a_.row_of[a_.col_of[row]] = 0;
    for (const auto& [row, col] : moves) a_.col_of[row] = col, a_.row_of[col] = row;
    row_alive_[i] = 0;
    col_alive_[j] = 0;
  }

 private:
  // The columns from which an alternating path of tight edges leads to
  // column `own`: the holder of each takes the next one on the path (its
  // parent), and the last takes `own`.
  void reach(std::size_t own) {
    reached_.assign(a_.cols + 1, 0);
    parent_.assign(a_.cols + 1, 0);
    std::vector<std::size_t> queue = {own};
    reached_[own] = 1;
    bool free_reached = false;
    const auto add = [&](std::size_t from, std::size_t to) {
      if (!col_alive_[from] || reached_[from]) return;
      reached_[from] = 1;
      parent_[from] = to;
      queue.push_back(from);
    };
    for (std::size_t q = 0; q < queue.size(); ++q) {
      const std::size_t to = queue[q];
      for (std::size_t h = 1; h <= a_.rows; ++h) {
        if (row_alive_[h] && a_.tight(h, to)) add(a_.col_of[h], to);
      }
      if (a_.v[to] != 0 || free_reached) continue;
      free_reached = true;  // a free column's own row may take `to`
      for (std::size_t j = 1; j <= a_.cols; ++j) {
        if (a_.row_of[j] == 0) add(j, to);
      }
    }
  }

  Assignment& a_;
  std::vector<char> row_alive_, col_alive_, reached_;
  std::vector<std::size_t> parent_;
};

}  // namespace

std::vector<std::int32_t> match_lineages(const Overlap& overlap,
                                         std::span<const std::int32_t> previous_lineages,
                                         std::int32_t& largest) {
  const std::size_t r = overlap.size(), c = previous_lineages.size();
  // Columns 1..c the previous groups, c+1..c+r "no match". A barred pair
  // costs more than all shared members together gain.
  std::int64_t shared = 1;
  for (const auto& row : overlap) {
    for (std::size_t p = 0; p < c && p < row.size(); ++p) shared += row[p];
  }
  Assignment a;
  a.rows = r;
  a.cols = c + r;
  a.cost.assign(a.rows * a.cols, 0);
  for (std::size_t g = 0; g < r; ++g) {
    for (std::size_t p = 0; p < c; ++p) {
      const std::int64_t w = p < overlap[g].size() ? overlap[g][p] : 0;
      a.cost[g * a.cols + p] = w > 0 ? -w : shared;
    }
  }
  if (r > 0) solve(a);
  // Previous groups in increasing order of lineage: the order they are tried.
  std::vector<std::size_t> by_lineage(c);
  for (std::size_t p = 0; p < c; ++p) by_lineage[p] = p;
  std::sort(by_lineage.begin(), by_lineage.end(), [&](std::size_t x, std::size_t y) {
    return previous_lineages[x] < previous_lineages[y];
  });
  Fixer fixer(a);
  std::vector<std::int32_t> out(r, 0);
  for (std::size_t g = 1; g <= r; ++g) {
    const std::vector<char> open = fixer.open_to(g);
    std::size_t col = a.col_of[g];  // kept when no previous group is open
    for (const std::size_t p : by_lineage) {
      if (open[p + 1] && a.at(g, p + 1) < 0) {
        col = p + 1;
        break;
      }
    }
    fixer.fix(g, col);
    out[g - 1] = col <= c ? previous_lineages[col - 1] : ++largest;
  }
  return out;
}

std::vector<std::int32_t> step_lineages(const Membership& previous,
                                        std::span<const std::int32_t> previous_lineages,
                                        const Membership& current, std::size_t groups,
                                        std::int32_t& largest) {
  const std::size_t c = previous_lineages.size();
  Overlap overlap(groups, std::vector<std::int64_t>(c, 0));
  for (const auto& [location, group] : current) {
    const auto before = previous.find(location);
    if (before == previous.end()) continue;
    const auto g = static_cast<std::size_t>(group - 1),
               p = static_cast<std::size_t>(before->second - 1);
    if (g < groups && p < c) ++overlap[g][p];
  }
  return match_lineages(overlap, previous_lineages, largest);
}

std::vector<Move> moved_locations(const Membership& previous,
                                  std::span<const std::int32_t> previous_lineages,
                                  const Membership& current,
                                  std::span<const std::int32_t> current_lineages) {
  const auto lineage = [](std::span<const std::int32_t> lineages, std::int32_t group) {
    const auto at = static_cast<std::size_t>(group - 1);
    return group >= 1 && at < lineages.size() ? lineages[at] : 0;
  };
  std::vector<Move> out;
  for (const auto& [location, group] : current) {
    const auto before = previous.find(location);
    if (before == previous.end()) continue;
    const Move move{location, before->second, group, lineage(previous_lineages, before->second),
                    lineage(current_lineages, group)};
    if (move.from_lineage != move.to_lineage) out.push_back(move);
  }
  return out;
}

}  // namespace locseq::findings
