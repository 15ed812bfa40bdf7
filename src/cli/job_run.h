// One run of the analysis on a job's files, with its outputs written in
// full at its normal end or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "console/console.h"
#include "core/diagnostics.h"
#include "core/results.h"
#include "files/output_file.h"
#include "setup/dialogue.h"
#include "setup/run_setup.h"

namespace locseq::cli {

// An output of a run besides its three reports, written from its results.
class RunWriter : public ResultObserver {
 public:
  // The files it writes; prepared, with the reports, before the run starts.
  virtual std::vector<std::string> outputs() const = 0;
  // Receives their streams, in the order of outputs(), before the run.
  virtual void attach(const std::vector<std::ostream*>& streams) = 0;
  // Writes what remains to write, at the normal end of the run; outputs
  // it adds to `outputs` now are committed with the others.
  virtual void finish(files::OutputSet& outputs) { (void)outputs; }
};

struct JobRun {
  FileNames names;                        // .CLS, .NAQ, .SEQ, .SCO, .COS, .ALC
  RunSettings settings;                   // the work areas and the year cache
  std::vector<RunWriter*> writers;        // further outputs
  mutable bool outputs_prepared = false;  // set once the outputs are prepared
};

// Opens the job's files (see JobFiles), runs the analysis with the console
// on `console` and warnings to `diagnostics`, and at its normal end (a
// refused run included) writes what the writers still hold and commits
// every output. Throws InputError, after which no output has changed.
SetUpResult run_job(const JobRun& job, Questions& questions, records::Unit& console,
                    Diagnostics& diagnostics);

// Runs `body` and returns its status; a failure it throws (bad input, a
// failed write, want of memory, an internal fault) is said on `err` as
// "locseq: MESSAGE", after the console is flushed and the warnings met are
// summed up, with a line saying that no report was written when `job` had
// prepared its outputs; the status is then 1.
int report_failures(std::ostream& console, std::ostream& err, const JobRun& job,
                    const std::function<int()>& body, const std::function<void()>& summary);

}  // namespace locseq::cli
