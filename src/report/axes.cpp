#include "report/axes.h"

#include <algorithm>
#include <cmath>

#include "report/svg.h"
#include "report/text.h"

namespace locseq::report {

std::string step_label(const Model& m, std::size_t i, std::size_t limit) {
  const std::string& name = m.steps[i].name;
  if (name.empty()) return "step " + std::to_string(m.steps[i].block->StepNumber);
  return short_text(name, limit);
}

std::string short_text(std::string_view raw, std::size_t limit) {
  return escape(shorten(clean_utf8(raw), limit));
}

double band_centre(std::size_t i, std::size_t n, double left, double right) {
  return left + (static_cast<double>(i) + 0.5) * (right - left) / static_cast<double>(n);
}

namespace {
bool turned(const Model& m) {
  return m.steps.size() > 12;
}
}  // namespace

double step_axis_height(const Model& m) {
  if (!turned(m)) return 38;
  double widest = 0;
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    widest = std::max(widest, text_width(shorten(clean_utf8(m.steps[i].name), 12), 11));
  }
  return 16 + widest * 0.72;
}

void step_axis(std::string& out, const Model& m, double left, double right, double y) {
  const std::size_t n = m.steps.size();
  if (!turned(m)) {
    for (std::size_t i = 0; i < n; ++i) {
      const double x = band_centre(i, n, left, right);
      text(out, x, y + 16, step_label(m, i), "text-anchor=\"middle\" fill=\"#1F2328\"");
      text(out, x, y + 31, "step " + std::to_string(m.steps[i].block->StepNumber),
           "text-anchor=\"middle\" font-size=\"11\" fill=\"#59636E\"");
    }
    return;
  }
  // Turned labels, at least 13 pixels apart.
  const double band = (right - left) / static_cast<double>(n);
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil(13.0 / band)));
  for (std::size_t i = 0; i < n; i += every) {
    const double x = band_centre(i, n, left, right);
    const std::string at = coord(x) + " " + coord(y + 12);
    text(out, x, y + 12, step_label(m, i),
         "text-anchor=\"end\" font-size=\"11\" fill=\"#1F2328\" transform=\"rotate(-45 " + at +
             ")\"");
  }
}

}  // namespace locseq::report
