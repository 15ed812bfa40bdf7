// Outputs written in full or not at all. Each output is written to a
// temporary file beside its final name and moved over it only when the run
// ends normally; a run that fails, or is stopped by a signal, leaves the
// earlier file exactly as it was and no temporary file behind.
#pragma once

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace locseq::files {

class OutputFile {
 public:
  // Prepares the output `name`. A symbolic link is followed to its target,
  // which is what gets replaced. A character device or a pipe is written
  // directly. Anything else must be a regular file (or not exist yet) in a
  // folder where a file can be made: throws InputError naming `name` when
  // it is a folder, when an existing file cannot be written, or when its
  // folder takes no new file.
  explicit OutputFile(const std::string& name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  std::ostream& stream() { return out_; }
  const std::string& name() const { return name_; }

  // Finishes the writing: flushes and closes the output. Throws InputError
  // when that fails.
  void close();
  // Moves the temporary file over the final name, with the permissions the
  // earlier file had (or the usual ones for a new file). Throws InputError
  // when that fails.
  void commit();

 private:
  void discard() noexcept;

  std::string name_;       // as the user gave it
  std::string target_;     // the file replaced (a link's target)
  std::string temporary_;  // where the output is written; empty when direct
  int slot_ = -1;          // its place among the files removed on a signal
  std::ofstream out_;
  bool committed_ = false;
};

// The outputs of one run, committed together at its normal end. Those not
// committed are discarded when the set goes.
class OutputSet {
 public:
  // Prepares an output (see OutputFile) and returns its stream.
  std::ostream& add(const std::string& name);
  // Closes every output and then, when all were written in full, commits
  // them in the order they were added.
  void commit();
  bool empty() const { return files_.empty(); }

 private:
  std::vector<std::unique_ptr<OutputFile>> files_;
};

// A folder for outputs, made (with its parents) if missing. The folders it
// made are removed again, when still empty, if the run does not keep them:
// when the object goes (a failed run) or on a signal.
class OutputFolder {
 public:
  // Throws InputError naming `folder` when it cannot be made.
  explicit OutputFolder(const std::string& folder);
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;
  const std::string& path() const { return folder_; }
  // The run ended normally: the folders stay.
  void keep();

 private:
  std::string folder_;
  std::vector<std::string> made_;  // the folders made, the outermost first
  std::vector<int> slots_;         // their places among those removed on a signal
};

// Removes the temporary files of the outputs not yet committed, and the
// folders made for them, when the program gets SIGINT, SIGTERM, SIGHUP or
// SIGPIPE, says so on standard error, and then ends by the signal as it
// would have.
void remove_temporaries_on_signals();

}  // namespace locseq::files
