#include "firmware/fw_sink.h"

#include "network/printer_socket.h"
#include "ports/port_kind.h"

namespace torva {

bool IsNetworkPortName(const std::string& portName) { return portName == "ETHERNET_II"; }

SinkKind CPortSink::Kind() const {
  // After a "FILE" open the name is the file's; the kind of the open says what it is.
  const PortNameKind kind = m_port.IsOpen()
                                ? m_port.OpenKind()
                                : ClassifyPortName(m_port.m_strPortName);
  return kind == PortNameKind::Serial ? SinkKind::Serial : SinkKind::Port;
}

bool CPortSink::Reopen() {
  m_port.Close();
  return m_port.Open();
}

CPorts::ChunkWrite CPortSink::Write(const uint8_t* data, int length, int limitMs,
                                    const std::atomic<bool>* stop) {
  return m_port.WriteChunk(data, length, limitMs, stop);
}

void CPortSink::Finish() {
  // What was written has gone out already (each chunk waits for that), so only unread
  // input is dropped: a purge of the output side would lose the block's last bytes.
  m_port.PurgeInput();
  m_port.Close();
}

void CPortSink::Close() { m_port.Close(); }

bool CSocketSink::Connect() { return m_socket.ConnectPrinter(m_strIpAddress, m_nTcpPort); }

CPorts::ChunkWrite CSocketSink::Write(const uint8_t* data, int length, int,
                                      const std::atomic<bool>*) {
  CPorts::ChunkWrite result;
  const int sent = m_socket.Send(data, length);
  if (sent < 0) {
    result.nError = -1;
    return result;
  }
  result.nWritten = sent;
  // Fewer bytes than asked: the socket stalled or broke part way.
  if (sent < length) result.bTimedOut = true;
  return result;
}

void CSocketSink::Finish() { m_socket.Close(); }

void CSocketSink::Close() { m_socket.Close(); }

}  // namespace torva
