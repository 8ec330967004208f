// Stopping a run when the user asks: Ctrl+C, SIGTERM and SIGHUP on POSIX;
// Ctrl+C, Ctrl+Break and closing the console on Windows. The request is
// only noted; the run stops at its next message, its objects remove their
// fresh files as they go, and the process then ends as the signal would
// have ended it. A second Ctrl+C ends the process at once.
#pragma once

namespace tav {

// Notes the requests from now on.
void CatchInterrupts();
// The signal that asked the run to stop, or 0.
int InterruptSignal();
// Ends the process with the status that `signal` gives: on POSIX the
// signal itself, on Windows the status of a console program stopped by
// Ctrl+C.
[[noreturn]] void EndWithSignal(int signal);

}  // namespace tav
