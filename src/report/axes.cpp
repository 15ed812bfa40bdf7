#include "report/axes.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace locseq::report {
namespace {

bool turned(const Model& m) {
  return m.steps.size() > 12;
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

double step_axis_height(const Model& m) {
  if (!turned(m)) return 38;
  double widest = 0;
  for (const StepView& s : m.steps) widest = std::max(widest, text_width(s.name.shortened(12), 11));
  return 16 + widest * 0.72;
}

void step_axis(Svg& out, const Model& m, double left, double right, double y) {
  const std::size_t n = m.steps.size();
  if (!turned(m)) {
    for (std::size_t i = 0; i < n; ++i) {
      const double x = band_centre(i, n, left, right);
      out.add(
          text({x, y + 16}, step_label(m, i), Style().anchor(Anchor::kMiddle).fill(ink::kText)));
      out.add(text({x, y + 31}, "step " + std::to_string(m.steps[i].block->StepNumber),
                   x_tick_style()));
    }
    return;
  }
  // Turned labels, at least 13 pixels apart.
  const double band = (right - left) / static_cast<double>(n);
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil(13.0 / band)));
  for (std::size_t i = 0; i < n; i += every) {
    const Point at{band_centre(i, n, left, right), y + 12};
    out.add(text(at, step_label(m, i),
                 Style().anchor(Anchor::kEnd).size(11).fill(ink::kText).turn(-45, at)));
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

}  // namespace locseq::report
