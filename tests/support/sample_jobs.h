// Whole jobs made in the test, for the commands that need a job of a given
// size.
#pragma once

#include <cstdio>
#include <map>
#include <string>

namespace locseq::testing {

// The files of a job, name -> content.
using Files = std::map<std::string, std::string>;

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
