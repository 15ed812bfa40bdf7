// The classification of a trial's locations for every step of a year
// sequence, written as a .CLS file that a run reads.
//
// Step k of the sequence uses data years IYS to IYS + k - 1 (its window).
// Each year's data are location-centred (and, when asked, standardised) as
// the run prepares them. A location is present in a year when it has values
// for at least a share of the genotypes observed that year. Two proximities:
//
// - pairwise (the default): a location is a candidate when present in at
//   least a share of the window's years with data; candidates are
//   eliminated one by one while two of them share too few cells (year and
//   genotype with a value at both); the distance of two retained locations
//   is their squared Euclidean distance over the cells they share, scaled
//   up to all the cells with a value at some retained location.
// - complete: a location is retained when present in every year of the
//   window with data; the distances run over the genotypes present at every
//   retained location.
//
// A location with no value in the window is left out; the others not
// retained are eliminated, for the run to allocate. The retained locations
// are joined by Ward's method.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "classify/trial.h"
#include "classify/ward.h"

namespace locseq::classify {

enum class Proximity {
  pairwise,  // every two locations over the cells they share
  complete,  // every location over the cells all retained locations share
};

struct ClassifyOptions {
  // The first year of the sequence (IYS): a year number or a year name;
  // the first year when not given.
  std::optional<std::string> first_year{};
  // The last year asked for (IYF), likewise; the last year when not given.
  std::optional<std::string> last_year{};
  Proximity proximity = Proximity::pairwise;
  // The least share of a year's observed genotypes a location must have
  // values for to be present that year; in (0, 1].
  double min_share = 0.8;
  // Pairwise: the least share of the window's years with data a location
  // must be present in to be a candidate; in (0, 1].
  double min_years = 0.5;
  // Pairwise: the fewest cells every two retained locations must share;
  // at least 1.
  std::int32_t min_cells = 10;
  // Standardise each location's data after centring (the .CLS then says
  // SEDTYP "S"); otherwise the data are only centred ("C").
  bool standardized = false;
  // The truncation level of the run (NGP) the steps must be cut at; the
  // run's default, the square-root rule of MAXL, when not given. A run of the
  // .CLS must be given the same level.
  std::optional<std::int32_t> groups{};
  // The job title, at most 50 columns. When not given: the trial's name,
  // the number of seasons of the sequence and the proximity,
  // "NAME: 14 seasons, pairwise Ward", the name cut to fit.
  std::optional<std::string> title{};
  // The trial's name for the default title (the table's name without its
  // extension, or the job's name); none: the title starts with the seasons.
  std::string name{};
};

// The entries of one step.
struct StepCounts {
  std::int32_t step = 0;        // k
  std::int32_t year = 0;        // the last data year of the window, IYS + k - 1
  std::int32_t retained = 0;    // locations retained (entry 1)
  std::int32_t eliminated = 0;  // locations eliminated (entry 0)
  std::int32_t left_out = 0;    // locations with no value in the window (entry 2)
  // The cells (genotype-years) the distances run over (0 when not
  // written): complete, the genotypes present at all retained locations;
  // pairwise, those with a value at some retained location (N).
  std::int64_t shared_cells = 0;
};

struct ClassifyResult {
  std::string cls;  // the whole .CLS text
  // Remarks on the classification (years without data, the sequence ended
  // early, a year option read as a number though it is also a name); shown
  // as "locseq: FILE: warning: <text>".
  std::vector<std::string> warnings;
  // What the user should know that is not a fault (the start of a pairwise
  // sequence moved past years that cannot be cut alone); shown as
  // "locseq: FILE: note: <text>".
  std::vector<std::string> notes;
  std::vector<StepCounts> steps;  // the steps written, in order
  // The fusions of each step written, at full precision (.CLS holds ten
  // columns of each level).
  std::vector<std::vector<Fusion>> hierarchies;
  std::optional<StepCounts>
      stopped;             // the step that could not be cut, when the sequence ends early
  std::int32_t IYS = 0;    // the first year of the sequence written
  std::int32_t IYF = 0;    // the last year used
  std::int32_t level = 0;  // the truncation level the steps are cut for
};

// Classifies the locations of `t` for every step of the sequence, until the
// last year asked for or the last step the run can cut (more retained
// locations than the level and at most MAXL - level eliminated), whichever
// comes first; an early end gives a warning naming the next step, and names
// an option only with a value checked to let that step be cut. Pairwise
// without first_year, a sequence starts at the first year whose step alone
// can be cut (with a note naming the years passed over). Throws InputError:
// for an option that is out of range (min_share or min_years outside (0, 1],
// min_cells below 1, groups outside 1 to MAXL, a year that names no year or
// names several, the first year after the last, a title with a line end),
// naming the option in place of a file; and, naming the .SEQ, for a
// sequence whose first step cannot be cut, a step whose retained locations
// share no cell (complete), a value that is not finite once centred, and a
// step too large for the record layouts (labels of at most four digits).
ClassifyResult classify(const Trial& t, const ClassifyOptions& options);

}  // namespace locseq::classify
