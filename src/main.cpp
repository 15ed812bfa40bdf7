// locseq: judges a classification of the locations of a multi-year trial,
// year by year. Without arguments it asks for the job on the console; with
// a command it runs without questions. See README.md.
#include <unistd.h>

#include "cli/commands.h"
#include "files/fd_streams.h"

int main(int argc, char** argv) {
  locseq::files::StandardStreams standard;
  return locseq::cli::main(argc, argv,
                           {standard.in, standard.out, standard.err, STDOUT_FILENO, STDERR_FILENO});
}
