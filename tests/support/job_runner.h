// Running the built program on a job in a fresh working folder, as a user
// would: the job's files in the folder, the answers on standard input.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace locseq::testing {

namespace fs = std::filesystem;

struct JobRun {
  int status = -1;      // exit status, or 128 + signal, or -1 after a time-out
  std::string console;  // standard output
  std::string error;    // standard error
  fs::path folder;      // the working folder, with every file the run left
};

// A fresh, empty folder under the system's temporary folder, removed with
// the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs `program` with `args` in `folder` with `answers` on standard input;
// kills it after `timeout_seconds`.
JobRun run_job(const fs::path& program, const fs::path& folder, const std::string& answers,
               int timeout_seconds = 120, const std::vector<std::string>& args = {});

// Every regular file of a folder (not descending), name -> content.
std::map<std::string, std::string> read_files(const fs::path& folder);

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& content);

// The program under test (set by the build).
fs::path program_path();

}  // namespace locseq::testing
