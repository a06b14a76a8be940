// torvaset-cli net search / set against the simulator's responder on loopback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/messages.h"
#include "net_test_util.h"

namespace torva {
namespace {

using test::LoopbackNet;
using test::RunCli;

const char* kA = "ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:00:00:0A,dhcp=1,port=6001";
const char* kB = "ip=192.168.0.11,mask=255.255.0.0,gw=192.168.0.2,mac=00:2B:9E:00:00:0B,dhcp=0,port=9100";

std::vector<std::string> NetArgs(const LoopbackNet& net, std::vector<std::string> args) {
  args.insert(args.end(), {"--broadcast", net.params.m_strBroadcast, "--port",
                           std::to_string(net.params.m_nPort), "--listen-port",
                           std::to_string(net.params.m_nListenPort)});
  return args;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.push_back(text.substr(start, nl - start));
  }
  return lines;
}

TEST(CliNet, SearchJsonOneObjectPerPrinterThenTheEndMessage) {
  LoopbackNet net({kA, kB});
  const auto r = RunCli(NetArgs(net, {"net", "search", "--json"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{
                R"({"ip":"192.168.0.10","dhcp":true,"port":6001,"subnet":"255.255.255.0","gateway":"192.168.0.1","mac":"00:2B:9E:00:00:0A","source":"127.0.0.2"})",
                R"({"ip":"192.168.0.11","dhcp":false,"port":9100,"subnet":"255.255.0.0","gateway":"192.168.0.2","mac":"00:2B:9E:00:00:0B","source":"127.0.0.3"})"}));
  EXPECT_NE(r.err.find(theMsg[MsgId::SearchFinished]), std::string::npos) << r.err;
}

TEST(CliNet, SearchTextHasTheListColumns) {
  LoopbackNet net({kA});
  const auto r = RunCli(NetArgs(net, {"net", "search"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "192.168.0.10 (DHCP)\t6001\t255.255.255.0\t192.168.0.1\t00:2B:9E:00:00:0A\n");
}

TEST(CliNet, SetWithYesThenSearchShowsTheNewSettings) {
  LoopbackNet net({kA, kB});
  const auto set = RunCli(NetArgs(net, {"net", "set", "--mac", "00:2B:9E:00:00:0A", "--ip", "10.9.8.7",
                                        "--mask", "255.0.0.0", "--gateway", "10.0.0.1", "--tcp-port",
                                        "515", "--yes"}));
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.err.find("Update Complete."), std::string::npos) << set.err;
  const auto search = RunCli(NetArgs(net, {"net", "search"}));
  EXPECT_EQ(Lines(search.out).at(0), "10.9.8.7\t515\t255.0.0.0\t10.0.0.1\t00:2B:9E:00:00:0A");
}

TEST(CliNet, SetWithoutYesAndNoTerminalSendsNothing) {
  LoopbackNet net({kA});
  const auto r = RunCli(NetArgs(net, {"net", "set", "--mac", "00:2B:9E:00:00:0A", "--ip", "10.9.8.7",
                                      "--mask", "255.0.0.0", "--gateway", "10.0.0.1", "--tcp-port",
                                      "6001", "--dhcp"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(theMsg[MsgId::AskChangeNetwork]), std::string::npos) << r.err;
  EXPECT_TRUE(test::HeardAtLeast(net.responder, 1, 50).empty());
}

struct Refused {
  const char* flag;
  const char* value;
  const char* says;
};

class CliNetSetRefuses : public testing::TestWithParam<Refused> {};

TEST_P(CliNetSetRefuses, BadValueSendsNothing) {
  LoopbackNet net({kA});
  std::vector<std::string> args = {"net", "set", "--yes"};
  const std::vector<std::pair<std::string, std::string>> good = {
      {"--mac", "00:2B:9E:00:00:0A"}, {"--ip", "10.9.8.7"}, {"--mask", "255.0.0.0"},
      {"--gateway", "10.0.0.1"}, {"--tcp-port", "6001"}};
  for (const auto& [flag, value] : good) {
    args.push_back(flag);
    args.push_back(flag == GetParam().flag ? GetParam().value : value);
  }
  const auto r = RunCli(NetArgs(net, args));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
  EXPECT_TRUE(test::HeardAtLeast(net.responder, 1, 50).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliNetSetRefuses,
    testing::Values(Refused{"--mac", "00:2B:9E:00:00", "--mac"}, Refused{"--mac", "00:2B:9E:00:00:0G", "--mac"},
                    Refused{"--ip", "10.9.8.255", "between 1 ~ 254"}, Refused{"--ip", "10.9.8.0", "between 1 ~ 254"},
                    Refused{"--ip", "10.9.8.300", "--ip"}, Refused{"--mask", "255.0.0", "--mask"},
                    Refused{"--tcp-port", "1023", "PORT number"}, Refused{"--tcp-port", "65535", "PORT number"},
                    Refused{"--tcp-port", "x", "--tcp-port"}));

}  // namespace
}  // namespace torva
