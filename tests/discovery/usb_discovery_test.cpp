// USB printer and USB serial searches: the real udev code against umockdev devices.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "discovery_fixture.h"
#include "ports/usb_discovery.h"

namespace torva::test {
namespace {

const std::string kId3012 = "USB\\VID_2F3D&PID_3012";
const std::string kId3001 = "USB\\VID_2F3D&PID_3001";
const std::string kId3011 = "USB\\VID_2F3D&PID_3011";

// Reads up to want bytes from fd, waiting at most a second for each piece.
std::string ReadSome(int fd, size_t want) {
  std::string got;
  while (got.size() < want) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) break;
    char buf[64];
    const ssize_t n = read(fd, buf, std::min(sizeof buf, want - got.size()));
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
  }
  return got;
}

// ---- identifiers ----

struct IdCase {
  const char* m_pName;
  const char* m_pDevice;
  const char* m_pWanted;
  bool m_bMatch;
};

void PrintTo(const IdCase& c, std::ostream* os) { *os << c.m_pName; }

class HardwareIdTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(HardwareIdTest, ComparesAsPrefixAfterUpperCasing) {
  EXPECT_EQ(HardwareIdMatches(GetParam().m_pDevice, GetParam().m_pWanted), GetParam().m_bMatch)
      << GetParam().m_pDevice << " vs " << GetParam().m_pWanted;
}

INSTANTIATE_TEST_SUITE_P(
    Ids, HardwareIdTest,
    ::testing::Values(
        IdCase{"LowerCaseDevice", "usb\\vid_2f3d&pid_3001", "USB\\VID_2F3D&PID_3001", true},
        IdCase{"Same", "USB\\VID_2F3D&PID_3A08", "USB\\VID_2F3D&PID_3A08", true},
        IdCase{"LongerDevice", "USB\\VID_2F3D&PID_3001&REV_0100", "USB\\VID_2F3D&PID_3001", true},
        IdCase{"LongerWanted", "USB\\VID_2F3D&PID_3001", "USB\\VID_2F3D&PID_30011", false},
        IdCase{"OtherProduct", "USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3001", false},
        // The wanted text is not upper-cased: callers give it in upper case.
        IdCase{"LowerCaseWanted", "USB\\VID_2F3D&PID_3A08", "usb\\vid_2f3d&pid_3a08", false}),
    [](const ::testing::TestParamInfo<IdCase>& p) { return std::string(p.param.m_pName); });

TEST(UpperAsciiTest, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperAscii("vid_2f3d&\xc3\xa9z"), "VID_2F3D&\xc3\xa9Z");
  EXPECT_EQ(MakeUsbHardwareId("2f3d", "3a08"), "USB\\VID_2F3D&PID_3A08");
}

// ---- USB printers ----

using UsbPrinterTest = DiscoveryTest;

TEST_F(UsbPrinterTest, OnePrinterIsCountedOnceAndOpenedForWritingAndReading) {
  Testbed().AddFile("usb_printer_3012");  // also holds a HID interface of the same device
  EXPECT_EQ(FindUsbPrinter(kId3012), 1);
  EXPECT_EQ(FindUsbPrinter("USB\\VID_2F3D"), 1);

  std::string path;
  const int fd = SystemUsbPrinterFinder().OpenUsbPrinter(kId3012, path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(path, "/dev/usb/lp0");
  const int far = Testbed().DeviceFd("/dev/usb/lp0");
  ASSERT_GE(far, 0);
  ASSERT_EQ(write(fd, "\x1b\x40", 2), 2);
  EXPECT_EQ(ReadSome(far, 2), "\x1b\x40");
  ASSERT_EQ(write(far, "\x1d", 1), 1);  // the printer's reply comes back on the same node
  EXPECT_EQ(ReadSome(fd, 1), "\x1d");
  close(fd);
  SystemUsbPrinterFinder().ReleaseDevInfo();
  char expected[40];
  std::snprintf(expected, sizeof expected, "] CreateFile Success [%X]\r\n", static_cast<unsigned>(fd));
  EXPECT_NE(LogText().find(expected), std::string::npos) << LogText();
}

TEST_F(UsbPrinterTest, TwoPrintersAreCountedAndTheFirstIsOpened) {
  Testbed().AddFile("usb_printers_two_3012");
  EXPECT_EQ(FindUsbPrinter(kId3012), 2);
  std::string path;
  const int fd = OpenUsbPrinter(kId3012, path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(path, "/dev/usb/lp0");
  close(fd);
  ReleaseUsbDevInfo();
}

TEST_F(UsbPrinterTest, ListsEveryPrinterWithItsIdentifier) {
  Testbed().AddFile("usb_printers_two_3012");
  Testbed().AddFile("usb_printer_other_vendor");
  std::vector<UsbPrinterInfo> list;
  ASSERT_TRUE(ListUsbPrinters(list));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].m_strDevNode, "/dev/usb/lp0");
  EXPECT_EQ(list[0].m_strHardwareId, kId3012);
  EXPECT_EQ(list[1].m_strDevNode, "/dev/usb/lp1");
  EXPECT_EQ(list[2].m_strDevNode, "/dev/usb/lp3");
  EXPECT_EQ(list[2].m_strHardwareId, "USB\\VID_04B8&PID_0E28");
}

