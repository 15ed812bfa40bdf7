// Whole jobs made in the test, for the commands that need a job of a given
// size.
#pragma once

#include <cstdio>
#include <map>
#include <string>

namespace locseq::testing {

// The files of a job, name -> content.
using Files = std::map<std::string, std::string>;

// A block of the small job: locations 1-4 retained, 5 and 6 eliminated.
inline std::string small_block(int year) {
  const std::string y = std::to_string(year);
  return "     " + y + "    Y" + y +
         "\n4\n1 1 1 1 0 0\n"
         "      1 +   2 =   5      1.000\n"
         "      3 +   4 =   6      2.000\n"
         "      5 +   6 =   7      3.000\n";
}

// The head of the small job's .CLS: three years, six locations, two
// genotypes, the sequence from year 1 to 3.
inline std::string small_head(const std::string& title) {
  return "3 6 2 1 3\n" + title + "\n     U     S     C     N\n   1   3\n";
}

// The small job, T.*: two blocks, reading years 1 and 1-2; clean (no
// warning, no error).
inline Files small_job() {
  return {
      {"T.CLS", small_head("Base job") + small_block(1) + small_block(2)},
      {"T.NAQ", "names\n\nY1\nY2\nY3\nL1\nL2\nL3\nL4\nL5\nL6\nG1\nG2\n"},
      {"T.SEQ",
       "1 1 1 1\n1 1 2 -1\n1 2 1 2\n1 2 2 -2\n1 3 1 3\n1 3 2 -3\n1 4 1 4\n1 4 2 -4\n"
       "1 5 1 5\n1 5 2 -5\n1 6 1 6\n1 6 2 -6\n"
       "2 1 1 1\n2 1 2 -2\n2 2 1 2\n2 2 2 -4\n2 3 1 3\n2 3 2 -6\n2 4 1 4\n2 4 2 -8\n"
       "2 5 1 5\n2 5 2 -10\n2 6 1 6\n2 6 2 -12\n"},
  };
}

// A complete job of `name` with the head "MAXY MAXL MAXG 1 IYF" and one
// block, which reads year 1: every location retained and joined one by one
// (1 + 2, then each next location to the group before), three genotypes
// observed at every location in year 1, names of at most 8 characters that
// never coincide.
inline Files chain_job(const std::string& name, int MAXY, int MAXL, int MAXG, int IYF) {
  char line[64];
  std::snprintf(line, sizeof line, "%d %d %d 1 %d\n", MAXY, MAXL, MAXG, IYF);
  std::string cls = line;
  cls += "Chain of locations\n     U     S     C     N\n   1   1\n     1    Y1\n";
  cls.append(std::to_string(MAXL)).append("\n");
  for (int i = 1; i <= MAXL; ++i) cls += i % 20 == 0 || i == MAXL ? "   1\n" : "   1";
  for (int r = 1; r < MAXL; ++r) {
    std::snprintf(line, sizeof line, "%7d +%4d =%4d %10.3f\n", r + 1, r == 1 ? 1 : MAXL + r - 1,
                  MAXL + r, static_cast<double>(r));
    cls += line;
  }
  std::string naq = "Chain of locations\n\n";
  auto names = [&naq](char kind, int count) {
    for (int k = 1; k <= count; ++k) naq.append(1, kind).append(std::to_string(k)).append("\n");
  };
  names('Y', MAXY);
  names('L', MAXL);
  names('G', MAXG);
  std::string seq;
  for (int i = 1; i <= MAXL; ++i) {
    for (int g = 1; g <= 3; ++g) {
      std::snprintf(line, sizeof line, "1 %d %d %d.%d\n", i, g, 40 + i % 7 + g, (i * g) % 10);
      seq += line;
    }
  }
  return {{name + ".CLS", cls}, {name + ".NAQ", naq}, {name + ".SEQ", seq}};
}

}  // namespace locseq::testing
