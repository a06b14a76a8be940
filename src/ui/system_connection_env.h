// The connection environment of the real program: the system's device searches, the port
// object thePort and the one printer socket.
#pragma once

#include <memory>

#include "ui/connection_env.h"

namespace torva {

class CSystemConnectionEnvironment final : public IConnectionEnvironment {
 public:
  CSystemConnectionEnvironment();
  ~CSystemConnectionEnvironment() override;

  int FindUsbPrinter(const std::string& hardwareId) override;
  std::string FindUsbSerialPort(const std::string& hardwareId) override;
  int EnumPorts(bool parallel, std::vector<std::string>& list) override;
  ConnectionSettings& Connection() override;
  bool PortConnected() override;
  void ClosePort() override;
  bool ConnectPrinter(const std::string& ipAddress, int port, int pauseAfterConnectMs) override;
  void ClosePrinter() override;
  CPrinterSocket* PrinterSocket() override;

 private:
  std::unique_ptr<CPrinterSocket> m_pSocket;
};

}  // namespace torva
