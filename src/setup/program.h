// The whole program: the dialogue, the six files, the run.
#pragma once

#include <iosfwd>

namespace locseq {

// Runs the program on a console (standard input and output) and returns its
// exit status: 0 at the normal end and after a refused run; 1 after an
// error, which is written to `err` as "locseq: FILE:LINE: message" once the
// console and every output file have been flushed.
int run_program(std::istream& console_in, std::ostream& console_out, std::ostream& err);

}  // namespace locseq
