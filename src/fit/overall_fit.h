// The fit of a block: per year and over the years of its pass.
#pragma once

#include <cstdint>

#include "records/record_writer.h"
#include "core/arrays.h"

namespace locseq {

// Sets RSQ(v) = ESS(v)/TSS(v) when TSS(v) exceeds the single-precision
// 1.0E-6, else 0.0, and reports for each variant the rows of years IYS to
// IYS + StepNumber - 1 and the overall row: numbers to .COS, numbers with
// headings to .SCO.
void ReportOverallFit(Mat<const double> TSSj, Mat<const double> ESSj, Mat<const double> RSSj,
                      Mat<const double> RSQj, Mat<const std::int32_t> LocMod, Vec<const double> TSS,
                      Vec<const double> ESS, Vec<const double> RSS, Vec<double> RSQ,
                      std::int32_t IYS, std::int32_t StepNumber, records::Unit& sco,
                      records::Unit& cos);

}  // namespace locseq
