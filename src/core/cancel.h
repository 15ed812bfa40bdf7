// Stopping long work on request. The driver calls check_cancel() between
// years and the output code before each step of a commit; whoever wants
// the work stopped installs a check that throws Cancelled, and the normal
// unwinding then removes whatever was half made. The program's check reads
// the flag its signal handler sets; a host that embeds the analysis (an
// interpreter's interrupt key) installs its own, with no signal handler.
#pragma once

#include <atomic>
#include <stdexcept>

namespace locseq {

// The work was stopped on request; what() says by what.
class Cancelled : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws Cancelled when the work is to stop; returns otherwise.
using CancelCheck = void (*)();

namespace detail {
inline std::atomic<CancelCheck> cancel_check{nullptr};
}

// Installs `check` (none: the work is never stopped).
inline void set_cancel_check(CancelCheck check) {
  detail::cancel_check.store(check);
}

// Runs the installed check, if any.
inline void check_cancel() {
  if (const CancelCheck check = detail::cancel_check.load(std::memory_order_relaxed)) check();
}

}  // namespace locseq
