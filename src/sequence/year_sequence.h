// The year-sequence driver: the rest of .CLS, block by block.
#pragma once

#include "console/console.h"
#include "core/bundles.h"
#include "core/results.h"
#include "data/year_cache.h"
#include "sequence/sweep.h"

namespace locseq {

// Reads the head of the job (names, title, options, sequence years; asks
// whether to standardise again), then, for every SequenceBlock to the end of
// .CLS: reads it, cuts its hierarchy into groups, runs the SED pass over its
// years, allocates the eliminated locations, runs the MODFIT pass and
// reports the fit. Writes the fixed-layout reports as it goes and hands the
// head and every finished block to `observer`. `head` comes with its
// parameters; the rest is filled here. Throws InputError on bad input,
// after every record written so far.
// Prepared years are kept in `cache` for the later passes. With a `sweep`,
// every block is also cut, allocated and fitted at each of its levels, on
// the same prepared years (BlockResult::sweep); the first block without a
// fit at a level is warned about on .CLS.
void RunYearSequence(Carved a, RunHead& head, Units& u, Questions& q, ResultObserver& observer,
                     YearCache& cache, Sweep* sweep = nullptr);

}  // namespace locseq
