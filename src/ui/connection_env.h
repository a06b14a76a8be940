// What the connection dialogs need from the machine: the device searches, the connection
// state in the port object, and the printer socket's connect-and-probe sequence. The
// program installs the system's own (CSystemConnectionEnvironment); tests script theirs.
// Plain C++: no Qt here, so that both sides can be written without widgets.
#pragma once

#include <string>
#include <vector>

#include "app/connection_settings.h"

namespace torva {

class CPrinterSocket;

class IConnectionEnvironment {
 public:
  virtual ~IConnectionEnvironment() = default;

  // Number of present USB printers whose hardware identifier begins with hardwareId, or
  // -1 when there is none.
  virtual int FindUsbPrinter(const std::string& hardwareId) = 0;
  // The serial port of a USB printer that presents itself as a serial line, or empty.
  virtual std::string FindUsbSerialPort(const std::string& hardwareId) = 0;
  // Appends the serial (parallel false) or parallel port names; returns how many.
  virtual int EnumPorts(bool parallel, std::vector<std::string>& list) = 0;

  // The connection state the dialogs write and the jobs read (the port object's fields).
  virtual ConnectionSettings& Connection() = 0;
  // Whether the port object is still open, and closing it.
  virtual bool PortConnected() = 0;
  virtual void ClosePort() = 0;

  // The printer socket's connect-and-probe sequence (with a pause through the clock after
  // the first connect when pauseAfterConnectMs is nonzero); false after ten failed probes.
  virtual bool ConnectPrinter(const std::string& ipAddress, int port,
                              int pauseAfterConnectMs) = 0;
  virtual void ClosePrinter() = 0;
  // The one printer socket the jobs use for network printers; null where there is none.
  virtual CPrinterSocket* PrinterSocket() = 0;
};

}  // namespace torva
