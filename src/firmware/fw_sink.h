// Where a firmware block goes: the port object (serial, USB, parallel, file) or the
// printer socket of a network printer ("ETHERNET_II"). The download engine sees only this
// interface, so a test can stand in for a printer that fails at a chosen byte.
//
// Threads: Reopen and Close of a port run on the thread that owns the port object (the
// dialog's); Connect, Write and Finish may run on the engine's worker thread while that
// thread leaves the sink alone. Nothing here shows a message.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "ports/ports.h"

namespace torva {

class CPrinterSocket;

enum class SinkKind { Serial, Port, Network };

class IFirmwareSink {
 public:
  virtual ~IFirmwareSink() = default;
  virtual SinkKind Kind() const = 0;
  // Ports: close, then open again (false when the open fails). The network: nothing.
  virtual bool Reopen() = 0;
  // Whether the port has an open device (the network: true).
  virtual bool IsOpen() const = 0;
  // The network: ConnectPrinter (false after ten failed probes). Ports: true.
  virtual bool Connect() = 0;
  // One chunk, taken within limitMs (ports) or without a stall of the socket's own bound.
  virtual CPorts::ChunkWrite Write(const uint8_t* data, int length, int limitMs,
                                   const std::atomic<bool>* stop) = 0;
  // After the data: ports drop unread input and close; the network closes the socket.
  virtual void Finish() = 0;
  // After a failure: ports close; the network closes the socket.
  virtual void Close() = 0;
  // The line's baud rate (ports), for the chunk's time bound; 0 when there is none.
  virtual int BaudRate() const = 0;
};

// The sink a connection's port name asks for: the printer socket for "ETHERNET_II", the
// port object otherwise.
bool IsNetworkPortName(const std::string& portName);

class CPortSink final : public IFirmwareSink {
 public:
  explicit CPortSink(CPorts& port) : m_port(port) {}
  SinkKind Kind() const override;
  bool Reopen() override;
  bool IsOpen() const override { return m_port.IsOpen(); }
  bool Connect() override { return true; }
  CPorts::ChunkWrite Write(const uint8_t* data, int length, int limitMs,
                           const std::atomic<bool>* stop) override;
  void Finish() override;
  void Close() override;
  int BaudRate() const override { return m_port.m_nBaudRate; }

 private:
  CPorts& m_port;
};

class CSocketSink final : public IFirmwareSink {
 public:
  CSocketSink(CPrinterSocket& socket, std::string ipAddress, int tcpPort)
      : m_socket(socket), m_strIpAddress(std::move(ipAddress)), m_nTcpPort(tcpPort) {}
  SinkKind Kind() const override { return SinkKind::Network; }
  bool Reopen() override { return true; }
  bool IsOpen() const override { return true; }
  bool Connect() override;
  CPorts::ChunkWrite Write(const uint8_t* data, int length, int limitMs,
                           const std::atomic<bool>* stop) override;
  void Finish() override;
  void Close() override;
  int BaudRate() const override { return 0; }

 private:
  CPrinterSocket& m_socket;
  std::string m_strIpAddress;
  int m_nTcpPort;
};

}  // namespace torva
