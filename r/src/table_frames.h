// The CSV tables of a run read back into R data frames.
#pragma once

#include <string_view>

#include "cpp11/data_frame.hpp"

namespace locseq::r {

// The table `csv` (as tables::TablesWriter writes it: a header row, then
// rows of comma-separated fields, text quoted, numbers bare, NA bare) as the
// columns of a data frame. A column with a quoted field is text; a bare
// column of whole numbers is integer, any other bare column double, each
// value the nearest double to its text (std::from_chars; R's own reader
// misses the nearest double for about one value in ten thousand); a bare NA
// is missing. Throws std::runtime_error on text it cannot read.
cpp11::data_frame table_frame(std::string_view csv);

}  // namespace locseq::r
