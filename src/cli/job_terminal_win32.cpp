#include <windows.h>
// After windows.h:
#include <io.h>

#include <atomic>
#include <cstdio>

#include "cli/job_terminal.h"

namespace torva::cli {
namespace {

std::atomic<bool> g_bInterrupted{false};

// The console's Ctrl+C: the first one asks the job to stop, a second ends the program as
// usual (the handler declines it).
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  return g_bInterrupted.exchange(true) ? FALSE : TRUE;
}

}  // namespace

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

void CatchInterrupt() {
  g_bInterrupted = false;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool CancelRequested() { return g_bInterrupted; }

}  // namespace torva::cli
