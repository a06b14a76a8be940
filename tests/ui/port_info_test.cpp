#include "app/port_info.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace torva {
namespace {

ConnectionSettings Serial(const std::string& port, int model, int baud, int bits, int parity,
                          int flow, int stop) {
  ConnectionSettings s;
  s.m_strPortName = port;
  s.m_nModel = model;
  s.m_nBaudRate = baud;
  s.m_nDataBits = bits;
  s.m_nParity = parity;
  s.m_nFlowControl = flow;
  s.m_nStopBits = stop;
  return s;
}

TEST(PortInfo, SerialLineHasSixLinesAndNoBreakAfterTheLast) {
  EXPECT_EQ(BuildPortInfo(Serial("COM3", 6, 115200, 8, 0, 1, 0), PortInfoKind::Serial),
            "TORVA40 - COM3\r\nBaud : 115200\r\nData : 8 bit\r\nNone Parity\r\n"
            "H/W Flow control\r\nOne Stop Bit");
}

struct SerialCase {
  ConnectionSettings settings;
  const char* expected;
};

void PrintTo(const SerialCase& c, std::ostream* os) { *os << c.settings.m_strPortName; }

class PortInfoSerial : public testing::TestWithParam<SerialCase> {};

TEST_P(PortInfoSerial, LinesFollowTheSettings) {
  EXPECT_EQ(BuildPortInfo(GetParam().settings, PortInfoKind::Serial), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PortInfoSerial,
    testing::Values(
        SerialCase{Serial("/dev/ttyS0", 2, 9600, 7, 1, 2, 2),
                   "TORVA10 - /dev/ttyS0\r\nBaud : 9600\r\nData : 7 bit\r\nOdd Parity\r\n"
                   "S/W Flow control\r\nTwo Stop Bits"},
        SerialCase{Serial("COM1", 5, 38400, 8, 2, 3, 1),
                   "TORVA30 - COM1\r\nBaud : 38400\r\nData : 8 bit\r\nEven Parity\r\n"
                   "None Flow control\r\n1.5 Stop Bits"},
        // Codes outside the lists fall to the last choice of each line.
        SerialCase{Serial("COM2", 4, 19200, 8, 7, -1, 9),
                   "TORVA40i - COM2\r\nBaud : 19200\r\nData : 8 bit\r\nEven Parity\r\n"
                   "None Flow control\r\nTwo Stop Bits"},
        SerialCase{Serial("COM9", 3, 57600, 8, 0, 1, 0),
                   "TORVA20 - COM9\r\nBaud : 57600\r\nData : 8 bit\r\nNone Parity\r\n"
                   "H/W Flow control\r\nOne Stop Bit"}),
    [](const testing::TestParamInfo<SerialCase>& param) { return "Case" + std::to_string(param.index); });

TEST(PortInfo, UsbIsTheFixedTitle) {
  EXPECT_EQ(BuildPortInfo(Serial("USB", 6, 115200, 8, 0, 1, 0), PortInfoKind::Usb),
            "TORVA \r\nUSB-II Interface");
}

TEST(PortInfo, OtherPortsAreModelAndName) {
  EXPECT_EQ(BuildPortInfo(Serial("ETHERNET_II", 6, -1, -1, -1, -1, 0), PortInfoKind::Other),
            "TORVA40 - ETHERNET_II");
  EXPECT_EQ(BuildPortInfo(Serial("/dev/lp0", 1, -1, -1, -1, -1, 0), PortInfoKind::Other),
            "TORVA20 - /dev/lp0");
}

}  // namespace
}  // namespace torva
