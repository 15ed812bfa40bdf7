#include "report/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace locseq::report {
namespace {

// Okabe-Ito without its black, which draws the axes and the texts; blue
// first, yellow last (it reads least well as a line on white).
constexpr std::array<std::string_view, kGroupColours> kOkabeIto = {
    "#0072B2",  // blue
    "#E69F00",  // orange
    "#009E73",  // bluish green
    "#D55E00",  // vermillion
    "#CC79A7",  // reddish purple
    "#56B4E9",  // sky blue
    "#F0E442",  // yellow
};
// White text reads on blue, green and vermillion; black on the others.
constexpr std::array<bool, kGroupColours> kDark = {true, false, true, true, false, false, false};

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

}  // namespace

std::string_view group_colour(std::int32_t k) {
  if (k < 1) return "#BDBDBD";
  return kOkabeIto[static_cast<std::size_t>((k - 1) % kGroupColours)];
}

std::string_view group_text_colour(std::int32_t k) {
  if (k < 1) return "#000000";
  return kDark[static_cast<std::size_t>((k - 1) % kGroupColours)] ? "#FFFFFF" : "#000000";
}

std::string viridis(double t) {
  if (!(t > 0.0)) t = 0.0;
  if (t > 1.0) t = 1.0;
  const double at = t * 16.0;
  const auto i = std::min<std::size_t>(static_cast<std::size_t>(at), 15);
  const double f = at - static_cast<double>(i);
  char buf[8];
  int rgb[3];
  for (std::size_t c = 0; c < 3; ++c) {
    const double v = kViridis[i][c] + f * (kViridis[i + 1][c] - kViridis[i][c]);
    rgb[c] = static_cast<int>(std::lround(v));
  }
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
  return buf;
}

std::string_view viridis_text_colour(double t) {
  return t < 0.55 ? "#FFFFFF" : "#000000";
}

}  // namespace locseq::report
