// The serial settings the tests give a port object: 115200 baud, 8 data bits, no parity,
// one stop bit, flow control 3 ("none") and function 1 unless told otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "ports/ports.h"

namespace torva::test {

inline void SetSerialSettings(CPorts& port, const std::string& path, int flowControl = 3,
                              uint8_t function = 1) {
  port.m_strPortName = path;
  port.m_nBaudRate = 115200;
  port.m_nDataBits = 8;
  port.m_nParity = 0;
  port.m_nStopBits = 0;
  port.m_nFlowControl = flowControl;
  port.m_nFunction = function;
}

}  // namespace torva::test
