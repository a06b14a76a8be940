// CPorts against pseudo-terminals, files and a fake USB finder.
#include "ports/ports.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/messages.h"
#include "app/models.h"
#include "ports/port_io.h"
#include "ports/usb_finder.h"
#include "support/port_fixture.h"
#include "support/pty_pair.h"

namespace torva::test {
namespace {

using Bytes = std::vector<uint8_t>;

class PortsTest : public PortFixture {};

TEST_F(PortsTest, CloseOnANeverOpenedPortReturnsFalse) {
  EXPECT_FALSE(port.Close());
  EXPECT_FALSE(port.m_bConnected);
}

class NetworkNameTest : public PortFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(NetworkNameTest, IsRefusedWithInvalidHandle) {
  port.m_strPortName = GetParam();
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.m_hComm, -1);
  EXPECT_FALSE(port.m_bConnected);
  EXPECT_TRUE(log.Contains("CPorts::Open() Invalid Handle\r\n\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Names, NetworkNameTest, ::testing::Values("ETHERNET_II", "WIFI", ""));

// Which line parameter is left "not chosen".
class UnchosenParameterTest : public PortFixture, public ::testing::WithParamInterface<int> {};

TEST_P(UnchosenParameterTest, SerialOpenFailsAndLogsNothing) {
  CPtyPair pty;
  SetSerial(pty.SlavePath());
  int* fields[] = {&port.m_nBaudRate, &port.m_nDataBits, &port.m_nFlowControl, &port.m_nParity};
  *fields[GetParam()] = -1;
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.m_hComm, -1);
  EXPECT_EQ(log.Text(), "");
  EXPECT_TRUE(services.clock.Waits().empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, UnchosenParameterTest, ::testing::Values(0, 1, 2, 3));

TEST_F(PortsTest, SecondOpenReleasesTheHeldLineLogsAndWaitsOneSecond) {
  CPtyPair pty;
  SetSerial(pty.SlavePath());
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(services.clock.Waits().empty());
  EXPECT_FALSE(log.Contains("CloseHandle"));
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CloseHandle run\r\n"));
  EXPECT_EQ(services.clock.Waits(), std::vector<int>{1000});
  // The line is still usable after the reopen.
  EXPECT_EQ(port.Write(Bytes{0x1B, 0x40}), 2);
  EXPECT_EQ(pty.Receive(2), (Bytes{0x1B, 0x40}));
}

TEST_F(PortsTest, CloseReleasesTheLineAndAReopenWorksWithoutWaiting) {
  CPtyPair pty;
  SetSerial(pty.SlavePath());
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(port.Close());
  EXPECT_EQ(port.m_hComm, -1);
  EXPECT_FALSE(port.Close());
  ASSERT_TRUE(port.Open());
  EXPECT_FALSE(log.Contains("CloseHandle"));
  EXPECT_TRUE(services.clock.Waits().empty());
  EXPECT_EQ(port.Write(Bytes{0x1D, 0x49, 0x01}), 3);
  EXPECT_EQ(pty.Receive(3), (Bytes{0x1D, 0x49, 0x01}));
}

TEST_F(PortsTest, SerialLineIsNotSharedWhileOpen) {
  CPtyPair pty;
  SetSerial(pty.SlavePath());
  ASSERT_TRUE(port.Open());
  CPorts other;
  static_cast<ConnectionSettings&>(other) = port;
  EXPECT_FALSE(other.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CreateFile error\r\n"));
  port.Close();
  EXPECT_TRUE(other.Open());
}

struct OpenFailureCase {
  const char* what;
  int nBaudRate;
  bool bRegularFile;  // a path that exists but is no serial line
  const char* logLine;
  int nLastError;  // what the open's message shows as the system error code
};

class SerialOpenFailureTest : public PortFixture,
                              public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(SerialOpenFailureTest, LogsTheFailingStep) {
  CPtyPair pty;
  std::string path = pty.SlavePath();
  if (GetParam().bRegularFile) {
    path = dir.File("not-a-line");
    WriteFileBytes(path, "x");
  } else if (GetParam().nBaudRate == 115200) {
    path = dir.File("missing");
  }
  SetSerial(path);
  port.m_nBaudRate = GetParam().nBaudRate;
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.m_bConnected);
  EXPECT_EQ(port.m_hComm, -1);
  EXPECT_TRUE(log.Contains(GetParam().logLine)) << log.Text();
  EXPECT_EQ(portio::PortLastError(), GetParam().nLastError);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SerialOpenFailureTest,
    ::testing::Values(
        OpenFailureCase{"missing device", 115200, false, "CPorts::Open() CreateFile error\r\n",
                        ENOENT},
        OpenFailureCase{"not a tty", 9600, true, "CPorts::Open() GetCommState failed.\r\n", ENOTTY},
        OpenFailureCase{"unsupported baud", 12345, false, "CPorts::Open() SetCommstate failed(22).\r\n",
                        EINVAL},
        OpenFailureCase{"zero baud", 0, false, "CPorts::Open() SetCommstate failed(22).\r\n", EINVAL}),
    [](const ::testing::TestParamInfo<OpenFailureCase>& param) {
      std::string n = param.param.what;
      for (char& c : n) c = c == ' ' ? '_' : c;
      return n;
    });

struct LineCase {
  int nBaud;
  speed_t speed;
  int nDataBits;
  int nParity;
  int nStopBits;
  bool bTwoStop;
};

// What a pseudo-terminal keeps of the line settings: the rate, the stop bits, the raw mode.
// (It always reports 8 data bits without parity; the exact format flags are checked on the
// settings themselves in serial_termios_test.cpp.)
class LineParameterTest : public PortFixture, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineParameterTest, ReadBackFromTheLine) {
  CPtyPair pty;
  const LineCase& c = GetParam();
  SetSerial(pty.SlavePath());
  port.m_nBaudRate = c.nBaud;
  port.m_nDataBits = c.nDataBits;
  port.m_nParity = c.nParity;
  port.m_nStopBits = c.nStopBits;
  ASSERT_TRUE(port.Open()) << log.Text();
  termios t{};
  ASSERT_EQ(tcgetattr(pty.SlaveFd(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), c.speed);
  EXPECT_EQ(cfgetispeed(&t), c.speed);
  EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.bTwoStop);
  // A raw line: binary commands pass untouched.
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
  // And bytes that a cooked line would change arrive as sent.
  const Bytes binary{0x0D, 0x0A, 0x03, 0x1A, 0x7F, 0xFF, 0x00};
  EXPECT_EQ(port.Write(binary), 7);
  EXPECT_EQ(pty.Receive(7), binary);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineParameterTest,
                         ::testing::Values(LineCase{115200, B115200, 8, 0, 0, false},
                                           LineCase{9600, B9600, 7, 2, 2, true},
                                           LineCase{19200, B19200, 8, 1, 0, false},
                                           // One and a half stop bits become two.
                                           LineCase{38400, B38400, 7, 1, 1, true},
                                           LineCase{1200, B1200, 8, 2, 0, false},
                                           LineCase{921600, B921600, 8, 0, 2, true}));

struct FlowCase {
  int nFlow;
  bool bPresetHandshake;  // CRTSCTS and IXOFF on before the open
  bool bCrtscts;
  bool bIxoff;
};

class FlowControlTest : public PortFixture, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(FlowControlTest, HandshakeFlagsFollowTheTable) {
  CPtyPair pty;
  termios pre{};
  ASSERT_EQ(tcgetattr(pty.SlaveFd(), &pre), 0);
  if (GetParam().bPresetHandshake) {
    pre.c_cflag |= CRTSCTS;
    pre.c_iflag |= IXOFF | IXON;
  } else {
    pre.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    pre.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXON);
  }
  ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &pre), 0);

