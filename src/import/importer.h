// From a long table (one row per year, location and genotype) to the job
// files the run reads: .NAQ, .SEQ and a names file that maps every number
// and 8-byte name back to the full name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::import {

// How to read the table.
struct ImportOptions {
  std::optional<char> delimiter;  // ',', ';' or '\t'; detected from the header when absent
  std::string year_column;        // the year column's name; empty: found by its usual names
  std::string location_column;    // the location column's name; empty: found by name
  std::string genotype_column;    // the genotype column's name; empty: found by name
  std::string value_column;       // the value column's name; empty: found by name
  bool replicates_mean = false;   // rows of one cell: their mean instead of an error
  bool rename = false;            // cut names that clash: a ~N ending instead of an error
};

// The contents of the job files and what the import did.
struct ImportedJob {
  std::string naq;                      // JOB.NAQ
  std::string seq;                      // JOB.SEQ
  std::string names_csv;                // JOB.names.csv
  std::int32_t MAXY = 0;                // number of years
  std::int32_t MAXL = 0;                // number of locations
  std::int32_t MAXG = 0;                // number of genotypes
  std::int64_t mean_cells = 0;          // cells that are the mean of two or more rows
  std::int64_t observations = 0;        // records in JOB.SEQ
  std::vector<std::string> year_names;  // the full year names, year 1 first
  char delimiter = ',';                 // the field separator read
  std::array<std::string, 4> columns;   // the header's names of the year, location, genotype
                                        // and value columns
  std::vector<std::string> notes;       // what the user should know, one sentence each
};

// Reads the table in `bytes` (named `file_name` in messages and, by its base
// name, in the first line of .NAQ) and makes the job files:
// - columns by name (ImportOptions), other columns ignored;
// - a value field that is empty, NA, ., - or * leaves its cell absent; with
//   ';' as delimiter a decimal comma is read as a point;
// - years numbered in ascending order (numerically when every year name is
//   a number, else as text), locations and genotypes in the order they
//   first appear; names trimmed of blanks and compared exactly;
// - two rows with values for one cell: an error, or with replicates_mean the
//   mean, summed in double from the single-precision values and rounded to
//   single precision once;
// - blank rows (every field empty) passed over.
// Throws InputError(file_name, line, message), line being the table's
// physical line at fault, for: a table that cannot be read (see
// formats::csv::Reader), a missing or ambiguous column (see find_columns), a row with
// more or fewer fields than the header, an empty or control-character year,
// location or genotype name, a value that is not a number or is beyond
// single precision, two rows for one cell (naming both lines), names that
// coincide when cut to 8 bytes (naming both, see shorten_names), a table
// with no rows or with no value at all.
ImportedJob import_table(std::string_view bytes, const std::string& file_name,
                         const ImportOptions& options);

}  // namespace locseq::import
