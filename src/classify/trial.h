// A whole trial in memory: the names of .NAQ and every year of .SEQ, as the
// run sees them.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "core/arrays.h"
#include "core/diagnostics.h"

namespace locseq::classify {

// One data year: MAXL x MAXG matrices stored column by column (the location
// varies fastest), like the run's YearData and IncidenceMatrix. Both are
// empty when the year has no record.
struct TrialYear {
  std::vector<float> values;           // the observed values; 0.0 in absent cells
  std::vector<std::int32_t> presence;  // 1 where the cell has an observation, else 0
};

struct Trial {
  std::int32_t MAXY = 0;             // number of years
  std::int32_t MAXL = 0;             // number of locations
  std::int32_t MAXG = 0;             // number of genotypes
  std::vector<Name8> YearNames;      // MAXY names, year 1 first
  std::vector<Name8> LocationNames;  // MAXL names
  std::vector<Name8> GenotypeNames;  // MAXG names
  std::vector<TrialYear> years;      // MAXY entries: years[y - 1] is year y
  std::string naq_name;              // the .NAQ file, for messages
  std::string seq_name;              // the .SEQ file, for messages

  // Whether year y (1..MAXY) has at least one observation.
  bool has_data(std::int32_t y) const {
    return !years[static_cast<std::size_t>(y - 1)].values.empty();
  }
  // The matrices of year y; only for a year with data.
  Mat<const float> values(std::int32_t y) const {
    return {years[static_cast<std::size_t>(y - 1)].values.data(), MAXL, MAXG};
  }
  Mat<const std::int32_t> presence(std::int32_t y) const {
    return {years[static_cast<std::size_t>(y - 1)].presence.data(), MAXL, MAXG};
  }
};

// The most cells (MAXL x MAXG) one year may hold in memory.
constexpr std::int64_t kMaxCellsPerYear = std::int64_t{1} << 24;

// The sizes MAXY, MAXL, MAXG of a trial, where they are given.
using Sizes = std::optional<std::array<std::int32_t, 3>>;

// Reads a trial, .NAQ and .SEQ as a run reads them (formats/naq.h,
// formats/seq.h), with the run's warnings going to `diagnostics` when given.
// The sizes MAXY, MAXL, MAXG are `size` when given, else the sizes record of
// .NAQ (its second record, as an import writes it), else `fallback` (the
// head of the job's .CLS). In .SEQ a later record of a cell replaces the
// earlier one. Throws InputError naming the file and line: no sizes (naming
// the options that give them), sizes below 1 or too large to hold, a .NAQ
// that ends early, a malformed .SEQ line, a year, location or genotype
// number outside 1..MAXY, 1..MAXL, 1..MAXG in a record in year order.
Trial load_trial(std::istream& naq, const std::string& naq_name, std::istream& seq,
                 const std::string& seq_name, Sizes size, Sizes fallback = std::nullopt,
                 Diagnostics* diagnostics = nullptr);

}  // namespace locseq::classify
