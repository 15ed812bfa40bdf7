// The results of a run as five CSV tables:
//   steps.csv        one row per block: its years, counts, overall fit, the
//                    stability of its groups and the fit adjusted for the
//                    number of groups
//   fit_by_year.csv  the fit of every data year of every block, per variant
//   groups.csv       the members of every group, retained and allocated,
//                    with the group's lineage
//   distances.csv    every eliminated location's mean distance to every group
//   membership.csv   a row per location, a column per step: the lineage of
//                    its group (findings/lineage.h), NA for none
//   sweep.csv        (run --sweep) a row per step and truncation level: the
//                    fit at that level, NA where the step has none
// Groups are numbered 1 to CutLevel in the order of the reports, with their
// hierarchy label beside. NA stands exactly where a report prints 0.0 for an
// undefined value.
//
// Every table is a list of columns, each a name, a type and a getter
// (tables_writer.cpp): the rows go to a TableSink as typed fields, which
// the CSV files are written from and an embedding host keeps as columns. A
// new column is a new entry of its table's list.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "core/results.h"
#include "findings/findings.h"
#include "tables/table.h"

namespace locseq::tables {

// The file names of the tables, in the order the writer takes them.
inline constexpr std::array<const char*, 5> kTableNames = {
    "steps.csv", "fit_by_year.csv", "groups.csv", "distances.csv", "membership.csv"};
// The table of a sweep, after them.
inline constexpr const char* kSweepTable = "sweep.csv";

// Writes the tables as the results come: the heads with the run's head,
// the rows of each block as it ends, and membership.csv, a column per
// step, at the finish. The columns of steps.csv are those of
// findings::step_columns().
class TablesWriter final : public ResultObserver {
 public:
  // `out` holds the sinks in the order of kTableNames; `sweep` is that of
  // sweep.csv, none without a sweep.
  explicit TablesWriter(const std::array<TableSink*, kTableNames.size()>& out,
                        TableSink* sweep = nullptr)
      : out_(out), sweep_(sweep) {}
  // The tables as CSV on the streams `out`, in the order of kTableNames,
  // and sweep.csv on `sweep` when given.
  explicit TablesWriter(const std::array<std::ostream*, kTableNames.size()>& out,
                        std::ostream* sweep = nullptr);
  void head(const RunHead& head) override;
  void block(const BlockResult& block) override;
  // Writes membership.csv; once, after the last block. Nothing (as in the
  // other tables) when the run never came to its head.
  void finish();

 private:
  std::vector<std::unique_ptr<CsvSink>> csv_;  // the sinks this writer made
  std::array<TableSink*, kTableNames.size()> out_;
  TableSink* sweep_ = nullptr;
  bool headed_ = false;
  std::vector<Name8> year_names_;
  std::vector<Name8> location_names_;
  std::optional<findings::StepFindings> previous_;                // of the block before
  std::vector<std::map<std::int32_t, std::int32_t>> lineage_of_;  // per step: location -> lineage
};

}  // namespace locseq::tables
