#include "net_options.h"

#include <cstdio>
#include <cstdlib>

namespace torva::sim {

namespace {

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && value >= low && value <= high;
}

bool ParseQuad(const std::string& text, std::array<uint8_t, 4>& out) {
  size_t start = 0;
  for (size_t i = 0; i < 4; ++i) {
    const size_t dot = text.find('.', start);
    const bool last = i == 3;
    if (last != (dot == std::string::npos)) return false;
    const std::string part = text.substr(start, last ? std::string::npos : dot - start);
    long value = 0;
    if (part.size() > 3 || !ParseNumber(part, 0, 255, value)) return false;
    out[i] = static_cast<uint8_t>(value);
    start = dot + 1;
  }
  return true;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseMac(const std::string& text, std::array<uint8_t, 6>& out) {
  if (text.size() != 17) return false;
  for (size_t i = 0; i < 6; ++i) {
    const int high = Hex(text[i * 3]);
    const int low = Hex(text[i * 3 + 1]);
    if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != ':')) return false;
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

std::string Quad(const std::array<uint8_t, 4>& a) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

// "--name value" or "--name=value"; false when args[i] is not --name.
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
               std::string& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.rfind(name + "=", 0) == 0) {
    value = arg.substr(name.size() + 1);
    return true;
  }
  if (arg != name) return false;
  if (i + 1 >= args.size()) {
    error = name + " needs a value";
    value.clear();
    return true;
  }
  value = args[++i];
  return true;
}

}  // namespace

bool ParseNetPrinter(const std::string& text, NetSimPrinter& printer, std::string& error) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    start = comma + 1;
    if (item.empty()) continue;
    const size_t eq = item.find('=');
    const std::string key = item.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    long number = 0;
    bool ok = true;
    if (key == "ip") {
      ok = ParseQuad(value, printer.m_ip);
    } else if (key == "mask") {
      ok = ParseQuad(value, printer.m_mask);
    } else if (key == "gw" || key == "gateway") {
      ok = ParseQuad(value, printer.m_gateway);
    } else if (key == "mac") {
      ok = ParseMac(value, printer.m_mac);
    } else if (key == "dhcp") {
      ok = ParseNumber(value, 0, 1, number);
      printer.m_bDhcp = number != 0;
    } else if (key == "port") {
      ok = ParseNumber(value, 0, 65535, number);
      printer.m_nPort = static_cast<uint16_t>(number);
    } else if (key == "src") {
      std::array<uint8_t, 4> unused{};
      ok = ParseQuad(value, unused);
      printer.m_strSource = value;
    } else if (key == "len") {
      ok = ParseNumber(value, 0, 1024, number);
      printer.m_nReplyLength = static_cast<int>(number);
    } else {
      error = "--net-printer: unknown key '" + key + "'";
      return false;
    }
    if (!ok) {
      error = "--net-printer: bad value for " + key + ": '" + value + "'";
      return false;
    }
  }
  return true;
}

bool ParseNetOption(const std::vector<std::string>& args, size_t& i, NetResponderOptions& options,
                    std::string& error) {
  std::string value;
  if (TakeValue(args, i, "--net-printer", value, error)) {
    options.m_bEnabled = true;
    NetSimPrinter printer;
    if (error.empty() && ParseNetPrinter(value, printer, error)) options.m_printers.push_back(printer);
    return true;
  }
  if (TakeValue(args, i, "--net-listen", value, error)) {
    options.m_bEnabled = true;
    const size_t colon = value.rfind(':');
    std::array<uint8_t, 4> unused{};
    long port = 0;
    if (error.empty() &&
        (colon == std::string::npos || !ParseQuad(value.substr(0, colon), unused) ||
         !ParseNumber(value.substr(colon + 1), 0, 65535, port))) {
      error = "--net-listen needs ADDR:PORT such as 127.0.0.1:2918, not '" + value + "'";
    }
    if (error.empty()) {
      options.m_strListenAddress = value.substr(0, colon);
      options.m_nListenPort = static_cast<int>(port);
    }
    return true;
  }
  if (TakeValue(args, i, "--net-reply-port", value, error)) {
    options.m_bEnabled = true;
    long port = 0;
    if (error.empty() && !ParseNumber(value, 1, 65535, port)) {
      error = "--net-reply-port needs a port 1..65535, not '" + value + "'";
    }
    if (error.empty()) options.m_nReplyPort = static_cast<int>(port);
    return true;
  }
  return false;
}

void AddDefaultPrinterIfNone(NetResponderOptions& options) {
  if (options.m_printers.empty()) options.m_printers.push_back(NetSimPrinter{});
}

const char* NetOptionsHelp() {
  return "  --net-printer \"ip=A,mask=M,gw=G,mac=MAC,dhcp=0|1,port=N[,src=ADDR][,len=N]\"\n"
         "                        answer the network search as this printer (repeatable)\n"
         "  --net-listen ADDR:PORT  where searches are heard (default 127.0.0.1:2918;\n"
         "                        other than loopback only inside a network namespace)\n"
         "  --net-reply-port N    the port replies go to (default 2918)\n"
         "  With any --net-* option the simulator prints \"net: ADDR:PORT\" before \"ready\".\n";
}

std::string FormatSimPrinter(const NetSimPrinter& p) {
  char mac[20];
  std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", p.m_mac[0], p.m_mac[1],
                p.m_mac[2], p.m_mac[3], p.m_mac[4], p.m_mac[5]);
  return "ip=" + Quad(p.m_ip) + ",mask=" + Quad(p.m_mask) + ",gw=" + Quad(p.m_gateway) +
         ",mac=" + mac + ",dhcp=" + (p.m_bDhcp ? "1" : "0") + ",port=" + std::to_string(p.m_nPort);
}

}  // namespace torva::sim
