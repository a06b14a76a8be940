#include "app/models.h"

#include <initializer_list>

namespace torva {
namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool AnyPrefix(const std::string& s, std::initializer_list<const char*> prefixes) {
  for (const char* p : prefixes) {
    if (StartsWith(s, p)) return true;
  }
  return false;
}

}  // namespace

int ModelCodeFromName(const std::string& name) {
  if (AnyPrefix(name, {"TORVA10"})) return 2;
  if (AnyPrefix(name, {"TORVA20II", "QMR-5150", "LUN 07II", "KV-6040"})) return 3;
  if (AnyPrefix(name, {"DLX-2000"})) return 4;
  if (AnyPrefix(name, {"TORVA30", "Qir"})) return 5;
  if (AnyPrefix(name, {"TORVA40"})) return 6;
  return 1;
}

int ModelFamilyFromName(const std::string& name) {
  if (AnyPrefix(name, {"TORVA10"})) return 2;
  if (AnyPrefix(name, {"TORVA20II", "QMR-51", "LUN 07II", "KV-6040"})) return 3;
  if (AnyPrefix(name, {"TORVA20", "MOR410"})) return 1;
  if (AnyPrefix(name, {"DLX-2000"})) return 4;
  if (AnyPrefix(name, {"TORVA30"})) return 5;
  if (AnyPrefix(name, {"TORVA40"})) return 6;
  if (AnyPrefix(name, {"T40"})) return 4;
  if (AnyPrefix(name, {"Qir"})) return 5;
  if (AnyPrefix(name, {"ZD12", "KV-80"})) return 6;
  return 0;
}

PortKind PortKindFromName(const std::string& name, int family) {
  if (EndsWith(name, "E-II")) return PK_ETHERNET;
  if (EndsWith(name, "W")) return PK_WIFI;
  if (EndsWith(name, "II") && family != 2) return PK_USB;
  if (EndsWith(name, "P")) return PK_LPT;
  if (EndsWith(name, "S")) return PK_COM;
  if (EndsWith(name, "-I")) return PK_USB_COM;
  return PK_NONE;
}

const std::vector<std::string>& BuiltInModels() {
  static const std::vector<std::string> models = {
      "TORVA30/35U-I", "TORVA30/35U-II", "TORVA30/35S", "TORVA30/35P",
      "TORVA30/35E-II", "TORVA30/35W", "TORVA40/45U-I", "TORVA40/45U-II",
      "TORVA40/45S", "TORVA40/45P", "TORVA40/45E-II", "TORVA40/45W"};
  return models;
}

std::vector<std::string> UsbIdsForModelCode(int modelCode) {
  switch (modelCode) {
    case 3:
    case 4:
      return {"USB\\VID_2F3D&PID_3004"};
    case 5:
      // The first identifier is tried twice, as the printers of this line expect.
      return {"USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3502",
              "USB\\VID_2F3D&PID_3A06"};
    case 6:
      return {"USB\\VID_2F3D&PID_3012", "USB\\VID_2F3D&PID_3004", "USB\\VID_2F3D&PID_3512",
              "USB\\VID_2F3D&PID_3A08"};
    default:
      return {"USB\\VID_2F3D&PID_0101"};
  }
}

}  // namespace torva
