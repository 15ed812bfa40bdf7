// One year's observations from .SEQ.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/bundles.h"
#include "formats/seq.h"
#include "records/record_reader.h"

namespace locseq {

// The short cut of ReadYear alone, on one line: true when it reads the line
// as a plain record, with the numbers formats::seq::parse_line gives it (to
// the bit); false for a line it leaves to that parser. For the tests that
// check just that.
bool read_by_short_cut(std::string_view line, formats::seq::Observation& out);

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
// current position of .SEQ, by the rules of formats/seq.h: records of
// earlier years are passed over; the first record of a later year is
// stepped back over and left for the next call. At the end of the data (a
// last record cut short included) the caller reports " End of data". Warns
// (through the reader) as formats::seq::Scanner does, and of records out of
// year order within the call (which are passed over). Throws InputError for
// a malformed line, and for a location or genotype outside the year's
// matrices in a record of year y.
YearRead ReadYear(const Year& year, std::int32_t y, records::FileReader& seq);

}  // namespace locseq
