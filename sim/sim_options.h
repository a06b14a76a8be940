// The simulator's command line. Each option is one row of the table in sim_options.cpp;
// a new feature adds its field here and its row there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim_printer.h"

namespace torva::sim {

struct SimOptions {
  bool bHelp = false;
  bool bSerial = true;       // the pty line
  std::string strLinkPath;   // symbolic link to the pty
  int nTcpPort = -1;         // -1: no TCP server; 0: a free port
  uint64_t nCloseAfter = 0;  // drop a connection after this many received bytes; 0: never
  SimPrinterOptions printer;
};

// False with a message in error for an unknown option or a bad value.
bool ParseOptions(int argc, char** argv, SimOptions& options, std::string& error);
void PrintHelp(std::FILE* out);

}  // namespace torva::sim
