// The program's answer to SIGINT, SIGTERM and SIGHUP: the first one is only
// recorded, and the cancel check (core/cancel.h) turns it into Cancelled at
// the next step of the work, so the normal unwinding removes every
// temporary file and folder however many there are; a second one ends the
// program at once. SIGPIPE is ignored: a closed pipe is a failed write.
//
// Nothing else needs this module: the analysis and the file code only call
// check_cancel(), which does nothing until install() sets it.
#pragma once

namespace locseq::signals {

// Installs the handler and the cancel check. The handler does nothing but
// store the signal number in a lock-free atomic, so it is safe at any
// point; blocking calls are interrupted (no SA_RESTART) so that a program
// waiting for console input or a lock sees the request at once.
void install();

// The signal recorded, or 0.
int received();

// Ends the program by the signal recorded, as it would have ended without
// a handler (the shell sees 128 + the signal). Returns when none was.
void end_if_received();

}  // namespace locseq::signals
