// Small pieces of SVG shared by the figures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::report {

// The frame of one figure: its size and its text alternative.
struct SvgFrame {
  std::string id;     // unique on the page; prefixes the ids inside the figure
  double width = 0;   // in pixels
  double height = 0;  // in pixels
  std::string title;  // short name of the figure (not escaped)
  std::string desc;   // what it shows, in words (not escaped)
};

// Font of every figure: generic families only.
inline constexpr std::string_view kFont = "system-ui, sans-serif";

// Appends the opening <svg> element (with xmlns, viewBox, role="img" and
// aria-labelledby pointing at its <title> and <desc>).
void open_svg(std::string& out, const SvgFrame& frame);

// Appends the closing </svg>.
void close_svg(std::string& out);

// The figure as a standalone document: the XML declaration, then the figure.
std::string standalone(const std::string& svg);

// "<title>TEXT</title>" with the text escaped: the value shown on hover.
std::string hover(std::string_view text);

// An axis range with round tick marks.
struct Scale {
  double lo = 0.0;    // lowest value of the axis
  double hi = 1.0;    // highest value
  double step = 0.1;  // between tick marks
  int decimals = 1;   // decimals of the tick labels

  // Builds a scale from lo to hi over round numbers, about `ticks` marks.
  static Scale nice(double lo, double hi, int ticks = 5);
  // The tick values from lo to hi.
  std::vector<double> ticks() const;
  // The position of v between the pixels at lo and at hi.
  double at(double v, double pixel_lo, double pixel_hi) const;
};

// Estimated width in pixels of a text at a font size (for the layout only).
double text_width(std::string_view utf8, double font_size);

// Appends a text element; `body` must already be escaped, `attributes` go
// into the element as written.
void text(std::string& out, double x, double y, std::string_view body,
          std::string_view attributes = {});

}  // namespace locseq::report
