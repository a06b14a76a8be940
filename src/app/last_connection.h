// The connection the user last confirmed with OK in the connection dialog: model, port, line
// parameters and the network printer's address and port. It lives in a section of our own
// of the settings file, so that the next start can pre-select it.
#pragma once

#include <optional>
#include <string>

namespace torva {

struct LastConnection {
  std::string strModel;  // the model name as the list shows it
  std::string strPort;   // serial or parallel device; empty for USB and network printers
  int nBaudRate = 0;     // 0: not a serial line
  int nDataBits = 8;
  int nParity = 0;           // 0 none, 1 odd, 2 even
  int nStopBits = 0;         // 0 one, 2 two
  int nFlowControl = 1;      // 1 H/W, 2 S/W, 3 none
  std::string strIpAddress;  // empty: no network printer was confirmed
  int nTcpPort = 0;

  static constexpr const char* kSection = "LASTCONNECTION";
};

// Replaces the section with last; false when the settings file could not be written.
bool SaveLastConnection(const LastConnection& last);
// The remembered connection; nullopt when none is (no model in the section).
std::optional<LastConnection> LoadLastConnection();

}  // namespace torva
