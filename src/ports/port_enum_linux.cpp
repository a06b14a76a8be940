// Serial and parallel port lists from udev: tty devices with a parent device, and the lp
// devices of the "printer" class.
#include <algorithm>

#include "app/app.h"
#include "app/error_log.h"
#include "ports/port_enum.h"
#include "ports/udev_util_linux.h"

namespace torva {

using udevutil::DevicePtr;
using udevutil::EnumeratePtr;
using udevutil::UdevPtr;

namespace {

bool AddName(std::vector<std::string>& list, const std::string& name) {
  if (name.empty() || std::find(list.begin(), list.end(), name) != list.end()) return false;
  list.push_back(name);
  return true;
}

// A serial-core port whose "type" reads 0 is a slot without a UART behind it (the kernel
// registers ttyS0..ttyS31 whether or not the chips exist).
bool IsEmptyUartSlot(udev_device* dev) {
  const char* type = udev_device_get_sysattr_value(dev, "type");
  return type != nullptr && std::string(type) == "0";
}

// Calls add(device) for each device of the scanned list that exists.
template <typename Fn>
void ForEachDevice(udev* ctx, udev_enumerate* list, Fn add) {
  udev_list_entry* item = nullptr;
  udev_list_entry_foreach(item, udev_enumerate_get_list_entry(list)) {
    DevicePtr dev(udev_device_new_from_syspath(ctx, udev_list_entry_get_name(item)));
    if (dev) add(dev.get());
  }
}

}  // namespace

int EnumSerialPorts(std::vector<std::string>& list) {
  int added = 0;
  UdevPtr ctx = udevutil::NewUdev();
  EnumeratePtr ttys = ctx ? udevutil::ScanSubsystem(ctx.get(), "tty", nullptr) : nullptr;
  if (!ttys) {
    theLog.WriteLog("Registry open fail");
  } else {
    ForEachDevice(ctx.get(), ttys.get(), [&](udev_device* dev) {
      // Consoles and pseudo-terminals are virtual devices: they have no parent.
      if (udev_device_get_parent(dev) == nullptr || IsEmptyUartSlot(dev)) return;
      if (AddName(list, udevutil::Text(udev_device_get_devnode(dev)))) ++added;
    });
  }
  for (const std::string& name : ReadNumberedSettings(kPortListSection, kPortListKeyFormat, 1)) {
    if (AddName(list, name)) ++added;
  }
  return added;
}

int EnumParallelPorts(std::vector<std::string>& list) {
  UdevPtr ctx = udevutil::NewUdev();
  EnumeratePtr lps = ctx ? udevutil::ScanSubsystem(ctx.get(), "printer", "lp*") : nullptr;
  if (!lps) return 0;
  int added = 0;
  ForEachDevice(ctx.get(), lps.get(), [&](udev_device* dev) {
    std::string node = udevutil::Text(udev_device_get_devnode(dev));
    if (node.empty()) node = "/dev/" + udevutil::Text(udev_device_get_sysname(dev));
    if (AddName(list, node)) ++added;
  });
  return added;
}

}  // namespace torva
