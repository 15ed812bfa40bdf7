// What the page and the figures are drawn from: the results with the names
// to show, each step's dendrogram, memberships and changes worked out once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/results.h"
#include "findings/stability.h"
#include "report/dendrogram.h"
#include "report/page.h"

namespace locseq::report {

using findings::memberships;
using findings::Move;
using findings::moved_locations;
using findings::stability_ari;

// One step (block) as drawn.
struct StepView {
  const BlockResult* block = nullptr;               // the results of the block
  std::string name;                                 // its SequenceYearName, trimmed (not escaped)
  std::vector<std::int32_t> retained;               // location of hierarchy label t at t - 1
  DendrogramLayout layout;                          // its dendrogram
  std::map<std::int32_t, std::int32_t> membership;  // location -> group, retained and allocated
  std::optional<double> ari;  // stability_ari with the previous step (not the first)
  std::vector<Move> moves;    // locations that changed group since the previous step
};

// The whole run as drawn.
struct Model {
  const RunHead* head = nullptr;        // the job's head
  const PageJob* job = nullptr;         // what the caller adds
  std::vector<StepView> steps;          // one per block, in order
  std::vector<std::int32_t> map_order;  // locations in the order of the group map
  std::int32_t first_year = 0;          // first data year of any step (0 without steps)
  std::int32_t last_year = 0;           // last data year of any step

  // The name to show for location l: its full name when the job gives one,
  // else its 8-character name, else "location l". Not escaped.
  std::string location(std::int32_t l) const;
  // The name of data year y, else "year y". Not escaped.
  std::string year(std::int32_t y) const;
  // "step k (NAME)" for step index i (from 0). Not escaped.
  std::string step_title(std::size_t i) const;
  // Index of the step with the highest defined overall RSQ of the variant
  // (the first on a tie), or nullopt when none is defined.
  std::optional<std::size_t> best_step(Variant v) const;
};

// Works out the model. The results are referred to, not copied: head,
// blocks and job must outlive it.
Model make_model(const RunHead& head, const std::vector<BlockResult>& blocks, const PageJob& job);

}  // namespace locseq::report
