// Helpers of the network tests: free loopback ports (support/free_port.h), a simulator responder on loopback with
// the tool's parameters pointed at it, and running torvaset-cli.
#pragma once

#include <string>
#include <vector>

#include "net_options.h"
#include "net_responder.h"
#include "network/net_discovery.h"
#include "support/free_port.h"

namespace torva::test {

sim::NetSimPrinter SimPrinter(const std::string& option);

// A responder listening on 127.0.0.1 (a free port) that replies to a free listen port, and
// the discovery parameters that reach it: requests to 127.0.0.1:P, replies to Q.
struct LoopbackNet {
  explicit LoopbackNet(const std::vector<std::string>& printerOptions);
  sim::CNetResponder responder;
  NetDiscoveryParams params;
};

// The datagrams the responder has heard, once there are at least n of them (bounded wait:
// its thread handles them a moment after they were sent), or after waitMs.
std::vector<sim::NetSimDatagram> HeardAtLeast(const sim::CNetResponder& responder, size_t n,
                                              int waitMs = 2000);

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Runs bin/torvaset-cli with the arguments (each quoted for the shell), stdin not a terminal.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace torva::test
