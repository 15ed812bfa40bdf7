#include "report/page.h"

#include <string>

#include "report/charts.h"
#include "report/model.h"
#include "report/page_parts.h"
#include "report/stylesheet.h"
#include "report/text.h"

namespace locseq::report {
namespace {

Html page_head(const Model& m) {
  const JobText name(m.job->name), title(std::string(trim_right(m.head->JobTitle)));
  Html out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  out << Html::flat(title.empty() ? Text(name) : name + " · " + title) << "</title>\n<style>"
      << Html::made(page_style()) << "</style>\n</head>\n<body>\n";
  out << "<header class=\"top\"><div class=\"inner\">\n<p class=\"kicker\">Classification "
         "over a sequence of years · job "
      << name << "</p>\n<h1>" << (title.empty() ? name : title) << "</h1>\n<nav>";
  std::size_t n = 0;
  for (const Section& s : kSections) {
    if (s.shown != nullptr && !s.shown(m)) continue;
    out << "<a href=\"#" << std::string_view(s.id) << "\">" << ++n << " " << std::string_view(s.nav)
        << "</a>";
  }
  return out << "</nav>\n</div></header>\n<main>\n";
}

}  // namespace

std::string write_page(const RunHead& head, const std::vector<BlockResult>& blocks,
                       const PageJob& job) {
  const Model m = make_model(head, blocks, job);
  Html out = page_head(m);
  out << at_a_glance(m);
  std::size_t n = 0;
  for (const Section& s : kSections) {
    if (s.shown != nullptr && !s.shown(m)) continue;
    out << "<section id=\"" << std::string_view(s.id) << "\">\n<h2><span class=\"n\">" << ++n
        << "</span>" << std::string_view(s.heading) << "</h2>\n"
        << s.write(m) << "</section>\n";
  }
  out << "</main>\n<footer>Written by locseq from the results of job " << JobText(job.name)
      << ". Figures round their values; hover over them for the exact ones.</footer>\n"
         "</body>\n</html>\n";
  return out.str();
}

std::map<std::string, std::string> write_plots(const RunHead& head,
                                               const std::vector<BlockResult>& blocks,
                                               const PageJob& job, bool sweep) {
  const Model m = make_model(head, blocks, job);
  std::map<std::string, std::string> out;
  if (sweep) out["sweep.svg"] = sweep_chart(m).standalone();
  out["fit.svg"] = fit_chart(m).standalone();
  out["fit_by_year.svg"] = fit_by_year_chart(m).standalone();
  out["stability.svg"] = stability_figure(m).standalone();
  for (std::size_t i = 0; i < m.steps.size(); ++i) {
    out["step-" + std::to_string(m.steps[i].block->StepNumber) + ".svg"] =
        step_chart(m, i).standalone();
  }
  return out;
}

}  // namespace locseq::report
