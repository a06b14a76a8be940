// A connection environment with scripted devices for the dialog tests: USB printers and
// USB serial lines by hardware identifier, the port lists, and a printer that answers the
// connection test or not. Every question the dialogs ask is recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/connection_env.h"

namespace torva::test {

struct ConnectCall {
  std::string ip;
  int port;
  int pauseMs;
};

class CScriptedEnvironment final : public IConnectionEnvironment {
 public:
  int FindUsbPrinter(const std::string& hardwareId) override {
    m_printerSearches.push_back(hardwareId);
    if (m_onPrinterSearch) m_onPrinterSearch(hardwareId);
    auto it = m_printers.find(hardwareId);
    return it == m_printers.end() || it->second == 0 ? -1 : it->second;
  }
  std::string FindUsbSerialPort(const std::string& hardwareId) override {
    m_serialSearches.push_back(hardwareId);
    auto it = m_usbSerial.find(hardwareId);
    return it == m_usbSerial.end() ? std::string() : it->second;
  }
  int EnumPorts(bool parallel, std::vector<std::string>& list) override {
    const auto& ports = parallel ? m_parallelPorts : m_serialPorts;
    list.insert(list.end(), ports.begin(), ports.end());
    return static_cast<int>(ports.size());
  }
  ConnectionSettings& Connection() override { return m_settings; }
  bool PortConnected() override { return m_bPortOpen; }
  void ClosePort() override {
    m_bPortOpen = false;
    ++m_nPortCloses;
  }
  bool ConnectPrinter(const std::string& ip, int port, int pauseMs) override {
    m_connects.push_back({ip, port, pauseMs});
    return m_connect ? m_connect(ip, port, pauseMs) : m_bPrinterAnswers;
  }
  void ClosePrinter() override { ++m_nPrinterCloses; }
  CPrinterSocket* PrinterSocket() override { return nullptr; }

  // Present devices: count of printers per identifier, serial line per identifier.
  std::map<std::string, int> m_printers;
  std::map<std::string, std::string> m_usbSerial;
  std::vector<std::string> m_serialPorts;
  std::vector<std::string> m_parallelPorts;
  bool m_bPrinterAnswers = true;
  // Replaces the scripted answer of ConnectPrinter (a real socket, for instance).
  std::function<bool(const std::string&, int, int)> m_connect;
  std::function<void(const std::string&)> m_onPrinterSearch;

  ConnectionSettings m_settings;
  bool m_bPortOpen = false;
  int m_nPortCloses = 0;
  int m_nPrinterCloses = 0;
  std::vector<std::string> m_printerSearches;
  std::vector<std::string> m_serialSearches;
  std::vector<ConnectCall> m_connects;
};

}  // namespace torva::test
