// The names of years, locations and genotypes.
#pragma once

#include <span>

#include "core/arrays.h"
#include "core/bundles.h"
#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq {

// Passes over the first two records of .NAQ, then reads the names
// (ReadNames). Throws InputError when .NAQ ends before the last name.
void ReadNameLists(const NameLists& names, records::FileReader& naq);

// Reads MAXY year names, MAXL location names and MAXG genotype names from
// the current record of .NAQ on, one per record, each the first 8 columns of
// its record; warns of names longer than that, and of names of one kind
// that are the same in their 8 characters. Throws InputError when .NAQ ends
// before the last name.
void ReadNames(const NameLists& names, records::FileReader& naq);

// Echoes one name list to .SCO, ten names to a record.
void write_names(std::span<const Name8> names, records::Unit& sco);

}  // namespace locseq
