// CPorts against torva-printer-sim on a real pseudo-terminal, and the simulator's TCP side.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/port_fixture.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

using Bytes = std::vector<uint8_t>;

class PortsSimTest : public PortFixture {
 protected:
  void StartSim(std::vector<std::string> args) {
    ASSERT_TRUE(sim.Start(args)) << sim.Error();
    ASSERT_FALSE(sim.SerialPath().empty());
  }
  CSimProcess sim;
};

TEST_F(PortsSimTest, PrinterCheckIsAnsweredThroughTheWatchThread) {
  StartSim({"--status-byte", "0x5A"});
  SetSerial(sim.SerialPath(), 3, 2);
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open()) << log.Text();
  EXPECT_EQ(port.Write(Bytes{0x1D, 0x49, 0x01}), 3);
  EXPECT_EQ(receiver.WaitFor(1), Bytes{0x5A});
  EXPECT_TRUE(port.Close());
  port.JoinWatchThread();
  EXPECT_FALSE(port.IsWatchThreadRunning());
}

TEST_F(PortsSimTest, LineSurvivesCloseAndReopenAndCaptureHasEveryByte) {
  StartSim({"--capture", dir.File("capture.bin")});
  SetSerial(sim.SerialPath(), 1, 2);
  port.m_fnNotify = receiver.Callback(port);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(port.Open()) << "round " << round << "\n" << log.Text();
    EXPECT_EQ(port.Write(Bytes{0x1B, 0x40, 0x1D, 0x49, 0x01}), 5);
    EXPECT_EQ(receiver.WaitFor(static_cast<size_t>(round) + 1).size(), static_cast<size_t>(round) + 1);
    port.Close();
    port.JoinWatchThread();
  }
  const std::string expected = std::string("\x1B\x40\x1D\x49\x01", 5);
  // The capture is written through by the simulator as it reads.
  std::string got;
  for (int i = 0; i < 500 && got.size() < 15; ++i) {
    got = ReadFileBytes(dir.File("capture.bin"));
    if (got.size() < 15) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, expected + expected + expected);
}

TEST_F(PortsSimTest, WriteAfterThePrinterVanishedReturnsZeroAndLogs) {
  StartSim({"--close-after", "3"});
  SetSerial(sim.SerialPath(), 3, 2);
  port.m_fnNotify = receiver.Callback(port);
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(port.Write(Bytes{0x1B, 0x40, 0x1B}), 3);
  // The simulator drops the line once it has read the three bytes; from then on every
  // write fails. Bounded: a fault ends the loop with the last count, not a hang.
  int n = 1;
  for (int i = 0; i < 500 && n != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    n = port.Write(Bytes{0x40});
  }
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(log.Contains("WriteFile get error result [5]")) << log.Text();
  // The watch thread lives through the hang-up and still ends on Close.
  port.Close();
  port.JoinWatchThread();
  EXPECT_FALSE(port.IsWatchThreadRunning());
}

int ConnectLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

Bytes ReceiveSome(int fd, size_t count) {
  Bytes got;
  for (int i = 0; i < 50 && got.size() < count; ++i) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    uint8_t buf[256];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    got.insert(got.end(), buf, buf + n);
  }
  return got;
}

TEST_F(PortsSimTest, TcpClientsAreAnsweredOnLoopback) {
  ASSERT_TRUE(sim.Start({"--no-serial", "--tcp-port", "0"})) << sim.Error();
  ASSERT_GT(sim.TcpPort(), 0);
  const int a = ConnectLoopback(sim.TcpPort());
  const int b = ConnectLoopback(sim.TcpPort());
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  // Half a command on one connection does not mix with the other's.
  const uint8_t half[] = {0x1D, 0x49};
  const uint8_t whole[] = {0x1D, 0x49, 0x01};
  const uint8_t rest[] = {0x01};
  ASSERT_EQ(::send(a, half, 2, MSG_NOSIGNAL), 2);
  ASSERT_EQ(::send(b, whole, 3, MSG_NOSIGNAL), 3);
  EXPECT_EQ(ReceiveSome(b, 1), Bytes{0x20});
  ASSERT_EQ(::send(a, rest, 1, MSG_NOSIGNAL), 1);
  EXPECT_EQ(ReceiveSome(a, 1), Bytes{0x20});
  ::close(a);
  ::close(b);
}

TEST_F(PortsSimTest, TcpConnectionIsDroppedAfterCloseAfterBytes) {
  ASSERT_TRUE(sim.Start({"--no-serial", "--tcp-port", "0", "--close-after", "2"})) << sim.Error();
  const int fd = ConnectLoopback(sim.TcpPort());
  ASSERT_GE(fd, 0);
  const uint8_t bytes[] = {0x1B, 0x40, 0x1D};
  ASSERT_EQ(::send(fd, bytes, 3, MSG_NOSIGNAL), 3);
  // The far end closes: the read ends (0 or an error), nothing is answered.
  EXPECT_TRUE(ReceiveSome(fd, 1).empty());
  ::close(fd);
}

TEST_F(PortsSimTest, SimulatorStopsCleanlyOnSigterm) {
  StartSim({"--link", dir.File("printer-tty")});
  char target[256] = {};
  ASSERT_GT(::readlink(dir.File("printer-tty").c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), sim.SerialPath());
  const int status = sim.Stop();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // Its link goes with it.
  EXPECT_NE(::access(dir.File("printer-tty").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace torva::test
