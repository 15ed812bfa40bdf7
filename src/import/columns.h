// Which columns of a table hold the year, location, genotype and values.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/csv.h"

namespace locseq::import {

// A row of the table.
using TableRow = formats::csv::Row;

// The four roles of a long table's columns, in this order.
enum class Role { Year, Location, Genotype, Value };

// Explicit column names, indexed by Role; an empty one is found by name.
using ChosenColumns = std::array<std::string, 4>;

// The role's word in messages: "year", "location", "genotype", "value".
const char* role_word(Role role);

// Where a table holds what. A long table has a column for the year, the
// location and the genotype and one value column; a wide one has no column
// for the kind its value columns name, each of them headed by a name of
// that kind.
struct Layout {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::array<std::size_t, 3> names{};  // field (0-based) of the year, location and genotype; kNone
  std::vector<std::size_t> values;     // the value columns, in order
  std::optional<Role> wide;            // Location or Genotype: what the value columns name
};

// Finds the columns in `header`, names compared case-insensitively after
// trimming blanks. A role's column is the one named `chosen` for it when
// given, else the one whose name is one of the role's accepted names (year,
// season; location, loc, site; genotype, gen, entry, variety, cultivar;
// value, yield) among the columns no other role has chosen. With `wide`,
// every column that is neither the year's nor the other kind's, nor named
// in `ignore`, is a value column. Throws InputError (naming `file_name` and
// the header's line) when a role has no column (listing the columns found
// and the names accepted), when two columns match one role (naming both),
// when one column is chosen for two roles, and when `ignore` names no
// column; and (naming the option) when a column is chosen for the role
// `wide` leaves out, or `ignore` is given for a long table.
Layout find_layout(const TableRow& header, const ChosenColumns& chosen, std::optional<Role> wide,
                   const std::vector<std::string>& ignore, const std::string& file_name);

// For a long table whose columns could not be found: when the table reads
// as a wide one (a year column, a location or genotype column, and at least
// two other columns holding numbers in `first_row`), a sentence suggesting
// --wide; else empty.
std::string wide_hint(const TableRow& header, const TableRow& first_row,
                      const ChosenColumns& chosen);

}  // namespace locseq::import
