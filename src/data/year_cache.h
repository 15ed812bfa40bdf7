// Prepared years kept for the later passes of a run. A year's data after
// the year reader, centring and standardisation do not depend on the pass
// that reads them: every pass reads the years in the same order from the
// same place in .SEQ, so the reader meets a year in the same state every
// time. Each year is kept after its first reading (values, and presence as
// bits) while the cache stays within its memory budget, with where the
// reader stood after it; the years beyond the budget are read again.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/bundles.h"
#include "data/year_reader.h"
#include "records/record_reader.h"

namespace locseq {

class YearCache {
 public:
  // What the first reading of a year left besides its data.
  struct Reading {
    YearRead read;                        // " End of data", records stored
    records::FileReader::Position after;  // where the reader stood after it
  };

  // A cache of at most `budget` bytes; 0 keeps nothing.
  explicit YearCache(std::int64_t budget) : budget_(budget) {}

  // Puts year y, when kept, into `year` (values and incidence) and returns
  // its reading; none when y is not kept.
  const Reading* restore(std::int32_t y, const Year& year) const;

  // Keeps year y as `year` holds it now, when the budget allows.
  void keep(std::int32_t y, const Year& year, const Reading& reading);

  // Room for other things kept for the run (counted against the same
  // budget): true, and counted, when `bytes` more fit.
  bool reserve(std::int64_t bytes);

  std::int64_t used() const { return used_; }

 private:
  struct Entry {
    std::vector<float> values;           // MAXL x MAXG, column by column
    std::vector<std::uint64_t> present;  // one bit per cell, in the same order
    Reading reading;
  };
  std::int64_t budget_;
  std::int64_t used_ = 0;
  std::vector<std::optional<Entry>> years_;  // year y at y - 1
};

}  // namespace locseq
