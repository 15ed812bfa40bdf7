// Section 1: the job, its input files and its steps.
#include <string>

#include "report/page_parts.h"
#include "report/text.h"

namespace locseq::report {
namespace {

Html facts(const Model& m) {
  const RunParameters& p = m.head->parameters;
  Html out = "<div class=\"facts\">\n";
  const auto fact = [&](std::int64_t value, const char* one, const char* many) {
    out << "<div class=\"fact\"><strong>" << value << "</strong><span>"
        << std::string_view(value == 1 ? one : many) << "</span></div>\n";
  };
  fact(static_cast<std::int64_t>(m.steps.size()), "step", "steps");
  fact(p.MAXL, "location", "locations");
  fact(p.MAXG, "genotype", "genotypes");
  fact(m.steps.empty() ? 0 : std::int64_t{m.last_year} - m.first_year + 1, "data year",
       "data years");
  fact(p.NGP, "group (truncation level)", "groups (truncation level)");
  return out << "</div>\n";
}

Html meta(const Model& m) {
  const RunHead& head = *m.head;
  const PageJob& job = *m.job;
  Html out = "<dl class=\"meta\">\n<dt>Job</dt><dd>";
  out << JobText(job.name) << "</dd>\n<dt>Title</dt><dd>"
      << JobText(std::string(trim_right(head.JobTitle))) << "</dd>\n<dt>Options given</dt><dd>";
  if (job.options.empty()) {
    out << "none";
  } else {
    out << "<code>" << job.options << "</code>";
  }
  if (!job.settings_taken.empty()) {
    out << "</dd>\n<dt>As classified</dt><dd>" << job.settings_taken
        << " <span class=\"muted\">(from " << JobText(job.settings_file) << ")</span>";
  }
  out << "</dd>\n<dt>Analysis options</dt><dd>";
  const char* names[] = {"WEIGHT", "PRXTYP", "SEDTYP", "CORTYP"};
  for (std::size_t k = 0; k < 4; ++k) {
    if (k) out << " · ";
    out << std::string_view(names[k]) << " <code>" << JobText(std::string(1, head.options[k]))
        << "</code>";
  }
  out << "</dd>\n<dt>Standardised again</dt><dd>"
      << std::string_view(head.standardise ? "yes" : "no")
      << "</dd>\n<dt>Sequence</dt><dd>IYS = " << head.IYS << " (" << m.year(head.IYS)
      << "), IYF = " << head.IYF << " (" << m.year(head.IYF)
      << ")</dd>\n<dt>Truncation level</dt><dd>NGP = "
      << count(head.parameters.NGP, "group", "groups") << "</dd>\n</dl>\n";
  return out;
}

Html input_files(const Model& m) {
  Html out =
      "<h3>Input files</h3>\n<div class=\"scroll\"><table>\n<thead><tr><th>File</th>"
      "<th class=\"num\">Size (bytes)</th><th>Modified (UTC)</th></tr></thead>\n<tbody>\n";
  for (const InputFile& f : m.job->inputs) {
    out << "<tr><td>" << JobText(f.name) << "</td><td class=\"num\">" << f.size << "</td><td>"
        << f.modified << "</td></tr>\n";
  }
  if (m.job->inputs.empty()) out << "<tr><td colspan=\"3\" class=\"muted\">not given</td></tr>\n";
  return out << "</tbody></table></div>\n";
}

Html steps_table(const Model& m) {
  Html out =
      "<h3>Steps</h3>\n<div class=\"scroll\"><table>\n<thead><tr><th class=\"num\">Step</th>"
      "<th>Sequence year</th><th>Data years</th><th class=\"num\">Retained</th>"
      "<th class=\"num\">Eliminated</th><th class=\"num\">Allocated</th>"
      "<th class=\"num\">Groups</th></tr></thead>\n<tbody>\n";
  for (const StepView& s : m.steps) {
    const BlockResult& b = *s.block;
    out << "<tr><td class=\"num\"><a href=\"#step-" << b.StepNumber << "\">" << b.StepNumber
        << "</a></td><td>" << s.name << " <span class=\"muted\">(" << b.SequenceYear
        << ")</span></td><td>" << years_text(m, b) << "</td><td class=\"num\">" << b.RetainedCount
        << "</td><td class=\"num\">" << b.eliminated.size() << "</td><td class=\"num\">"
        << s.found->allocated << "</td><td class=\"num\">" << b.CutLevel << "</td></tr>\n";
  }
  return out << "</tbody></table></div>\n";
}

}  // namespace

Html job_section(const Model& m) {
  Html out =
      "<p class=\"lead\">Each step of the sequence brings the classification of one more "
      "year: which locations it retains, and their hierarchy. The step cuts the hierarchy "
      "into groups, allocates every eliminated location to its nearest group, and measures "
      "how well the groups explain the data of the years so far.</p>\n";
  return out << facts(m) << meta(m) << input_files(m) << steps_table(m);
}

}  // namespace locseq::report
