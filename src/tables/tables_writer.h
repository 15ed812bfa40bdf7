// The results of a run as four CSV tables:
//   steps.csv        one row per block: its years, counts, overall fit and
//                    the stability of its groups
//   fit_by_year.csv  the fit of every data year of every block, per variant
//   groups.csv       the members of every group, retained and allocated
//   distances.csv    every eliminated location's mean distance to every group
// Groups are numbered 1 to CutLevel in the order of the reports, with their
// hierarchy label beside. NA stands exactly where a report prints 0.0 for an
// undefined value.
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <vector>

#include "core/results.h"
#include "findings/findings.h"

namespace locseq::tables {

// The file names of the tables, in the order the writer takes them.
inline constexpr std::array<const char*, 4> kTableNames = {"steps.csv", "fit_by_year.csv",
                                                           "groups.csv", "distances.csv"};

// Writes the tables as the results come: the heads with the run's head,
// the rows of each block as it ends. The columns of steps.csv are those of
// findings::step_columns().
class TablesWriter final : public ResultObserver {
 public:
  // `out` holds the four streams in the order of kTableNames.
  explicit TablesWriter(const std::array<std::ostream*, 4>& out) : out_(out) {}
  void head(const RunHead& head) override;
  void block(const BlockResult& block) override;

 private:
  std::array<std::ostream*, 4> out_;
  std::vector<Name8> year_names_;
  std::vector<Name8> location_names_;
  std::optional<findings::StepFindings> previous_;  // of the block before
};

}  // namespace locseq::tables
