#include "signals/signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "core/cancel.h"

namespace locseq::signals {

namespace {

std::atomic<int> recorded{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void on_signal(int sig) {
  int none = 0;
  if (recorded.compare_exchange_strong(none, sig)) return;
  // A second signal: the user insists. Temporary files stay behind; the
  // next command that writes in their folder removes them.
  constexpr char kMessage[] = "locseq: stopped at once by a second signal\n";
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void cancel_on_signal() {
  if (recorded.load(std::memory_order_relaxed) != 0) throw Cancelled("stopped by a signal");
}

constexpr int kHandled[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

void install() {
  for (int sig : kHandled) {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocking read or lock returns EINTR
    ::sigaction(sig, &sa, nullptr);
  }
  ::signal(SIGPIPE, SIG_IGN);
  set_cancel_check(cancel_on_signal);
}

int received() {
  return recorded.load();
}

void end_if_received() {
  const int sig = recorded.load();
  if (sig == 0) return;
  ::signal(sig, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(sig);
  _exit(128 + sig);  // not reached
}

}  // namespace locseq::signals
