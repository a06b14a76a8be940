// The exact termios flags of each line format and flow control.
#include <gtest/gtest.h>

#include "ports/serial_posix.h"

namespace torva::portio {
namespace {

struct FormatCase {
  int nDataBits;
  int nParity;
  int nStopBits;
  tcflag_t size;
  tcflag_t parity;  // PARENB / PARODD bits
  bool bTwoStop;
};

class LineFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LineFormatTest, SetsTheFormatFlags) {
  termios current{};
  current.c_cflag = CS8 | PARENB | PARODD | CSTOPB;  // whatever the driver had
  SerialLine line;
  line.nBaudRate = 9600;
  line.nDataBits = GetParam().nDataBits;
  line.nParity = GetParam().nParity;
  line.nStopBits = GetParam().nStopBits;
  LineTermios out;
  ASSERT_TRUE(BuildLineTermios(current, line, out));
  EXPECT_EQ(out.t.c_cflag & CSIZE, GetParam().size);
  EXPECT_EQ(out.t.c_cflag & (PARENB | PARODD), GetParam().parity);
  EXPECT_EQ((out.t.c_cflag & CSTOPB) != 0, GetParam().bTwoStop);
  EXPECT_EQ(cfgetospeed(&out.t), static_cast<speed_t>(B9600));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LineFormatTest,
    ::testing::Values(FormatCase{8, 0, 0, CS8, 0, false}, FormatCase{7, 2, 2, CS7, PARENB, true},
                      FormatCase{7, 1, 0, CS7, PARENB | PARODD, false},
                      FormatCase{8, 2, 1, CS8, PARENB, true},  // 1.5 stop bits -> 2
                      FormatCase{8, 1, 2, CS8, PARENB | PARODD, true}));

struct BadLineCase {
  int nBaud, nDataBits, nParity, nStopBits;
};

class BadLineTest : public ::testing::TestWithParam<BadLineCase> {};

TEST_P(BadLineTest, HasNoSetting) {
  SerialLine line;
  line.nBaudRate = GetParam().nBaud;
  line.nDataBits = GetParam().nDataBits;
  line.nParity = GetParam().nParity;
  line.nStopBits = GetParam().nStopBits;
  LineTermios out;
  EXPECT_FALSE(BuildLineTermios(termios{}, line, out));
}

INSTANTIATE_TEST_SUITE_P(Values, BadLineTest,
                         ::testing::Values(BadLineCase{12345, 8, 0, 0}, BadLineCase{0, 8, 0, 0},
                                           BadLineCase{9600, 9, 0, 0}, BadLineCase{9600, 8, 3, 0},
                                           BadLineCase{9600, 8, 0, 3}));

struct FlowCase {
  int nFlow;
  ModemLine dtr;
  ModemLine rts;
};

class ModemLineTest : public ::testing::TestWithParam<FlowCase> {};

TEST_P(ModemLineTest, DtrAndRtsFollowTheFlowControl) {
  SerialLine line;
  line.nBaudRate = 9600;
  line.nFlowControl = GetParam().nFlow;
  LineTermios out;
  ASSERT_TRUE(BuildLineTermios(termios{}, line, out));
  EXPECT_EQ(out.dtr, GetParam().dtr);
  EXPECT_EQ(out.rts, GetParam().rts);
}

INSTANTIATE_TEST_SUITE_P(Table, ModemLineTest,
                         ::testing::Values(FlowCase{1, ModemLine::Raise, ModemLine::Raise},
                                           FlowCase{2, ModemLine::Leave, ModemLine::Leave},
                                           FlowCase{3, ModemLine::Drop, ModemLine::Drop}));

}  // namespace
}  // namespace torva::portio
