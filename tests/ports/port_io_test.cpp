// The POSIX back end's timed write: short writes go on, a time-out gives the count so far.
#include "ports/port_io.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include <vector>

#include "support/pty_pair.h"

namespace torva::test {
namespace {

TEST(PortIo, TimedWriteThatCannotFinishReturnsTheCountSoFar) {
  CPtyPair pty;
  const int fd = portio::OpenSerialDevice(pty.SlavePath());
  ASSERT_GE(fd, 0);
  // Nobody reads the master: the pty's buffer fills and, with no time allowed, the write
  // reports what it got rid of instead of blocking.
  std::vector<uint8_t> big(1 << 20, 0x55);
  const portio::WriteResult r = portio::WriteTimed(fd, big.data(), big.size(), 0);
  EXPECT_EQ(r.status, portio::WriteStatus::TimedOut);
  EXPECT_GT(r.nWritten, 0u);
  EXPECT_LT(r.nWritten, big.size());
  portio::CloseHandle(fd);
}

TEST(PortIo, WaitWakesAtOnceWhenSignalled) {
  CPtyPair pty;
  const int wake = portio::CreateWakeEvent();
  ASSERT_GE(wake, 0);
  portio::SignalWakeEvent(wake);
  // A long time-out that must not be used up.
  EXPECT_EQ(portio::WaitReadable(pty.SlaveFd(), wake, 60000), portio::WaitResult::Woken);
  portio::CloseHandle(wake);
}

TEST(PortIo, WriteToASocketWhosePeerLeftFailsWithoutSignal) {
  int sv[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
  ::close(sv[1]);
  const uint8_t b[2] = {1, 2};
  const portio::WriteResult r = portio::WriteTimed(sv[0], b, 2, 100);
  EXPECT_EQ(r.status, portio::WriteStatus::Failed);
  EXPECT_EQ(r.nError, EPIPE);
  ::close(sv[0]);
}

}  // namespace
}  // namespace torva::test
