// The allocation of a block in the fixed-layout reports.
#pragma once

#include <span>

#include "core/arrays.h"
#include "core/results.h"
#include "records/record_writer.h"

namespace locseq {

// .SCO: the number of eliminated locations; when there are any, the tables
// of the numbers of terms and of the mean distances; then every group's
// members as classified and, where it has any, the locations allocated to
// it, by name.
void write_allocation_sco(const BlockResult& block, std::span<const Name8> LocationNames,
                          records::Unit& sco);

// .COS: the number of eliminated locations, the rows of the two tables and
// the allocation records.
void write_allocation_cos(const BlockResult& block, records::Unit& cos);

// .ALC: the allocation records, one (or more) per group.
void write_allocation_alc(const BlockResult& block, records::Unit& alc);

}  // namespace locseq
