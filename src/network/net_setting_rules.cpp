#include "network/net_setting_rules.h"

#include <cstdint>

namespace torva {

namespace {

void FillFields(const NetSettingForm& form, NetSettingPacket& packet) {
  packet.m_command = NetCommand::Set;
  packet.m_ip = AddressBoxBytes(form.m_strIp);
  packet.m_mask = AddressBoxBytes(form.m_strSubnet);
  packet.m_gateway = AddressBoxBytes(form.m_strGateway);
  packet.m_nPort = static_cast<uint16_t>(form.m_nPort & 0xFFFFu);
  packet.m_bDhcp = form.m_bDhcp;
}

}  // namespace

NetListRow ListRowOf(const NetSettingPacket& reply) {
  return {FormatIpColumn(reply), std::to_string(reply.m_nPort), FormatAddress(reply.m_mask),
          FormatAddress(reply.m_gateway), FormatMac(reply.m_mac)};
}

bool IpColumnHasDhcp(const std::string& ipColumn) {
  return ipColumn.find('D', 1) != std::string::npos;
}

std::string IpColumnAddress(const std::string& ipColumn) {
  size_t end = 0;
  while (end < ipColumn.size() &&
         ((ipColumn[end] >= '0' && ipColumn[end] <= '9') || ipColumn[end] == '.')) {
    ++end;
  }
  return ipColumn.substr(0, end);
}

NetSettingForm FormOfRow(const NetListRow& row) {
  NetSettingForm form;
  form.m_strIp = IpColumnAddress(row.m_strIp);
  form.m_bDhcp = IpColumnHasDhcp(row.m_strIp);
  form.m_nPort = PortBoxValue(row.m_strPort);
  form.m_strSubnet = row.m_strSubnet;
  form.m_strGateway = row.m_strGateway;
  return form;
}

unsigned PortBoxValue(const std::string& text) {
  if (text.empty()) return 0;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10u + static_cast<uint64_t>(c - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  return static_cast<unsigned>(value);
}

NetAddress AddressBoxBytes(const std::string& text) {
  std::string fields[4];
  size_t field = 0;
  for (char c : text) {
    if (c == '.') {
      if (++field == 4) break;
    } else {
      fields[field] += c;
    }
  }
  std::string complete;
  for (size_t i = 0; i < 4; ++i) {
    if (i > 0) complete += '.';
    complete += fields[i].empty() ? std::string("0") : fields[i];
  }
  return ParseAddressText(complete);
}

int CheckSettingPort(unsigned port, bool allowLinePrinterPort) {
  if (port >= kSettingPortMin && port <= kSettingPortMax) return 0;
  if (allowLinePrinterPort && port == kLinePrinterPort) return 0;
  return kMsgPortRange;
}

int BuildSelectedChange(const NetSettingForm& form, const std::string& selectedMac,
                        NetSettingPacket& packet) {
  const NetAddress ip = AddressBoxBytes(form.m_strIp);
  if (ip[3] == 0 || ip[3] == 255) return kMsgHostByte;
  if (const int refused = CheckSettingPort(form.m_nPort, true)) return refused;
  FillFields(form, packet);
  // The row's MAC text comes from a printer's reply and is always six pairs.
  ParseMacText(selectedMac, packet.m_mac);
  return 0;
}

NetMac ManualMacAddress(const std::array<std::string, 3>& lowBytes) {
  NetMac mac{kManualMacPrefix[0], kManualMacPrefix[1], kManualMacPrefix[2], 0, 0, 0};
  for (size_t i = 0; i < lowBytes.size(); ++i) {
    std::string pair = lowBytes[i].substr(0, 2);
    while (pair.size() < 2) pair.insert(pair.begin(), '0');
    ParseHexPair(pair, mac[3 + i]);  // a character that is no hex digit reads as 0
  }
  return mac;
}

int BuildManualChange(const NetSettingForm& form, const std::array<std::string, 3>& lowBytes,
                      NetSettingPacket& packet) {
  if (const int refused = CheckSettingPort(form.m_nPort, false)) return refused;
  FillFields(form, packet);
  packet.m_mac = ManualMacAddress(lowBytes);
  return 0;
}

}  // namespace torva