  SetSerial(pty.SlavePath(), GetParam().nFlow);
  // A pty has no modem lines: the DTR and RTS calls fail with ENOTTY, which is fine.
  ASSERT_TRUE(port.Open()) << log.Text();
  termios t{};
  ASSERT_EQ(tcgetattr(pty.SlaveFd(), &t), 0);
  EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, GetParam().bCrtscts);
  EXPECT_EQ((t.c_iflag & IXOFF) != 0, GetParam().bIxoff);
  // XON/XOFF output flow never stays on: it would eat 11 and 13 in the printer's replies.
  EXPECT_EQ(t.c_iflag & IXON, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, FlowControlTest,
                         ::testing::Values(FlowCase{1, false, true, false},   // H/W
                                           FlowCase{1, true, true, true},
                                           FlowCase{3, true, false, true},    // none
                                           FlowCase{3, false, false, false},
                                           FlowCase{2, true, true, true},     // S/W: as read
                                           FlowCase{2, false, false, false}));

TEST_F(PortsTest, OpenPurgesWhatTheLineHadQueued) {
  CPtyPair pty;
  pty.Send({0x55, 0x66});
  SetSerial(pty.SlavePath(), 3, 2);
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  pty.Send({0x77});
  EXPECT_EQ(receiver.WaitFor(1), Bytes{0x77});
  port.Close();
  port.JoinWatchThread();
}

