// The run set-up: run parameters, truncation level, parameter summary,
// dimension checks and the carving of the work areas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "console/console.h"
#include "core/results.h"
#include "sequence/sweep.h"
#include "setup/work_areas.h"

namespace locseq {

// Reads the five run parameters MAXY, MAXL, MAXG, IYS, IYF from the head of
// .CLS (free format) and derives NYA and NTM. Throws InputError when the
// head is short or malformed, or when MAXY, MAXL or MAXG is below 1.
RunParameters ReadRunParameters(records::FileReader& cls);

// Settles NGP: the square-root rule, or the level `q` gives, which must lie
// in 1 to MAXL (else `q` refuses it).
void SettleTruncationLevel(Questions& q, RunParameters& p);

// The truncation level by the square-root rule: the smallest whole number
// whose square is at least maxl (maxl >= 1).
std::int32_t square_root_rule(std::int32_t maxl);

enum class SetUpOutcome { Ran, Refused };

struct SetUpResult {
  SetUpOutcome outcome = SetUpOutcome::Ran;
  std::string refusal;  // a refused run: the records that said why, as on the console
};

// The work areas a run gets: fixed capacities, or none given, for areas
// sized to the job.
using AreaPolicy = std::optional<Capacities>;

// How a run is set up beyond its files and answers.
struct RunSettings {
  AreaPolicy areas = kFixedCapacities;  // the work areas
  // The memory prepared years may take, kept for later passes (0: every
  // pass reads .SEQ again).
  std::int64_t cache_bytes = std::int64_t{256} << 20;
  // The truncation levels to cut every block at besides NGP (none: no
  // sweep). A level the fixed work areas could not hold gets no fit.
  SweepRange sweep{};
};

// The largest MAXL the reports can show: group labels run to 2 MAXL - 1 in
// four columns.
inline constexpr std::int32_t kMaxLocations = 5000;

// Reads the run parameters from .CLS, settles NGP (asking `q`), writes the
// parameter summary and the dimension table, and, when every work area is
// large enough, clears and carves the areas and runs the year sequence,
// handing its results to `observer`. With fixed capacities a job that needs
// more is refused: the run returns normally after its messages. Areas sized
// to the job are never too small, but a job beyond what the report layouts
// can show is an error. Throws InputError on bad input.
SetUpResult RunSetUp(Units& u, Questions& q, const RunSettings& settings, ResultObserver& observer);

}  // namespace locseq
