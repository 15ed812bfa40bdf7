// The 8-byte names of the run's name lists, made from names of any length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::import {

// The width of a name in the run's name lists.
inline constexpr std::size_t kNameBytes = 8;

// The longest start of `name` that holds only whole UTF-8 characters within
// `limit` bytes. A byte that does not begin a valid UTF-8 sequence counts as
// a character of its own, so a name that is not UTF-8 keeps its bytes and is
// never cut inside a valid character.
std::string_view cut_utf8(std::string_view name, std::size_t limit);

// The names of one kind (years, locations or genotypes) in number order.
struct NameList {
  std::string kind;               // "year", "location" or "genotype"
  std::vector<std::string> full;  // the distinct full names, number 1 first
  std::vector<long> first_line;   // the table line on which each name first stands
};

// The 8-byte names of one kind.
struct ShortNames {
  std::vector<std::string> names;  // one per full name, no trailing blanks
  int cut = 0;                     // names that were longer than 8 bytes
  int renamed = 0;                 // cut names that were given a ~N ending
};

// Gives each name of `list` its 8-byte name: the name itself when it fits,
// else its cut (cut_utf8) without trailing blanks. When a cut name coincides
// with another name of the list, throws InputError (naming `file_name`, the
// line where the later of the two in the table first stands, and both full
// names), or,
// with `rename`, ends the cut name in ~N, N the smallest number that makes it
// unique, its cut shortened to leave room. Names that fit are never renamed;
// of two cut names the one with the lower number keeps its cut.
ShortNames shorten_names(const NameList& list, bool rename, const std::string& file_name);

}  // namespace locseq::import
