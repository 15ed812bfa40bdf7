// .NAQ: the names of a job's years, locations and genotypes. Two records
// come first: a title and a second record, which an import makes the sizes
// record "<MAXY> years, <MAXL> locations, <MAXG> genotypes". Then one name
// per record: the MAXY year names, the MAXL location names and the MAXG
// genotype names, each the first 8 columns of its record, blank padded.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/bundles.h"
#include "records/record_reader.h"

namespace locseq::formats::naq {

// The numbers of years, locations and genotypes: MAXY, MAXL, MAXG.
using Sizes = std::array<std::int32_t, 3>;

// Reads the two records before the names and returns the second. Throws
// InputError for a file that is empty or ends inside them.
std::string read_heading(records::FileReader& naq);

// The sizes a sizes record gives: exactly "<MAXY> years, <MAXL> locations,
// <MAXG> genotypes", then only blanks; none for any other record.
std::optional<Sizes> parse_sizes(std::string_view record);

// The sizes record for `sizes`.
std::string sizes_record(const Sizes& sizes);

// Reads the heading (read_heading), then the names (read_names).
void read_name_lists(records::FileReader& naq, const NameLists& names);

// Reads MAXY year names, MAXL location names and MAXG genotype names (the
// sizes of `names`) from the current record of .NAQ on; warns of names
// longer than 8 characters, and of names of one kind that are the same in
// their 8 characters. Throws InputError when .NAQ ends before the last name.
void read_names(records::FileReader& naq, const NameLists& names);

// Appends the whole file: the title (a control character in it written as
// '?', so that it stays one record), the sizes record of the lists, then
// every name on a record of its own, the years first, then the locations,
// then the genotypes. A name holds at most 8 bytes and no line end. LF line
// ends.
void write(std::string& out, std::string_view title,
           const std::array<std::span<const std::string>, 3>& names);

}  // namespace locseq::formats::naq
