#include "app/port_info.h"


#include "app/messages.h"
#include "app/models.h"

namespace torva {
namespace {

std::string Number(int value) { return std::to_string(value); }

}  // namespace

const char* PortInfoModelPrefix(int modelCode) {
  return ModelRowOf(modelCode).portInfoPrefix;
}

std::string BuildPortInfo(const ConnectionSettings& s, PortInfoKind kind) {
  if (kind == PortInfoKind::Usb) return kTitleUsbInterface;
  std::string text = std::string(PortInfoModelPrefix(s.m_nModel)) + s.m_strPortName;
  if (kind != PortInfoKind::Serial) return text;

  text += "\r\n";
  text += "Baud : " + Number(s.m_nBaudRate) + "\r\n";
  text += "Data : " + Number(s.m_nDataBits) + " bit\r\n";
  text += s.m_nParity == 0 ? "None Parity\r\n" : s.m_nParity == 1 ? "Odd Parity\r\n" : "Even Parity\r\n";
  text += s.m_nFlowControl == 1   ? "H/W Flow control\r\n"
          : s.m_nFlowControl == 2 ? "S/W Flow control\r\n"
                                  : "None Flow control\r\n";
  text += s.m_nStopBits == 0 ? "One Stop Bit" : s.m_nStopBits == 1 ? "1.5 Stop Bits" : "Two Stop Bits";
  return text;
}

}  // namespace torva
