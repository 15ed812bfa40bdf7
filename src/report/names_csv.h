// The full names of a job's years, locations and genotypes (JOB.names.csv,
// beside the job's .NAQ, whose names are cut to 8 bytes).
//
// The file: a header row `kind,number,name,full_name`, then one row per
// name: kind `year`, `location` or `genotype`, the number the job gives it
// (from 1), the 8-byte name of .NAQ and the full name. Comma-separated,
// fields quoted as RFC 4180 allows ("" for a quote inside a quoted field;
// every field is quoted when written), LF or CRLF line ends, an optional
// UTF-8 byte-order mark.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace locseq::report {

// The full names of one job, by number.
struct FullNames {
  std::map<std::int32_t, std::string> years;      // kind `year`
  std::map<std::int32_t, std::string> locations;  // kind `location`
  std::map<std::int32_t, std::string> genotypes;  // kind `genotype`
};

// Reads a names file. Throws InputError(file, line, ...) for a header that
// is not `kind,number,name,full_name`, a row without exactly four fields, a
// quoted field left open, an unknown kind, a number that is not a whole
// number from 1, or a kind and number given twice.
FullNames parse_names_csv(std::string_view text, const std::string& file);

}  // namespace locseq::report
