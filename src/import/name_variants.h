// Spellings of one name: names of one kind that differ only in letter case
// or in runs of inner blanks (name_key), and year names that are the same
// number spelled two ways (2005 and 2005.0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/importer.h"
#include "import/short_names.h"

namespace locseq::import {

// The names of one kind once their spellings are settled.
struct SettledNames {
  NameList list;                     // the names kept, in the order of the spellings
  std::vector<std::int32_t> number;  // for each spelling, the number (0-based) of its name
  bool merged = false;               // some spelling was made one with another
};

// Settles the spellings of `spellings` (the distinct names of one kind by
// first appearance). With `fold`, a spelling with the key of an earlier one
// becomes that name (the first spelling is kept), with a note naming both;
// without, it stays a name of its own, with a warning naming both
// spellings and their first lines, except that two year names that are the
// same number are an error (InputError naming `file_name` and both lines).
// At most 10 warnings or notes of each kind are written, then their count.
SettledNames settle_spellings(const NameList& spellings, bool fold, const std::string& file_name,
                              std::vector<TableWarning>& warnings, std::vector<std::string>& notes);

}  // namespace locseq::import
