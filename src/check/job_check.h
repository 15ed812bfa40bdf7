// Checking a whole job without running the analysis or writing any file:
// everything the run reads, read as the run reads it, and the parts a run
// never reads (.SEQ records of years beyond the last block, lines beyond
// the names).
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "core/input_error.h"
#include "setup/run_setup.h"

namespace locseq::check {

struct CheckOptions {
  std::optional<std::int32_t> groups;   // the truncation level; none for the square-root rule
  bool standardise = false;             // standardise again (as the run's -s)
  AreaPolicy areas = kFixedCapacities;  // the work areas the run would get
};

// One input of the job.
struct Input {
  std::istream& in;
  std::string name;
};

// Checks the job: .CLS (up to its first error), .NAQ (up to its first
// error) and every line of .SEQ. Warnings go to `warnings` as they are met;
// the errors are returned in the order found (at most one each for .CLS and
// .NAQ, any number for .SEQ).
std::vector<InputError> check_job(const Input& cls, const Input& naq, const Input& seq,
                                  const CheckOptions& options, Diagnostics& warnings);

}  // namespace locseq::check
