// What the page and the figures are drawn from: the results with their
// findings, the names to show, and each step's dendrogram, worked out once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/results.h"
#include "findings/findings.h"
#include "report/dendrogram.h"
#include "report/markup.h"
#include "report/page.h"
#include "report/palette.h"

namespace locseq::report {

using findings::Move;

// One step (block) as drawn.
struct StepView {
  const BlockResult* block = nullptr;             // the results of the block
  const findings::StepFindings* found = nullptr;  // and its findings
  JobText name;                                   // its SequenceYearName, trimmed
  std::vector<std::int32_t> retained;             // location of hierarchy label t at t - 1
  DendrogramLayout layout;                        // its dendrogram
};

// The whole run as drawn. Refers to the results, which must outlive it.
struct Model {
  const RunHead* head = nullptr;        // the job's head
  const PageJob* job = nullptr;         // what the caller adds
  findings::RunFindings findings;       // of all blocks
  std::vector<StepView> steps;          // one per block, in order
  std::vector<std::int32_t> map_order;  // locations in the order of the group map
  std::int32_t first_year = 0;          // first data year of any step (0 without steps)
  std::int32_t last_year = 0;           // last data year of any step
  std::map<std::int32_t, std::int32_t> colour_slots;  // lineage -> slot of group_colour

  Model() = default;
  Model(const Model&) = delete;  // the steps point into `findings`
  Model(Model&&) = default;

  // The name to show for location l: its full name when the job gives one,
  // else its 8-character name, else "location l".
  JobText location(std::int32_t l) const;
  // The name of data year y, else "year y".
  JobText year(std::int32_t y) const;
  // "step k (NAME)" for step index i (from 0).
  Text step_title(std::size_t i) const;

  // Groups are coloured by lineage, so that a group keeps its colour from
  // step to step. The lineage of group k (from 1) of step i, 0 for none.
  std::int32_t lineage(std::size_t i, std::int32_t k) const;
  // The fill of a lineage, and the ink that reads on it (those of "no
  // group" for 0).
  Colour lineage_fill(std::int32_t lineage) const;
  Colour lineage_ink(std::int32_t lineage) const;
};

// The colour slot of every lineage: step by step, each new lineage (in
// lineage order) takes, of the slots no other lineage of its step holds,
// one never held before (the lowest), else the one whose lineage ended
// longest ago, and keeps it while it lasts. So the groups of a step never
// share a colour unless the step has more groups than there are colours,
// and a new lineage does not look like one that just ended.
std::map<std::int32_t, std::int32_t> colour_slots(const findings::RunFindings& found);

// Works out the model.
Model make_model(const RunHead& head, const std::vector<BlockResult>& blocks, const PageJob& job);

}  // namespace locseq::report
