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

#include "formats/text_encoding.h"

namespace locseq::import {

// The decimal mark of the table's values.
enum class DecimalMark {
  Auto,   // a ';' table: a comma when any value has one, else a point; other tables: a point
  Point,  // --decimal point
  Comma   // --decimal comma
};

// The shape of the table.
enum class Wide {
  No,        // long: one row per year, location and genotype, one value column
  Location,  // one row per year and genotype, a column per location
  Genotype   // one row per year and location, a column per genotype
};

// How to read the table.
struct ImportOptions {
  std::optional<char> delimiter;  // ',', ';' or '\t'; detected from the header when absent
  std::string year_column;        // the year column's name; empty: found by its usual names
  std::string location_column;    // the location column's name; empty: found by name
  std::string genotype_column;    // the genotype column's name; empty: found by name
  std::string value_column;       // the value column's name; empty: found by name
  bool replicates_mean = false;   // rows of one cell: their mean instead of an error
  bool rename = false;            // cut names that clash: a ~N ending instead of an error
  formats::text::Encoding encoding = formats::text::Encoding::Utf8;  // of the table's bytes
  std::vector<std::string> na;              // spellings of a missing value besides the usual ones
  DecimalMark decimal = DecimalMark::Auto;  // the values' decimal mark
  bool fold_names = false;          // names that differ only in letter case or blanks: one name
  Wide wide = Wide::No;             // the table's shape
  std::vector<std::string> ignore;  // columns of a wide table that hold no values
};

// What the user should hear of a table that was imported all the same.
struct TableWarning {
  long line = 0;  // the table's line, or 0
  std::string message;
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
  std::vector<TableWarning> warnings;   // what is probably not what the user meant
};

// Reads the table in `bytes` (named `file_name` in messages and, by its base
// name, in the first line of .NAQ) and makes the job files:
// - the bytes UTF-8, or converted from options.encoding (table_as_utf8);
// - columns by name (ImportOptions, find_layout), other columns ignored; a
//   wide table's value columns each headed by a location or genotype name;
// - a value field that is empty, NA, ., -, * or one of options.na leaves its
//   cell absent; one decimal mark for every value (ValueReader);
// - years numbered in ascending order (numerically when every year name is
//   a number, else as text), locations and genotypes in the order they
//   first appear; names trimmed of blanks; spellings of one name (letter
//   case, inner blanks, a year's number) one name with options.fold_names,
//   else a warning each (settle_spellings);
// - two rows with values for one cell: an error, or with replicates_mean the
//   mean, summed in double from the single-precision values and rounded to
//   single precision once;
// - blank rows (every field empty) passed over.
// Throws InputError(file_name, line, message), line being the table's
// physical line at fault, for: bytes that are not text in the encoding, a
// table that cannot be read (see formats::csv::Reader), a missing or
// ambiguous column (see find_layout; with a hint at --wide for a table that
// looks wide), a row with more or fewer fields than the header, an empty or
// control-character year, location or genotype name, a value that is not a
// number, is beyond single precision or has the other decimal mark, two
// rows for one cell (naming both lines), year names that are one number
// spelled two ways, names that coincide when cut to 8 bytes (naming both,
// see shorten_names), a table with no rows or with no value at all; and
// (naming the option) for an --na or --ignore text holding a control
// character or a byte that is not UTF-8.
ImportedJob import_table(std::string_view bytes, const std::string& file_name,
                         const ImportOptions& options);

}  // namespace locseq::import
