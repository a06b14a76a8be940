// The rules of the Network Setting dialog, kept apart from its widgets: how a clicked row's
// texts become the edit fields, how the edit fields become the set packet, and the checks a
// change must pass before the question is asked (IpAddressRange for a host byte of 0 or 255, TcpPortRange
// for a port outside 1024..65534, where only the change of a listed printer also takes 515).
// The manual change addresses a printer by the low three bytes of its MAC address behind the
// maker's prefix 00 2B 9E.
#pragma once

#include <array>
#include <string>

#include "app/message_ids.h"
#include "network/net_setting_packet.h"

namespace torva {

inline constexpr std::array<uint8_t, 3> kManualMacPrefix{0x00, 0x2B, 0x9E};
inline constexpr unsigned kSettingPortMin = 1024;
inline constexpr unsigned kSettingPortMax = 65534;
inline constexpr unsigned kLinePrinterPort = 515;  // taken only for a listed printer
// The refusals the checks return (0 means accepted), as the message table's index.
inline constexpr int kMsgHostByte = static_cast<int>(MsgId::IpAddressRange);
inline constexpr int kMsgPortRange = static_cast<int>(MsgId::TcpPortRange);

// A row of the printer list, as its five column texts.
struct NetListRow {
  std::string m_strIp;  // "a.b.c.d", with " (DHCP)" when DHCP is on
  std::string m_strPort;
  std::string m_strSubnet;
  std::string m_strGateway;
  std::string m_strMac;
};

// The column texts of a printer's reply.
NetListRow ListRowOf(const NetSettingPacket& reply);

// A capital "D" after the first character of the IP column ticks DHCP.
bool IpColumnHasDhcp(const std::string& ipColumn);
// The dotted part of the IP column, without the " (DHCP)" suffix.
std::string IpColumnAddress(const std::string& ipColumn);

// The edit fields of the dialog: three address boxes, the port, the DHCP tick.
struct NetSettingForm {
  std::string m_strIp;
  std::string m_strSubnet;
  std::string m_strGateway;
  unsigned m_nPort = 0;
  bool m_bDhcp = false;
};

// The fields a clicked row puts into the form (the port as its decimal value).
NetSettingForm FormOfRow(const NetListRow& row);

// The value of a port box: its decimal digits, 0 when it holds anything else or more than
// 32 bits (and so is refused by the range check).
unsigned PortBoxValue(const std::string& text);

// An address box holds four fields; a field left blank, or missing, reads as 0 (an
// incomplete "192.168" is 192.168.0.0). The fields then follow the address text rule.
NetAddress AddressBoxBytes(const std::string& text);

// 0 when the port may be sent; otherwise the text to show (TcpPortRange).
int CheckSettingPort(unsigned port, bool allowLinePrinterPort);

// "Change Setting" for the printer of the clicked row: host byte check (IpAddressRange), then the
// port check with 515 allowed (TcpPortRange). On 0 the packet holds the fields and the
// row's MAC address.
int BuildSelectedChange(const NetSettingForm& form, const std::string& selectedMac,
                        NetSettingPacket& packet);

// The MAC address of a manual change: 00 2B 9E and the three low bytes, each box read as two
// hexadecimal digits; a box of one digit reads as that digit's value, an empty box as 00.
NetMac ManualMacAddress(const std::array<std::string, 3>& lowBytes);

// "Manually change": no host byte check; the port check without 515 (TcpPortRange). On 0 the packet
// holds the fields and the manual MAC address.
int BuildManualChange(const NetSettingForm& form, const std::array<std::string, 3>& lowBytes,
                      NetSettingPacket& packet);

}  // namespace torva
