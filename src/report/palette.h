// Every colour of the page and its figures, and nowhere else: groups in the
// Okabe-Ito palette, which people with the common colour-vision
// deficiencies can tell apart, then seven muted colours for steps of more
// groups (the number is always written beside, since groups can outnumber
// the colours), the viridis scale for values, and the inks of texts, lines,
// surfaces and status marks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace locseq::report {

// A colour, 0xRRGGBB.
struct Colour {
  std::uint32_t rgb = 0;
  friend bool operator==(Colour, Colour) = default;
};

// "#RRGGBB", as figures and inline styles write it.
std::string hex(Colour c);

// As the style sheet writes it: lower case, "#rgb" where that says the same.
std::string css(Colour c);

// Okabe-Ito without its black, which draws the axes and the texts.
namespace okabe_ito {
inline constexpr Colour kBlue{0x0072B2};
inline constexpr Colour kOrange{0xE69F00};
inline constexpr Colour kBluishGreen{0x009E73};
inline constexpr Colour kVermillion{0xD55E00};
inline constexpr Colour kReddishPurple{0xCC79A7};
inline constexpr Colour kSkyBlue{0x56B4E9};
inline constexpr Colour kYellow{0xF0E442};
}  // namespace okabe_ito

// Muted colours that stand apart from Okabe-Ito's, for the eighth group of a
// step and on.
namespace muted {
inline constexpr Colour kIndigo{0x332288};
inline constexpr Colour kSand{0xDDCC77};
inline constexpr Colour kRose{0xCC6677};
inline constexpr Colour kGreen{0x117733};
inline constexpr Colour kWine{0x882255};
inline constexpr Colour kOlive{0x999933};
inline constexpr Colour kPurple{0xAA4499};
}  // namespace muted

// The inks around the data.
namespace ink {
inline constexpr Colour kText{0x1F2328};             // texts, axes, outlines
inline constexpr Colour kMuted{0x59636E};            // secondary texts
inline constexpr Colour kGrid{0xE3E8EE};             // grid lines
inline constexpr Colour kRule{0xD8DEE4};             // the page's rules and borders
inline constexpr Colour kNeutral{0x6B7280};          // joins above the cut
inline constexpr Colour kHatch{0x8C959F};            // hatching of undefined values, dividers
inline constexpr Colour kPaper{0xFFFFFF};            // the background
inline constexpr Colour kBlack{0x000000};            // marks that must stand out
inline constexpr Colour kSoft{0xF6F8FA};             // headings of tables, alternate rows
inline constexpr Colour kTint{0xFBFCFD};             // the lightest surfaces
inline constexpr Colour kEmpty{0xF3F4F6};            // a cell with no group
inline constexpr Colour kNoGroup{0xBDBDBD};          // the group colour of "no group"
inline constexpr Colour kHighlight{0xEEF6FB};        // what the page points at
inline constexpr Colour kSwatch{0xCDD3DA};           // the neutral cell of a status legend
inline constexpr Colour kAccent = okabe_ito::kBlue;  // links and findings
}  // namespace ink

// The two fit variants' series (classified, with the allocated locations)
// and the bars of the stability index.
inline constexpr std::array<Colour, 2> kSeriesColours = {okabe_ito::kBlue, okabe_ito::kVermillion};
inline constexpr Colour kStabilityColour = okabe_ito::kBluishGreen;

// Status marks (retained, allocated, changed group) are shapes in these
// inks, never in a group colour.
inline constexpr Colour kMarkInk = ink::kText;
inline constexpr Colour kCornerInk = ink::kBlack;

// Number of distinct group colours; slot k and slot k + kGroupColours share
// a colour. Which group takes which slot is the page's choice (its groups
// are coloured by lineage).
inline constexpr std::int32_t kGroupColours = 14;

// The fill colour of slot k (k from 1; any other k gives the grey of "no
// group").
Colour group_colour(std::int32_t k);

// The text colour that reads on slot k's fill: black or white.
Colour group_text_colour(std::int32_t k);

// The viridis colour at t in [0, 1] (dark purple at 0, yellow at 1; t is
// clamped, NaN gives the colour at 0).
Colour viridis(double t);

// The text colour that reads on viridis(t): white on the dark end, black on
// the light end.
Colour viridis_text_colour(double t);

// The colour the style sheet calls `name` ("ink", "muted", ...), or none.
const Colour* style_colour(std::string_view name);

}  // namespace locseq::report
