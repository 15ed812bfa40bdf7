// locseq: evaluates, year by year, a classification of the locations of a
// multi-year trial. All input comes from the console dialogue and the job's
// files; see README.md.
#include <iostream>

#include "setup/program.h"

int main() {
  std::ios::sync_with_stdio(false);
  return locseq::run_program(std::cin, std::cout, std::cerr);
}
