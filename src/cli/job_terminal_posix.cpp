#include "cli/job_terminal.h"

#include <unistd.h>

#include <csignal>

namespace torva::cli {
namespace {

volatile std::sig_atomic_t g_bInterrupted = 0;

void OnInterrupt(int) {
  g_bInterrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

void CatchInterrupt() {
  g_bInterrupted = 0;
  std::signal(SIGINT, OnInterrupt);
}

bool CancelRequested() { return g_bInterrupted != 0; }

}  // namespace torva::cli
