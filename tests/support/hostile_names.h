// Names made to break a writer or a reader: quotes, delimiters, line ends
// inside, UTF-8 of every length cut at 8 bytes, bidi controls, byte-order
// marks, blanks around, words that mean something else (NA), for the
// write-then-read round trips of the job files.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace locseq::testing {

// Pieces a hostile name is made of.
inline const std::vector<std::string>& hostile_pieces() {
  static const std::vector<std::string> pieces = {
      "\"",
      "\"\"",
      ",",
      ";",
      "\t",
      "\n",
      "\r",
      "\r\n",
      " ",
      "NA",
      ".",
      "-",
      "*",
      "=1+2",
      "Z\xC3\xBCrich",             // ü: 2 bytes
      "\xE6\x97\xA5\xE6\x9C\xAC",  // 3-byte
      "\xF0\x9F\x8C\xBE",          // 4-byte
      "\xE2\x80\xAE",
      "\xE2\x81\xA6",
      "\xE2\x81\xA9",  // bidi
      "\xEF\xBB\xBF",
      "\xE2\x80\x8B",  // BOM, ZWSP
      "A",
      "Wagga Wagga",
      "1990",
      "#",
      "\\",
      "'",
      "<b>",
      "&amp;",
  };
  return pieces;
}

// `count` names from the seeded pieces, each of 0 to 5 pieces; with
// `line_ends` false, no CR or LF (for files of one name per line).
inline std::vector<std::string> hostile_names(unsigned seed, std::size_t count, bool line_ends) {
  std::mt19937 rng(seed);
  const std::vector<std::string>& pieces = hostile_pieces();
  std::vector<std::string> names;
  while (names.size() < count) {
    std::string name;
    for (auto n = rng() % 6; n > 0; --n) name += pieces[rng() % pieces.size()];
    if (!line_ends && name.find_first_of("\r\n") != std::string::npos) continue;
    names.push_back(name);
  }
  return names;
}

}  // namespace locseq::testing