TEST_F(PortsTest, WatchThreadRunsOnlyForUserSetupAndLegacyFirmware) {
  CPtyPair pty;
  const struct {
    uint8_t function;
    int model;
    bool watch;
  } cases[] = {{1, 5, false}, {2, 5, true}, {3, 5, false}, {3, 2, true}};
  for (const auto& c : cases) {
    SetSerial(pty.SlavePath(), 3, c.function);
    port.m_nModel = c.model;
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.IsWatchThreadRunning(), c.watch) << int{c.function} << "/" << c.model;
    port.Close();
    port.JoinWatchThread();
  }
}

TEST_F(PortsTest, WatchThreadEndsAfterCloseOnAnIdleLine) {
  CPtyPair pty;
  SetSerial(pty.SlavePath(), 3, 2);
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(port.IsWatchThreadRunning());
  ASSERT_TRUE(port.Close());
  port.JoinWatchThread();  // returns because the thread ended; a hang fails by time-out
  EXPECT_FALSE(port.IsWatchThreadRunning());
}

TEST_F(PortsTest, SecondOpenReplacesTheWatchThreadAndTheNewOneReceives) {
  CPtyPair pty;
  SetSerial(pty.SlavePath(), 3, 2);
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  // The first thread is joined before the second starts (a thread object that is still
  // joinable would end the program on reassignment).
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CloseHandle run\r\n"));
  EXPECT_TRUE(port.IsWatchThreadRunning());
  pty.Send({0x42});
  EXPECT_EQ(receiver.WaitFor(1), Bytes{0x42});
  port.Close();
  port.JoinWatchThread();
}

TEST_F(PortsTest, ClearingWatchRunAloneEndsTheThread) {
  CPtyPair pty;
  SetSerial(pty.SlavePath(), 3, 2);
  ASSERT_TRUE(port.Open());
  port.m_bWatchRun = false;
  port.JoinWatchThread();
  EXPECT_FALSE(port.IsWatchThreadRunning());
  EXPECT_TRUE(port.m_bConnected);
  // The port stays open for writing.
  EXPECT_EQ(port.Write(Bytes{0x10}), 1);
}

TEST_F(PortsTest, AReadThatDoesNotFitIsDroppedWithMessage41) {
  CPtyPair pty;
  SetSerial(pty.SlavePath(), 3, 2);
  for (int i = 0; i < 4095; ++i) port.m_QueueRead.Put(0xAA);
  int calls = 0;
  std::mutex m;
  std::condition_variable cv;
  port.m_fnNotify = [&] {
    std::lock_guard lock(m);
    ++calls;
    cv.notify_all();
  };
  ASSERT_TRUE(port.Open());
  pty.Send({0x01, 0x02, 0x03});
  {
    std::unique_lock lock(m);
    cv.wait_for(lock, std::chrono::seconds(5), [&] { return calls > 0; });
  }
  port.Close();
  port.JoinWatchThread();
  EXPECT_EQ(port.m_QueueRead.GetCount(), 4095);
  EXPECT_EQ(port.m_QueueRead.Get(), 0xAA);
  const auto texts = services.ui.MessageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.front(), theMsg[MsgId::QueueReadFull]);
}

