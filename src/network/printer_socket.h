// The one TCP connection to a network printer (Ethernet or WiFi). Jobs connect it with
// ConnectPrinter, send their bytes with Send, and find the printer's answers in
// m_QueueSocket.
//
// Threads: used from one thread (the user-interface thread or a job's thread). Received
// bytes are moved into m_QueueSocket by PumpReceive(), called by the using thread, or by the
// optional reader thread (StartReader), which is then the queue's only producer.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "ports/byte_queue.h"

namespace torva {

class CPrinterSocket {
 public:
  CPrinterSocket();
  ~CPrinterSocket();
  CPrinterSocket(const CPrinterSocket&) = delete;
  CPrinterSocket& operator=(const CPrinterSocket&) = delete;

  // Close, create, connect; then up to ten probes (a 50 ms wait through the clock, then a
  // zero-length send). True when a probe succeeded. The caller shows text 20 on false.
  bool ConnectPrinter(const std::string& ipAddress, int port);
  // Bytes sent, or a negative value on error. Never raises SIGPIPE.
  int Send(const void* data, int length);
  void Close();
  bool IsConnected() const;

  // Receives what is waiting (at most 1024 bytes per batch, the queue's fit rule, text 41
  // for a batch that does not fit), waiting up to timeoutMs for the first byte. Returns the
  // number of bytes queued; a closed connection closes the socket.
  int PumpReceive(int timeoutMs);
  // Runs PumpReceive on a thread of its own until Close or StopReader.
  void StartReader();
  void StopReader();

  ByteQueue m_QueueSocket;

 private:
  bool CreateAndConnect(const std::string& ipAddress, int port);
  int m_nSocket = -1;
  std::atomic<bool> m_bReaderRun{false};
  std::thread m_reader;
};

}  // namespace torva
