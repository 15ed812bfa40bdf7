// .SEQ: the observations of a trial, one record per line: year, location,
// genotype (whole numbers) and the value (a real in any decimal or
// exponent form: 5, 5., .5, 4.2E1, 4.2D1), separated by blanks, tabs or a
// comma; anything after the fourth number is ignored. Records are grouped
// by year in ascending order.
//
// The rules every reader of .SEQ follows (a run, a check, a
// classification), as a run reads the file: blank lines are passed over; a
// last record with fewer than four numbers, followed by nothing but blank
// lines, is the end of the data (the file seems cut short) and is dropped;
// such a record anywhere else is an error; a record of a lower year than
// one before it is out of order, and skipped. Warnings go to the reader's
// Diagnostics; faults throw InputError naming the file and line.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "records/record_reader.h"

namespace locseq::formats::seq {

// One observation record.
struct Observation {
  std::int32_t year = 0;
  std::int32_t location = 0;
  std::int32_t genotype = 0;
  float value = 0.0f;
  bool more_numbers = false;  // more numbers follow the fourth (ignored)
};

enum class Line { Record, Blank, Short };

// Parses one line: four numbers (three integers and a real); anything after
// the fourth is ignored. Returns Blank for a line of blanks, Short for one
// with fewer than four numbers. Throws InputError (naming the record last
// read from `seq`) for text, an empty value, a slash, an integer beyond 32
// bits or a value that is not finite in single precision.
Line parse_line(std::string_view line, Observation& out, const records::RecordSource& seq);

// Whether the rest of a line after its fourth number holds another number.
bool holds_a_number(std::string_view rest);

// A faster reading of plain records: true when it reads `line` exactly as
// parse_line does (the numbers to the bit, more_numbers too), false to leave
// the line to parse_line. The year reader has one (read_by_short_cut).
using ShortCut = bool (*)(std::string_view line, Observation& out);

// The records of .SEQ in file order, by the rules above; each line read by
// `short_cut` where it takes it, else by parse_line.
class Scanner {
 public:
  explicit Scanner(records::FileReader& seq, ShortCut short_cut = nullptr)
      : seq_(seq), short_cut_(short_cut) {}

  // Reads the next record into `out`, passing over blank lines. Warns of a
  // line without a line end at the end of the file, of more than four
  // numbers on a line and of a last record cut short. False at the end of
  // the data: the end of the file, or a last record with fewer than four
  // numbers. Throws InputError for a malformed line, and for a record with
  // fewer than four numbers that other records follow; the file then
  // stands before the first of these, so that a reader may go on.
  bool next(Observation& out);

  // Where the record last returned starts (after the blank lines before
  // it), or where the end of the data was met: the start of a last record
  // cut short, else the end of the file.
  records::FileReader::Position start() const { return start_; }

 private:
  void end_at_short_record();

  records::FileReader& seq_;
  ShortCut short_cut_;
  records::FileReader::Position start_;
};

// The order of the years: a record of a lower year than one before it is
// out of order. A reader keeps one for as long as the order counts (a run:
// the reading of one year; a check or a classification: the whole file).
class YearOrder {
 public:
  // Whether a record of `year`, the record last read from `seq`, comes
  // after one of a higher year; warns of it then (the record is skipped).
  // Inline: the year reader asks it of every record.
  bool out_of_order(const records::FileReader& seq, std::int32_t year) {
    if (year >= highest_) {
      highest_ = year;
      return false;
    }
    warn(seq, year);
    return true;
  }

 private:
  void warn(const records::FileReader& seq, std::int32_t year) const;

  std::int32_t highest_ = std::numeric_limits<std::int32_t>::min();
};

// The warnings of a record (the record last read from `seq`), worded alike
// wherever the record is met.
void warn_more_numbers(const records::FileReader& seq, float value);
void warn_no_line_end(const records::FileReader& seq);

// What is wrong with a record's year for MAXY years ("year 0 is outside 1
// to MAXY (3)"), or with its location or genotype for MAXL locations and
// MAXG genotypes ("location 31 is outside 1 to MAXL (30)"); empty when it
// lies inside.
std::string year_fault(std::int32_t year, std::int32_t MAXY);
std::string cell_fault(const Observation& obs, std::int32_t MAXL, std::int32_t MAXG);

// Appends the record "year location genotype value", the value (finite)
// as the shortest text that reads back to it. LF line end.
void write_record(std::string& out, std::int32_t year, std::int32_t location, std::int32_t genotype,
                  float value);

}  // namespace locseq::formats::seq
