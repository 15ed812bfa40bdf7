#include "files/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace locseq::files {

namespace {

std::atomic<FaultHook> fault_hook{nullptr};

int result(int status) {
  return status == 0 ? 0 : errno;
}

}  // namespace

void set_fault_hook(FaultHook hook) {
  fault_hook.store(hook);
}

int injected_fault(FaultPoint point, const std::string& name) {
  const FaultHook hook = fault_hook.load(std::memory_order_relaxed);
  return hook != nullptr ? hook(point, name) : 0;
}

int rename_at(int from_dir, const std::string& from, int to_dir, const std::string& to,
              bool no_replace) {
  if (const int fault = injected_fault(FaultPoint::Rename, to)) return fault;
  if (!no_replace) return result(::renameat(from_dir, from.c_str(), to_dir, to.c_str()));
  const int err = result(::renameat2(from_dir, from.c_str(), to_dir, to.c_str(), RENAME_NOREPLACE));
  if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP) return err;
  // No RENAME_NOREPLACE here: a link fails on an existing name just as well.
  if (const int linked = result(::linkat(from_dir, from.c_str(), to_dir, to.c_str(), 0))) {
    return linked;
  }
  ::unlinkat(from_dir, from.c_str(), 0);
  return 0;
}

int link_at(int from_dir, const std::string& from, int to_dir, const std::string& to) {
  if (const int fault = injected_fault(FaultPoint::Link, to)) return fault;
  return result(::linkat(from_dir, from.c_str(), to_dir, to.c_str(), 0));
}

int unlink_at(int dir, const std::string& name, bool folder) {
  if (const int fault = injected_fault(FaultPoint::Unlink, name)) return fault;
  return result(::unlinkat(dir, name.c_str(), folder ? AT_REMOVEDIR : 0));
}

int sync_fd(int fd) {
  return result(::fsync(fd));
}

}  // namespace locseq::files
