// What `locseq run` shows by default: a line per step as each is done,
//
//     step  year      retained  eliminated  groups  RSQ classified  with allocated
//        1  2019            17           3       5          0.7849          0.7649
//
// and, once the outputs are committed, the files written.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/job_run.h"

namespace locseq::cli {

class RunSummary final : public RunWriter {
 public:
  explicit RunSummary(std::ostream& out) : out_(out) {}
  void plan(files::OutputPlan&) const override {}
  void attach(const std::vector<std::ostream*>&) override {}
  void block(const BlockResult& b) override;
  std::int32_t steps() const { return steps_; }

 private:
  std::ostream& out_;
  std::int32_t steps_ = 0;
};

// Every name the outputs of a run with options `o` are written to: the
// reports (`names` 3 to 5), the tables, the page, the figures but step-K.svg.
std::vector<std::string> output_names(const RunOptions& o, const FileNames& names);

// "locseq: wrote J.SCO J.COS J.ALC, T/ (4 tables), P.html, D/ (9 figures)":
// what a run of `steps` steps with options `o` wrote.
std::string written_line(const RunOptions& o, const FileNames& names, std::int32_t steps);

// Whether the file on `fd` (a regular file, a pipe or a socket; not a
// device) is one of `names`, links followed, by device and inode: text
// written on `fd` would then be mixed into that output.
bool among_outputs(int fd, const std::vector<std::string>& names);

}  // namespace locseq::cli
