// torvaset-cli net search | set: the discovery and set exchanges of the Network Setting
// dialog, from a shell.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/messages.h"
#include "app/services.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "network/net_discovery.h"
#include "network/net_setting_packet.h"

namespace torva::cli {

namespace {

void PrintNetUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: torvaset-cli net search [--broadcast ADDR] [--port N] [--listen-port N] "
               "[--json] [--verbose]\n"
               "       torvaset-cli net set --mac MAC --ip A --mask M --gateway G --tcp-port N\n"
               "                            [--dhcp] [--broadcast ADDR] [--port N] "
               "[--listen-port N] [--yes]\n"
               "\n"
               "  search prints one line per printer: IP (with \" (DHCP)\"), port, subnet,\n"
               "         gateway and MAC, tab-separated, or one JSON object per line;\n"
               "         --verbose also counts the datagrams that were not listed.\n"
               "  set    sends new settings to the printer with that MAC address; without\n"
               "         --yes it asks first.\n"
               "  Requests go to --broadcast (255.255.255.255) port --port (2918); replies are\n"
               "  awaited on --listen-port (2918). The settings file's NETWORK section keys\n"
               "  BROADCAST, PORT and LISTENPORT change these defaults.\n");
}

bool ParsePort(const std::string& text, int& port) { return ParseInt(text, 0, 65535, port); }

// The exchange parameters: the settings file's, then the flags'. False on a bad flag.
bool ReadParams(const Args& args, NetDiscoveryParams& params) {
  params = NetDiscoveryParams::FromSettings();
  const std::string broadcast = FlagValue(args, "--broadcast");
  if (!broadcast.empty()) {
    if (!IsStrictAddressText(broadcast)) {
      std::fprintf(stderr, "torvaset-cli: --broadcast needs a dotted address, not '%s'\n",
                   broadcast.c_str());
      return false;
    }
    params.m_strBroadcast = broadcast;
  }
  const struct {
    const char* flag;
    int* value;
  } ports[] = {{"--port", &params.m_nPort}, {"--listen-port", &params.m_nListenPort}};
  for (const auto& p : ports) {
    const std::string text = FlagValue(args, p.flag);
    if (text.empty()) continue;
    int port = 0;
    if (!ParsePort(text, port) || port == 0) {
      std::fprintf(stderr, "torvaset-cli: %s needs a port 1..65535, not '%s'\n", p.flag,
                   text.c_str());
      return false;
    }
    *p.value = port;
  }
  return true;
}

std::string JsonLine(const NetPrinterReply& reply) {
  const NetSettingPacket& p = reply.m_packet;
  return "{\"ip\":\"" + FormatAddress(p.m_ip) + "\",\"dhcp\":" + (p.m_bDhcp ? "true" : "false") +
         ",\"port\":" + std::to_string(p.m_nPort) + ",\"subnet\":\"" + FormatAddress(p.m_mask) +
         "\",\"gateway\":\"" + FormatAddress(p.m_gateway) + "\",\"mac\":\"" + FormatMac(p.m_mac) +
         "\",\"source\":\"" + reply.m_strSource + "\"}";
}

std::string TextLine(const NetPrinterReply& reply) {
  const NetSettingPacket& p = reply.m_packet;
  return FormatIpColumn(p) + "\t" + std::to_string(p.m_nPort) + "\t" + FormatAddress(p.m_mask) +
         "\t" + FormatAddress(p.m_gateway) + "\t" + FormatMac(p.m_mac);
}

// The exchange parameters every net command takes.
const std::vector<std::string> kExchangeValues = {"--broadcast", "--port", "--listen-port"};

int NetUsage(const char* command, const std::string& problem) {
  UsageError(std::string("net ") + command, problem, "");
  PrintNetUsage(stderr);
  return kExitUsage;
}

