#include "report/svg.h"

#include <cmath>

#include "report/text.h"

namespace locseq::report {

Element element(std::string markup) {
  Element e;
  e.text_ = std::move(markup);
  return e;
}

namespace {

std::string attribute(std::string_view name, double value) {
  std::string out(1, ' ');
  out.append(name).append("=\"").append(coord(value)).append(1, '"');
  return out;
}

// An element with its tip inside, or closed at once without one.
Element closed(std::string open, std::string_view name, const Style& style, const Text& tip) {
  open += style.attributes();
  if (tip.empty()) return element(open + "/>");
  return element(open + "><title>" + escape(tip) + "</title></" + std::string(name) + ">");
}

}  // namespace

Style& Style::add(std::string_view name, std::string_view value) {
  text_ += ' ';
  text_ += name;
  text_ += "=\"";
  text_ += value;
  text_ += '"';
  return *this;
}

Style& Style::fill_pattern(std::string_view id) {
  return add("fill", "url(#" + std::string(id) + ")");
}

Style& Style::stroke_width(double width) {
  return add("stroke-width", coord(width));
}

Style& Style::dashes(double on, double off) {
  return add("stroke-dasharray", coord(on) + " " + coord(off));
}

Style& Style::corner(double radius) {
  return add("rx", coord(radius));
}

Style& Style::size(double font_size) {
  return add("font-size", coord(font_size));
}

Style& Style::turn(double degrees, Point about) {
  return add("transform",
             "rotate(" + coord(degrees) + " " + coord(about.x) + " " + coord(about.y) + ")");
}

PathData& PathData::move(Point p) {
  d_ += 'M' + coord(p.x) + ' ' + coord(p.y);
  return *this;
}

PathData& PathData::line(Point p) {
  d_ += 'L' + coord(p.x) + ' ' + coord(p.y);
  return *this;
}

PathData& PathData::horizontal(double x) {
  d_ += 'H' + coord(x);
  return *this;
}

PathData& PathData::vertical(double y) {
  d_ += 'V' + coord(y);
  return *this;
}

PathData& PathData::close() {
  d_ += 'Z';
  return *this;
}

Element line(Point from, Point to, const Style& style, const Text& tip) {
  return closed("<line" + attribute("x1", from.x) + attribute("x2", to.x) +
                    attribute("y1", from.y) + attribute("y2", to.y),
                "line", style, tip);
}

Element rect(Box b, const Style& style, const Text& tip) {
  return closed("<rect" + attribute("x", b.x) + attribute("y", b.y) + attribute("width", b.width) +
                    attribute("height", b.height),
                "rect", style, tip);
}

Element circle(Point centre, double radius, const Style& style, const Text& tip) {
  return closed(
      "<circle" + attribute("cx", centre.x) + attribute("cy", centre.y) + attribute("r", radius),
      "circle", style, tip);
}

Element path(const PathData& d, const Style& style) {
  return closed("<path d=\"" + d.str() + "\"", "path", style, {});
}

Element text(Point at, const Text& body, const Style& style, const Text& tip) {
  std::string out = "<text" + attribute("x", at.x) + attribute("y", at.y) + style.attributes() +
                    ">" + escape(body);
  if (!tip.empty()) out += "<title>" + escape(tip) + "</title>";
  return element(out + "</text>");
}

Element hatching(std::string_view id, Colour paper, Colour ink) {
  return element("<pattern id=\"" + std::string(id) +
                 "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
                 "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"" +
                 hex(paper) + "\"/><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"" + hex(ink) +
                 "\" stroke-width=\"2.5\"/></pattern>");
}

Element gradient(std::string_view id, const std::vector<Colour>& stops) {
  std::string out = "<linearGradient id=\"" + std::string(id) + "\">";
  for (std::size_t k = 0; k < stops.size(); ++k) {
    const double t =
        stops.size() > 1 ? static_cast<double>(k) / static_cast<double>(stops.size() - 1) : 0;
    out += "<stop offset=\"" + coord(t) + "\" stop-color=\"" + hex(stops[k]) + "\"/>";
  }
  return element(out + "</linearGradient>");
}

Svg::Svg(const Frame& f) : width_(f.width) {
  const std::string w = coord(f.width), h = coord(f.height);
  out_ = "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + f.id + "\" width=\"" + w +
         "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
         "\" role=\"img\" aria-labelledby=\"" + f.id + "-title " + f.id + "-desc\" font-family=\"" +
         std::string(kFont) + "\" font-size=\"12\">\n";
  out_ += "<title id=\"" + f.id + "-title\">" + escape(f.title) + "</title>\n";
  out_ += "<desc id=\"" + f.id + "-desc\">" + escape(f.desc) + "</desc>\n";
  out_ += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + hex(ink::kPaper) + "\"/>\n";
}

Svg& Svg::define(std::initializer_list<Element> definitions) {
  out_ += "<defs>";
  for (const Element& d : definitions) {
    if (&d != definitions.begin()) out_ += '\n';
    out_ += d.str();
  }
  out_ += "</defs>\n";
  return *this;
}

Svg& Svg::nest(const Figure& inner, double dx) {
  out_ += dx == 0 ? "<g>\n" : "<g transform=\"translate(" + coord(dx) + " 0)\">\n";
  out_ += inner.str();
  out_ += "</g>\n";
  return *this;
}

Figure Svg::finish() && {
  Figure f;
  f.text_ = std::move(out_) + "</svg>\n";
  f.width_ = width_;
  return f;
}

Html Figure::html() const {
  const std::string open = "<svg ";
  if (!text_.starts_with(open)) return Html::made(text_);
  return Html::made(open + "style=\"min-width:" + coord(std::floor(width_ * kLeast)) + "px\" " +
                    text_.substr(open.size()));
}

std::string Figure::standalone() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + text_;
}

Scale Scale::nice(double lo, double hi, int ticks) {
  Scale s;
  if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) return s;
  double span = hi - lo;
  if (span < 1e-12) {
    span = std::fabs(hi) > 1e-12 ? std::fabs(hi) * 0.1 : 0.1;
    lo -= span / 2;
    hi += span / 2;
  }
  const double raw = span / (ticks > 1 ? ticks : 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10.0 * power;
  for (const double m : {1.0, 2.0, 2.5, 5.0}) {
    if (m * power >= raw * (1 - 1e-9)) {
      step = m * power;
      break;
    }
  }
  s.step = step;
  s.lo = std::floor(lo / step + 1e-9) * step;
  s.hi = std::ceil(hi / step - 1e-9) * step;
  if (s.hi <= s.lo) s.hi = s.lo + step;
  const double digits = -std::floor(std::log10(step) + 1e-9);
  s.decimals = digits > 0 ? static_cast<int>(digits) : 0;
  if (std::fabs(step / power - 2.5) < 1e-9 && power < 1.5) ++s.decimals;
  return s;
}

std::vector<double> Scale::ticks() const {
  std::vector<double> out;
  const auto n = static_cast<long>(std::floor((hi - lo) / step + 1e-9));
  for (long i = 0; i <= n && i <= 1000; ++i) out.push_back(lo + static_cast<double>(i) * step);
  return out;
}

double Scale::at(double v, double pixel_lo, double pixel_hi) const {
  return pixel_lo + (v - lo) / (hi - lo) * (pixel_hi - pixel_lo);
}

double text_width(std::size_t characters, double font_size) {
  return static_cast<double>(characters) * font_size * 0.62;
}

}  // namespace locseq::report
