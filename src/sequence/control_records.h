// The control records of .CLS after the run parameters: the head of the
// job and one SequenceBlock after another, echoed as they are read.
#pragma once

#include <span>

#include "console/console.h"
#include "core/bundles.h"
#include "core/results.h"

namespace locseq {

// Lines of .CLS that later checks name.
struct ClsLines {
  long years = 0;      // the sequence-years record
  long header = 0;     // the header of the current block
  long count = 0;      // its retained count
  long hierarchy = 0;  // its first hierarchy record
};

// The head of the job, once per run: reads and echoes the name lists
// (.NAQ) into `names` and `head`. Throws InputError on bad input.
void ReadJobNames(const NameLists& names, Units& u, RunHead& head);

// Then reads and echoes the job title, the options and the sequence years
// (.CLS), asks whether to standardise again when the data were
// standardised, and writes " For each year". Throws InputError on bad input.
void ReadJobControl(Units& u, Questions& q, RunHead& head, ClsLines& at);

// Reads the header of the next block into `block` (its StepNumber already
// set) and echoes it; false when .CLS ends instead.
bool ReadBlockHeader(Units& u, BlockResult& block, ClsLines& at);

// Reads and echoes the retained count, the elimination vector and the
// hierarchy records of the block into `g` and `block`, and checks that they
// agree with each other and with the run (NGP, MAXL). Sets RetainedCount and
// CutLevel. Throws InputError on bad or inconsistent input.
void ReadBlockBody(Grouping& g, std::int32_t NGP, Units& u, BlockResult& block, ClsLines& at);

// Warns that the data years of the block (at the .CLS line `header`) hold
// no observation in .SEQ.
void WarnEmptyBlock(const records::FileReader& cls, long header, const BlockResult& block,
                    const std::string& seq_name);

// Cuts the block's hierarchy into groups (CutHierarchy) and settles the
// data years of its passes, IYS to IYS + k - 1, which must lie within 1 to
// MAXY. Throws InputError naming the .CLS line at fault.
void CutBlock(Grouping& g, const RunHead& head, Units& u, BlockResult& block, const ClsLines& at);

// Echoes one name list to .SCO, ten names to a record (as ReadJobNames does).
void write_names(std::span<const Name8> names, records::Unit& sco);

}  // namespace locseq
