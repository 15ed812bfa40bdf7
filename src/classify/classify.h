// The classification of a trial's locations for every step of a year
// sequence, written as a .CLS file that a run reads.
//
// Step k of the sequence uses data years IYS to IYS + k - 1. Each year's data
// are location-centred (and, when asked, standardised) as the run prepares
// them. A location is retained when, in every year of the window that has
// data, it has values for at least a share of the genotypes observed that
// year; one with no value at all in the window is left out; the others are
// eliminated, for the run to allocate. The retained locations are joined by
// Ward's method on their squared Euclidean distances over the genotypes
// present at all of them, summed over the years of the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "classify/trial.h"

namespace locseq::classify {

struct ClassifyOptions {
  // The first year of the sequence (IYS): a year number or a year name;
  // the first year when not given.
  std::optional<std::string> first_year{};
  // The last year asked for (IYF), likewise; the last year when not given.
  std::optional<std::string> last_year{};
  // The least share of a year's observed genotypes a location must have
  // values for, in every year of the window that has data, to be retained;
  // in (0, 1].
  double min_share = 0.8;
  // Standardise each location's data after centring (the .CLS then says
  // SEDTYP "S"); otherwise the data are only centred ("C").
  bool standardized = false;
  // The truncation level of the run (NGP) the steps must be cut at; the
  // run's default, the square-root rule of MAXL, when not given. A run of the
  // .CLS must be given the same level.
  std::optional<std::int32_t> groups{};
  // The job title, at most 50 columns; a short statement of the method when
  // not given.
  std::optional<std::string> title{};
};

// The entries of one step.
struct StepCounts {
  std::int32_t step = 0;          // k
  std::int32_t year = 0;          // the last data year of the window, IYS + k - 1
  std::int32_t retained = 0;      // locations retained (entry 1)
  std::int32_t eliminated = 0;    // locations eliminated (entry 0)
  std::int32_t left_out = 0;      // locations with no value in the window (entry 2)
  std::int64_t shared_cells = 0;  // genotype-years the distances run over (0 when not written)
};

struct ClassifyResult {
  std::string cls;  // the whole .CLS text
  // Remarks on the classification (years without data, the sequence ended
  // early, a year option read as a number though it is also a name); shown
  // as "locseq: FILE: warning: <text>".
  std::vector<std::string> warnings;
  std::vector<StepCounts> steps;  // the steps written, in order
  std::optional<StepCounts>
      stopped;             // the step that could not be cut, when the sequence ends early
  std::int32_t IYS = 0;    // the first year of the sequence written
  std::int32_t IYF = 0;    // the last year used
  std::int32_t level = 0;  // the truncation level the steps are cut for
};

// Classifies the locations of `t` for every step of the sequence, until the
// last year asked for or the last step the run can cut (more retained
// locations than the level and at most MAXL - level eliminated), whichever
// comes first; an early end gives a warning naming the next step. Throws
// InputError: for an option that is out of range (min_share outside (0, 1],
// groups outside 1 to MAXL, a year that names no year or names several, the
// first year after the last, a title with a line end), naming the option in
// place of a file; and, naming the .SEQ, for a sequence whose first step
// cannot be cut, a step whose retained locations share no cell, and a step
// too large for the record layouts (labels of at most four digits).
ClassifyResult classify(const Trial& t, const ClassifyOptions& options);

}  // namespace locseq::classify
