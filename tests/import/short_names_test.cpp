#include "import/short_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input_error.h"

namespace locseq::import {
namespace {

TEST(ImportNames, CutAtWholeCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"ABCDEFGH", "ABCDEFGH"},
      {"ABCDEFGHI", "ABCDEFGH"},
      {"G\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "G\xC3\xA4\xC3\xA4\xC3\xA4"},  // 2-byte ä
      {"ABCDEF\xE2\x82\xAC", "ABCDEF"},                                    // 3-byte €
      {"ABCD\xF0\x9F\x98\x80XY", "ABCD\xF0\x9F\x98\x80"},                  // 4-byte emoji
      {"ABCDEFG\xC3\xA4", "ABCDEFG"},                                      // would end at 9
      {"ABCDEFG\xC3X", "ABCDEFG\xC3"},                                     // a lone lead byte
      {"ABCDEF\xE2\x82", "ABCDEF\xE2\x82"},                                // a cut-short €
      {"ABCDEF\xE0\x80\x80", "ABCDEF\xE0\x80"},                            // overlong: bytes
      {"\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"},
  };
  for (auto [name, cut] : cases) EXPECT_EQ(cut_utf8(name, kNameBytes), cut) << name;
}

TEST(ImportNames, RenameWithSmallestFreeNumber) {
  NameList list{"genotype", {}, {}};
  for (int k = 1; k <= 12; ++k) {
    list.full.push_back("Genotype " + std::to_string(k));
    list.first_line.push_back(k + 1);
  }
  list.full.push_back("Genoty~3");  // fits: keeps its name, so the third clash takes ~4
  list.first_line.push_back(20);
  ShortNames got = shorten_names(list, true, "t.csv");
  EXPECT_EQ(got.names,
            (std::vector<std::string>{"Genotype", "Genoty~1", "Genoty~2", "Genoty~4", "Genoty~5",
                                      "Genoty~6", "Genoty~7", "Genoty~8", "Genoty~9", "Genot~10",
                                      "Genot~11", "Genot~12", "Genoty~3"}));
  EXPECT_EQ(got.cut, 12);
  EXPECT_EQ(got.renamed, 11);
}

TEST(ImportNames, ClashNamesTheLaterLineOfTheTable) {
  // Years are numbered in year order, not in table order.
  NameList years{"year", {"Season 2019 A", "Season 2020 A"}, {7, 3}};
  try {
    shorten_names(years, false, "t.csv");
    ADD_FAILURE();
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 7);
    EXPECT_NE(e.message().find("'Season 2020 A' and 'Season 2019 A' both become 'Season 2'"),
              std::string::npos)
        << e.message();
  }
}

}  // namespace
}  // namespace locseq::import
