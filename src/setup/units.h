// The console and the six files of a job, as the analysis reads and writes them.
#pragma once

#include <string_view>

#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq {

struct Units {
  records::RecordReader& console_in;  // the answers typed on the console
  records::Unit& console;             // standard output
  records::RecordReader& cls;         // unit 20: classification and control
  records::RecordReader& naq;         // unit 21: names of years, locations, genotypes
  records::RecordReader& seq;         // unit 22: observations
  records::Unit& sco;                 // unit 23: full report
  records::Unit& cos;                 // unit 24: control records and results
  records::Unit& alc;                 // unit 25: allocations
};

// Writes a progress line to the console and then to .SCO.
void progress(Units& u, std::string_view text);

// Writes formatted records to the console and then to .SCO.
void to_console_and_sco(Units& u, const std::string& records);

}  // namespace locseq
