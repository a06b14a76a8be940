#include "ui/system_connection_env.h"

#include "network/printer_socket.h"
#include "ports/port_enum.h"
#include "ports/ports.h"
#include "ports/usb_discovery.h"

namespace torva {

CSystemConnectionEnvironment::CSystemConnectionEnvironment()
    : m_pSocket(std::make_unique<CPrinterSocket>()) {
  // The jobs find the printer's replies in the socket's queue.
  m_pSocket->SetQueueReplies(true);
}

CSystemConnectionEnvironment::~CSystemConnectionEnvironment() = default;

int CSystemConnectionEnvironment::FindUsbPrinter(const std::string& hardwareId) {
  return torva::FindUsbPrinter(hardwareId);
}

std::string CSystemConnectionEnvironment::FindUsbSerialPort(const std::string& hardwareId) {
  return torva::FindUsbSerialPort(hardwareId);
}

int CSystemConnectionEnvironment::EnumPorts(bool parallel, std::vector<std::string>& list) {
  return thePort.EnumPorts(parallel, list);
}

ConnectionSettings& CSystemConnectionEnvironment::Connection() { return thePort; }

bool CSystemConnectionEnvironment::PortConnected() { return thePort.m_bConnected.load(); }

void CSystemConnectionEnvironment::ClosePort() { thePort.Close(); }

bool CSystemConnectionEnvironment::ConnectPrinter(const std::string& ipAddress, int port,
                                                  int pauseAfterConnectMs) {
  return m_pSocket->ConnectPrinter(ipAddress, port, pauseAfterConnectMs);
}

void CSystemConnectionEnvironment::ClosePrinter() { m_pSocket->Close(); }

CPrinterSocket* CSystemConnectionEnvironment::PrinterSocket() { return m_pSocket.get(); }

}  // namespace torva
