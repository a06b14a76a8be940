// Serial and parallel port lists from the registry's device maps.
#include <algorithm>

#include "app/app.h"
#include "app/error_log.h"
#include "ports/port_enum.h"
#include "ports/registry_win32.h"

namespace torva {
namespace {

bool AddName(std::vector<std::string>& list, const std::string& name) {
  if (name.empty() || std::find(list.begin(), list.end(), name) != list.end()) return false;
  list.push_back(name);
  return true;
}

// "\DosDevices\LPT1" -> "LPT1": everything up to and including the second backslash goes.
std::string ParallelPortName(const std::string& data) {
  const size_t first = data.find('\\');
  const size_t second = first == std::string::npos ? first : data.find('\\', first + 1);
  return second == std::string::npos ? data : data.substr(second + 1);
}

}  // namespace

int EnumSerialPorts(std::vector<std::string>& list) {
  int added = 0;
  const win32::CRegistryKey key("HARDWARE\\DEVICEMAP\\SERIALCOMM");
  if (!key.IsOpen()) {
    theLog.WriteLog("Registry open fail");
  } else {
    // value name = the kernel's device name, data = the port name (COM1 ...)
    for (const win32::RegistryValue& value : key.Values()) {
      if (AddName(list, value.strText)) ++added;
    }
  }
  for (const std::string& name : ReadNumberedSettings(kPortListSection, kPortListKeyFormat, 1)) {
    if (AddName(list, name)) ++added;
  }
  return added;
}

int EnumParallelPorts(std::vector<std::string>& list) {
  const win32::CRegistryKey key("HARDWARE\\DEVICEMAP\\PARALLEL PORTS");
  if (!key.IsOpen()) return 0;
  int added = 0;
  for (const win32::RegistryValue& value : key.Values()) {
    if (AddName(list, ParallelPortName(value.strText))) ++added;
  }
  return added;
}

}  // namespace torva
