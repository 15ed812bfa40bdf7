// The figures of the page. Each works out its geometry first, then draws
// it with the element writers of svg.h.
#pragma once

#include <cstddef>

#include "report/model.h"
#include "report/svg.h"

namespace locseq::report {

// Overall RSQ per step, both variants, as lines over the steps.
Figure fit_chart(const Model& m);

// RSQj as a heat map, steps by data years, a panel per variant; undefined
// values hatched.
Figure fit_by_year_chart(const Model& m);

// The adjusted Rand index of each step with the previous one, as bars.
Figure stability_chart(const Model& m);

// Each location's group in each step: colour and number, allocated
// locations framed, changes marked.
Figure group_map_chart(const Model& m);

// The two stability figures side by side in one (for stability.svg).
Figure stability_figure(const Model& m);

// The adjusted RSQ of every step against the number of groups, a line per
// step, the last step's emphasised (run --sweep).
Figure sweep_chart(const Model& m);

// The dendrogram of step i (from 0), with its groups and cut line.
Figure step_chart(const Model& m, std::size_t i);

}  // namespace locseq::report
