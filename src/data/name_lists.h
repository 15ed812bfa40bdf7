// The names of years, locations and genotypes.
#pragma once

#include <cstdint>

#include "records/record_reader.h"
#include "records/record_writer.h"
#include "core/arrays.h"

namespace locseq {

// Reads MAXY year names, MAXL location names and MAXG genotype names from
// .NAQ (positioned at its third record), one per record, each the first 8
// columns of its record; then echoes the three lists to .SCO, ten names to a
// line. Throws InputError when .NAQ ends before the last name.
void ReadNameLists(Vec<Name8> YearNames, Vec<Name8> LocationNames, Vec<Name8> GenotypeNames,
                   std::int32_t MAXY, std::int32_t MAXL, std::int32_t MAXG,
                   records::RecordReader& naq, records::Unit& sco);

}  // namespace locseq
