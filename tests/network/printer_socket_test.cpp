// CPrinterSocket against real TCP peers on 127.0.0.1; its waits on the fake clock.
#include "network/printer_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "app/messages.h"
#include "support/fake_services.h"
#include "support/log_capture.h"
#include "support/sim_process.h"

namespace torva {
namespace {

// A TCP socket on 127.0.0.1 and a free port; listening or only bound (a closed port).
class Peer {
 public:
  explicit Peer(bool listening) {
    m_nFd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(bind(m_nFd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t size = sizeof a;
    getsockname(m_nFd, reinterpret_cast<sockaddr*>(&a), &size);
    m_nPort = ntohs(a.sin_port);
    if (listening) {
      EXPECT_EQ(listen(m_nFd, 4), 0);
    }
  }
  ~Peer() {
    CloseConnection();
    close(m_nFd);
  }
  int Port() const { return m_nPort; }
  int Accept() {
    m_nConn = accept(m_nFd, nullptr, nullptr);
    return m_nConn;
  }
  void SendBytes(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(send(m_nConn, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  void CloseConnection() {
    if (m_nConn >= 0) close(m_nConn);
    m_nConn = -1;
  }
  int Connection() const { return m_nConn; }

 private:
  int m_nFd = -1;
  int m_nConn = -1;
  int m_nPort = 0;
};

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

std::vector<uint8_t> Drain(ByteQueue& queue) {
  std::vector<uint8_t> bytes;
  while (!queue.IsEmpty()) bytes.push_back(queue.Get());
  return bytes;
}

class PrinterSocketTest : public testing::Test {
 protected:
  test::ScopedFakeServices services;
  CPrinterSocket sock;
};

TEST_F(PrinterSocketTest, ConnectsOnTheFirstProbe) {
  Peer peer(true);
  EXPECT_TRUE(sock.ConnectPrinter("127.0.0.1", peer.Port()));
  EXPECT_TRUE(sock.IsConnected());
  EXPECT_EQ(services.clock.Waits(), std::vector<int>{50});
  EXPECT_TRUE(services.ui.Messages().empty());
}

TEST_F(PrinterSocketTest, ConnectsToTheSimulatorOnTheFirstProbe) {
  test::CSimProcess sim;
  ASSERT_TRUE(sim.Start({"--no-serial", "--tcp-port", "0"})) << sim.Error();
  EXPECT_TRUE(sock.ConnectPrinter("127.0.0.1", sim.TcpPort()));
  EXPECT_EQ(services.clock.Waits(), std::vector<int>{50});
  // The printer check GS I 1 gets the simulator's status byte back.
  const uint8_t check[] = {0x1D, 0x49, 0x01};
  EXPECT_EQ(sock.Send(check, 3), 3);
  for (int i = 0; i < 50 && sock.m_QueueSocket.IsEmpty(); ++i) sock.PumpReceive(100);
  EXPECT_FALSE(sock.m_QueueSocket.IsEmpty());
  sock.Close();
  EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(PrinterSocketTest, DialogPauseComesBeforeTheFirstProbe) {
  Peer peer(true);
  EXPECT_TRUE(sock.ConnectPrinter("127.0.0.1", peer.Port(), 10));
  EXPECT_EQ(services.clock.Waits(), (std::vector<int>{10, 50}));
}

struct DeadEnd {
  const char* name;
  bool bad_address;
};

class PrinterSocketDeadEnd : public PrinterSocketTest,
                             public testing::WithParamInterface<DeadEnd> {};

TEST_P(PrinterSocketDeadEnd, NotConnectedAfterTenProbes) {
  Peer closedPort(false);
  const std::string address = GetParam().bad_address ? "printer.local" : "127.0.0.1";
  EXPECT_FALSE(sock.ConnectPrinter(address, closedPort.Port()));
  EXPECT_FALSE(sock.IsConnected());
  EXPECT_EQ(services.clock.Waits(), std::vector<int>(10, 50));
  EXPECT_LT(sock.Send("x", 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PrinterSocketDeadEnd,
                         testing::Values(DeadEnd{"ClosedPort", false}, DeadEnd{"NotAnAddress", true}),
                         [](const auto& param) { return std::string(param.param.name); });

struct QueueCase {
  int queued;
  int batch;
  bool taken;
};

class PrinterSocketQueueRule : public PrinterSocketTest,
                               public testing::WithParamInterface<QueueCase> {};

TEST_P(PrinterSocketQueueRule, BatchFitsOnlyBelow4096) {
  for (int i = 0; i < GetParam().queued; ++i) sock.m_QueueSocket.Put(0xEE);
  const auto batch = Pattern(static_cast<size_t>(GetParam().batch));
  EXPECT_EQ(sock.QueueBatch(batch.data(), GetParam().batch), GetParam().taken);
  EXPECT_EQ(sock.m_QueueSocket.GetCount(),
            GetParam().queued + (GetParam().taken ? GetParam().batch : 0));
  EXPECT_LE(sock.m_QueueSocket.GetCount(), 4095);
  if (GetParam().taken) {
    EXPECT_TRUE(services.ui.Messages().empty());
  } else {
    EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::QueueReadFull]});
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PrinterSocketQueueRule,
                         testing::Values(QueueCase{3072, 1023, true}, QueueCase{3072, 1024, false},
                                         QueueCase{0, 1024, true}, QueueCase{3071, 1024, true},
                                         QueueCase{4095, 1, false}, QueueCase{4094, 1, true}));

class PrinterSocketConnected : public PrinterSocketTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sock.ConnectPrinter("127.0.0.1", peer.Port()));
    ASSERT_GE(peer.Accept(), 0);
  }
  Peer peer{true};
};

TEST_F(PrinterSocketConnected, ReceivedBytesQueueInOrder) {
  const auto bytes = Pattern(3000);
  peer.SendBytes(bytes);
  int queued = 0;
  for (int i = 0; i < 50 && queued < 3000; ++i) queued += sock.PumpReceive(100);
  EXPECT_EQ(queued, 3000);
  EXPECT_EQ(Drain(sock.m_QueueSocket), bytes);
}

TEST_F(PrinterSocketConnected, FarEndClosingClosesTheSocket) {
  peer.SendBytes({1, 2, 3});
  peer.CloseConnection();
  int queued = 0;
  for (int i = 0; i < 50 && sock.IsConnected(); ++i) queued += sock.PumpReceive(100);
  EXPECT_FALSE(sock.IsConnected());
  EXPECT_EQ(queued, 3);
  EXPECT_EQ(Drain(sock.m_QueueSocket), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_LT(sock.Send("x", 1), 0);
}

TEST_F(PrinterSocketConnected, SendToAVanishedPeerFailsWithoutSigpipe) {
  peer.CloseConnection();
  // The first sends may still be taken; once the far end has reset the connection every
  // send fails. A SIGPIPE would end this test program here.
  int result = 0;
  for (int i = 0; i < 200 && result >= 0; ++i) {
    result = sock.Send("0123456789", 10);
    if (result >= 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_LT(result, 0);
}

TEST_F(PrinterSocketConnected, SendDeliversEveryByte) {
  const auto bytes = Pattern(4 << 20);  // more than the socket buffers hold at once
  std::vector<uint8_t> got;
  std::thread reader([&] {
    uint8_t buffer[65536];
    ssize_t n;
    while ((n = recv(peer.Connection(), buffer, sizeof buffer, 0)) > 0) got.insert(got.end(), buffer, buffer + n);
  });
  EXPECT_EQ(sock.Send(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
  EXPECT_EQ(sock.Send(nullptr, 0), 0);
  sock.Close();
  reader.join();
  EXPECT_EQ(got, bytes);
}

TEST_F(PrinterSocketConnected, TraceLogsTheBytesBothWays) {
  test::ScopedTempDir dir;
  test::CLogCapture log(dir.File("error.log"));
  setenv("TORVA_TRACE", "1", 1);
  EXPECT_EQ(sock.Send("\x1D\x49\x01", 3), 3);
  peer.SendBytes({0x12, 0x00});
  int queued = 0;
  for (int i = 0; i < 50 && queued < 2; ++i) queued += sock.PumpReceive(100);
  unsetenv("TORVA_TRACE");
  EXPECT_TRUE(log.Contains("TCP TX 3: 1D 49 01\r\n")) << log.Text();
  EXPECT_TRUE(log.Contains("TCP RX 2: 12 00\r\n")) << log.Text();
}

TEST_F(PrinterSocketConnected, ReaderThreadQueuesUntilTheFarEndCloses) {
  sock.StartReader();
  const auto bytes = Pattern(2500);
  peer.SendBytes(bytes);
  for (int i = 0; i < 500 && sock.m_QueueSocket.GetCount() < 2500; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Drain(sock.m_QueueSocket), bytes);
  peer.CloseConnection();
  for (int i = 0; i < 500 && sock.IsConnected(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(sock.IsConnected());
  sock.Close();  // joins the reader
}

TEST_F(PrinterSocketConnected, ReconnectClosesTheOldConnection) {
  ASSERT_TRUE(sock.ConnectPrinter("127.0.0.1", peer.Port()));
  // The first accepted connection sees its end closed.
  uint8_t byte;
  EXPECT_EQ(recv(peer.Connection(), &byte, 1, 0), 0);
}

// The program's and the command line's socket queue the printer's replies by themselves from
// the connect on, and notice the printer closing; a socket without it leaves them waiting.
TEST_F(PrinterSocketTest, QueueRepliesStartsTheReaderAtConnect) {
  Peer peer(true);
  sock.SetQueueReplies(true);
  ASSERT_TRUE(sock.ConnectPrinter("127.0.0.1", peer.Port()));
  ASSERT_GE(peer.Accept(), 0);
  peer.SendBytes({0x37, 0x27, 0x33, 0x1F, 0x36, 0x00});
  for (int i = 0; i < 500 && sock.m_QueueSocket.GetCount() < 6; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Drain(sock.m_QueueSocket), (std::vector<uint8_t>{0x37, 0x27, 0x33, 0x1F, 0x36, 0x00}));
  peer.CloseConnection();
  for (int i = 0; i < 500 && !sock.PeerClosed(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(sock.PeerClosed());
  EXPECT_LT(sock.Send("\x1B\x40", 2), 0);
}

}  // namespace
}  // namespace torva
