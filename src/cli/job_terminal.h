// The terminal side of the command line's long jobs: whether stderr is a terminal (then a
// progress line is drawn), and Ctrl+C as the jobs' Cancel button.
#pragma once

namespace torva::cli {

bool StderrIsTerminal();
bool StdinIsTerminal();
// From now on SIGINT sets the flag that CancelRequested reads instead of ending the program;
// a second SIGINT ends it as usual.
void CatchInterrupt();
bool CancelRequested();

}  // namespace torva::cli
