// The pieces of SVG the figures are made of: points and boxes, a style (the
// presentation attributes of an element), small writers of one element
// each, and the figure they are added to. Every text reaches a figure as a
// Text, escaped and isolated by the element writers; attribute values are
// numbers, colours of the palette and the writer's own names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "report/markup.h"
#include "report/palette.h"

namespace locseq::report {

struct Point {
  double x = 0;
  double y = 0;
};

struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

enum class Anchor { kMiddle, kEnd };

// The presentation attributes of an element, written in the order given.
class Style {
 public:
  Style& fill(Colour c) { return add("fill", hex(c)); }
  Style& no_fill() { return add("fill", "none"); }
  Style& fill_pattern(std::string_view id);  // fill="url(#ID)"
  Style& stroke(Colour c) { return add("stroke", hex(c)); }
  Style& stroke_width(double width);
  Style& dashes(double on, double off);
  Style& round_joins() { return add("stroke-linejoin", "round"); }
  Style& square_caps() { return add("stroke-linecap", "square"); }
  Style& corner(double radius);  // rx
  Style& anchor(Anchor a) { return add("text-anchor", a == Anchor::kMiddle ? "middle" : "end"); }
  Style& size(double font_size);
  Style& bold() { return add("font-weight", "600"); }
  Style& turn(double degrees, Point about);  // transform="rotate(...)"
  Style& inert() { return add("pointer-events", "none"); }
  // What the element shows, for the page's tests: "group" (a group's
  // colour) or "status" (a status mark, in neutral ink).
  Style& kind(std::string_view name) { return add("class", name); }
  // The attributes, each after a blank.
  const std::string& attributes() const { return text_; }

 private:
  Style& add(std::string_view name, std::string_view value);
  std::string text_;
};

// One element written, or a few on one line.
class Element {
 public:
  const std::string& str() const { return text_; }

 private:
  friend Element element(std::string markup);
  std::string text_;
};

// The d attribute of a path: moves and lines to points, horizontal and
// vertical lines, closing.
class PathData {
 public:
  PathData& move(Point p);
  PathData& line(Point p);
  PathData& horizontal(double x);
  PathData& vertical(double y);
  PathData& close();
  bool empty() const { return d_.empty(); }
  const std::string& str() const { return d_; }

 private:
  std::string d_;
};

// The element writers. A tip is the text shown on hover (a <title> inside
// the element); none when empty.
Element line(Point from, Point to, const Style& style, const Text& tip = {});
Element rect(Box box, const Style& style, const Text& tip = {});
Element circle(Point centre, double radius, const Style& style, const Text& tip = {});
Element path(const PathData& d, const Style& style);
Element text(Point at, const Text& body, const Style& style = {}, const Text& tip = {});
// A pattern of diagonal stripes of `ink` on `paper`, for fill_pattern(id).
Element hatching(std::string_view id, Colour paper, Colour ink);
// A colour scale from left to right through `stops`, evenly spaced.
Element gradient(std::string_view id, const std::vector<Colour>& stops);

// The frame of one figure: its size and its text alternative.
struct Frame {
  std::string id;     // unique on the page; prefixes the ids inside the figure
  double width = 0;   // in pixels
  double height = 0;  // in pixels
  Text title;         // short name of the figure
  Text desc;          // what it shows, in words
};

// A finished figure: one <svg> element.
class Figure {
 public:
  // The smallest share of its size a figure is shown at on the page: a
  // narrower screen scrolls it rather than shrink its texts further.
  static constexpr double kLeast = 0.85;

  const std::string& str() const { return text_; }
  // As a part of the page: at most its size, at least kLeast of it.
  Html html() const;
  // As a standalone document: the XML declaration, then the figure.
  std::string standalone() const;

 private:
  friend class Svg;
  std::string text_;
  double width_ = 0;
};

// A figure being drawn: the <svg> element with its title, description and
// white background, then the elements added, a line each.
class Svg {
 public:
  explicit Svg(const Frame& frame);
  template <class... More>
  Svg& add(const Element& first, const More&... more) {
    out_ += first.str();
    ((out_ += more.str()), ...);
    out_ += '\n';
    return *this;
  }
  // Definitions the elements refer to by id, in a <defs> element.
  Svg& define(std::initializer_list<Element> definitions);
  // A whole figure inside this one, moved right by dx.
  Svg& nest(const Figure& inner, double dx);
  Figure finish() &&;

 private:
  std::string out_;
  double width_ = 0;
};

// Font of every figure: generic families only.
inline constexpr std::string_view kFont = "system-ui, sans-serif";

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

// Estimated width in pixels of a text of `characters` characters at a font
// size (for the layout only).
double text_width(std::size_t characters, double font_size);
inline double text_width(const JobText& t, double font_size) {
  return text_width(t.length(), font_size);
}

}  // namespace locseq::report
