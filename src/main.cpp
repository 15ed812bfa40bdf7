// locseq: judges a classification of the locations of a multi-year trial,
// year by year. Without arguments it asks for the job on the console; with
// a command it runs without questions. See README.md.
#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return locseq::cli::main(argc, argv, {std::cin, std::cout, std::cerr});
}
