// The connection dialog's "Check": the printer check (GS I 1) sent over the connection the
// dialog has chosen, and whatever comes back within half a second. It uses a port object
// and a socket of its own, so the tool's connection stays exactly as it was; the wait is
// the port's (or the socket's) bounded wait for input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/connection_settings.h"

namespace torva {

struct PrinterCheckResult {
  enum class Outcome {
    Answered,    // reply holds what came back
    Silent,      // sent; nothing came back in time
    CannotRead,  // sent over a connection that reads nothing back (a parallel port)
    NotOpened,   // the port or the printer's address could not be opened (strError)
    NotSent,     // opened, but the check could not be written (strError)
  };
  Outcome eOutcome = Outcome::NotOpened;
  std::vector<std::uint8_t> reply;
  std::string strWhere;  // the port path, "USB" or ADDR:PORT
  std::string strError;  // the system's error text
};

inline constexpr int kPrinterCheckWaitMs = 500;

// settings: model, port name ("USB", a device path, or "ETHERNET_II" for ipAddress:tcpPort)
// and the serial line's parameters.
PrinterCheckResult CheckPrinter(const ConnectionSettings& settings, const std::string& ipAddress,
                                int tcpPort);
// One line for a status field: whether the printer answered and what, or why not.
std::string PrinterCheckText(const PrinterCheckResult& result, bool korean);

}  // namespace torva
