// When two spellings of a name are one name: equal once letter case is
// folded and runs of inner blanks are made one blank.
#pragma once

#include <string>
#include <string_view>

namespace locseq::import {

// Unicode simple case folding of the Latin, Greek and Cyrillic letters
// (A and a, Σ, σ and ς, Ё and ё, ẞ and ß, ...); other code points are
// their own folding.
char32_t fold_case(char32_t cp);

// The name with its letters folded (fold_case) and every run of inner
// blanks one blank: two spellings of one name have the same key. Expects a
// name trimmed of its outer blanks, in UTF-8; a byte that is not UTF-8 is
// kept as it is.
std::string name_key(std::string_view name);

// How two spellings with the same key differ: "letter case", "blanks", or
// "letter case and blanks".
const char* spelling_difference(std::string_view a, std::string_view b);

}  // namespace locseq::import
