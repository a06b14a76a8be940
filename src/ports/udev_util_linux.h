// Small owners for libudev objects, shared by the Linux discovery files.
#pragma once

#include <libudev.h>

#include <memory>
#include <string>

namespace torva::udevutil {

struct UdevUnref {
  void operator()(udev* p) const { udev_unref(p); }
  void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
  void operator()(udev_device* p) const { udev_device_unref(p); }
};
using UdevPtr = std::unique_ptr<udev, UdevUnref>;
using EnumeratePtr = std::unique_ptr<udev_enumerate, UdevUnref>;
using DevicePtr = std::unique_ptr<udev_device, UdevUnref>;

// Null when the context cannot be created.
inline UdevPtr NewUdev() { return UdevPtr(udev_new()); }

// A scanned enumeration of one subsystem, optionally limited to sysnames matching a
// pattern ("lp*"). Null when it cannot be created or scanned.
inline EnumeratePtr ScanSubsystem(udev* ctx, const char* subsystem, const char* sysname) {
  EnumeratePtr e(udev_enumerate_new(ctx));
  if (!e) return nullptr;
  if (udev_enumerate_add_match_subsystem(e.get(), subsystem) < 0) return nullptr;
  if (sysname != nullptr && udev_enumerate_add_match_sysname(e.get(), sysname) < 0) return nullptr;
  if (udev_enumerate_scan_devices(e.get()) < 0) return nullptr;
  return e;
}

inline std::string Text(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

}  // namespace torva::udevutil
