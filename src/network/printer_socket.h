// The one TCP connection to a network printer (Ethernet or WiFi). Jobs connect it with
// ConnectPrinter, send their bytes with Send, and find the printer's answers in
// m_QueueSocket.
//
// Threads: used from one thread (the user-interface thread or a job's thread). Received
// bytes are moved into m_QueueSocket by PumpReceive(), called by the using thread, or by the
// optional reader thread (StartReader), which is then the queue's only producer: while it
// runs, the using thread only reads the queue, sends and closes. Close stops the reader
// before it closes the socket.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "network/socket_hooks.h"
#include "ports/byte_queue.h"

namespace torva {

class CPrinterSocket {
 public:
  CPrinterSocket();
  ~CPrinterSocket();
  CPrinterSocket(const CPrinterSocket&) = delete;
  CPrinterSocket& operator=(const CPrinterSocket&) = delete;

  static constexpr int kProbes = 10;
  static constexpr int kProbeWaitMs = 50;
  static constexpr int kReceiveBatch = 1024;
  // How long one connect may take to complete or fail before the probe looks at it; a host
  // that does not answer at all costs ten of these plus the ten probe waits.
  static constexpr int kConnectWaitMs = 200;

  // Close, create, connect (then pauseAfterConnectMs through the clock, when nonzero); then
  // up to ten probes (a 50 ms wait through the clock, then a zero-length send); a failed
  // probe closes, creates and connects again. True when a probe succeeded. The caller shows
  // PrinterCheck on false.
  bool ConnectPrinter(const std::string& ipAddress, int port, int pauseAfterConnectMs = 0);
  // Sends all bytes, waiting while the connection cannot take more (at most kSendStallMs
  // without progress). Bytes sent (fewer when it stalled or broke part way), or a negative
  // value when nothing could be sent. A length of 0 sends nothing and returns 0 when
  // connected. Never raises SIGPIPE.
  static constexpr int kSendStallMs = 5000;
  int Send(const void* data, int length);
  void Close();
  bool IsConnected() const;

  // Receives what is waiting (at most 1024 bytes per batch, the queue's fit rule, QueueReadFull
  // for a batch that does not fit), waiting up to timeoutMs for the first byte. Returns the
  // number of bytes queued; a closed connection closes the socket.
  int PumpReceive(int timeoutMs);
  // Runs PumpReceive on a thread of its own until Close or StopReader.
  void StartReader();
  void StopReader();
  // With this set, every successful ConnectPrinter starts the reader, so that what the
  // printer sends is queued without the using thread pumping. The program's socket and the
  // command line's set it; a socket whose user pumps itself leaves it clear.
  void SetQueueReplies(bool bOn) { m_bQueueReplies = bOn; }
  // True once the printer closed the connection (or it broke), until the next connect.
  bool PeerClosed() const { return m_bPeerClosed; }

  // The receive rule for one batch: appended when count < 4096 minus the bytes already
  // queued, otherwise dropped with QueueReadFull. True when appended. Called by the producer only.
  bool QueueBatch(const uint8_t* data, int count);

  ByteQueue m_QueueSocket;

 private:
  bool CreateAndConnect(const std::string& ipAddress, int port);
  void CloseSocketOnly();
  net::SocketHandle m_nSocket = net::kNoSocket;
  // Set by whichever side sees the far end close; the socket itself is closed by the using
  // thread (Close), so that the reader never closes a descriptor the user may still hold.
  std::atomic<bool> m_bPeerClosed{false};
  std::atomic<bool> m_bReaderRun{false};
  bool m_bQueueReplies = false;
  std::thread m_reader;
};

}  // namespace torva
