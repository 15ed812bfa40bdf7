// The files of a job as a run uses them: its three inputs, its three
// reports and any further outputs.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "files/input_file.h"
#include "files/output_plan.h"
#include "files/output_set.h"
#include "setup/dialogue.h"

namespace locseq::files {

// The files of a job, open for the whole run. In this order: the plan of
// the job's files and of `more` (its inputs, outputs and patterns after
// the job's own) is checked, so that no output can replace an input or
// another output; what dead commands left in the output folders is dealt
// with (see journal.h; said on `notes`); the inputs are opened, so a
// missing input ends the run before any output is prepared. Throws
// InputError naming the file at fault.
class JobFiles {
 public:
  JobFiles(const FileNames& names, const OutputPlan& more, std::ostream& notes);

  // Prepares the reports and the further outputs (nothing is replaced
  // before `outputs` is committed). Throws InputError naming the output.
  void prepare();

  std::optional<InputFile> cls, naq, seq;
  OutputSet outputs;
  std::ostream* sco = nullptr;
  std::ostream* cos = nullptr;
  std::ostream* alc = nullptr;
  std::vector<std::ostream*> further;  // in the order of more.outputs()

 private:
  std::size_t further_count_ = 0;
  static OutputPlan plan_of(const FileNames& names, const OutputPlan& more);
};

}  // namespace locseq::files
