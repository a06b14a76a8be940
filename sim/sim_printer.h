// The simulated printer as a byte stream: bytes received on any transport go in, reply
// bytes come out. What it understands is the list of registered ISimCommand handlers;
// bytes no handler takes are consumed one by one and counted as unknown. Every received
// byte is appended to the capture file when one is set.
//
// One CSimPrinter is the device; each connection (the pty, each TCP client) has its own
// CSimInput so that half a command on one connection does not mix with another's.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim_command.h"

namespace torva::sim {

struct SimPrinterOptions {
  // The answer to GS I 1 (printer model ID).
  uint8_t nStatusByte = 0x20;
  // Answer nothing at all: a printer that does not reply.
  bool bSilent = false;
  // Append every received byte to this file (empty: no capture).
  std::string strCapturePath;
  // One line per command on stderr.
  bool bVerbose = false;
};

using SimClock = std::chrono::steady_clock;

class CSimInput {
 public:
  struct Later {
    SimClock::time_point due;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> m_pending;
  // Bytes this connection is sent later (a slow reply, a reply in pieces), in due order.
  std::deque<Later> m_later;
};

class CSimPrinter {
 public:
  // Pending bytes a handler may ask to collect before the first one is given up as unknown.
  static constexpr size_t kMaxPending = 64u * 1024u * 1024u;

  explicit CSimPrinter(SimPrinterOptions options);
  ~CSimPrinter();
  CSimPrinter(const CSimPrinter&) = delete;
  CSimPrinter& operator=(const CSimPrinter&) = delete;

  // Handlers are asked in the order they were added.
  void AddCommand(std::unique_ptr<ISimCommand> command);
  // Takes bytes of one connection; returns what the printer answers (nothing when silent).
  std::vector<uint8_t> Receive(CSimInput& input, const uint8_t* data, size_t length);
  // ESC @: every handler forgets its state.
  void Reset();
  // For handlers, inside Handle or Poll: bytes for the connection being served, sent after
  // delay and after whatever it was sent before; and when the handler wants its next Poll.
  void SendLater(std::chrono::milliseconds delay, std::vector<uint8_t> bytes);
  void WakeAt(SimClock::time_point when);
  const CSimInput* Serving() const { return m_pServing; }
  // Runs every handler's Poll for this connection and returns what is due on it now;
  // next is when to ask again (time_point::max(): nothing planned).
  std::vector<uint8_t> Poll(CSimInput& input, SimClock::time_point& next);

  const SimPrinterOptions& Options() const { return m_options; }
  bool CaptureOpen() const { return m_pCapture != nullptr; }
  uint64_t ReceivedBytes() const { return m_nReceived; }
  uint64_t UnknownBytes() const { return m_nUnknown; }
  int CommandCount(const std::string& name) const;

 private:
  void Capture(const uint8_t* data, size_t length);

  SimPrinterOptions m_options;
  std::vector<std::unique_ptr<ISimCommand>> m_commands;
  std::FILE* m_pCapture = nullptr;
  CSimInput* m_pServing = nullptr;
  SimClock::time_point m_wake = SimClock::time_point::max();
  uint64_t m_nReceived = 0;
  uint64_t m_nUnknown = 0;
  std::map<std::string, int> m_counts;
};

}  // namespace torva::sim
