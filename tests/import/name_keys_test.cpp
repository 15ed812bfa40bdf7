#include "import/name_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace locseq::import {
namespace {

TEST(NameKeys, SpellingsOfOneName) {
  struct Case {
    const char* a;
    const char* b;
    const char* difference;  // nullptr: two names
  };
  const Case cases[] = {
      {"COLUSA", "Colusa", "letter case"},
      {"G1", "g1", "letter case"},
      {"Wagga  Wagga", "Wagga Wagga", "blanks"},
      {"WAGGA   wagga", "Wagga Wagga", "letter case and blanks"},
      {"Z\xC3\x9CRICH", "z\xC3\xBCrich", "letter case"},          // Ü ü
      {"\xC3\x86R\xC3\x98", "\xC3\xA6r\xC3\xB8", "letter case"},  // ÆRØ ærø
      {"\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x9F\xCE\xA3", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xBF\xCF\x82",
       "letter case"},  // ΣΟΦΟΣ σοφος (final ς)
      {"\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90",
       "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "letter case"},  // МОСКВА москва
      {"\xD0\x81", "\xD1\x91", "letter case"},                              // Ё ё
      {"\xE1\xBA\x9E", "\xC3\x9F", "letter case"},                          // ẞ ß
      {"\xC5\xB8", "\xC3\xBF", "letter case"},                              // Ÿ ÿ
      {"\xC7\x85", "\xC7\x86", "letter case"},                              // Dž dž
      {"STRASSE",
       "stra\xC3\x9F"
       "e",
       nullptr},                   // simple folding: ß is not ss
      {"\xC4\xB0", "i", nullptr},  // İ has no simple folding
      {"AB", "A B", nullptr},      // a blank where none was
      {"A B",
       "A\xC2\xA0"
       "B",
       nullptr},                                     // a no-break space is no blank
      {"Zu\xCC\x88rich", "Z\xC3\xBCrich", nullptr},  // decomposed: not the same letters
      {"Z\xFCrich", "z\xFCrich", "letter case"},     // a byte that is not UTF-8 stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(name_key(c.a) == name_key(c.b), c.difference != nullptr);
    if (c.difference) {
      EXPECT_STREQ(spelling_difference(c.a, c.b), c.difference);
    }
  }
}

// The folding of every code point is a fixed point: no run of the table
// maps a letter to one that folds again.
TEST(NameKeys, FoldingIsSettledInOneStep) {
  int folded = 0;
  for (char32_t cp = 0; cp < 0x10000; ++cp) {
    const char32_t f = fold_case(cp);
    if (f == cp) continue;
    ++folded;
    EXPECT_EQ(fold_case(f), f) << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_GT(folded, 700);
}

}  // namespace
}  // namespace locseq::import
