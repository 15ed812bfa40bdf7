// The fit of a block: per year and over the years of its MODFIT pass.
#pragma once

#include <array>
#include <cstdint>

#include "core/bundles.h"
#include "core/results.h"

namespace locseq {

// The fit of both variants over the data years first_year to last_year of
// the tables: each year's row, and the overall sums TSS, ESS and RSS (added
// in year order) with RSQ = ESS/TSS where TSS exceeds the single-precision
// 1.0E-6, else 0.0. Flags each RSQ that is a stand-in for an undefined
// ratio. Changes nothing.
std::array<VariantFit, 2> FitOfBlock(const FitTables& fit, std::int32_t first_year,
                                     std::int32_t last_year);

}  // namespace locseq
