#include "report/page_parts.h"

#include <string>

#include "report/text.h"

namespace locseq::report {

Html chip(std::int32_t k, bool framed) {
  if (k < 1) return "<span class=\"muted\">none</span>";
  Html out;
  if (framed) {
    out << "<span class=\"chip framed\" style=\"border-color:" << hex(group_colour(k)) << "\">";
  } else {
    out << "<span class=\"chip\" style=\"background:" << hex(group_colour(k))
        << ";color:" << hex(group_text_colour(k)) << "\">";
  }
  return out << k << "</span>";
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

Html finding(const Html& sentence) {
  Html out = "<p class=\"finding\">";
  return out << sentence << "</p>\n";
}

namespace {

Html glance_stability(const Model& m) {
  const findings::RunFindings& f = m.findings;
  Html out = "<li><strong>Stability:</strong> ";
  out << count(f.moves, "change", "changes") << " of group between steps";
  if (f.least_stable && *m.steps[*f.least_stable].found->stability < 1.0) {
    const std::size_t low = *f.least_stable;
    out << "; most from " << step_ref(m, low - 1) << " to " << step_ref(m, low) << " (index "
        << fixed(*m.steps[low].found->stability, 3) << ")";
  }
  return out << ". <a href=\"#stability\">Stability of the groups</a></li>\n";
}

}  // namespace

Html at_a_glance(const Model& m) {
  Html out;
  if (m.steps.empty()) return out;
  const findings::RunFindings& f = m.findings;
  out << "<div class=\"glance\"><h2>At a glance</h2>\n<ul>\n";
  if (const auto best = f.best[kClassified]) {
    out << "<li><strong>Best fit:</strong> the classification of " << step_ref(m, *best)
        << " (overall RSQ " << fixed(m.steps[*best].block->fit[kClassified].overall.RSQ, 3)
        << "). <a href=\"#fit\">Fit over the sequence</a></li>\n";
  }
  if (m.steps.size() > 1) out << glance_stability(m);
  out << "<li><strong>Eliminated locations:</strong> " << f.allocated << " of " << f.eliminated
      << " allocated to their nearest group over the " << count(m.steps.size(), "step", "steps")
      << ". <a href=\"#steps\">Each step</a></li>\n</ul>\n</div>\n";
  return out;
}

}  // namespace locseq::report
