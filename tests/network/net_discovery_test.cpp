// The search and set exchanges against the simulator's responder on loopback: requests go to
// 127.0.0.1:P, replies come to the listen port Q.
#include "network/net_discovery.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "app/app.h"
#include "app/messages.h"
#include "net_test_util.h"
#include "support/fake_services.h"
#include "support/sim_process.h"

namespace torva {
namespace {

using test::LoopbackNet;

const char* kPrinterA = "ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:00:00:0A,dhcp=0,port=6001";
const char* kPrinterB = "ip=192.168.0.11,mask=255.255.0.0,gw=192.168.0.2,mac=00:2B:9E:00:00:0B,dhcp=1,port=9100";
const char* kPrinterC = "ip=10.1.2.3,mask=255.0.0.0,gw=10.0.0.1,mac=00:2B:9E:00:00:0C,dhcp=0,port=515";

class NetDiscoveryTest : public testing::Test {
 protected:
  test::ScopedFakeServices services;

  std::vector<std::string> Messages() const { return services.ui.MessageTexts(); }
};

TEST_F(NetDiscoveryTest, NoPrinterEndsAfterOneTimeOutWithTheEndMessage) {
  LoopbackNet net({});
  CNetDiscovery discovery(net.params);
  const auto start = std::chrono::steady_clock::now();
  const auto replies = discovery.Search();
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_TRUE(replies.empty());
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::TimedOut);
  EXPECT_EQ(discovery.Stats().m_nDatagrams, 0);
  EXPECT_EQ(discovery.Stats().m_nRequestsSent, 1);
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));  // the receive time-out, loosely
  EXPECT_EQ(Messages(), std::vector<std::string>{theMsg[MsgId::SearchFinished]});
  EXPECT_EQ(services.ui.Messages()[0].caption, "TORVASet");
  // The simulator heard exactly one search request.
  ASSERT_EQ(test::HeardAtLeast(net.responder, 1).size(), 1u);
  const auto search = SearchRequestBytes();
  EXPECT_EQ(net.responder.Heard()[0].m_bytes, std::vector<uint8_t>(search.begin(), search.end()));
}

TEST_F(NetDiscoveryTest, ThreePrintersListedInArrivalOrder) {
  LoopbackNet net({kPrinterA, kPrinterB, kPrinterC});
  CNetDiscovery discovery(net.params);
  std::vector<std::string> handed;
  const auto replies =
      discovery.Search([&](const NetPrinterReply& r) { handed.push_back(FormatIpColumn(r.m_packet)); });

  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(handed, (std::vector<std::string>{"192.168.0.10", "192.168.0.11 (DHCP)", "10.1.2.3"}));
  EXPECT_EQ(FormatAddress(replies[1].m_packet.m_mask), "255.255.0.0");
  EXPECT_EQ(FormatAddress(replies[1].m_packet.m_gateway), "192.168.0.2");
  EXPECT_EQ(FormatMac(replies[1].m_packet.m_mac), "00:2B:9E:00:00:0B");
  EXPECT_EQ(replies[1].m_packet.m_nPort, 9100);
  EXPECT_EQ(replies[2].m_packet.m_nPort, 515);
  EXPECT_EQ(replies[0].m_strSource, "127.0.0.2");
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::TimedOut);
  EXPECT_EQ(Messages(), std::vector<std::string>{theMsg[MsgId::SearchFinished]});
}

