#include "ports/port_kind.h"

#include <gtest/gtest.h>

namespace torva {
namespace {

struct KindCase {
  const char* name;
  PortNameKind kind;
};

class PortKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(PortKindTest, NameGivesKind) { EXPECT_EQ(ClassifyPortName(GetParam().name), GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(
    Names, PortKindTest,
    ::testing::Values(KindCase{"USB", PortNameKind::UsbPrinter}, KindCase{"FILE", PortNameKind::File},
                      KindCase{"ETHERNET_II", PortNameKind::Network},
                      KindCase{"WIFI", PortNameKind::Network}, KindCase{"", PortNameKind::Network},
                      KindCase{"COM1", PortNameKind::Serial}, KindCase{"COM12", PortNameKind::Serial},
                      KindCase{"LPT1", PortNameKind::Parallel},
                      KindCase{"/dev/lp0", PortNameKind::Parallel},
                      KindCase{"/dev/parport0", PortNameKind::Parallel},
                      KindCase{"/dev/usb/lp1", PortNameKind::UsbNode},
                      KindCase{"/dev/ttyUSB0", PortNameKind::Serial},
                      KindCase{"/dev/pts/3", PortNameKind::Serial},
                      KindCase{"/tmp/torva-sim-tty", PortNameKind::Serial},
                      // Only the exact names are special; a file name is not a file port.
                      KindCase{"usb", PortNameKind::Serial},
                      KindCase{"temp.prn", PortNameKind::Serial}));

}  // namespace
}  // namespace torva
