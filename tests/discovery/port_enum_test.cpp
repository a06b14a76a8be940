// Serial and parallel port lists: udev devices from umockdev plus the PORTLIST section.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "discovery_fixture.h"
#include "ports/port_enum.h"

namespace torva::test {
namespace {

using ::testing::ElementsAre;

using PortEnumTest = DiscoveryTest;

TEST_F(PortEnumTest, SerialPortsAreTheTtysOnHardware) {
  // Also present: ttyS1 (no UART behind the slot), tty1 and ptmx (virtual).
  Testbed().AddFile("serial_ports");
  std::vector<std::string> list;
  EXPECT_EQ(EnumSerialPorts(list), 3);
  EXPECT_THAT(list, ElementsAre("/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyS0"));
}

TEST_F(PortEnumTest, PortListNamesFollowUpToTheFirstEmptyOneWithoutDuplicates) {
  Testbed().AddFile("serial_ports");
  WriteSettings(
      "[DEVICELIST]\r\nPort1=/dev/not-this\r\n"
      "[portlist]\r\nport2=/dev/ttyACM1\r\nPort1=/tmp/torva-sim-tty\r\nPort3=/dev/ttyV0\r\n"
      "Port4=\r\nPort5=/dev/after-the-gap\r\n");
  std::vector<std::string> list = {"kept"};
  EXPECT_EQ(EnumSerialPorts(list), 5);
  EXPECT_THAT(list, ElementsAre("kept", "/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyS0",
                                "/tmp/torva-sim-tty", "/dev/ttyV0"));
}

TEST_F(PortEnumTest, PortListAloneWhenTheSystemHasNoSerialPorts) {
  WriteSettings("[PORTLIST]\nPort1=/tmp/torva-sim-tty\n");
  std::vector<std::string> list;
  EXPECT_EQ(EnumSerialPorts(list), 1);
  EXPECT_THAT(list, ElementsAre("/tmp/torva-sim-tty"));
  list.clear();
  WriteSettings("");
  EXPECT_EQ(EnumSerialPorts(list), 0);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(LogText(), "");
}

TEST_F(PortEnumTest, ParallelPortsAreTheLpPrintersNotTheUsbOnes) {
  Testbed().AddFile("parallel_port");
  Testbed().AddFile("usb_printer_3012");
  std::vector<std::string> list;
  EXPECT_EQ(EnumParallelPorts(list), 1);
  EXPECT_THAT(list, ElementsAre("/dev/lp0"));
}

TEST_F(PortEnumTest, NoParallelPort) {
  Testbed().AddFile("serial_ports");
  std::vector<std::string> list;
  EXPECT_EQ(EnumParallelPorts(list), 0);
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace torva::test
