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
#include "files/output_plan.h"
#include "files/output_set.h"
#include "setup/dialogue.h"
#include "setup/run_setup.h"

namespace locseq::cli {

// An output of a run besides its three reports, written from its results.
class RunWriter : public ResultObserver {
 public:
  // Adds the files it writes (and any it reads) to the plan of the run,
  // which is checked, with the reports, before the run starts.
  virtual void plan(files::OutputPlan& plan) const = 0;
  // Reads what it needs of the job's files once the plan is checked and the
  // job's inputs are open, before any output is prepared.
  virtual void read() {}
  // Receives the streams of the outputs it planned, in that order, before
  // the run.
  virtual void attach(const std::vector<std::ostream*>& streams) = 0;
  // Writes what remains to write, at the normal end of the run: into its
  // planned outputs, or as further outputs its patterns reserved
  // (files::OutputSet::write); all are committed with the others.
  virtual void finish(files::OutputSet& outputs) { (void)outputs; }
};

// How far a command got with its outputs, for what its failure says.
enum class OutputStage {
  None,       // nothing prepared: nothing to say
  Prepared,   // temporaries made: none of them replaced anything
  Committed,  // the files were replaced; a device or pipe output failed
};

struct JobRun {
  FileNames names;                                  // .CLS, .NAQ, .SEQ, .SCO, .COS, .ALC
  RunSettings settings;                             // the work areas and the year cache
  std::vector<RunWriter*> writers;                  // further outputs
  std::vector<files::PlannedFile> inputs;           // further inputs (JOB.names.csv)
  mutable OutputStage outputs = OutputStage::None;  // set as the outputs are prepared
};

// Opens the job's files (see files::JobFiles; what is done about the
// leftovers of dead commands is said on `notes`), runs the analysis with
// the console on `console` and warnings to `diagnostics`, and at its normal
// end (a refused run included) writes what the writers still hold and
// commits every output. Throws InputError or Cancelled, after which no
// output has changed (unless job.outputs says Committed).
SetUpResult run_job(const JobRun& job, Questions& questions, records::Unit& console,
                    Diagnostics& diagnostics, std::ostream& notes);

// Runs `body` and returns its status; a failure it throws (bad input, a
// failed write, want of memory, a request to stop, an internal fault) is
// said on `err` as "locseq: MESSAGE", after the console is flushed and the
// warnings met are summed up, followed by what became of the outputs as
// `job` says; the status is then 1.
int report_failures(std::ostream& console, std::ostream& err, const JobRun& job,
                    const std::function<int()>& body, const std::function<void()>& summary);

}  // namespace locseq::cli
