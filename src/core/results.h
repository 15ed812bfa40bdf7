// The results of a run as values: what the fixed-layout reports, the tables
// and the page are written from. Numbers are the ones the analysis computed,
// never rounded for a report; a value a report prints as a stand-in 0.0
// carries a flag that says it is undefined.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/arrays.h"
#include "core/run_parameters.h"

namespace locseq {

// What the job says before its first block.
struct RunHead {
  RunParameters parameters;  // the head of .CLS, with NGP settled
  std::string JobTitle;      // the 50 columns of the title record, blanks kept
  std::array<char, 4> options{' ', ' ', ' ', ' '};  // WEIGHT, PRXTYP, SEDTYP, CORTYP
  std::int32_t IYS = 0;              // first data year of the sequence (the sequence-years record)
  std::int32_t IYF = 0;              // last year of the sequence (only echoed)
  bool standardise = false;          // every pass year is standardised after centring
  std::vector<Name8> YearNames;      // MAXY names, year y at y - 1
  std::vector<Name8> LocationNames;  // MAXL names
  std::vector<Name8> GenotypeNames;  // MAXG names
};

// One record of a block's fusion hierarchy, as read.
struct HierarchyRecord {
  std::int32_t Gpi = 0;   // first group joined
  std::int32_t Gpj = 0;   // second group joined
  std::int32_t Gpij = 0;  // the label written for the new group (only echoed)
  float D = 0.0f;         // the fusion level D(ij) (only echoed)
};

// One group of a block after the cut, numbered by its place in the block,
// with how far each of its locations lies from its centroid (the means of
// its retained members, against which the allocation measures): the mean
// squared distance per shared cell over the block's data years.
struct Group {
  std::int32_t label = 0;                       // its hierarchy label
  std::vector<std::int32_t> members;            // locations as classified, in member-list order
  std::vector<std::int32_t> allocated;          // eliminated locations allocated to it, in order
  std::vector<std::int32_t> member_cells = {};  // per member: the squared differences summed
  std::vector<double> member_sed = {};          // per member: their mean; 0.0 where
                                                // member_cells is 0 (undefined)
  std::vector<double> allocated_sed = {};       // per allocated location: its mean distance
                                                // to the group, as the allocation measured it
};

// One eliminated location of a block and its distances to every group.
struct EliminatedLocation {
  std::int32_t location = 0;        // location number
  std::vector<std::int32_t> cells;  // per group: the squared differences summed (SedCounts)
  std::vector<double> mean_sed;     // per group: their mean; 0.0 where cells is 0 (undefined)
  std::int32_t group = 0;           // the group it was allocated to (1-based), 0 for none
};

// Sums of squares of a fit and their ratio.
struct FitSums {
  double TSS = 0.0;
  double ESS = 0.0;
  double RSS = 0.0;
  double RSQ = 0.0;          // ESS / TSS where defined, else 0.0
  bool rsq_defined = false;  // false where the reports print a stand-in 0.0
};

// The fit of one data year in one variant.
struct YearFit {
  std::int32_t year = 0;    // data-year number
  std::int32_t LocMod = 0;  // member locations with a present cell
  FitSums sums;
};

// The fit of one variant over the years of a block.
struct VariantFit {
  std::vector<YearFit> years;  // first_year to last_year
  FitSums overall;
};

// The fit variants, in report order.
enum Variant : int { kClassified = 0, kWithAllocated = 1 };

// Why a block has no fit at a truncation level of a sweep: what a run at
// that level would refuse.
enum class LevelBar : unsigned char {
  kNone,       // it is cut and fitted
  kRetained,   // the block retains no more locations than the level
  kAreas,      // the fixed work areas cannot hold the level
  kHierarchy,  // a hierarchy record the level applies (the run's level does not) is bad
  kNumbers,    // a sum at that level is not a finite number
};

// A block cut at another truncation level (run --sweep): the fit a run at
// that level reports for it, the same numbers to the bit.
struct LevelFit {
  std::int32_t groups = 0;         // the truncation level
  LevelBar bar = LevelBar::kNone;  // why the block has no fit at it; `fit` is then empty
  long record = 0;                 // kHierarchy: the record (within the block) at fault
  std::string why;                 // kHierarchy, kNumbers: what is wrong
  std::array<VariantFit, 2> fit;   // indexed by Variant, as BlockResult::fit
};

// Everything a block computed.
struct BlockResult {
  std::int32_t StepNumber = 0;                  // k: the block's place in .CLS, from 1
  std::int32_t SequenceYear = 0;                // from the block header (only printed)
  Name8 SequenceYearName{};                     // from the block header
  std::int32_t first_year = 0;                  // data years of the passes: IYS ...
  std::int32_t last_year = 0;                   // ... to IYS + k - 1
  std::int32_t RetainedCount = 0;               // locations retained in the classification
  std::int32_t CutLevel = 0;                    // groups the hierarchy is cut into
  std::vector<std::int32_t> EliminationVector;  // MAXL entries: 1 retained, 0 eliminated
  std::vector<HierarchyRecord> hierarchy;       // RetainedCount - 1 records; the first
                                                // RetainedCount - CutLevel are applied
  std::vector<Group> groups;                    // NGP groups, in report order
  std::vector<EliminatedLocation> eliminated;   // in ascending location order
  std::array<VariantFit, 2> fit;                // indexed by Variant
  std::vector<LevelFit> sweep;                  // every level of a sweep, ascending (none
                                                // without one)
};

// Receives the results of a run as they are made: the head once, then every
// block when it is complete.
class ResultObserver {
 public:
  virtual ~ResultObserver() = default;
  virtual void head(const RunHead&) {}
  virtual void block(const BlockResult&) {}
};

}  // namespace locseq