TEST_F(NetDiscoveryTest, TheSimulatorProgramAnswersAndTakesASet) {
  NetDiscoveryParams params;
  params.m_strBroadcast = "127.0.0.1";
  params.m_nListenPort = test::FreeUdpPort();
  test::CSimProcess sim;
  ASSERT_TRUE(sim.Start({"--no-serial", "--net-listen", "127.0.0.1:0", "--net-reply-port",
                         std::to_string(params.m_nListenPort), "--net-printer", kPrinterA,
                         "--net-printer", kPrinterB}))
      << sim.Error();
  for (const auto& line : sim.StartLines()) {
    if (line.rfind("net: 127.0.0.1:", 0) == 0) params.m_nPort = std::stoi(line.substr(15));
  }
  ASSERT_GT(params.m_nPort, 0);

  CNetDiscovery discovery(params);
  auto replies = discovery.Search();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(FormatIpColumn(replies[1].m_packet), "192.168.0.11 (DHCP)");

  NetSettingPacket fields = replies[1].m_packet;
  fields.m_ip = ParseAddressText("192.168.0.77");
  fields.m_bDhcp = false;
  services.ui.m_answers.push_back(true);
  EXPECT_TRUE(discovery.ChangeSettings(fields, "Notice"));
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::Answered);
  replies = discovery.Search();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(FormatIpColumn(replies[1].m_packet), "192.168.0.77");
  EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(NetDiscoveryTest, DatagramsNotExactly35BytesAreNeverListedButCount) {
  LoopbackNet net({std::string(kPrinterA) + ",len=20", kPrinterB, std::string(kPrinterC) + ",len=36",
                   std::string(kPrinterC) + ",len=0"});
  CNetDiscovery discovery(net.params);
  const auto replies = discovery.Search();
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(FormatIpColumn(replies[0].m_packet), "192.168.0.11 (DHCP)");
  EXPECT_EQ(discovery.Stats().m_nDatagrams, 4);
  EXPECT_EQ(discovery.Stats().m_nWrongSize, 3);
}

TEST_F(NetDiscoveryTest, TheToolsOwnRequestIsNeverListed) {
  // Requests sent to the tool's own listen port come back from 127.0.0.1, as a broadcast
  // comes back from the sender's interface address.
  const int port = test::FreeUdpPort();
  NetDiscoveryParams params;
  params.m_strBroadcast = "127.0.0.1";
  params.m_nPort = port;
  params.m_nListenPort = port;
  CNetDiscovery discovery(params);
  EXPECT_TRUE(discovery.Search().empty());
  EXPECT_EQ(discovery.Stats().m_nDatagrams, 1);
  EXPECT_EQ(discovery.Stats().m_nOwn, 1);
  EXPECT_TRUE(discovery.IsOwnAddress("127.0.0.1"));
  EXPECT_FALSE(discovery.IsOwnAddress("127.0.1.1"));  // what the host name may resolve to
}

TEST_F(NetDiscoveryTest, ARealReplyFromAnOwnAddressIsNotAPrinter) {
  LoopbackNet net({std::string(kPrinterA) + ",src=127.0.0.1", kPrinterB});
  CNetDiscovery discovery(net.params);
  const auto replies = discovery.Search();
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].m_packet.m_nPort, 9100);
  EXPECT_EQ(discovery.Stats().m_nOwn, 1);
}

TEST_F(NetDiscoveryTest, AtMost254DatagramsAreReceived) {
  std::vector<std::string> printers;
  for (int i = 0; i < 256; ++i) {
    printers.push_back("ip=10.0." + std::to_string(i / 200) + "." + std::to_string(1 + i % 200) +
                       ",mac=00:2B:9E:00:01:" + (i < 16 ? "0" : "") + [&] {
                         char hex[4];
                         std::snprintf(hex, sizeof hex, "%X", i);
                         return std::string(hex);
                       }());
  }
  LoopbackNet net(printers);
  CNetDiscovery discovery(net.params);
  const auto replies = discovery.Search();
  EXPECT_EQ(replies.size(), 254u);
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::Limit);
  EXPECT_EQ(Messages(), std::vector<std::string>{theMsg[MsgId::SearchFinished]});
}

