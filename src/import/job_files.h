// The texts of the three job files an import writes: .NAQ, .SEQ and the
// names file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/short_names.h"

namespace locseq::import {

// One cell of .SEQ.
struct Cell {
  std::int32_t year = 0;      // year number, from 1
  std::int32_t location = 0;  // location number, from 1
  std::int32_t genotype = 0;  // genotype number, from 1
  float value = 0.0f;         // the observed (or mean) value, finite
};

// The names of one kind: full and as the run sees them, in number order.
struct KindNames {
  const NameList* list;           // kind word and full names
  const ShortNames* short_names;  // the 8-byte names
};

// The years, locations and genotypes, in this order.
using JobNames = std::array<KindNames, 3>;

// .NAQ: "Imported from TABLE", "MAXY years, MAXL locations, MAXG genotypes",
// then the 8-byte names of the years, locations and genotypes, one per line.
// Control characters in `table_name` are written as '?' so the title stays
// one line. LF line ends.
std::string naq_text(std::string_view table_name, const JobNames& names);

// .SEQ: one line "year location genotype value" per cell, in the order of
// `cells` (which the caller sorts), each value the shortest text that reads
// back to it. LF line ends.
std::string seq_text(const std::vector<Cell>& cells);

// The names file: a header "kind,number,name,full_name", then one row per
// name of each kind, every text field in double quotes (quotes doubled
// within). LF line ends.
std::string names_csv_text(const JobNames& names);

}  // namespace locseq::import
