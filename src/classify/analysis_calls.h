// The classification's only calls into the analysis: the year reader's short
// cut for plain .SEQ records, the centring and standardisation of a year and
// the default truncation level. Kept in one place so that the classification
// reads and prepares the data exactly as a run does (it reads the job's
// files through formats/ as a run does), and follows the analysis when its
// signatures change.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/arrays.h"
#include "core/non_finite.h"
#include "formats/seq.h"

namespace locseq::classify {

// The year reader's short cut (formats::seq::ShortCut): plain records read
// as fast as a run reads them.
bool seq_short_cut(std::string_view line, formats::seq::Observation& out);

// Location-centres one year in place (a MAXL x MAXG matrix, column by
// column) and, with `standardise`, divides by each location's standard
// deviation, by the run's rules; absent cells are untouched. A centred value
// beyond single precision leaves the year unchanged and is returned.
[[nodiscard]] std::optional<NonFinite> prepare_year(Mat<float> values,
                                                    Mat<const std::int32_t> presence,
                                                    bool standardise);

// The run's default truncation level for MAXL locations (MAXL >= 1).
std::int32_t default_level(std::int32_t MAXL);

}  // namespace locseq::classify
