#include "platform/interrupts.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tav {

namespace {

// A signal handler can only reach the process's own state: this one flag,
// written by the handler and read by the run.
volatile std::sig_atomic_t requested = 0;

#ifdef _WIN32
// Set once the run has cleaned up, so that closing the console (which ends
// the process when the handler returns) waits for it.
HANDLE cleanedUp = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (requested != 0 && (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)) {
    return FALSE;  // asked twice: the system's default, which ends the process
  }
  requested = event == CTRL_BREAK_EVENT ? SIGBREAK : SIGINT;
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // The console is closing, or the user logs off: the system gives a few
  // seconds before it ends the process.
  WaitForSingleObject(cleanedUp, 4000);
  return FALSE;
}
#else
void OnSignal(int signal) {
  if (requested != 0) {
    std::signal(signal, SIG_DFL);  // asked twice: at once
    std::raise(signal);
    return;
  }
  requested = signal;
}
#endif

}  // namespace

void CatchInterrupts() {
#ifdef _WIN32
  cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a blocked read returns, and the run looks at the flag
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
#endif
}

int InterruptSignal() {
  return requested;
}

void EndWithSignal(int signal) {
#ifdef _WIN32
  (void)signal;
  if (cleanedUp != nullptr) SetEvent(cleanedUp);
  ExitProcess(STATUS_CONTROL_C_EXIT);
#else
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);  // should the signal be blocked
#endif
}

}  // namespace tav
