#include "report/page_parts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "report/text.h"

namespace locseq::report {
namespace {

Html chip_of(Colour fill, Colour ink, std::int32_t number, const std::string& title) {
  Html out = "<span class=\"chip group\" style=\"background:";
  return out << hex(fill) << ";color:" << hex(ink) << "\" title=\"" << title << "\">" << number
             << "</span>";
}

}  // namespace

Html group_chip(const Model& m, std::size_t i, std::int32_t k) {
  if (k < 1) return "<span class=\"muted\">none</span>";
  const std::int32_t lineage = m.lineage(i, k);
  return chip_of(m.lineage_fill(lineage), m.lineage_ink(lineage), k,
                 "group " + std::to_string(k) + ", lineage " + std::to_string(lineage));
}

Html lineage_chip(const Model& m, std::int32_t lineage) {
  if (lineage < 1) return "<span class=\"muted\">none</span>";
  return chip_of(m.lineage_fill(lineage), m.lineage_ink(lineage), lineage,
                 "lineage " + std::to_string(lineage));
}

Html single_site_badge() {
  return "<span class=\"badge status\" title=\"a group of one retained location fits it "
         "exactly\">single site</span>";
}

Html figure(const Figure& svg, const Html& caption) {
  Html out = "<figure>\n";
  out << svg.html();
  if (!caption.empty()) out << "<figcaption>" << caption << "</figcaption>\n";
  return out << "</figure>\n";
}

Html step_ref(const Model& m, std::size_t i) {
  Html out;
  out << "<a href=\"#step-" << m.steps[i].block->StepNumber << "\">" << m.step_title(i) << "</a>";
  return out;
}

Html years_text(const Model& m, const BlockResult& b) {
  Html out;
  if (b.first_year == b.last_year) {
    return out << m.year(b.first_year) << " (year " << b.first_year << ")";
  }
  return out << m.year(b.first_year) << " to " << m.year(b.last_year) << " (years " << b.first_year
             << "–" << b.last_year << ")";
}

Html single_site_steps(const Model& m, std::size_t most) {
  Html out;
  std::size_t listed = 0;
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const std::int32_t n = m.steps[i].found->single_site;
    if (n == 0 || listed++ >= most) continue;
    if (listed > 1)
      out << std::string_view(listed == m.findings.single_site_steps ? " and " : ", ");
    out << step_ref(m, i) << " has " << n;
  }
  if (listed > most) out << " and " << count(listed - most, "more step", "more steps");
  return out;
}

Html finding(const Html& sentence) {
  Html out = "<p class=\"finding\">";
  return out << sentence << "</p>\n";
}

Notation Notation::of(std::span<const double> column) {
  Notation n;
  for (const double v : column) {
    const double a = std::fabs(v);
    // 999950 and more is 1.000e+06 at 4 digits.
    if (std::isfinite(a) && (a >= 999950 || (a > 0 && a < 1e-3))) n.exponent = true;
  }
  return n;
}

std::string four_digits(double value, Notation notation) {
  if (!std::isfinite(value)) return "NA";
  if (notation.exponent) return exponent_form(value, 4);
  return significant(value, 4);
}

std::vector<std::pair<std::size_t, std::size_t>> runs(std::size_t n, std::size_t most) {
  std::vector<std::pair<std::size_t, std::size_t>> out;
  if (n == 0 || most == 0) return out;
  const std::size_t count = (n + most - 1) / most, size = (n + count - 1) / count;
  for (std::size_t first = 0; first < n; first += size)
    out.emplace_back(first, std::min(n, first + size));
  return out;
}

}  // namespace locseq::report
