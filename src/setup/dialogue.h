// The console dialogue that names the six files of a job.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq {

// The six file names in unit order: .CLS, .NAQ, .SEQ, .SCO, .COS, .ALC,
// trailing blanks removed.
using FileNames = std::array<std::string, 6>;

// Extensions and kinds of the six files, in unit order.
extern const std::array<const char*, 6> kFileKinds;

// Writes a prompt (no line end) to the console.
void prompt(records::Unit& console, std::string_view text);

// Reads one answer: the first n characters of the next console line, padded
// with blanks. Throws InputError at the end of console input.
std::string read_answer(records::RecordReader& console_in, std::size_t n,
                        std::string_view question);

// The six names formed from a 50-character job name: the extension replaces
// the blanks after the last non-blank character, as far as it fits.
FileNames default_file_names(const std::string& job_name);

// Asks whether default names are wanted, then the job name or the six names
// one by one.
FileNames ask_file_names(records::RecordReader& console_in, records::Unit& console);

}  // namespace locseq
