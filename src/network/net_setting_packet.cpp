#include "network/net_setting_packet.h"

#include <cstdio>
#include <vector>

#include "app/text_util.h"

namespace torva {

namespace {

void PutBe16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value >> 8);
  out[1] = static_cast<uint8_t>(value & 0xFF);
}

uint16_t GetBe16(const uint8_t* in) {
  return static_cast<uint16_t>((in[0] << 8) | in[1]);
}

template <size_t N>
void PutBytes(NetPacketBytes& bytes, size_t offset, const std::array<uint8_t, N>& field) {
  for (size_t i = 0; i < N; ++i) bytes[offset + i] = field[i];
}

template <size_t N>
void GetBytes(const uint8_t* data, size_t offset, std::array<uint8_t, N>& field) {
  for (size_t i = 0; i < N; ++i) field[i] = data[offset + i];
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The leading decimal digits of a part, as their low 8 bits. Unsigned arithmetic wraps
// modulo 2^32, which keeps the low 8 bits of any length of digits right.
uint8_t LeadingDecimalByte(const std::string& part) {
  size_t i = 0;
  while (i < part.size() && (part[i] == ' ' || part[i] == '\t')) ++i;
  uint32_t value = 0;
  for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(part[i] - '0');
  }
  return static_cast<uint8_t>(value & 0xFFu);
}

}  // namespace

NetPacketBytes NetSettingPacket::ToBytes() const {
  NetPacketBytes bytes{};
  bytes[netpkt::kStart] = netpkt::kStartByte;
  bytes[netpkt::kStart + 1] = netpkt::kStartByte;
  bytes[netpkt::kCommand] = static_cast<uint8_t>(m_command);
  if (m_command != NetCommand::Search) {
    PutBytes(bytes, netpkt::kIp, m_ip);
    PutBytes(bytes, netpkt::kMask, m_mask);
    PutBytes(bytes, netpkt::kGateway, m_gateway);
    PutBytes(bytes, netpkt::kMac, m_mac);
    bytes[netpkt::kDhcp] = m_bDhcp ? 1 : 0;
    PutBe16(&bytes[netpkt::kPort], m_nPort);
  }
  bytes[netpkt::kEnd] = netpkt::kEndByte;
  bytes[netpkt::kEnd + 1] = netpkt::kEndByte;
  return bytes;
}

std::optional<NetSettingPacket> NetSettingPacket::ParseReply(const uint8_t* data,
                                                             size_t length) {
  if (data == nullptr || length != static_cast<size_t>(kNetPacketSize)) return std::nullopt;
  NetSettingPacket reply;
  reply.m_command = static_cast<NetCommand>(data[netpkt::kCommand]);
  GetBytes(data, netpkt::kIp, reply.m_ip);
  GetBytes(data, netpkt::kMask, reply.m_mask);
  GetBytes(data, netpkt::kGateway, reply.m_gateway);
  GetBytes(data, netpkt::kMac, reply.m_mac);
  reply.m_bDhcp = data[netpkt::kDhcp] != 0;
  reply.m_nPort = GetBe16(&data[netpkt::kPort]);
  return reply;
}

NetPacketBytes SearchRequestBytes() {
  NetSettingPacket search;
  search.m_command = NetCommand::Search;
  return search.ToBytes();
}

NetAddress ParseAddressText(const std::string& text) {
  const std::vector<std::string> parts = Split(text, '.');
  NetAddress address{};
  for (size_t i = 0; i < address.size(); ++i) {
    address[i] = LeadingDecimalByte(parts[i < parts.size() ? i : parts.size() - 1]);
  }
  return address;
}

bool IsStrictAddressText(const std::string& text) {
  const std::vector<std::string> parts = Split(text, '.');
  if (parts.size() != 4) return false;
  for (const std::string& part : parts) {
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
  }
  return true;
}

bool ParseHexPair(const std::string& text, uint8_t& value) {
  const int high = text.size() > 0 ? HexDigit(text[0]) : -1;
  const int low = text.size() > 1 ? HexDigit(text[1]) : -1;
  value = static_cast<uint8_t>(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low));
  return high >= 0 && low >= 0 && text.size() == 2;
}

bool ParseMacText(const std::string& text, NetMac& mac) {
  const std::vector<std::string> parts = Split(text, ':');
  bool ok = parts.size() == mac.size();
  for (size_t i = 0; i < mac.size(); ++i) {
    const std::string pair = i < parts.size() ? parts[i] : std::string();
    ok = ParseHexPair(pair, mac[i]) && ok;
  }
  return ok;
}

std::string FormatAddress(const NetAddress& a) {
  char text[20];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
  return text;
}

std::string FormatMac(const NetMac& m) {
  char text[20];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3],
                m[4], m[5]);
  return text;
}

std::string FormatIpColumn(const NetSettingPacket& reply) {
  return FormatAddress(reply.m_ip) + (reply.m_bDhcp ? " (DHCP)" : "");
}

}  // namespace torva
