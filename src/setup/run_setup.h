// The run set-up: run parameters, truncation level, parameter summary,
// dimension checks and the carving of the work areas.
#pragma once

#include <cstdint>

#include "console/console.h"
#include "core/results.h"
#include "setup/work_areas.h"

namespace locseq {

// The truncation level by the square-root rule: the smallest whole number
// whose square is at least maxl (maxl >= 1).
std::int32_t square_root_rule(std::int32_t maxl);

enum class SetUpOutcome { Ran, Refused };

// Reads the run parameters from .CLS, settles NGP (asking `q`), writes the
// parameter summary and the dimension table, and, when every area of
// `areas` is large enough, clears and carves the areas and runs the year
// sequence, handing its results to `observer`. A refused run returns
// normally after its messages. Throws InputError on bad input.
SetUpOutcome RunSetUp(WorkAreas& areas, Units& u, Questions& q, ResultObserver& observer);

}  // namespace locseq
