// The classification's only calls into the analysis: the centring and
// standardisation of a year and the default truncation level. Kept in one
// place so that the classification prepares the data exactly as a run does,
// and follows the analysis when its signatures change. (It reads the job's
// files as a run does through formats/.)
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq::classify {

// Location-centres one year in place (a MAXL x MAXG matrix, column by
// column) and, with `standardise`, divides by each location's standard
// deviation, by the run's rules; absent cells are untouched.
void prepare_year(Mat<float> values, Mat<const std::int32_t> presence, bool standardise);

// The run's default truncation level for MAXL locations (MAXL >= 1).
std::int32_t default_level(std::int32_t MAXL);

}  // namespace locseq::classify