TEST_F(NetDiscoveryTest, SetThenSearchShowsTheNewSettings) {
  LoopbackNet net({kPrinterA, kPrinterB});
  NetSettingPacket fields;
  fields.m_ip = ParseAddressText("10.20.30.40");
  fields.m_mask = ParseAddressText("255.255.252.0");
  fields.m_gateway = ParseAddressText("10.20.30.1");
  ASSERT_TRUE(ParseMacText("00:2B:9E:00:00:0B", fields.m_mac));
  fields.m_bDhcp = false;
  fields.m_nPort = 6002;
  services.ui.m_answers.push_back(true);

  CNetDiscovery discovery(net.params);
  EXPECT_TRUE(discovery.ChangeSettings(fields, "Notice"));
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::Answered);
  EXPECT_EQ(services.ui.Questions(), std::vector<std::string>{theMsg[MsgId::AskChangeNetwork]});
  ASSERT_EQ(services.ui.Messages().size(), 1u);
  EXPECT_EQ(services.ui.Messages()[0].text, theMsg[MsgId::UpdateCompleteNetwork]);
  EXPECT_EQ(services.ui.Messages()[0].caption, "Notice");

  // The simulator heard the set and its follow-up, equal but for the command byte.
  const auto heard = test::HeardAtLeast(net.responder, 2);
  ASSERT_EQ(heard.size(), 2u);
  fields.m_command = NetCommand::Set;
  const auto set = fields.ToBytes();
  EXPECT_EQ(heard[0].m_bytes, std::vector<uint8_t>(set.begin(), set.end()));
  auto followUp = heard[0].m_bytes;
  followUp[2] = 0x04;
  EXPECT_EQ(heard[1].m_bytes, followUp);

  const auto replies = discovery.Search();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(FormatIpColumn(replies[0].m_packet), "192.168.0.10");  // the other one unchanged
  EXPECT_EQ(FormatIpColumn(replies[1].m_packet), "10.20.30.40");
  EXPECT_EQ(FormatAddress(replies[1].m_packet.m_mask), "255.255.252.0");
  EXPECT_EQ(FormatAddress(replies[1].m_packet.m_gateway), "10.20.30.1");
  EXPECT_EQ(replies[1].m_packet.m_nPort, 6002);
  EXPECT_FALSE(replies[1].m_packet.m_bDhcp);
}

TEST_F(NetDiscoveryTest, FollowUpIsSentWhenNoPrinterAnswers) {
  LoopbackNet net({kPrinterA});
  NetSettingPacket fields;
  fields.m_ip = ParseAddressText("192.168.0.99");
  ASSERT_TRUE(ParseMacText("00:2B:9E:FF:FF:FF", fields.m_mac));  // nobody has it
  fields.m_nPort = 6001;
  services.ui.m_answers.push_back(true);
  CNetDiscovery discovery(net.params);
  EXPECT_TRUE(discovery.ChangeSettings(fields, kAppName));
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::TimedOut);
  EXPECT_EQ(discovery.Stats().m_nRequestsSent, 2);
  const auto heard = test::HeardAtLeast(net.responder, 2);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].m_bytes[2], 0x02);
  EXPECT_EQ(heard[1].m_bytes[2], 0x04);
  EXPECT_EQ(Messages(), std::vector<std::string>{theMsg[MsgId::UpdateCompleteNetwork]});
  EXPECT_EQ(services.ui.Messages()[0].caption, "TORVASet");
  EXPECT_EQ(net.responder.Printers()[0].m_ip, (NetAddress{192, 168, 0, 10}));  // not its MAC
}

TEST_F(NetDiscoveryTest, ASetAnsweredByAShortDatagramSendsItsFollowUpAtOnce) {
  LoopbackNet net({std::string(kPrinterA) + ",len=20"});
  NetSettingPacket fields;
  fields.m_ip = ParseAddressText("192.168.0.20");
  ASSERT_TRUE(ParseMacText("00:2B:9E:00:00:0A", fields.m_mac));
  fields.m_nPort = 6001;
  services.ui.m_answers.push_back(true);
  CNetDiscovery discovery(net.params);
  EXPECT_TRUE(discovery.ChangeSettings(fields, kAppName));
  // The 20-byte answer ended the wait: no receive time-out before the follow-up.
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::Answered);
  EXPECT_EQ(discovery.Stats().m_nDatagrams, 1);
  const auto heard = test::HeardAtLeast(net.responder, 2);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[1].m_bytes[2], 0x04);
  EXPECT_EQ(net.responder.Printers()[0].m_ip, (NetAddress{192, 168, 0, 20}));
}

