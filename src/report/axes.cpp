#include "report/axes.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "report/palette.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// The widths are estimates, so labels are given a tenth more.
constexpr double kSpare = 1.1;

// Labels stand upright when "step k" fits a step's width with room to spare;
// the names are then cut to that width. What is drawn never depends on the
// names, only on the steps' number and width, so that no name changes the
// figure's make-up.
bool turned(const Model& m, double band) {
  const std::int32_t last = m.steps.empty() ? 0 : m.steps.back().block->StepNumber;
  return text_width(5 + std::to_string(last).size(), 11) * kSpare + 6 > band;
}

// The most characters of a name that fit upright in a step's width.
std::size_t upright_limit(double band) {
  const double fits = std::floor((band - 6) / (text_width(1, 12) * kSpare));
  return static_cast<std::size_t>(std::clamp(fits, 1.0, 12.0));
}

}  // namespace

Text step_label(const Model& m, std::size_t i, std::size_t limit) {
  const JobText& name = m.steps[i].name;
  if (name.empty()) return "step " + std::to_string(m.steps[i].block->StepNumber);
  return name.shortened(limit);
}

double band_centre(std::size_t i, std::size_t n, double left, double right) {
  return left + (static_cast<double>(i) + 0.5) * (right - left) / static_cast<double>(n);
}

double step_axis_height(const Model& m, double band) {
  if (!turned(m, band)) return 38;
  return 16 + text_width(12, 11) * kSpare * 0.72;
}

void step_axis(Svg& out, const Model& m, double left, double right, double y) {
  const std::size_t n = m.steps.size();
  if (n == 0 || !(right > left)) return;
  const double band = (right - left) / static_cast<double>(n);
  if (!turned(m, band)) {
    for (std::size_t i = 0; i < n; ++i) {
      const double x = band_centre(i, n, left, right);
      out.add(text({x, y + 16}, step_label(m, i, upright_limit(band)),
                   Style().anchor(Anchor::kMiddle).fill(ink::kText), m.step_title(i)));
      out.add(text({x, y + 31}, "step " + std::to_string(m.steps[i].block->StepNumber),
                   x_tick_style()));
    }
    return;
  }
  // Turned labels, their lines at least 12 pixels apart.
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil(17.0 / band)));
  for (std::size_t i = 0; i < n; i += every) {
    const Point at{band_centre(i, n, left, right), y + 12};
    out.add(text(at, step_label(m, i),
                 Style().anchor(Anchor::kEnd).size(11).fill(ink::kText).turn(-45, at),
                 m.step_title(i)));
  }
}

Style x_tick_style() {
  return Style().anchor(Anchor::kMiddle).size(11).fill(ink::kMuted);
}

Style y_tick_style() {
  return Style().anchor(Anchor::kEnd).fill(ink::kMuted);
}

Style turned_title(Point at) {
  return Style().anchor(Anchor::kMiddle).turn(-90, at);
}

void value_axis(Svg& out, const Scale& y, const PlotBox& box) {
  for (const double t : y.ticks()) {
    const double at = y.at(t, box.bottom, box.top);
    out.add(line({box.left, at}, {box.right, at}, Style().stroke(ink::kGrid)));
    out.add(text({box.left - 8, at + 4}, fixed(t, y.decimals), y_tick_style()));
  }
  out.add(path(PathData().move({box.left, box.top - 6}).vertical(box.bottom).horizontal(box.right),
               Style().no_fill().stroke(ink::kText)));
}

}  // namespace locseq::report
