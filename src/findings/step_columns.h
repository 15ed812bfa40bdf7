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

// How a column reads a step: a function whose result type is the column's
// type, so that the type is known before any step is (a table of no rows
// still has typed columns).
class StepGetter {
 public:
  // From a function, or a lambda without captures, of a StepRow.
  template <class F>
  constexpr StepGetter(F f) : get_(+f) {}  // NOLINT(google-explicit-constructor): table entries
  StepValue operator()(const StepRow& r) const {
    return std::visit([&](auto get) { return StepValue(get(r)); }, get_);
  }
  // The alternative of StepValue every value of the column holds.
  std::size_t type() const { return get_.index(); }

 private:
  std::variant<std::int64_t (*)(const StepRow&), std::optional<double> (*)(const StepRow&),
               Name8 (*)(const StepRow&)>
      get_;
};

struct StepColumn {
  std::string_view name;   // its header in steps.csv, and its name on the page
  std::string_view label;  // what the page calls it
  std::string_view part;   // on the page, the heading of the rows it starts ("" none)
  StepGetter value;
};

// The columns in the order of steps.csv.
std::span<const StepColumn> step_columns();

}  // namespace locseq::findings
