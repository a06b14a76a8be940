// The simulated printers' side of network discovery: a UDP responder that hears the search
// (command 00) and answers it once per configured printer, in the configured order, at the
// request's source address and the reply port; that takes a set (02, then 04) addressed to
// one printer's MAC address, so that the next search shows the new values; and that answers
// the set request with the printer's new settings.
//
// It listens on loopback, or on another address only when it runs inside a network
// namespace other than the one of process 1, or one made with "ip netns add" (a namespace a
// test made).
//
// Threads: Start runs one thread of its own (waits bounded to 100 ms); Stop joins it. The
// accessors may be called from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net_options.h"

namespace torva::sim {

struct NetSimDatagram {
  std::string m_strSource;
  int m_nSourcePort = 0;
  std::vector<uint8_t> m_bytes;
};

class CNetResponder {
 public:
  CNetResponder() = default;
  ~CNetResponder();
  CNetResponder(const CNetResponder&) = delete;
  CNetResponder& operator=(const CNetResponder&) = delete;

  // Binds the listen socket and each printer's reply socket and starts answering. False with
  // a reason when an address is refused or cannot be bound.
  bool Start(const NetResponderOptions& options, std::string& error);
  void Stop();

  int ListenPort() const { return m_nListenPort; }
  std::vector<NetSimPrinter> Printers() const;
  // Every datagram heard (at most the first 4096), in order.
  std::vector<NetSimDatagram> Heard() const;

 private:
  void Run();
  void Handle(const NetSimDatagram& datagram);
  void Reply(size_t index, const NetSimDatagram& request, uint8_t command);
  bool OpenReplySockets(std::string& error);

  NetResponderOptions m_options;
  int m_nListenSocket = -1;
  int m_nListenPort = 0;
  std::vector<int> m_replySockets;  // per printer; -1: reply through the listen socket
  mutable std::mutex m_mutex;
  std::vector<NetSimPrinter> m_printers;
  std::vector<NetSimDatagram> m_heard;
  std::atomic<bool> m_bRun{false};
  std::thread m_thread;
};

// True when the process is in a network namespace other than process 1's, or in one named
// under /run/netns; false also when that cannot be told.
bool InPrivateNetworkNamespace();

}  // namespace torva::sim
