// The year-sequence driver: the rest of .CLS, block by block.
#pragma once

#include "setup/units.h"
#include "setup/work_areas.h"

namespace locseq {

// Reads the job title, the options and the sequence years from .CLS (which
// stands after the run parameters), echoes them, asks whether to
// standardise again when the data were standardised, and then, for every
// SequenceBlock to the end of .CLS: reads and echoes it, cuts its hierarchy
// into groups, runs the SED pass over its years and allocates the
// eliminated locations, runs the MODFIT pass and reports the fit. Overwrites
// IYS and IYF with the sequence years. Throws InputError on bad input, after
// every record written so far.
void RunYearSequence(const Arrays& a, RunParameters& p, Units& u);

}  // namespace locseq
