// The run's tables (tables::Table, typed columns) as R data frames, value
// for value: an integer column as integer, a real one as double (the very
// doubles the CSV files are written from), a text as character, a missing
// field as NA.
#pragma once

#include "cpp11/data_frame.hpp"
#include "tables/table.h"

namespace locseq::r {

cpp11::writable::data_frame table_frame(const tables::Table& table);

}  // namespace locseq::r
