// Which columns of a table hold the year, location, genotype and value.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "formats/csv.h"

namespace locseq::import {

// A row of the table.
using TableRow = formats::csv::Row;

// The four columns a table must have, in this order.
enum class Role { Year, Location, Genotype, Value };

// The field index (0-based) of each role's column, indexed by Role.
using Columns = std::array<std::size_t, 4>;

// Explicit column names, indexed by Role; an empty one is found by name.
using ChosenColumns = std::array<std::string, 4>;

// The role's word in messages: "year", "location", "genotype", "value".
const char* role_word(Role role);

// Finds the column of each role in `header`, names compared
// case-insensitively after trimming blanks: the column named `chosen` for a
// role when given, else the one whose name is one of the role's accepted
// names (year, season; location, loc, site; genotype, gen, entry, variety,
// cultivar; value, yield) among the columns no other role has chosen.
// Throws InputError (naming `file_name` and the header's line) when a role
// has no column (listing the columns found and the names accepted), when two
// columns match one role (naming both), and when one column is chosen for two
// roles.
Columns find_columns(const TableRow& header, const ChosenColumns& chosen,
                     const std::string& file_name);

}  // namespace locseq::import
