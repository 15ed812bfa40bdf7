// The sweep over truncation levels (run --sweep A:B): every block cut,
// allocated and fitted again at every level from A to B, on the years the
// block's own passes prepare. Each level has arrays of its own, beside the
// work areas, shaped as a run at that level carves them, and goes through
// the same stages, so its fit is the one a run at that level reports, to
// the bit. The reports and the other results keep the run's level.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/bundles.h"
#include "core/non_finite.h"
#include "core/results.h"
#include "fit/level_fit.h"

namespace locseq {

// The levels of a sweep, first to last; none when first is 0.
struct SweepRange {
  std::int32_t first = 0;
  std::int32_t last = 0;
  bool empty() const { return first == 0; }
};

class Sweep {
 public:
  // The levels of `range` for a run of parameters `p`; `fits_areas(h)`
  // says whether the run's work areas could hold level h.
  Sweep(const RunParameters& p, SweepRange range, const std::vector<bool>& fits_areas);
  ~Sweep();
  Sweep(const Sweep&) = delete;
  Sweep& operator=(const Sweep&) = delete;

  // A new block, cut for the run (`g`): cuts it at every other level the
  // run's cut rule and the areas allow, and clears their distances.
  void start_block(const Grouping& g);
  // SED pass, after the run's stage: every level's group means of the year
  // and the distances of the eliminated locations to them.
  void add_year_distances(const Year& year);
  // After the SED pass: every level's allocation.
  void allocate();
  // MODFIT pass, after the run's stage: every level's fit of year y.
  void fit_year(const Year& year, std::int32_t y);
  // After the MODFIT pass of block `b` (its fit made): the fit at every
  // level, ascending; the run's own level is `b`'s fit.
  std::vector<LevelFit> finish_block(const BlockResult& b) const;

 private:
  struct Level;
  std::int32_t NGP_;
  std::vector<std::unique_ptr<Level>> levels_;
  // The fit's work: the year's rows, one level's means at a time, the sums.
  YearRows rows_;
  std::vector<float> means_;
  std::vector<std::int32_t> counts_;
  std::vector<VariantSums> sums_;
};

}  // namespace locseq
