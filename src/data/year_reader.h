// One year's observations from .SEQ.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/bundles.h"
#include "records/record_reader.h"

namespace locseq {

// One observation record of .SEQ.
struct Observation {
  std::int32_t year = 0;
  std::int32_t location = 0;
  std::int32_t genotype = 0;
  float value = 0.0f;
  bool more_numbers = false;  // more numbers follow the fourth (ignored)
};

enum class SeqLine { Record, Blank, Short };

// Parses one line of .SEQ: four numbers (three integers and a real)
// separated by blanks, tabs or a comma; anything after the fourth is
// ignored. Returns Blank for a line of blanks, Short for one with fewer than
// four numbers. Throws InputError (naming the line last read from `seq`) for
// text, an empty value, a slash, an integer beyond 32 bits or a value that
// is not finite in single precision. Plain records take a short cut that gives
// the same result; `short_cut` false turns it off (for checking just that).
SeqLine parse_observation(std::string_view line, Observation& out, const records::FileReader& seq,
                          bool short_cut = true);

// The warnings and faults of a record of .SEQ, the record last read from
// `seq`, worded alike wherever the record is met.
void warn_more_numbers(const records::FileReader& seq, float value);
void warn_out_of_order(const records::FileReader& seq, std::int32_t year, std::int32_t highest);
void warn_no_line_end(const records::FileReader& seq);
// What is wrong with the record's location or genotype for matrices of
// MAXL locations by MAXG genotypes ("location 31 is outside 1 to MAXL
// (30)"); empty when both lie inside.
std::string cell_fault(const Observation& obs, std::int32_t MAXL, std::int32_t MAXG);

// How the reading of a year ended.
struct YearRead {
  bool end_of_data = false;  // the end of .SEQ was met
  std::int64_t records = 0;  // records of the year stored
  // Where the first record of a year not before y starts (or the end of
  // the file): every record before it, from where the call began, was of an
  // earlier year.
  records::FileReader::Position start;
};

// Reads year y into the year's YearData and IncidenceMatrix from the
// current position of .SEQ: records of earlier years are passed over; the
// first record of a later year is stepped back over and left for the next
// call. At the end of the file (a last record cut short included) the
// caller reports " End of data". Warns (through the reader) of lines with
// more than four numbers, of records out of year order (which are passed
// over) and of a last line without a line end. Throws InputError for a
// malformed line, and for a location or genotype outside the year's
// matrices in a record of year y.
YearRead ReadYear(const Year& year, std::int32_t y, records::FileReader& seq);

}  // namespace locseq
