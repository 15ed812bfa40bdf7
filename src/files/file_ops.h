// The file operations of a commit, each returning 0 or the error number,
// and where tests make them fail. The program never sets a fault hook; a
// test build of it does (tests/support/faulty_main.cpp), to fail or stop
// the run at each rename, link and unlink of a commit and at each read of
// an input, which no outside tool can do reliably.
#pragma once

#include <string>

namespace locseq::files {

enum class FaultPoint { Read, Rename, Link, Unlink };

// Called before each such operation on the file `name` (an input as the
// user named it; the target's name in its folder, or a name in a work
// folder): returns 0 to let it go on, or an errno value it then fails with
// (a hook may also end the process there).
using FaultHook = int (*)(FaultPoint point, const std::string& name);

void set_fault_hook(FaultHook hook);

// What the hook says for `point` and `name` (0 when none is set).
int injected_fault(FaultPoint point, const std::string& name);

// renameat; with `no_replace`, an existing target is never replaced
// (renameat2 with RENAME_NOREPLACE, or link and unlink where a file system
// lacks it): EEXIST then.
int rename_at(int from_dir, const std::string& from, int to_dir, const std::string& to,
              bool no_replace = false);
// linkat (the link itself, not its target).
int link_at(int from_dir, const std::string& from, int to_dir, const std::string& to);
// unlinkat (AT_REMOVEDIR with `folder`).
int unlink_at(int dir, const std::string& name, bool folder = false);
// fsync.
int sync_fd(int fd);

}  // namespace locseq::files
