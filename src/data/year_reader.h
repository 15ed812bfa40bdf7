// One year's observations from .SEQ.
#pragma once

#include <cstdint>
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

// Reads year y into the year's YearData and IncidenceMatrix from the
// current position of .SEQ: records of earlier years are passed over; the
// first record of a later year is stepped back over and left for the next
// call. Returns true when it met the end of the file (a last record cut
// short included), where the caller reports " End of data". Throws
// InputError for a malformed line, and for a location or genotype outside
// the year's matrices in a record of year y.
bool ReadYear(const Year& year, std::int32_t y, records::FileReader& seq);

}  // namespace locseq
