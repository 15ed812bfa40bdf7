// Section 6: the numbers of steps.csv, a column per step.
#include <string>
#include <variant>

#include "findings/step_columns.h"
#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

// A value of the table as the page writes it: numbers in full, names
// isolated; `undefined` for NA.
struct Cell {
  Html html;
  bool undefined = false;
};

Cell cell(std::int64_t v) {
  Html out;
  return {out << v};
}

Cell cell(std::optional<double> v) {
  Html out;
  if (!v) return {out << "NA", true};
  return {out << round_trip(*v)};
}

Cell cell(const Name8& name) {
  Html out;
  return {out << JobText(trimmed(name))};
}

void row(Html& out, const Model& m, const findings::StepColumn& column) {
  const auto best = m.findings.best[kClassified];
  if (!column.part.empty()) {
    out << "<tr class=\"part\"><th colspan=\"" << m.steps.size() + 1 << "\">" << column.part
        << "</th></tr>\n";
  }
  out << "<tr><th class=\"row\">" << column.label << " <code>" << column.name << "</code></th>";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    const findings::StepRow step{*m.steps[i].block, *m.steps[i].found};
    const Cell c = std::visit([](const auto& v) { return cell(v); }, column.value(step));
    out << "<td class=\"num";
    if (c.undefined) out << " na";
    if (best == i) out << " best";
    out << "\">" << c.html << "</td>";
  }
  out << "</tr>\n";
}

}  // namespace

Html table_section(const Model& m) {
  Html out =
      "<p class=\"lead\">The numbers of <code>steps.csv</code>, in full precision, a column "
      "per step (a row of the file); NA where a value is undefined. The step that fits best "
      "as classified is shaded.</p>\n"
      "<div class=\"scroll\"><table class=\"wide\">\n<thead><tr><th class=\"row\">Step</th>";
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    out << "<th class=\"num";
    if (m.findings.best[kClassified] == i) out << " best";
    out << "\">" << step_ref(m, i) << "</th>";
  }
  out << "</tr></thead>\n<tbody>\n";
  for (const findings::StepColumn& column : findings::step_columns()) row(out, m, column);
  return out << "</tbody></table></div>\n";
}

}  // namespace locseq::report
