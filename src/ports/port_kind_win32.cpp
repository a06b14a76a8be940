#include <cctype>

#include "app/text_util.h"
#include "ports/port_kind.h"

namespace torva {
namespace {

// "COM3", "com12", "LPT1": a device map name and its number.
bool IsNumberedDevice(const std::string& name, const char* prefix) {
  if (name.size() <= 3) return false;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
  }
  for (size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

}  // namespace

bool IsDeviceName(const std::string& name) {
  return StartsWith(name, "\\\\.\\") || IsNumberedDevice(name, "COM") ||
         IsNumberedDevice(name, "LPT");
}

}  // namespace torva
