#include "report/svg.h"

#include <cmath>

#include "report/text.h"

namespace locseq::report {

void open_svg(std::string& out, const SvgFrame& f) {
  const std::string w = coord(f.width), h = coord(f.height);
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + f.id + "\" width=\"" + w +
         "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
         "\" role=\"img\" aria-labelledby=\"" + f.id + "-title " + f.id + "-desc\" font-family=\"" +
         std::string(kFont) + "\" font-size=\"12\">\n";
  out += "<title id=\"" + f.id + "-title\">" + escape(f.title) + "</title>\n";
  out += "<desc id=\"" + f.id + "-desc\">" + escape(f.desc) + "</desc>\n";
  out += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#FFFFFF\"/>\n";
}

void close_svg(std::string& out) {
  out += "</svg>\n";
}

std::string standalone(const std::string& svg) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + svg;
}

std::string hover(std::string_view t) {
  return "<title>" + escape(t) + "</title>";
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

double text_width(std::string_view utf8, double font_size) {
  return static_cast<double>(text_length(utf8)) * font_size * 0.62;
}

void text(std::string& out, double x, double y, std::string_view body,
          std::string_view attributes) {
  out += "<text x=\"" + coord(x) + "\" y=\"" + coord(y) + "\"";
  if (!attributes.empty()) {
    out += ' ';
    out += attributes;
  }
  out += '>';
  out += body;
  out += "</text>\n";
}

}  // namespace locseq::report
