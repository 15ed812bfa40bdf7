// Section 6: the numbers of steps.csv, a column per step.
#include <string>
#include <variant>
#include <vector>

#include "findings/step_columns.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// Steps per table: more stand in further tables, so that none is wider
// than a printed page.
constexpr std::size_t kStepsPerTable = 6;

// A value of the table as the page writes it: whole numbers as they are,
// real numbers to 4 significant digits with the full value as a tooltip,
// names isolated; `undefined` for NA.
struct Cell {
  Html html;
  std::string full;  // the tooltip, "" for none
  bool undefined = false;
};

Cell cell(std::int64_t v, Notation) {
  Html out;
  return {out << v, ""};
}

Cell cell(std::optional<double> v, Notation notation) {
  Html out;
  if (!v) return {out << "NA", "", true};
  return {out << four_digits(*v, notation), round_trip(*v)};
}

Cell cell(const Name8& name, Notation) {
  Html out;
  return {out << JobText(trimmed(name)), ""};
}

findings::StepValue value(const Model& m, const findings::StepColumn& column, std::size_t i) {
  return column.value(findings::StepRow{*m.steps[i].block, *m.steps[i].found});
}

// The notation of a row: of its defined real values, over all steps.
Notation notation(const Model& m, const findings::StepColumn& column) {
  std::vector<double> values;
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const auto v = value(m, column, i);
    if (const auto* real = std::get_if<std::optional<double>>(&v); real && *real) {
      values.push_back(**real);
    }
  }
  return Notation::of(values);
}

void row(Html& out, const Model& m, const findings::StepColumn& column, std::size_t first,
         std::size_t last) {
  const auto best = m.findings.best[kClassified];
  if (!column.part.empty()) {
    out << "<tr class=\"part\"><th colspan=\"" << last - first + 1 << "\">" << column.part
        << "</th></tr>\n";
  }
  out << "<tr><th class=\"row\">" << column.label << " <code>" << column.name << "</code></th>";
  const Notation n = notation(m, column);
  for (std::size_t i = first; i < last; ++i) {
    const Cell c = std::visit([&](const auto& v) { return cell(v, n); }, value(m, column, i));
    out << "<td class=\"num";
    if (c.undefined) out << " na";
    if (best == i) out << " best";
    out << "\"";
    if (!c.full.empty()) out << " title=\"" << c.full << "\"";
    out << ">" << c.html << "</td>";
  }
  out << "</tr>\n";
}

Html table(const Model& m, std::size_t first, std::size_t last) {
  Html out = "<div class=\"scroll\"><table class=\"wide\">\n<thead><tr><th class=\"row\">Step</th>";
  for (std::size_t i = first; i < last; ++i) {
    out << "<th class=\"num";
    if (m.findings.best[kClassified] == i) out << " best";
    out << "\">" << step_ref(m, i) << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const findings::StepColumn& column : findings::step_columns())
    row(out, m, column, first, last);
  return out << "</tbody></table></div>\n";
}

}  // namespace

Html table_section(const Model& m) {
  Html out =
      "<p class=\"lead\">The numbers of <code>steps.csv</code>, a column per step (a row of the "
      "file), real numbers to 4 significant digits in one notation per row (hover for the full "
      "value, as the file holds it); NA where a value is undefined. The step that fits best "
      "as classified, by the adjusted RSQ, is shaded.</p>\n";
  for (const auto& [first, last] : runs(m.steps.size(), kStepsPerTable)) {
    out << table(m, first, last);
  }
  return out;
}

}  // namespace locseq::report
