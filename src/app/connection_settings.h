// The connection state chosen in the connection dialog; -1 in a line parameter means
// "not chosen". The port object carries these fields.
#pragma once

#include <cstdint>
#include <string>

namespace torva {

// The job the main menu started (m_nFunction).
enum JobFunction : uint8_t { kFunctionLogo = 1, kFunctionUserSetup = 2, kFunctionFirmware = 3 };

struct ConnectionSettings {
  std::string m_strPortName;
  int m_nModel = 0;
  int m_nBaudRate = -1;
  int m_nDataBits = -1;
  int m_nParity = -1;      // 0 none, 1 odd, 2 even
  int m_nStopBits = 0;     // 0 one, 1 one and a half, 2 two
  int m_nFlowControl = -1; // 1 H/W, 2 S/W, 3 none
  uint8_t m_nFunction = 0; // 1 logo download, 2 user setup, 3 firmware download
};

}  // namespace torva
