#include "report/palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace locseq::report {
namespace {

// Blue first, yellow last of Okabe-Ito (it reads least well as a line on
// white), then the muted ones, dark and light in turn.
constexpr std::array<Colour, kGroupColours> kGroups = {
    okabe_ito::kBlue,
    okabe_ito::kOrange,
    okabe_ito::kBluishGreen,
    okabe_ito::kVermillion,
    okabe_ito::kReddishPurple,
    okabe_ito::kSkyBlue,
    okabe_ito::kYellow,
    muted::kIndigo,
    muted::kSand,
    muted::kWine,
    muted::kRose,
    muted::kGreen,
    muted::kOlive,
    muted::kPurple,
};
// White text reads on blue, green, vermillion and the dark muted colours;
// black on the others.
constexpr std::array<bool, kGroupColours> kDark = {true, false, true, true,  false, false, false,
                                                   true, false, true, false, true,  false, true};

// Viridis sampled at 0, 1/16, ..., 1.
constexpr std::array<std::array<int, 3>, 17> kViridis = {{
    {68, 1, 84},
    {72, 26, 108},
    {71, 47, 125},
    {65, 68, 135},
    {57, 86, 140},
    {49, 104, 142},
    {42, 120, 142},
    {35, 136, 142},
    {31, 152, 139},
    {34, 168, 132},
    {53, 183, 121},
    {84, 197, 104},
    {122, 209, 81},
    {165, 219, 54},
    {210, 226, 27},
    {229, 228, 25},
    {253, 231, 37},
}};

// The colours of the style sheet, by the names it gives them.
constexpr std::array<std::pair<std::string_view, Colour>, 8> kStyleColours = {{
    {"ink", ink::kText},
    {"muted", ink::kMuted},
    {"rule", ink::kRule},
    {"soft", ink::kSoft},
    {"accent", ink::kAccent},
    {"paper", ink::kPaper},
    {"tint", ink::kTint},
    {"highlight", ink::kHighlight},
}};

}  // namespace

std::string hex(Colour c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c.rgb & 0xFFFFFFu));
  return buf;
}

std::string css(Colour c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(c.rgb & 0xFFFFFFu));
  const std::string six = buf;
  if (six[1] == six[2] && six[3] == six[4] && six[5] == six[6]) {
    return std::string{'#', six[1], six[3], six[5]};
  }
  return six;
}

Colour group_colour(std::int32_t k) {
  if (k < 1) return ink::kNoGroup;
  return kGroups[static_cast<std::size_t>((k - 1) % kGroupColours)];
}

Colour group_text_colour(std::int32_t k) {
  if (k < 1) return ink::kBlack;
  return kDark[static_cast<std::size_t>((k - 1) % kGroupColours)] ? ink::kPaper : ink::kBlack;
}

Colour viridis(double t) {
  if (!(t > 0.0)) t = 0.0;
  if (t > 1.0) t = 1.0;
  const double at = t * 16.0;
  const auto i = std::min<std::size_t>(static_cast<std::size_t>(at), 15);
  const double f = at - static_cast<double>(i);
  std::uint32_t rgb = 0;
  for (std::size_t c = 0; c < 3; ++c) {
    const double v = kViridis[i][c] + f * (kViridis[i + 1][c] - kViridis[i][c]);
    rgb = rgb << 8 | static_cast<std::uint32_t>(std::lround(v));
  }
  return {rgb};
}

Colour viridis_text_colour(double t) {
  return t < 0.55 ? ink::kPaper : ink::kBlack;
}

const Colour* style_colour(std::string_view name) {
  for (const auto& [known, colour] : kStyleColours) {
    if (known == name) return &colour;
  }
  return nullptr;
}

}  // namespace locseq::report
