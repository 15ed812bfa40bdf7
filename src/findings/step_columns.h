// The columns of a step: one table from which both steps.csv and the page's
// table of the steps are written, so that the two list the same values
// under the same names in the same order. A new column of steps.csv is a
// new entry here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

#include "core/arrays.h"
#include "core/results.h"
#include "findings/findings.h"

namespace locseq::findings {

// One step, as the columns read it.
struct StepRow {
  const BlockResult& block;
  const StepFindings& findings;
};

// A value of a column: a whole number, a real number (none where it is
// undefined: NA), or a name of the job.
using StepValue = std::variant<std::int64_t, std::optional<double>, Name8>;

struct StepColumn {
  std::string_view name;   // its header in steps.csv, and its name on the page
  std::string_view label;  // what the page calls it
  std::string_view part;   // on the page, the heading of the rows it starts ("" none)
  StepValue (*value)(const StepRow&);
};

// The columns in the order of steps.csv.
std::span<const StepColumn> step_columns();

}  // namespace locseq::findings
