// The fit of a block in the fixed-layout reports.
#pragma once

#include "core/results.h"
#include "records/record_writer.h"

namespace locseq {

// .SCO: for each variant, its heading, the column heads, a row per data
// year, the overall heads and the overall row.
void write_fit_sco(const BlockResult& block, records::Unit& sco);

// .COS: for each variant, the year rows and the overall row.
void write_fit_cos(const BlockResult& block, records::Unit& cos);

}  // namespace locseq
