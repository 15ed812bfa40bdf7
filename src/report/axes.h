// Pieces of the figures drawn over the steps: positions and labels.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "report/model.h"

namespace locseq::report {

// Colours of the texts and lines around the data.
inline constexpr std::string_view kInk = "#1F2328";      // texts and axes
inline constexpr std::string_view kMuted = "#59636E";    // secondary texts
inline constexpr std::string_view kGrid = "#E3E8EE";     // grid lines
inline constexpr std::string_view kNeutral = "#6B7280";  // joins above the cut

// The name to print for step i: its sequence year name cut to `limit`
// characters, or "step k" when the name is blank; escaped.
std::string step_label(const Model& m, std::size_t i, std::size_t limit = 12);

// A job text shortened to `limit` characters and escaped.
std::string short_text(std::string_view raw, std::size_t limit);

// Centre of step i of n in bands between the pixels left and right.
double band_centre(std::size_t i, std::size_t n, double left, double right);

// Appends the step labels under an x axis at y: the name and "step k"
// beneath it for up to 12 steps, else the names turned, every one that fits.
void step_axis(std::string& out, const Model& m, double left, double right, double y);

// Height the step labels take under the axis.
double step_axis_height(const Model& m);

}  // namespace locseq::report
