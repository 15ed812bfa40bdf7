// .CLS: the classification a run judges, step by step. Its records, in
// order:
//   the head              MAXY MAXL MAXG IYS IYF, free format
//   the title             one record, its first 50 columns
//   the options           (4(5X,A1)): WEIGHT, PRXTYP, SEDTYP, CORTYP
//   the sequence years    (30I4): IYS in columns 1-4, IYF in 5-8
// then one block per step:
//   the header            (I6,4X,A8): the step's sequence year and its name
//   the retained count    free format
//   the elimination vector MAXL entries (1 retained, 0 eliminated; a
//                         classification writes 2 for a location left out),
//                         free format over any number of records
//   count - 1 hierarchy records (3X,I4,2X,I4,2X,I4,1X,F10.3): Gpi, Gpj,
//                         Gpij and D(ij), each joining two groups
// Free format: values separated by blanks, tabs, a comma or line ends; r*v
// stands for r copies of v. A record that is short reads blanks beyond its
// end. Readers throw InputError naming the file and line; writers append
// records, each with its line end.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/arrays.h"
#include "core/results.h"
#include "records/record_reader.h"

namespace locseq::formats::cls {

// The head: the sizes of the trial and the first and last year of the
// sequence.
struct Head {
  std::int32_t MAXY = 0, MAXL = 0, MAXG = 0;  // years, locations, genotypes
  std::int32_t IYS = 0, IYF = 0;              // the first and last year of the sequence
};
// Throws for a head that is short or malformed, and for MAXY, MAXL or MAXG
// below 1.
Head read_head(records::FileReader& cls);
void write_head(std::string& out, const Head& head);

// The title: its first 50 columns, blank padded.
inline constexpr std::size_t kTitleColumns = 50;
std::string read_title(records::FileReader& cls);
// `title` must be one line of at most 50 columns.
void write_title(std::string& out, std::string_view title);

// The options: WEIGHT, PRXTYP, SEDTYP, CORTYP. Reading warns of letters
// outside their four columns.
using Options = std::array<char, 4>;
Options read_options(records::FileReader& cls);
std::string options_record(const Options& options);

// The sequence years. The line they were read on is the reader's line().
struct SequenceYears {
  std::int32_t IYS = 0, IYF = 0;
};
SequenceYears read_sequence_years(records::FileReader& cls);
std::string sequence_years_record(const SequenceYears& years);

// Integers 30 to a record, 4 columns each (30I4): the sequence years and
// an elimination vector as written.
std::string integer_records(std::span<const std::int32_t> values);

// The header of a block; false when .CLS ends instead.
struct BlockHeader {
  std::int32_t SequenceYear = 0;
  Name8 SequenceYearName{};
};
bool read_block_header(records::FileReader& cls, BlockHeader& out);
// The record as read, the name in its 8 columns.
std::string block_header_record(const BlockHeader& header);
// The record as a classification writes it: without the name's trailing
// blanks.
void write_block_header(std::string& out, const BlockHeader& header);

// The retained count and the elimination vector of block `step` (out.size()
// entries, MAXL).
std::int32_t read_retained_count(records::FileReader& cls, std::int32_t step);
void read_elimination_vector(records::FileReader& cls, std::span<std::int32_t> out,
                             std::int32_t step);
void write_retained_count(std::string& out, std::int32_t count);
void write_elimination_vector(std::string& out, std::span<const std::int32_t> entries);

// Hierarchy record r of the `expected` ones of block `step`; throws when the
// file ends before it.
HierarchyRecord read_hierarchy_record(records::FileReader& cls, std::int32_t step, std::int32_t r,
                                      std::int32_t expected);
// Labels of four columns; D(ij) as fusion_level_field writes it.
void write_hierarchy_record(std::string& out, std::int32_t Gpi, std::int32_t Gpj, std::int32_t Gpij,
                            double level);

}  // namespace locseq::formats::cls
