// Opening the six files of a job.
#pragma once

#include <fstream>

#include "setup/dialogue.h"

namespace locseq {

// The six files, open for the whole run. The inputs are opened first, so a
// missing input ends the run before any output is created or changed; then
// names that reach the same file are refused (an output must never truncate
// an input or another output); then the outputs are created or emptied.
// Throws InputError naming the file at fault.
class FileSet {
 public:
  explicit FileSet(const FileNames& names);

  std::ifstream cls, naq, seq;
  std::ofstream sco, cos, alc;
};

// Throws InputError when two of the names reach the same file: the same
// existing file (by device and inode, so links count too) or the same path
// once made absolute and normal. Devices such as /dev/null are exempt.
void refuse_coinciding_names(const FileNames& names);

}  // namespace locseq