// No matching printer: the count is -1 without a log entry, the open logs the end of the
// enumeration and leaves the path alone.
class NoMatchingPrinterTest : public DiscoveryTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(NoMatchingPrinterTest, GivesMinusOneAndLogsOnlyTheOpen) {
  const std::string file = GetParam();
  if (!file.empty()) Testbed().AddFile(file);
  EXPECT_EQ(FindUsbPrinter("USB\\VID_2F3D&PID_3002"), -1);
  EXPECT_EQ(LogText(), "");
  std::string path = "unchanged";
  EXPECT_EQ(OpenUsbPrinter("USB\\VID_2F3D&PID_3002", path), -1);
  EXPECT_EQ(path, "unchanged");
  const std::string log = LogText();
  EXPECT_NE(log.find("] [Error] SetupDiEnumDeviceInterfaces(" + std::to_string(kNoMoreItems) +
                     ")\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("CreateFile"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Devices, NoMatchingPrinterTest,
                         ::testing::Values("", "usb_printer_other_vendor", "usb_printer_3012"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                           return std::string(p.param).empty() ? std::string("none")
                                                               : std::string(p.param);
                         });

TEST_F(UsbPrinterTest, PrinterWithoutUsbDeviceAboveFailsTheSearchWithItsLogText) {
  Testbed().AddString(
      "P: /devices/virtual/usbmisc/lp7\n"
      "N: usb/lp7\n"
      "E: DEVNAME=/dev/usb/lp7\n"
      "E: SUBSYSTEM=usbmisc\n"
      "A: dev=180:7\\n\n");
  EXPECT_EQ(FindUsbPrinter(kId3012), -1);
  std::string path;
  EXPECT_EQ(OpenUsbPrinter(kId3012, path), -1);
  const std::string log = LogText();
  EXPECT_NE(log.find("[Error]SetupDiGetDeviceRegistryProperty"), std::string::npos) << log;
  EXPECT_NE(log.find("[Error] SetupDiGetDeviceRegistryProperty"), std::string::npos) << log;
}

TEST_F(UsbPrinterTest, ANewOpenReleasesTheListKeptByTheLastOne) {
  Testbed().AddFile("usb_printer_3012");
  std::string path;
  for (int i = 0; i < 2; ++i) {
    const int fd = OpenUsbPrinter(kId3012, path);
    ASSERT_GE(fd, 0);
    close(fd);
  }
  ReleaseUsbDevInfo();
  ReleaseUsbDevInfo();  // releasing twice is harmless
}

// ---- USB serial lines ----

using UsbSerialTest = DiscoveryTest;

TEST_F(UsbSerialTest, FindsTheLineWhoseUsbDeviceMatchesEvenWhenItIsNotTheFirst) {
  // ttyACM0 belongs to 2f3d:3011 and ttyACM1 to 2f3d:3001 (lower-case ids in sysfs).
  Testbed().AddFile("serial_ports");
  EXPECT_EQ(FindUsbSerialPort(kId3001), "/dev/ttyACM1");
  EXPECT_EQ(FindUsbSerialPort(kId3011), "/dev/ttyACM0");
  EXPECT_EQ(FindUsbSerialPort("USB\\VID_2F3D&PID_3A05"), "");
}

TEST_F(UsbSerialTest, MatchesOneLineByNodeOrName) {
  Testbed().AddFile("serial_ports");
  EXPECT_TRUE(UsbSerMatches(kId3001, "/dev/ttyACM1"));
  EXPECT_TRUE(UsbSerMatches(kId3001, "ttyACM1"));
  EXPECT_FALSE(UsbSerMatches(kId3001, "/dev/ttyACM0"));
  EXPECT_FALSE(UsbSerMatches(kId3001, "/dev/ttyS0"));
  EXPECT_FALSE(UsbSerMatches(kId3001, "/dev/ttyACM9"));
  EXPECT_FALSE(UsbSerMatches(kId3001, ""));
  EXPECT_EQ(UsbHardwareIdOfSerialPort("/dev/ttyACM1"), kId3001);
  EXPECT_EQ(UsbHardwareIdOfSerialPort("/dev/ttyS0"), "");
}

TEST_F(UsbSerialTest, NoSerialLinesFindsNothing) {
  Testbed().AddFile("usb_printer_3012");
  EXPECT_EQ(FindUsbSerialPort(kId3012), "");
}

}  // namespace
}  // namespace torva::test
