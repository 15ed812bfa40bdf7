// The signal module in a child process: the first signal is only recorded
// and the cancel check turns it into Cancelled; a second one ends the
// process at once by that signal; SIGPIPE no longer ends it.
#include "signals/signals.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "core/cancel.h"

namespace locseq::signals {
namespace {

// Runs `body` in a child with the module installed; how the child ended:
// its exit status, or 128 + the signal that ended it.
int in_child(void (*body)()) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, STDERR_FILENO) < 0) _exit(126);  // what it says is not tested
    install();
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Signals, TheFirstIsRecordedTheSecondEndsAtOnce) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    static int current;
    current = sig;
    EXPECT_EQ(in_child([] {
                ::raise(current);
                if (received() != current) _exit(2);
                try {
                  check_cancel();
                  _exit(3);
                } catch (const Cancelled&) {
                }
                ::raise(current);  // the second
                _exit(4);
              }),
              128 + sig);
    // Recorded, then the program ends by it as it would have.
    EXPECT_EQ(in_child([] {
                ::raise(current);
                end_if_received();
                _exit(5);
              }),
              128 + sig);
  }
  EXPECT_EQ(in_child([] { end_if_received(); }), 0);  // none: nothing to do
}

TEST(Signals, AClosedPipeIsAFailedWrite) {
  EXPECT_EQ(in_child([] {
              int fd[2];
              if (::pipe(fd) != 0) _exit(2);
              ::close(fd[0]);
              const bool failed = ::write(fd[1], "x", 1) < 0 && errno == EPIPE;
              _exit(failed && received() == 0 ? 0 : 3);
            }),
            0);
}

}  // namespace
}  // namespace locseq::signals