TEST_F(NetDiscoveryTest, AnsweringNoSendsNothing) {
  LoopbackNet net({kPrinterA});
  NetSettingPacket fields;
  ASSERT_TRUE(ParseMacText("00:2B:9E:00:00:0A", fields.m_mac));
  services.ui.m_answers.push_back(false);
  CNetDiscovery discovery(net.params);
  EXPECT_FALSE(discovery.ChangeSettings(fields, "Notice"));
  EXPECT_EQ(discovery.Stats().m_nRequestsSent, 0);
  EXPECT_TRUE(Messages().empty());
  // Give a stray datagram time to arrive before looking.
  EXPECT_TRUE(CNetDiscovery(net.params).Search().size() == 1u);
  EXPECT_EQ(net.responder.Heard().size(), 1u);  // only that search
}

TEST_F(NetDiscoveryTest, ListenPortInUseShowsSystemErrorAndStillEnds) {
  const int port = test::FreeUdpPort();
  const int holder = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);

  NetDiscoveryParams params;
  params.m_strBroadcast = "127.0.0.1";
  params.m_nPort = test::FreeUdpPort();
  params.m_nListenPort = port;
  CNetDiscovery discovery(params);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(discovery.Search().empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_TRUE(discovery.Stats().m_bSetupFailed);
  EXPECT_EQ(discovery.Stats().m_end, NetReceiveEnd::Failed);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{theMsg[MsgId::SystemError], theMsg[MsgId::SearchFinished]}));
  EXPECT_NE(discovery.LastError().find(std::to_string(port)), std::string::npos);
  close(holder);
}

TEST_F(NetDiscoveryTest, UnreachableBroadcastIsReportedNotSilent) {
  NetDiscoveryParams params;
  params.m_strBroadcast = "no.such.address";  // the send fails before anything leaves
  params.m_nPort = test::FreeUdpPort();
  params.m_nListenPort = test::FreeUdpPort();
  params.m_nReceiveTimeoutMs = 100;
  CNetDiscovery discovery(params);
  discovery.Search();
  EXPECT_EQ(discovery.Stats().m_nRequestsSent, 0);
  EXPECT_NE(discovery.LastError().find("sendto"), std::string::npos);
}

class NetSettingsOverride : public testing::Test {
 protected:
  void SetUp() override {
    m_strOld = theApp().m_strProfilePath;
    theApp().m_strProfilePath = m_dir.File("torvaset.INI");
  }
  void TearDown() override { theApp().m_strProfilePath = m_strOld; }
  void Write(const std::string& text) { test::WriteFileBytes(theApp().m_strProfilePath, text); }
  test::ScopedFakeServices m_services;
  test::ScopedTempDir m_dir;
  std::string m_strOld;
};

TEST_F(NetSettingsOverride, DefaultsWithoutTheSection) {
  Write("[LOGO]\r\nCount=0\r\n");
  const auto p = NetDiscoveryParams::FromSettings();
  EXPECT_EQ(p.m_strBroadcast, "255.255.255.255");
  EXPECT_EQ(p.m_nPort, 2918);
  EXPECT_EQ(p.m_nListenPort, 2918);
  EXPECT_EQ(p.m_nReceiveTimeoutMs, 1000);
}

TEST_F(NetSettingsOverride, NetworkSectionOverridesEachKey) {
  Write("[network]\r\nBroadcast=127.0.0.1\r\nPORT=2920\r\nlistenport=2921\r\n");
  const auto p = NetDiscoveryParams::FromSettings();
  EXPECT_EQ(p.m_strBroadcast, "127.0.0.1");
  EXPECT_EQ(p.m_nPort, 2920);
  EXPECT_EQ(p.m_nListenPort, 2921);
}

TEST_F(NetSettingsOverride, BadValuesKeepTheDefaults) {
  Write("[NETWORK]\r\nBROADCAST=localhost\r\nPORT=70000\r\nLISTENPORT=29x\r\n");
  const auto p = NetDiscoveryParams::FromSettings();
  EXPECT_EQ(p.m_strBroadcast, "255.255.255.255");
  EXPECT_EQ(p.m_nPort, 2918);
  EXPECT_EQ(p.m_nListenPort, 2918);
}

}  // namespace
}  // namespace torva
