// The console dialogue that names the six files of a job.
#pragma once

#include <array>
#include <string>

#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq {

// The six file names in unit order: .CLS, .NAQ, .SEQ, .SCO, .COS, .ALC,
// trailing blanks removed.
using FileNames = std::array<std::string, 6>;

// Extensions and kinds of the six files, in unit order.
extern const std::array<const char*, 6> kFileKinds;

// The six names formed from a 50-character job name: the extension replaces
// the blanks after the last non-blank character, as far as it fits.
FileNames default_file_names(const std::string& job_name);

// Asks whether default names are wanted, then the job name or the six names
// one by one.
FileNames ask_file_names(records::ConsoleReader& console_in, records::Unit& console);

}  // namespace locseq
