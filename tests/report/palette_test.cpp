#include "report/palette.h"

#include <gtest/gtest.h>

#include "report/stylesheet.h"

namespace locseq::report {
namespace {

TEST(ReportPalette, ColoursAsFiguresAndTheStyleSheetWriteThem) {
  EXPECT_EQ(hex(okabe_ito::kBlue), "#0072B2");
  EXPECT_EQ(css(okabe_ito::kBlue), "#0072b2");
  EXPECT_EQ(hex(ink::kPaper), "#FFFFFF");
  EXPECT_EQ(css(ink::kPaper), "#fff");
  EXPECT_EQ(css(Colour{0x112234}), "#112234");
  EXPECT_EQ(group_colour(1), group_colour(1 + kGroupColours));
  EXPECT_EQ(group_colour(0), ink::kNoGroup);
  EXPECT_EQ(hex(viridis(0)), "#440154");
  EXPECT_EQ(hex(viridis(1)), "#FDE725");
  EXPECT_EQ(viridis(-1), viridis(0));
}

TEST(ReportPalette, TheStyleSheetTakesItsColoursFromThePalette) {
  const std::string& sheet = page_style();
  EXPECT_EQ(sheet.find('$'), std::string::npos);
  for (const Colour c : {ink::kText, ink::kMuted, ink::kRule, ink::kSoft, ink::kAccent, ink::kPaper,
                         ink::kTint, ink::kHighlight}) {
    EXPECT_NE(sheet.find(css(c)), std::string::npos) << css(c);
  }
  EXPECT_NE(sheet.find(":root { --ink: #1f2328;"), std::string::npos);
}

}  // namespace
}  // namespace locseq::report
