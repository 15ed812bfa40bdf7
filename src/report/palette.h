// Colours of the page: groups in the Okabe-Ito palette, which people with
// the common colour-vision deficiencies can tell apart (the group number is
// always written beside, since groups can outnumber the colours), and the
// viridis scale for values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace locseq::report {

// Number of distinct group colours; group k and group k + kGroupColours
// share a colour.
inline constexpr std::int32_t kGroupColours = 7;

// The fill colour of group k (k from 1; any other k gives the neutral grey
// of "no group"), as "#RRGGBB".
std::string_view group_colour(std::int32_t k);

// The text colour that reads on group k's fill: black or white.
std::string_view group_text_colour(std::int32_t k);

// The viridis colour at t in [0, 1] (dark purple at 0, yellow at 1; t is
// clamped, NaN gives the colour at 0), as "#RRGGBB".
std::string viridis(double t);

// The text colour that reads on viridis(t): white on the dark end, black on
// the light end.
std::string_view viridis_text_colour(double t);

}  // namespace locseq::report