int RunSearch(const Args& args) {
  std::string error;
  if (!CheckArgs(args, {{"--json", "--verbose"}, kExchangeValues, 0}, error)) {
    return NetUsage("search", error);
  }
  NetDiscoveryParams params;
  if (!ReadParams(args, params)) return 2;
  const bool json = HasFlag(args, "--json");
  CNetDiscovery discovery(params);
  int found = 0;
  discovery.Search([json, &found](const NetPrinterReply& reply) {
    ++found;
    std::printf("%s\n", (json ? JsonLine(reply) : TextLine(reply)).c_str());
    std::fflush(stdout);
  });
  if (HasFlag(args, "--verbose")) {
    const NetExchangeStats& s = discovery.Stats();
    std::fprintf(stderr, "received %d datagrams: %d own, %d not 35 bytes, %d listed\n",
                 s.m_nDatagrams, s.m_nOwn, s.m_nWrongSize,
                 s.m_nDatagrams - s.m_nOwn - s.m_nWrongSize);
  }
  if (!discovery.LastError().empty()) {
    std::fprintf(stderr, "error: %s\n", discovery.LastError().c_str());
    return 1;
  }
  PrintDone(CountOf(found, "printer", "printers") + " found");
  return 0;
}

bool ReadAddressFlag(const Args& args, const char* flag, NetAddress& address) {
  const std::string text = FlagValue(args, flag);
  if (!IsStrictAddressText(text)) {
    std::fprintf(stderr, "torvaset-cli: %s needs a dotted address such as 192.168.0.254%s\n",
                 flag, text.empty() ? "" : (", not '" + text + "'").c_str());
    return false;
  }
  address = ParseAddressText(text);
  return true;
}

int RunSet(const Args& args) {
  std::string error;
  std::vector<std::string> values = kExchangeValues;
  values.insert(values.end(), {"--mac", "--ip", "--mask", "--gateway", "--tcp-port"});
  if (!CheckArgs(args, {{"--dhcp", "--yes"}, values, 0}, error)) return NetUsage("set", error);
  NetDiscoveryParams params;
  if (!ReadParams(args, params)) return 2;

  NetSettingPacket fields;
  fields.m_command = NetCommand::Set;
  const std::string mac = FlagValue(args, "--mac");
  if (!ParseMacText(mac, fields.m_mac)) {
    std::fprintf(stderr,
                 "torvaset-cli: --mac needs six pairs of hexadecimal digits joined by ':', "
                 "such as 00:2B:9E:12:34:56%s\n",
                 mac.empty() ? "" : (", not '" + mac + "'").c_str());
    return 2;
  }
  if (!ReadAddressFlag(args, "--ip", fields.m_ip)) return 2;
  if (fields.m_ip[3] == 0 || fields.m_ip[3] == 255) {
    ShowMessage(theMsg[MsgId::IpAddressRange], MsgIcon::Warning);
    return 2;
  }
  if (!ReadAddressFlag(args, "--mask", fields.m_mask)) return 2;
  if (!ReadAddressFlag(args, "--gateway", fields.m_gateway)) return 2;
  int port = 0;
  const std::string portText = FlagValue(args, "--tcp-port");
  if (!ParsePort(portText, port)) {
    std::fprintf(stderr, "torvaset-cli: --tcp-port needs a number%s\n",
                 portText.empty() ? "" : (", not '" + portText + "'").c_str());
    return 2;
  }
  if ((port < 1024 || port > 65534) && port != 515) {
    ShowMessage(theMsg[MsgId::TcpPortRange], MsgIcon::Warning);
    return 2;
  }
  fields.m_nPort = static_cast<uint16_t>(port);
  fields.m_bDhcp = HasFlag(args, "--dhcp");

  CNetDiscovery discovery(params);
  if (!discovery.ChangeSettings(fields, kAppName)) {
    std::fprintf(stderr, "nothing sent\n");
    return 1;
  }
  if (!discovery.LastError().empty()) {
    std::fprintf(stderr, "error: %s\n", discovery.LastError().c_str());
    return 1;
  }
  if (discovery.Stats().m_end != NetReceiveEnd::Answered) {
    std::fprintf(stderr, "note: no printer answered the set request\n");
  } else {
    PrintDone("the settings of " + mac + " were changed");
  }
  return 0;
}

}  // namespace

int RunNetCommand(const Args& args) {
  const std::string command = args.empty() ? std::string() : args[0];
  const Args rest(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (command == "--help" || command == "-h" || HasFlag(rest, "--help") || HasFlag(rest, "-h")) {
    PrintNetUsage(stdout);
    return 0;
  }
  if (command == "search") return RunSearch(rest);
  if (command == "set") return RunSet(rest);
  std::fprintf(stderr, "torvaset-cli: unknown net command '%s'\n", command.c_str());
  PrintNetUsage(stderr);
  return 2;
}

}  // namespace torva::cli