TEST_F(PortsTest, NotificationIsNotCalledAfterCloseReturned) {
  CPtyPair pty;
  SetSerial(pty.SlavePath(), 3, 2);
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  pty.Send({0x31});
  ASSERT_EQ(receiver.WaitFor(1).size(), 1u);
  port.Close();
  port.JoinWatchThread();
  pty.Send({0x32});
  // Nothing reads the line any more: the byte stays unread and no callback runs.
  EXPECT_EQ(receiver.WaitCalls(2, 200), 1);
}

TEST_F(PortsTest, WriteAfterThePrinterVanishedFailsAndLogs) {
  CPtyPair pty;
  SetSerial(pty.SlavePath());
  ASSERT_TRUE(port.Open());
  pty.CloseMaster();
  EXPECT_EQ(port.Write(Bytes{0x1B, 0x40}), 0);
  EXPECT_TRUE(log.Contains("WriteFile get error result [5]")) << log.Text();
}

TEST_F(PortsTest, WriteOnAClosedPortFails) {
  EXPECT_EQ(port.Write(Bytes{0x1B, 0x40}), 0);
  EXPECT_TRUE(log.Contains("WriteFile get error result [9]"));
}

TEST_F(PortsTest, FileOpenCancelledWritesTempPrn) {
  port.m_strPortName = "FILE";
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(port.m_strPortName, "temp.prn");
  EXPECT_EQ(port.OpenKind(), PortNameKind::File);
  EXPECT_EQ(port.Write(Bytes{0x1C, 0x71, 0x01}), 3);
  ASSERT_TRUE(port.Close());
  EXPECT_EQ(ReadFileBytes(dir.File("temp.prn")), std::string("\x1C\x71\x01"));
}

TEST_F(PortsTest, FileOpenWithAnEmptyNameShowsText0AndAsksAgain) {
  services.ui.m_printNames = {std::string(), std::string("out.prn")};
  port.m_strPortName = "FILE";
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::OutputFileName]});
  EXPECT_EQ(port.m_strPortName, "out.prn");
  EXPECT_EQ(port.Write(Bytes{0x41}), 1);
  port.Close();
  EXPECT_EQ(ReadFileBytes(dir.File("out.prn")), "A");
}

TEST_F(PortsTest, FileThatCannotBeCreatedFails) {
  services.ui.m_printNames = {dir.File("no/such/dir/out.prn")};
  port.m_strPortName = "FILE";
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CreateFile error\r\n"));
  EXPECT_FALSE(port.m_bConnected);
}

TEST_F(PortsTest, ParallelPortThatIsNotThereFails) {
  port.m_strPortName = "LPT1";
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CreateFile error\r\n"));
}

// Each open failure keeps its fixed text and adds the call, the path and the system error.
struct OpenReasonCase {
  const char* portName;  // "%s" stands for a folder that does not exist
  const char* reason;
};

class OpenReasonTest : public PortFixture, public ::testing::WithParamInterface<OpenReasonCase> {};

TEST_P(OpenReasonTest, LogsTheCallThePathAndTheSystemError) {
  std::string name = GetParam().portName;
  const size_t at = name.find("%s");
  if (at != std::string::npos) name.replace(at, 2, dir.File("missing"));
  if (std::string(GetParam().reason) == "create output file") {
    services.ui.m_printNames.push_back(name);
    port.m_strPortName = "FILE";
  } else if (std::string(GetParam().reason) == "open serial device") {
    SetSerial(name);
  } else {
    port.m_strPortName = name;
  }
  EXPECT_FALSE(port.Open());
  EXPECT_TRUE(log.Contains("CPorts::Open() CreateFile error\r\n"));
  const std::string reason = std::string("CPorts::Open() ") + GetParam().reason + " ";
  EXPECT_TRUE(log.Contains(reason + name + ": ")) << log.Text();
  EXPECT_TRUE(log.Contains(std::string(std::strerror(ENOENT)) + " [" + std::to_string(ENOENT) + "]"))
      << log.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpenReasonTest,
    ::testing::Values(OpenReasonCase{"%s/ttyS9", "open serial device"},
                      OpenReasonCase{"/dev/lp-torva-missing", "open parallel device"},
                      OpenReasonCase{"%s/out.prn", "create output file"}));

