// The network-setting datagram: 35 bytes, the same layout in both directions, multi-byte
// numbers big-endian, addresses in their dotted order. Also the text rules by which the
// dialog's and the command line's texts become packet fields, and the column texts of a
// printer's reply.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace torva {

inline constexpr int kNetPacketSize = 35;

enum class NetCommand : uint8_t { Search = 0x00, Set = 0x02, SetFollowUp = 0x04 };

// Byte offsets of the datagram, declared once.
namespace netpkt {
inline constexpr size_t kStart = 0;     // AA AA
inline constexpr size_t kCommand = 2;   // 00, 02, 04
inline constexpr size_t kIp = 3;        // 4 bytes
inline constexpr size_t kMask = 7;      // 4 bytes
inline constexpr size_t kGateway = 11;  // 4 bytes
inline constexpr size_t kMac = 15;      // 6 bytes
inline constexpr size_t kDhcp = 21;     // 1 byte
inline constexpr size_t kPort = 22;     // 2 bytes, high byte first
inline constexpr size_t kEnd = 33;      // 55 55
inline constexpr uint8_t kStartByte = 0xAA;
inline constexpr uint8_t kEndByte = 0x55;
}  // namespace netpkt
static_assert(netpkt::kPort + 2 + 9 == netpkt::kEnd && netpkt::kEnd + 2 == kNetPacketSize);

using NetAddress = std::array<uint8_t, 4>;
using NetMac = std::array<uint8_t, 6>;
using NetPacketBytes = std::array<uint8_t, kNetPacketSize>;

struct NetSettingPacket {
  NetCommand m_command = NetCommand::Search;
  NetAddress m_ip{};
  NetAddress m_mask{};
  NetAddress m_gateway{};
  NetMac m_mac{};
  bool m_bDhcp = false;
  uint16_t m_nPort = 0;

  // The request bytes: markers, the command, the fields (all zero for a search), zero fill.
  NetPacketBytes ToBytes() const;
  // A printer's reply: the fields only (markers and command are not examined). Nullopt
  // unless exactly 35 bytes arrived: anything else is not a printer's reply.
  static std::optional<NetSettingPacket> ParseReply(const uint8_t* data, size_t length);
};

// A search request: only the markers and command 00.
NetPacketBytes SearchRequestBytes();

// An address text: split at "." into four parts, each read as its leading decimal digits (no
// digits give 0) and stored as its low 8 bits; a text with fewer dots repeats its last part
// for the remaining bytes ("300" gives 2C 2C 2C 2C).
NetAddress ParseAddressText(const std::string& text);
// True for a plain dotted quad "a.b.c.d" with every part 0..255 and nothing else; the
// command line refuses anything the lenient rule above would quietly change.
bool IsStrictAddressText(const std::string& text);

// Two hexadecimal digits, first digit high. The digits 0..9 and A..F (a..f also) are read;
// any other character reads as 0 and makes the result false.
bool ParseHexPair(const std::string& text, uint8_t& value);
// A MAC text "00:11:22:33:44:55": six pairs split at ":". False when a pair is missing or
// holds anything but two hexadecimal digits (the bytes read so far are still stored).
bool ParseMacText(const std::string& text, NetMac& mac);

// "%d.%d.%d.%d" and "%02X:%02X:%02X:%02X:%02X:%02X".
std::string FormatAddress(const NetAddress& address);
std::string FormatMac(const NetMac& mac);
// The printer list's IP column: the address, followed by " (DHCP)" when DHCP is on.
std::string FormatIpColumn(const NetSettingPacket& reply);

}  // namespace torva
