// Opening the files of a job: its three inputs, its three reports and any
// further outputs.
#pragma once

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "files/output_file.h"
#include "setup/dialogue.h"

namespace locseq::cli {

// The files of a job, open for the whole run. The inputs are opened first,
// so a missing input ends the run before any output is prepared; then names
// that reach the same file are refused (an output must never replace an
// input or another output); then the reports and the further outputs are
// prepared (see files::OutputFile: nothing is replaced before `outputs` is
// committed). Throws InputError naming the file at fault.
class JobFiles {
 public:
  JobFiles(const FileNames& names, const std::vector<std::string>& further_outputs);

  std::ifstream cls, naq, seq;
  files::OutputSet outputs;
  std::ostream* sco = nullptr;
  std::ostream* cos = nullptr;
  std::ostream* alc = nullptr;
  std::vector<std::ostream*> further;  // in the order of further_outputs
};

// One named file of a job, for the check below: its kind (".CLS", "the
// tables", ...) and its name.
struct NamedFile {
  std::string kind;
  std::string name;
};

// Throws InputError when two of the files reach the same file: the same
// existing file (by device and inode, so links count too) or the same path
// once made absolute and normal. Devices such as /dev/null are exempt.
void refuse_coinciding_names(const std::vector<NamedFile>& files);

// Throws InputError for the first of `names` that exists already, unless
// `force`.
void refuse_existing(const std::vector<std::string>& names, bool force);

// Writes the files of a new job, each in full or none at all: a file that
// exists already is refused (before anything is written) unless `force`.
// Throws InputError naming the file at fault.
void write_new_files(const std::vector<std::pair<std::string, std::string>>& files, bool force);

}  // namespace locseq::cli