TEST_F(PortsTest, TraceWritesTheBytesToTheLog) {
  setenv("TORVA_TRACE", "1", 1);
  port.m_strPortName = "FILE";
  ASSERT_TRUE(port.Open());
  port.Write(Bytes{0x1D, 0x49, 0x01});
  unsetenv("TORVA_TRACE");
  port.Write(Bytes{0x1B, 0x40});
  EXPECT_TRUE(log.Contains("TX 3: 1D 49 01\r\n"));
  EXPECT_FALSE(log.Contains("TX 2"));
}

TEST_F(PortsTest, AwaitReplyReadsWhatCameOrGivesUpAfterItsWait) {
  CPtyPair pty;
  pty.MakeSlaveRaw();
  SetSerial(pty.SlavePath());
  ASSERT_TRUE(port.Open());
  uint8_t reply[16];
  EXPECT_EQ(port.AwaitReply(reply, sizeof reply, 20), 0);
  pty.Send(Bytes{0x12, 0x34, 0x56});
  const int n = port.AwaitReply(reply, 2, 2000);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(Bytes(reply, reply + n), (Bytes{0x12, 0x34}));
  port.Close();
  EXPECT_EQ(port.AwaitReply(reply, sizeof reply, 20), 0);
}

// A USB finder that "finds" a pty slave for one chosen identifier.
class CFakeUsbFinder final : public IUsbPrinterFinder {
 public:
  std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) override {
    m_asked.push_back(hardwareId);
    if (hardwareId != m_strPresent || m_pPty == nullptr) return -1;
    pathOut = m_pPty->SlavePath();
    return ::open(pathOut.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  void ReleaseDevInfo() override { ++m_nReleased; }

  CPtyPair* m_pPty = nullptr;
  std::string m_strPresent;
  std::vector<std::string> m_asked;
  int m_nReleased = 0;
};

class UsbPortsTest : public PortFixture {
 protected:
  void SetUp() override {
    SetUsbPrinterFinder(&finder);
    finder.m_pPty = &pty;
    port.m_strPortName = "USB";
  }
  void TearDown() override { SetUsbPrinterFinder(nullptr); }
  CPtyPair pty;
  CFakeUsbFinder finder;
};

TEST_F(UsbPortsTest, Model5TriesItsIdentifiersInOrderAndFailsWhenNoneIsPresent) {
  port.m_nModel = kModelTorva30;
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(finder.m_asked,
            (std::vector<std::string>{"USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002",
                                      "USB\\VID_2F3D&PID_3502", "USB\\VID_2F3D&PID_3A06"}));
  EXPECT_FALSE(port.m_bConnected);
}

TEST_F(UsbPortsTest, StopsAtTheFirstIdentifierFoundAndReleasesAtClose) {
  port.m_nModel = kModelTorva40;
  finder.m_strPresent = "USB\\VID_2F3D&PID_3004";
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(finder.m_asked.size(), 2u);
  EXPECT_EQ(port.m_szDevicePath, pty.SlavePath());
  EXPECT_EQ(port.Write(Bytes{0x1D, 0x49, 0x01}), 3);
  EXPECT_EQ(pty.Receive(3), (Bytes{0x1D, 0x49, 0x01}));
  EXPECT_TRUE(port.Close());
  EXPECT_EQ(finder.m_nReleased, 1);
}

TEST_F(UsbPortsTest, ReplyIsDecodedIntoTheQueueAndNotified) {
  port.m_nModel = kModelTorva20II;
  finder.m_strPresent = "USB\\VID_2F3D&PID_3004";
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  pty.Send({0x1B, 0x30, 0x41, 0x1B, 0x1B, 0x1B, 0x42});
  ASSERT_TRUE(port.ReadUsbReply());
  EXPECT_EQ(receiver.WaitFor(4, 0), (Bytes{0x00, 0x41, 0x1B, 0x42}));
  EXPECT_EQ(port.m_hUsbRead, -1);
  // Four bounded passes, no prescribed waits.
  EXPECT_TRUE(services.clock.Waits().empty());
}

// The driver allows one open of the node: the reply comes through the handle already open,
// even when the node could not be opened a second time; a closed port shows its path.
TEST_F(UsbPortsTest, ReplyIsReadThroughTheOpenHandleNotASecondOpen) {
  port.m_nModel = kModelTorva20II;
  finder.m_strPresent = "USB\\VID_2F3D&PID_3004";
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  port.m_szDevicePath = dir.File("gone");
  pty.Send({0x37, 0x27});
  EXPECT_TRUE(port.ReadUsbReply());
  EXPECT_EQ(receiver.WaitFor(2, 0), (Bytes{0x37, 0x27}));
  EXPECT_TRUE(services.ui.MessageTexts().empty());
  port.Close();
  EXPECT_FALSE(port.ReadUsbReply());
  EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{dir.File("gone")});
}

