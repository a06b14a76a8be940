// The rules of the Network Setting dialog without its widgets: the IP column, the address
// and port boxes, the order of the checks and the packets of the two kinds of change (the
// port range is tried through the dialog itself).
#include "network/net_setting_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace torva {
namespace {

NetSettingForm Form(const std::string& ip, unsigned port, bool dhcp = false) {
  NetSettingForm form;
  form.m_strIp = ip;
  form.m_strSubnet = "255.255.255.0";
  form.m_strGateway = "192.168.0.1";
  form.m_nPort = port;
  form.m_bDhcp = dhcp;
  return form;
}

TEST(NetSettingRules, DhcpIsACapitalDAfterTheFirstCharacter) {
  EXPECT_TRUE(IpColumnHasDhcp("10.0.0.1 (DHCP)"));
  EXPECT_FALSE(IpColumnHasDhcp("10.0.0.1"));
  EXPECT_FALSE(IpColumnHasDhcp("D"));
  EXPECT_FALSE(IpColumnHasDhcp("10.0.0.1 (dhcp)"));
  EXPECT_EQ(IpColumnAddress("10.0.0.1 (DHCP)"), "10.0.0.1");
  EXPECT_EQ(IpColumnAddress("10.0.0.1"), "10.0.0.1");
}

struct AddressCase {
  const char* text;
  NetAddress bytes;
};

class AddressBox : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressBox, BlankAndMissingFieldsReadAsZero) {
  EXPECT_EQ(AddressBoxBytes(GetParam().text), GetParam().bytes) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddressBox,
    testing::Values(AddressCase{"192.168.0.254", {192, 168, 0, 254}},
                    AddressCase{"192.168", {192, 168, 0, 0}},
                    AddressCase{"192.168.1.", {192, 168, 1, 0}},
                    AddressCase{"1..3.4", {1, 0, 3, 4}}, AddressCase{"", {0, 0, 0, 0}},
                    AddressCase{"300.1.1.1", {0x2C, 1, 1, 1}},
                    AddressCase{"1.2.3.4.5", {1, 2, 3, 4}}));

TEST(NetSettingRules, PortBoxValue) {
  EXPECT_EQ(CheckSettingPort(515, true), 0);
  EXPECT_EQ(CheckSettingPort(515, false), kMsgPortRange);
  EXPECT_EQ(PortBoxValue("6001"), 6001u);
  EXPECT_EQ(PortBoxValue("4294967295"), 4294967295u);
  EXPECT_EQ(PortBoxValue("4294967296"), 0u);  // more than 32 bits: refused later
  EXPECT_EQ(PortBoxValue("99999999999999999999"), 0u);
  EXPECT_EQ(PortBoxValue(""), 0u);
  EXPECT_EQ(PortBoxValue("12a"), 0u);
}

TEST(NetSettingRules, HostByteZeroOrAllOnesIsRefusedOnlyForTheSelectedPrinter) {
  for (const char* ip : {"192.168.0.0", "192.168.0.255", "192.168.0", "192.168.0.256"}) {
    NetSettingPacket packet;
    // The host byte is checked first, before a port that would be refused as well.
    EXPECT_EQ(BuildSelectedChange(Form(ip, 80), "00:11:22:33:44:55", packet), kMsgHostByte)
        << ip;
    EXPECT_EQ(BuildManualChange(Form(ip, 6001), {"01", "02", "03"}, packet), 0) << ip;
  }
}

TEST(NetSettingRules, SelectedChangeMakesTheSetRequestOfTheRow) {
  NetSettingPacket packet;
  ASSERT_EQ(BuildSelectedChange(Form("192.168.0.254", 6001), "00:11:22:33:44:55", packet), 0);
  const NetPacketBytes bytes = packet.ToBytes();
  const std::vector<uint8_t> expected{0xAA, 0xAA, 0x02, 0xC0, 0xA8, 0x00, 0xFE, 0xFF, 0xFF,
                                      0xFF, 0x00, 0xC0, 0xA8, 0x00, 0x01, 0x00, 0x11, 0x22,
                                      0x33, 0x44, 0x55, 0x00, 0x17, 0x71, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0x55, 0x55};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(NetSettingRules, ManualChangeAddressesTheMakersPrefixAndTheThreeBoxes) {
  NetSettingPacket packet;
  ASSERT_EQ(BuildManualChange(Form("10.0.0.255", 1024, true), {"1A", "b2", "C3"}, packet), 0);
  EXPECT_EQ(packet.m_mac, (NetMac{0x00, 0x2B, 0x9E, 0x1A, 0xB2, 0xC3}));
  EXPECT_EQ(packet.m_ip, (NetAddress{10, 0, 0, 255}));
  EXPECT_TRUE(packet.m_bDhcp);
  EXPECT_EQ(packet.m_nPort, 1024);
  EXPECT_EQ(packet.m_command, NetCommand::Set);

  EXPECT_EQ(ManualMacAddress({"5", "", "G1"}), (NetMac{0x00, 0x2B, 0x9E, 0x05, 0x00, 0x01}));
}

}  // namespace
}  // namespace torva
