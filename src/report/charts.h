// The figures of the page, each one SVG element (standalone with the XML
// declaration added). Every text of the job in them is escaped.
#pragma once

#include <cstddef>
#include <string>

#include "report/model.h"

namespace locseq::report {

// Overall RSQ per step, both variants, as lines over the steps.
std::string fit_chart(const Model& m);

// RSQj as a heat map, steps by data years, a panel per variant; undefined
// values hatched.
std::string fit_by_year_chart(const Model& m);

// The adjusted Rand index of each step with the previous one, as bars.
std::string stability_chart(const Model& m);

// Each location's group in each step: colour and number, allocated
// locations framed, changes marked.
std::string group_map_chart(const Model& m);

// The two stability figures side by side in one (for stability.svg).
std::string stability_figure(const Model& m);

// The dendrogram of step i (from 0), with its groups and cut line.
std::string step_chart(const Model& m, std::size_t i);

}  // namespace locseq::report