// A printer that is busy: a named pipe whose reader starts taking bytes only after 600 ms,
// with the pipe already full when the port writes. The port reaches it as "LPT1" (in the
// working directory) or as the USB printer a finder found.
class CFifoUsbFinder final : public IUsbPrinterFinder {
 public:
  std::intptr_t OpenUsbPrinter(const std::string&, std::string& pathOut) override {
    pathOut = "LPT1";
    return ::open(pathOut.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  }
  void ReleaseDevInfo() override {}
};

class SlowPrinterTest : public PortFixture, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkfifo("LPT1", 0600), 0);
    m_nReader = ::open("LPT1", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(m_nReader, 0);
    SetUsbPrinterFinder(&m_finder);
  }
  void TearDown() override {
    SetUsbPrinterFinder(nullptr);
    ::close(m_nReader);
  }
  // Fills the pipe through a handle of its own; the count it took.
  size_t FillPipe() {
    const int filler = ::open("LPT1", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const std::vector<uint8_t> block(4096, 0x55);
    size_t total = 0;
    for (ssize_t n; (n = ::write(filler, block.data(), block.size())) > 0;) total += static_cast<size_t>(n);
    ::close(filler);
    return total;
  }
  int m_nReader = -1;
  CFifoUsbFinder m_finder;
};

TEST_P(SlowPrinterTest, AWriteThatCompletesAfter600MsSucceeds) {
  port.m_strPortName = GetParam();
  port.m_nModel = kModelTorva20II;
  ASSERT_TRUE(port.Open());
  const size_t queued = FillPipe();
  ASSERT_GT(queued, 0u);
  std::vector<uint8_t> drained;
  std::thread printer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    uint8_t buffer[4096];
    for (int idle = 0; drained.size() < queued + 4 && idle < 100;) {
      pollfd pfd{m_nReader, POLLIN, 0};
      if (::poll(&pfd, 1, 50) <= 0) {
        ++idle;
        continue;
      }
      const ssize_t n = ::read(m_nReader, buffer, sizeof buffer);
      if (n > 0) drained.insert(drained.end(), buffer, buffer + n);
    }
  });
  EXPECT_EQ(port.Write(Bytes{0x10, 0x00, 0x01, 0x00}), 4);
  printer.join();
  ASSERT_EQ(drained.size(), queued + 4);
  EXPECT_EQ(Bytes(drained.end() - 4, drained.end()), (Bytes{0x10, 0x00, 0x01, 0x00}));
  EXPECT_FALSE(log.Contains("Time-out")) << log.Text();
  EXPECT_TRUE(services.ui.MessageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, SlowPrinterTest, ::testing::Values("LPT1", "USB"),
                         [](const auto& p) { return std::string(p.param); });

// A parallel printer without paper refuses the write at once (ENOSPC, as /dev/full does):
// the user is told so, besides the caller's own message.
TEST_F(PortsTest, AParallelPrinterOutOfPaperIsToldSo) {
  ASSERT_EQ(::symlink("/dev/full", "LPT1"), 0);
  port.m_strPortName = "LPT1";
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(port.Write(Bytes{0x1B, 0x40}), 0);
  EXPECT_TRUE(log.Contains("WriteFile get error result [28]")) << log.Text();
  ASSERT_EQ(services.ui.MessageTexts().size(), 1u);
  EXPECT_EQ(services.ui.MessageTexts()[0],
            std::string(theMsg[MsgId::PrinterNotReady]) + "\r\nThe printer is out of paper.");
}

}  // namespace
}  // namespace torva::test
