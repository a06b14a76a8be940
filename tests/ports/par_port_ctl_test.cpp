// ParPortCtl against a pseudo-terminal in the printer's place: the test plays the printer on
// the master side.
#include "ports/par_port_ctl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "support/fake_services.h"
#include "support/log_capture.h"
#include "support/pty_pair.h"

namespace torva::test {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

class ParPortCtlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pty.MakeSlaveRaw();
    ASSERT_TRUE(ctl.Open(pty.SlavePath())) << ctl.Error();
  }
  // Takes queued bytes until count came or about two seconds passed.
  Bytes Collect(size_t count) {
    Bytes out;
    for (int idle = 0; idle < 200 && out.size() < count;) {
      int status = 0;
      const uint8_t b = ctl.GetByte(status);
      if (status == 1) {
        out.push_back(b);
      } else {
        std::this_thread::sleep_for(10ms);
        ++idle;
      }
    }
    return out;
  }

  ScopedFakeServices services;
  ScopedTempDir dir{true};
  CLogCapture log{dir.File("error.log")};
  CPtyPair pty;
  ParPortCtl ctl;
};

struct ScanCase {
  const char* name;
  Bytes block;
  Bytes queued;
  std::array<uint8_t, 4> asb;
};

Bytes Block512() {
  Bytes b(512);
  for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(0x20 + i % 0x50);
  return b;
}

// One reply block per case: what reaches the queue and what is kept as the status.
TEST_F(ParPortCtlTest, ReplyBlocksAreSplitIntoStatusBackAndData) {
  const std::vector<ScanCase> cases = {
      {"status then data", {0x14, 0x00, 0x00, 0x0F, 0x41, 0x42}, {0x41, 0x42}, {0x14, 0, 0, 0x0F}},
      {"status between data",
       {0x41, 0x10, 0x0F, 0x0F, 0x0F, 0x42},
       {0x41, 0x42},
       {0x10, 0x0F, 0x0F, 0x0F}},
      {"fourth byte missing at the end",
       {0x41, 0x14, 0x00, 0x00},
       {0x41, 0x14, 0x00, 0x00},
       {0x10, 0x0F, 0x0F, 0x0F}},
      {"not a status: b1 has bit 7",
       {0x14, 0x80, 0x00, 0x0F},
       {0x14, 0x80, 0x00, 0x0F},
       {0x10, 0x0F, 0x0F, 0x0F}},
      {"a whole 512-byte block", Block512(), Block512(), {0x10, 0x0F, 0x0F, 0x0F}},
  };
  ASSERT_TRUE(ctl.StartThread());
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.name);
    pty.Send(c.block);
    std::this_thread::sleep_for(50ms);  // the block is complete before the reader looks
    ctl.RequestRead();
    EXPECT_EQ(Collect(c.queued.size()), c.queued);
    EXPECT_EQ(ctl.Asb(), c.asb);
  }
  int status = 0;
  EXPECT_EQ(ctl.GetByte(status), 0);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(ctl.Error(), "[ParPortCtl] Receive Queue is Empty");
}

TEST_F(ParPortCtlTest, FullQueueEndsTheReaderAndAStartRunsItAgain) {
  for (int i = 0; i < 4095; ++i) ctl.m_Queue.Put(0xEE);
  ASSERT_TRUE(ctl.StartThread());
  pty.Send({0x41, 0x42});
  ctl.RequestRead();
  for (int i = 0; i < 200 && ctl.IsReaderRunning(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(ctl.IsReaderRunning());
  EXPECT_EQ(ctl.Error(), "Receive Queue is FULL!");
  EXPECT_EQ(ctl.m_Queue.GetCount(), 4095);

  // Requests are answered again once the queue was read and the reader started anew.
  ctl.m_Queue.Clear();
  ASSERT_TRUE(ctl.StartThread());
  pty.Send({0x43});
  ctl.RequestRead();
  EXPECT_EQ(Collect(1), (Bytes{0x43}));
}

// A read that waits for a printer that never answers still ends promptly on a stop, and
// what the printer sent unasked is drained and dropped rather than queued.
TEST_F(ParPortCtlTest, StopEndsAWaitingReadAndDrainsWhatIsPending) {
  ASSERT_TRUE(ctl.StartThread());
  ctl.RequestRead();
  std::this_thread::sleep_for(150ms);  // the reader now waits inside its read
  const auto start = std::chrono::steady_clock::now();
  ctl.StopThread();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  EXPECT_FALSE(ctl.IsReaderRunning());

  ASSERT_TRUE(ctl.StartThread());
  pty.Send({0x51, 0x52, 0x53});
  std::this_thread::sleep_for(50ms);
  ctl.StopThread();
  EXPECT_TRUE(ctl.m_Queue.IsEmpty());
  int status = 0;
  ctl.GetByte(status);
  EXPECT_EQ(status, -1);

  // Close stops the reader and pauses 100 ms through the clock before the port goes.
  ASSERT_TRUE(ctl.StartThread());
  EXPECT_TRUE(ctl.Close());
  EXPECT_FALSE(ctl.IsReaderRunning());
  EXPECT_EQ(services.clock.Waits(), std::vector<int>{100});
  EXPECT_EQ(ctl.Write(Bytes{0x1D}.data(), 1), 0);
}

TEST_F(ParPortCtlTest, FailuresLeaveTheirTexts) {
  const Bytes check = {0x1D, 0x61, 0x00};
  EXPECT_EQ(ctl.Write(check.data(), 3), 3);
  EXPECT_EQ(pty.Receive(3), check);

  ParPortCtl missing;
  EXPECT_FALSE(missing.Open(dir.File("no-such-port")));
  EXPECT_EQ(missing.Error(), "[ParPortCtl] CreateFile fail : 2");
  EXPECT_EQ(missing.Write(check.data(), 3), 0);

  // The printer vanishes: writes and reads fail with the system's code (EIO).
  pty.CloseMaster();
  EXPECT_EQ(ctl.Write(check.data(), 3), 0);
  EXPECT_EQ(ctl.Error(), "[ParPortCtl] Write fail : 5");
  uint8_t buffer[16];
  EXPECT_EQ(ctl.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(ctl.Error(), "[ParPortCtl] Read fail : 5\r\n");
  EXPECT_TRUE(log.Contains("[ParPortCtl] Read fail : 5"));
}

}  // namespace
}  // namespace torva::test
