#include "network/net_setting_packet.h"

#include <gtest/gtest.h>

#include <vector>

namespace torva {
namespace {

std::vector<uint8_t> Bytes(const NetPacketBytes& b) { return {b.begin(), b.end()}; }

NetSettingPacket ExampleSet() {
  NetSettingPacket p;
  p.m_command = NetCommand::Set;
  p.m_ip = ParseAddressText("192.168.0.254");
  p.m_mask = ParseAddressText("255.255.255.0");
  p.m_gateway = ParseAddressText("192.168.0.1");
  EXPECT_TRUE(ParseMacText("00:11:22:33:44:55", p.m_mac));
  p.m_bDhcp = false;
  p.m_nPort = 6001;
  return p;
}

const std::vector<uint8_t> kExampleSet = {
    0xAA, 0xAA, 0x02, 0xC0, 0xA8, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0xC0,
    0xA8, 0x00, 0x01, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00, 0x17, 0x71,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x55, 0x55};

TEST(NetSettingPacket, SetRequestAndFollowUpBytes) {
  NetSettingPacket p = ExampleSet();
  EXPECT_EQ(Bytes(p.ToBytes()), kExampleSet);
  p.m_command = NetCommand::SetFollowUp;
  std::vector<uint8_t> followUp = kExampleSet;
  followUp[2] = 0x04;
  EXPECT_EQ(Bytes(p.ToBytes()), followUp);
}

TEST(NetSettingPacket, SearchRequestCarriesOnlyMarkersAndCommand) {
  std::vector<uint8_t> expected(35, 0);
  expected[0] = expected[1] = 0xAA;
  expected[33] = expected[34] = 0x55;
  EXPECT_EQ(Bytes(SearchRequestBytes()), expected);
  // Fields left in a search packet are not sent.
  NetSettingPacket search = ExampleSet();
  search.m_command = NetCommand::Search;
  EXPECT_EQ(Bytes(search.ToBytes()), expected);
}

TEST(NetSettingPacket, ReplyWithDhcpAndPortBigEndian) {
  std::vector<uint8_t> reply = kExampleSet;
  reply[0] = reply[1] = reply[2] = 0x13;  // markers and command are not examined
  reply[21] = 0x01;
  auto parsed = NetSettingPacket::ParseReply(reply.data(), reply.size());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->m_nPort, 6001);
  EXPECT_TRUE(parsed->m_bDhcp);
  EXPECT_EQ(FormatIpColumn(*parsed), "192.168.0.254 (DHCP)");
  EXPECT_EQ(FormatAddress(parsed->m_mask), "255.255.255.0");
  EXPECT_EQ(FormatAddress(parsed->m_gateway), "192.168.0.1");
  EXPECT_EQ(FormatMac(parsed->m_mac), "00:11:22:33:44:55");

  reply[21] = 0x80;  // any nonzero flag is DHCP on
  EXPECT_TRUE(NetSettingPacket::ParseReply(reply.data(), reply.size())->m_bDhcp);
  reply[21] = 0x00;
  EXPECT_EQ(FormatIpColumn(*NetSettingPacket::ParseReply(reply.data(), reply.size())),
            "192.168.0.254");
}

TEST(NetSettingPacket, EncodeThenParseRoundTrip) {
  NetSettingPacket p = ExampleSet();
  p.m_bDhcp = true;
  p.m_nPort = 0xFFFE;
  p.m_mac = {0x00, 0x2B, 0x9E, 0xAB, 0xCD, 0xEF};
  const NetPacketBytes bytes = p.ToBytes();
  auto back = NetSettingPacket::ParseReply(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->m_ip, p.m_ip);
  EXPECT_EQ(back->m_mask, p.m_mask);
  EXPECT_EQ(back->m_gateway, p.m_gateway);
  EXPECT_EQ(back->m_mac, p.m_mac);
  EXPECT_EQ(back->m_bDhcp, p.m_bDhcp);
  EXPECT_EQ(back->m_nPort, p.m_nPort);
}

TEST(NetSettingPacket, OnlyExactly35BytesIsAReply) {
  std::vector<uint8_t> buffer(64, 0);
  for (size_t n : {0u, 1u, 24u, 34u, 36u, 64u}) {
    EXPECT_FALSE(NetSettingPacket::ParseReply(buffer.data(), n)) << n << " bytes";
  }
  EXPECT_TRUE(NetSettingPacket::ParseReply(buffer.data(), 35));
  EXPECT_FALSE(NetSettingPacket::ParseReply(nullptr, 35));
}

struct AddressCase {
  const char* text;
  NetAddress bytes;
};

class AddressText : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressText, ReadsAsTheRuleSays) {
  EXPECT_EQ(ParseAddressText(GetParam().text), GetParam().bytes) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AddressText,
    testing::Values(AddressCase{"192.168.0.254", {192, 168, 0, 254}},
                    AddressCase{"10.0.0.300", {10, 0, 0, 0x2C}},   // 300 mod 256
                    AddressCase{"300", {0x2C, 0x2C, 0x2C, 0x2C}},  // fewer dots repeat
                    AddressCase{"10.1", {10, 1, 1, 1}},
                    AddressCase{"1.2.3", {1, 2, 3, 3}},
                    AddressCase{"", {0, 0, 0, 0}},
                    AddressCase{"a.b.c.d", {0, 0, 0, 0}},           // no digits give 0
                    AddressCase{"12x.7y.0.1", {12, 7, 0, 1}},       // leading digits only
                    AddressCase{"1.2.3.4.5", {1, 2, 3, 4}},
                    AddressCase{"99999999999999999999.0.0.1", {0xFF, 0, 0, 1}}));

TEST(AddressText, StrictFormAcceptsOnlyDottedQuads) {
  for (const char* good : {"0.0.0.0", "192.168.0.254", "255.255.255.255"}) {
    EXPECT_TRUE(IsStrictAddressText(good)) << good;
  }
  for (const char* bad : {"", "300", "10.1", "1.2.3.4.5", "1.2.3.256", "1.2.3.", "1..3.4",
                          " 1.2.3.4", "1.2.3.4 ", "a.b.c.d", "1.2.3.0004"}) {
    EXPECT_FALSE(IsStrictAddressText(bad)) << bad;
  }
}

TEST(MacText, HexPairsFirstDigitHigh) {
  NetMac mac{};
  EXPECT_TRUE(ParseMacText("00:2B:9E:AB:CD:EF", mac));
  EXPECT_EQ(mac, (NetMac{0x00, 0x2B, 0x9E, 0xAB, 0xCD, 0xEF}));
  EXPECT_TRUE(ParseMacText("0a:1b:2c:3d:4e:5f", mac));
  EXPECT_EQ(FormatMac(mac), "0A:1B:2C:3D:4E:5F");
}

TEST(MacText, BadTextsAreReportedNotGuessed) {
  NetMac mac{};
  for (const char* bad : {"", "00:11:22:33:44", "00:11:22:33:44:55:66", "0G:11:22:33:44:55",
                          "00-11-22-33-44-55", "001:1:22:33:44:55", "0:11:22:33:44:55"}) {
    EXPECT_FALSE(ParseMacText(bad, mac)) << bad;
  }
  uint8_t value = 0xFF;
  EXPECT_FALSE(ParseHexPair("Z5", value));
  EXPECT_EQ(value, 0x05);  // the bad digit reads as 0
  EXPECT_FALSE(ParseHexPair("5", value));
  EXPECT_TRUE(ParseHexPair("9E", value));
  EXPECT_EQ(value, 0x9E);
}

}  // namespace
}  // namespace torva
