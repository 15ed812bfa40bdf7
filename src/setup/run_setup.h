// The run set-up: run parameters, truncation level, parameter summary,
// dimension checks and the carving of the work areas.
#pragma once

#include <array>
#include <cstdint>

#include "setup/units.h"
#include "setup/work_areas.h"

namespace locseq {

// The truncation level by the square-root rule: the smallest whole number
// whose square is at least maxl (maxl >= 1).
std::int32_t square_root_rule(std::int32_t maxl);

// Required sizes of DZ, Z, MZ and AZ: one past the last element of each
// area's last array. Formed in 64 bits, saturating, so a huge head is
// reported as huge, never wrapped.
std::array<std::int64_t, 4> required_sizes(const RunParameters& p);

// Carves the areas into the arrays of the analysis (sizes already checked)
// and sizes the enlarged membership.
Arrays carve(WorkAreas& areas, const RunParameters& p);

// Reads the run parameters from .CLS, settles NGP on the console, writes the
// parameter summary and the dimension table, and, when every area is large
// enough, clears and carves the areas and runs the year sequence. A refused
// run returns normally after its messages. Throws InputError on bad input.
void RunSetUp(WorkAreas& areas, Units& u);

}  // namespace locseq
