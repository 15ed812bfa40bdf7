// The cells of the tables, in the CSV the formats module writes
// (formats/csv.h): numbers in the shortest text that reads back to the same
// binary value, NA for a missing value, names without their trailing blanks.
#pragma once

#include <optional>
#include <string>

#include "core/arrays.h"
#include "formats/csv.h"

namespace locseq::tables {

using formats::csv::quoted;
using Row = formats::csv::RowWriter;

// The shortest text that reads back to `v`, or NA.
std::string number(double v);
std::string number(std::optional<double> v);

}  // namespace locseq::tables
