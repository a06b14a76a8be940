#include "network/printer_socket.h"

#include <algorithm>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "ports/port_trace.h"

namespace torva {

namespace {

// The socket whose reader thread is running on this thread, if any: such a thread only
// marks a closed connection, it never closes the descriptor itself.
thread_local const CPrinterSocket* t_pReaderOf = nullptr;

constexpr int kMaxBatchesPerPump = ByteQueue::kSize / CPrinterSocket::kReceiveBatch;

}  // namespace

CPrinterSocket::CPrinterSocket() = default;

CPrinterSocket::~CPrinterSocket() { Close(); }

bool CPrinterSocket::CreateAndConnect(const std::string& ipAddress, int port) {
  m_nSocket = net::TcpConnect(ipAddress, port, kConnectWaitMs);
  if (m_nSocket == net::kNoSocket) {
    theLog.WriteLog("CPrinterSocket connect %s:%d failed: %s\r\n", ipAddress.c_str(), port,
                    net::LastSocketError().c_str());
  }
  return m_nSocket != net::kNoSocket;
}

void CPrinterSocket::CloseSocketOnly() {
  net::CloseSocket(m_nSocket);
  m_nSocket = net::kNoSocket;
}

bool CPrinterSocket::ConnectPrinter(const std::string& ipAddress, int port,
                                    int pauseAfterConnectMs) {
  Close();
  m_bPeerClosed = false;
  CreateAndConnect(ipAddress, port);
  if (pauseAfterConnectMs > 0) Clock().SleepMs(pauseAfterConnectMs);
  for (int probe = 1; probe <= kProbes; ++probe) {
    Clock().SleepMs(kProbeWaitMs);
    if (m_nSocket != net::kNoSocket && net::TcpSendSome(m_nSocket, nullptr, 0) == 0) {
      if (m_bQueueReplies) StartReader();
      return true;
    }
    CloseSocketOnly();
    // After the last failed probe a new connect would only be closed again by the caller.
    if (probe < kProbes) CreateAndConnect(ipAddress, port);
  }
  theLog.WriteLog("CPrinterSocket %s:%d not connected after %d probes: %s\r\n",
                  ipAddress.c_str(), port, kProbes, net::LastSocketError().c_str());
  return false;
}

int CPrinterSocket::Send(const void* data, int length) {
  if (!IsConnected() || length < 0) return -1;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (length == 0) return net::TcpSendSome(m_nSocket, nullptr, 0) == 0 ? 0 : -1;
  int sent = 0;
  while (sent < length) {
    const int n = net::TcpSendSome(m_nSocket, bytes + sent, static_cast<size_t>(length - sent));
    if (n > 0) {
      TraceBytes("TCP TX", bytes + sent, static_cast<size_t>(n));
      sent += n;
      continue;
    }
    if (n == -2 && net::TcpWait(m_nSocket, true, kSendStallMs) == 2) continue;
    theLog.WriteLog("CPrinterSocket::Send() %d of %d bytes sent: %s\r\n", sent, length,
                    n == -2 ? "stalled" : net::LastSocketError().c_str());
    break;
  }
  return sent > 0 ? sent : -1;
}

void CPrinterSocket::Close() {
  StopReader();
  CloseSocketOnly();
}

bool CPrinterSocket::IsConnected() const {
  return m_nSocket != net::kNoSocket && !m_bPeerClosed;
}

bool CPrinterSocket::QueueBatch(const uint8_t* data, int count) {
  if (count <= 0) return false;
  if (!m_QueueSocket.Fits(count)) {
    theLog.WriteLog("CPrinterSocket %d received bytes dropped: %d already queued\r\n", count,
                    m_QueueSocket.GetCount());
    ShowMessage(theMsg[MsgId::QueueReadFull], MsgIcon::Warning);
    return false;
  }
  for (int i = 0; i < count; ++i) m_QueueSocket.Put(data[i]);
  return true;
}

int CPrinterSocket::PumpReceive(int timeoutMs) {
  if (!IsConnected()) return 0;
  if (net::TcpWait(m_nSocket, false, std::max(0, timeoutMs)) <= 0) return 0;
  int queued = 0;
  uint8_t batch[kReceiveBatch];
  for (int i = 0; i < kMaxBatchesPerPump; ++i) {
    const int n = net::TcpReceiveSome(m_nSocket, batch, sizeof batch);
    if (n == -2) break;  // nothing more waiting
    if (n <= 0) {
      // The far end closed (0) or the connection broke (-1): nothing is queued, the socket
      // closes as on the printer's own close.
      if (n < 0) {
        theLog.WriteLog("CPrinterSocket receive failed: %s\r\n", net::LastSocketError().c_str());
      } else {
        theLog.WriteLog("CPrinterSocket: the printer closed the connection\r\n");
      }
      m_bPeerClosed = true;
      if (t_pReaderOf != this) CloseSocketOnly();
      break;
    }
    TraceBytes("TCP RX", batch, static_cast<size_t>(n));
    if (QueueBatch(batch, n)) queued += n;
  }
  return queued;
}

void CPrinterSocket::StartReader() {
  if (m_reader.joinable() || !IsConnected()) return;
  m_bReaderRun = true;
  m_reader = std::thread([this] {
    t_pReaderOf = this;
    while (m_bReaderRun && !m_bPeerClosed) PumpReceive(100);
    t_pReaderOf = nullptr;
  });
}

void CPrinterSocket::StopReader() {
  m_bReaderRun = false;
  if (m_reader.joinable()) m_reader.join();
}

}  // namespace torva
