// torvaset-cli models [--json]: the model names the tool knows, with the model code the jobs
// use and the interface the connection dialog derives from the name; the names of the
// settings file's DEVICELIST section follow the built-in ones.
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/models.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"

namespace torva::cli {
namespace {

constexpr const char* kUsage = "torvaset-cli models [--json]";

struct ModelRow {
  std::string strName;
  int nCode = 0;
  const char* szInterface = "";
  const char* szSource = "";
};

const char* InterfaceName(const std::string& name) {
  const int family = ModelFamilyFromName(name);
  if (family == 0) return "unknown model";
  switch (PortKindFromName(name, family)) {
    case PK_COM:
      return "serial";
    case PK_LPT:
      return "parallel";
    case PK_USB_COM:
      return "USB serial";
    case PK_USB:
      return "USB printer";
    case PK_ETHERNET:
      return "Ethernet";
    case PK_WIFI:
      return "WiFi";
    case PK_NONE:
      break;
  }
  return "none";
}

std::vector<ModelRow> CollectModels() {
  std::vector<ModelRow> rows;
  for (const std::string& name : BuiltInModels()) {
    rows.push_back({name, ModelCodeFromName(name), InterfaceName(name), "built-in"});
  }
  for (const std::string& name : ReadNumberedSettings("DEVICELIST", "Model%d", 1)) {
    rows.push_back({name, ModelCodeFromName(name), InterfaceName(name), "DEVICELIST"});
  }
  return rows;
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) continue;
    out += c;
  }
  return out + "\"";
}

}  // namespace

int RunModelsCommand(const Args& args) {
  std::string error;
  if (!CheckArgs(args, {{"--json"}, {}, 0}, error)) return UsageError("models", error, kUsage);
  if (HasFlag(args, "--help") || HasFlag(args, "-h")) {
    std::printf(
        "usage: %s\n\nThe built-in model names, then the names of the settings file's\n"
        "DEVICELIST section (which replace the built-in list in the connection dialog).\n",
        kUsage);
    return kExitOk;
  }
  const std::vector<ModelRow> rows = CollectModels();
  if (HasFlag(args, "--json")) {
    std::printf("[");
    for (size_t i = 0; i < rows.size(); ++i) {
      std::printf("%s\n  {\"name\": %s, \"modelCode\": %d, \"interface\": %s, \"source\": %s}",
                  i == 0 ? "" : ",", Json(rows[i].strName).c_str(), rows[i].nCode,
                  Json(rows[i].szInterface).c_str(), Json(rows[i].szSource).c_str());
    }
    std::printf("\n]\n");
    return kExitOk;
  }
  std::printf("%-20s %-5s %-14s %s\n", "MODEL", "CODE", "INTERFACE", "FROM");
  for (const ModelRow& r : rows) {
    std::printf("%-20s %-5d %-14s %s\n", r.strName.c_str(), r.nCode, r.szInterface, r.szSource);
  }
  return kExitOk;
}

}  // namespace torva::cli
