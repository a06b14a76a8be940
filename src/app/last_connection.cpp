#include "app/last_connection.h"

#include <cstdlib>
#include <utility>

#include "app/app.h"

namespace torva {
namespace {

int Number(const std::string& text, int def) {
  if (text.empty()) return def;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && v >= 0 && v <= 4000000 ? static_cast<int>(v) : def;
}

}  // namespace

bool SaveLastConnection(const LastConnection& last) {
  const CSettingsFile file = theApp().Settings();
  const std::pair<const char*, std::string> keys[] = {
      {"Model", last.strModel},
      {"Port", last.strPort},
      {"Baudrate", last.nBaudRate > 0 ? std::to_string(last.nBaudRate) : ""},
      {"DataBits", last.nBaudRate > 0 ? std::to_string(last.nDataBits) : ""},
      {"Parity", last.nBaudRate > 0 ? std::to_string(last.nParity) : ""},
      {"StopBits", last.nBaudRate > 0 ? std::to_string(last.nStopBits) : ""},
      {"FlowControl", last.nBaudRate > 0 ? std::to_string(last.nFlowControl) : ""},
      {"IP", last.strIpAddress},
      {"TcpPort", last.strIpAddress.empty() ? "" : std::to_string(last.nTcpPort)}};
  bool ok = file.Write(LastConnection::kSection, std::nullopt, std::nullopt);
  for (const auto& [key, value] : keys) {
    if (!value.empty()) ok = file.Write(LastConnection::kSection, key, value) && ok;
  }
  return ok;
}

std::optional<LastConnection> LoadLastConnection() {
  const CSettingsFile file = theApp().Settings();
  const auto get = [&file](const char* key) { return file.Get(LastConnection::kSection, key); };
  LastConnection last;
  last.strModel = get("Model");
  if (last.strModel.empty()) return std::nullopt;
  last.strPort = get("Port");
  last.nBaudRate = Number(get("Baudrate"), 0);
  last.nDataBits = Number(get("DataBits"), 8);
  last.nParity = Number(get("Parity"), 0);
  last.nStopBits = Number(get("StopBits"), 0);
  last.nFlowControl = Number(get("FlowControl"), 1);
  last.strIpAddress = get("IP");
  last.nTcpPort = Number(get("TcpPort"), 0);
  return last;
}

}  // namespace torva
