// JOB.names.csv: the full names of a job's years, locations and genotypes,
// beside the job's .NAQ, whose names are cut to 8 bytes. An import writes
// it; a run reads it for its page.
//
// A CSV file by the rules of formats/csv.h: the header row
// `kind,number,name,full_name`, then one row per name: the kind (`year`,
// `location` or `genotype`), the number the job gives it (from 1), the
// 8-byte name of .NAQ and the full name. Every text field is written in
// double quotes.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace locseq::formats::names_file {

// The columns, in order.
inline constexpr std::array<std::string_view, 4> kHeader = {"kind", "number", "name", "full_name"};

// The kinds of names, in the order they are written.
inline constexpr std::array<std::string_view, 3> kKinds = {"year", "location", "genotype"};

// The names of one kind in number order, number 1 first.
struct KindNames {
  std::span<const std::string> names;  // as .NAQ holds them
  std::span<const std::string> full;   // the full names, as many
};

// Appends the whole file: the header, then the names of the years, the
// locations and the genotypes (in the order of kKinds). LF line ends.
void write(std::string& out, const std::array<KindNames, 3>& names);

// The full names of one job, by number.
struct FullNames {
  std::map<std::int32_t, std::string> years;      // kind `year`
  std::map<std::int32_t, std::string> locations;  // kind `location`
  std::map<std::int32_t, std::string> genotypes;  // kind `genotype`
};

// Reads the file from its bytes. Throws InputError(file, line, ...) for a
// header that is not kHeader, a row without exactly four fields, an
// unknown kind, a number that is not a whole number from 1, a kind and
// number given twice, and for what the CSV reader refuses (a quoted field
// left open, text after a closing quote, UTF-16).
FullNames read(std::string_view bytes, const std::string& file);

}  // namespace locseq::formats::names_file
