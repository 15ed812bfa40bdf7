// The program with a fault injected where the environment says, for the
// tests of outputs replaced as a whole (a hook no outside tool can offer):
//   LOCSEQ_FAULT=KIND:N[:NAME]  the N-th operation of KIND (on the file
//                        NAME, when given) fails (EIO), where KIND is read
//                        (a read of an input), rename, link, unlink, or
//                        commit (any rename, link or unlink);
//   LOCSEQ_FAULT_KILL=1  the process kills itself (SIGKILL) there instead;
//   LOCSEQ_FAULT_COUNT=FILE  at the end, the number of commit operations
//                        met is written to FILE.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cli/commands.h"
#include "files/fd_streams.h"
#include "files/file_ops.h"

namespace {

using locseq::files::FaultPoint;

std::string kind;  // what the fault is injected at
long at = 0;       // the N-th of them
std::string file;  // on this file only, when not empty
bool kill_there = false;
long met = 0;         // operations of `kind` met
long commit_ops = 0;  // renames, links and unlinks met
const char* count_file = nullptr;

int inject(FaultPoint point, const std::string& name) {
  if (point != FaultPoint::Read) ++commit_ops;
  const std::string what = point == FaultPoint::Read     ? "read"
                           : point == FaultPoint::Rename ? "rename"
                           : point == FaultPoint::Link   ? "link"
                                                         : "unlink";
  if (kind != what && !(kind == "commit" && point != FaultPoint::Read)) return 0;
  if (!file.empty() && name != file) return 0;
  if (++met != at) return 0;
  if (kill_there) ::raise(SIGKILL);
  return EIO;
}

void write_count() {
  std::ofstream(count_file) << commit_ops << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* fault = std::getenv("LOCSEQ_FAULT")) {
    const std::string text = fault;
    const std::size_t colon = text.find(':');
    kind = text.substr(0, colon);
    at = colon == std::string::npos ? 0 : std::atol(text.c_str() + colon + 1);
    const std::size_t second = colon == std::string::npos ? colon : text.find(':', colon + 1);
    if (second != std::string::npos) file = text.substr(second + 1);
  }
  const char* kill_it = std::getenv("LOCSEQ_FAULT_KILL");
  kill_there = kill_it != nullptr && *kill_it != '\0';
  count_file = std::getenv("LOCSEQ_FAULT_COUNT");
  if (count_file != nullptr) std::atexit(write_count);
  locseq::files::set_fault_hook(inject);
  locseq::files::StandardStreams standard;
  return locseq::cli::main(argc, argv,
                           {standard.in, standard.out, standard.err, STDOUT_FILENO, STDERR_FILENO});
}
