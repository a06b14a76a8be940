// USB printer and USB serial line searches over udev: printers are the usbmisc lp devices,
// serial lines the tty devices; both take their identifier from the USB device above them.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>

#include "app/error_log.h"
#include "ports/udev_util_linux.h"
#include "ports/usb_discovery.h"

namespace torva {

const int kNoMoreItems = ENODEV;

using udevutil::DevicePtr;
using udevutil::EnumeratePtr;
using udevutil::UdevPtr;

namespace {

// What could be read about one printer interface. The states follow the order in which the
// search reads them, so each caller can report the first thing that was missing.
enum class PrinterState {
  kOk,
  kNoNode,       // the device vanished or has no device node
  kNoUsbDevice,  // no USB device above the interface
  kNoIds,        // the USB device has no idVendor/idProduct
};

struct PrinterEntry {
  PrinterState m_eState = PrinterState::kOk;
  std::string m_strNode;
  std::string m_strId;
};

// The device list an opened printer was found in, held while that printer is in use.
struct UsbDevInfo {
  UdevPtr m_pUdev;
  EnumeratePtr m_pList;
};
std::mutex g_devInfoMutex;
UsbDevInfo g_hUsbDevInfo;

// The USB identifier of a device: idVendor/idProduct of its usb_device ancestor.
// Returns the ancestor state: kNoUsbDevice, kNoIds or kOk (id filled).
PrinterState UsbIdOf(udev_device* dev, std::string& id) {
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
  if (usb == nullptr) return PrinterState::kNoUsbDevice;
  const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
  const char* product = udev_device_get_sysattr_value(usb, "idProduct");
  if (vendor == nullptr || product == nullptr) return PrinterState::kNoIds;
  id = MakeUsbHardwareId(vendor, product);
  return PrinterState::kOk;
}

// Reads every USB printer interface into entries, in device order. False when the device
// list itself cannot be had. The list is handed back through listOut for callers that keep it.
bool ReadUsbPrinters(std::vector<PrinterEntry>& entries, UsbDevInfo* listOut) {
  UdevPtr ctx = udevutil::NewUdev();
  if (!ctx) return false;
  EnumeratePtr list = udevutil::ScanSubsystem(ctx.get(), "usbmisc", "lp*");
  if (!list) return false;
  udev_list_entry* item = nullptr;
  udev_list_entry_foreach(item, udev_enumerate_get_list_entry(list.get())) {
    PrinterEntry entry;
    DevicePtr dev(udev_device_new_from_syspath(ctx.get(), udev_list_entry_get_name(item)));
    const char* node = dev ? udev_device_get_devnode(dev.get()) : nullptr;
    if (node == nullptr) {
      entry.m_eState = PrinterState::kNoNode;
    } else {
      entry.m_strNode = node;
      entry.m_eState = UsbIdOf(dev.get(), entry.m_strId);
    }
    entries.push_back(std::move(entry));
  }
  if (listOut != nullptr) {
    listOut->m_pUdev = std::move(ctx);
    listOut->m_pList = std::move(list);
  }
  return true;
}

}  // namespace

std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) {
  // A list still held from an earlier open would otherwise be lost.
  ReleaseUsbDevInfo();
  std::vector<PrinterEntry> entries;
  UsbDevInfo info;
  if (!ReadUsbPrinters(entries, &info)) {
    theLog.WriteLog("[Error] SetupDiGetClassDevs");
    return -1;
  }
  for (const PrinterEntry& entry : entries) {
    switch (entry.m_eState) {
      case PrinterState::kNoNode:
        theLog.WriteLog("[Error] SetupDiGetDeviceInterfaceDetail");
        return -1;
      case PrinterState::kNoUsbDevice:
        theLog.WriteLog("[Error] SetupDiGetDeviceRegistryProperty");
        return -1;
      case PrinterState::kNoIds:
        theLog.WriteLog("[Error] SetupDiDestroyDeviceInfoList");
        return -1;
      case PrinterState::kOk:
        break;
    }
    if (!HardwareIdMatches(entry.m_strId, hardwareId)) continue;
    pathOut = entry.m_strNode;
    // A device node is never created here: a missing node is a failed open.
    const int fd = ::open(entry.m_strNode.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      theLog.WriteLog("CreateFile Success [%X]", static_cast<unsigned>(fd));
      std::lock_guard<std::mutex> lock(g_devInfoMutex);
      g_hUsbDevInfo = std::move(info);
      return fd;
    }
    const int err = errno;
    theLog.WriteLog("CreateFile Fail [%d]", err);
    return -1;
  }
  theLog.WriteLog("[Error] SetupDiEnumDeviceInterfaces(%d)\r\n", kNoMoreItems);
  return -1;
}

int FindUsbPrinter(const std::string& hardwareId) {
  std::vector<PrinterEntry> entries;
  if (!ReadUsbPrinters(entries, nullptr)) return -1;
  int count = 0;
  for (const PrinterEntry& entry : entries) {
    if (entry.m_eState == PrinterState::kNoNode) {
      theLog.WriteLog("[Error]SetupDiGetDeviceInterfaceDetail");
      return -1;
    }
    if (entry.m_eState != PrinterState::kOk) {
      theLog.WriteLog("[Error]SetupDiGetDeviceRegistryProperty");
      return -1;
    }
    if (!HardwareIdMatches(entry.m_strId, hardwareId)) continue;
    ++count;
    // Non-blocking so that a printer that does not answer cannot hold the search up.
    const int fd = ::open(entry.m_strNode.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      theLog.WriteLog("Create File error\r\n");
      break;
    }
    ::close(fd);
  }
  return count > 0 ? count : -1;
}

void ReleaseUsbDevInfo() {
  std::lock_guard<std::mutex> lock(g_devInfoMutex);
  g_hUsbDevInfo = UsbDevInfo{};
}

bool ListUsbPrinters(std::vector<UsbPrinterInfo>& list) {
  std::vector<PrinterEntry> entries;
  if (!ReadUsbPrinters(entries, nullptr)) return false;
  for (const PrinterEntry& entry : entries) {
    if (entry.m_strNode.empty()) continue;
    list.push_back(UsbPrinterInfo{entry.m_strNode, entry.m_strId});
  }
  return true;
}

// ---- USB serial lines ----

namespace {

// The tty device a port name denotes: by its bare name first (/dev/ttyACM0 -> ttyACM0), then
// through the links of names such as /dev/serial/by-id/... .
DevicePtr TtyDeviceOf(udev* ctx, const std::string& portName) {
  namespace fs = std::filesystem;
  const std::string name = fs::path(portName).filename().string();
  if (name.empty()) return nullptr;
  DevicePtr dev(udev_device_new_from_subsystem_sysname(ctx, "tty", name.c_str()));
  if (dev) return dev;
  std::error_code ec;
  if (!fs::is_symlink(portName, ec)) return nullptr;
  const fs::path target = fs::canonical(portName, ec);
  if (ec) return nullptr;
  return DevicePtr(
      udev_device_new_from_subsystem_sysname(ctx, "tty", target.filename().string().c_str()));
}

bool TtyMatches(udev_device* dev, const std::string& hardwareId) {
  std::string id;
  return UsbIdOf(dev, id) == PrinterState::kOk && HardwareIdMatches(id, hardwareId);
}

}  // namespace

std::string FindUsbSerialPort(const std::string& hardwareId) {
  UdevPtr ctx = udevutil::NewUdev();
  if (!ctx) return {};
  EnumeratePtr list = udevutil::ScanSubsystem(ctx.get(), "tty", nullptr);
  if (!list) return {};
  udev_list_entry* item = nullptr;
  udev_list_entry_foreach(item, udev_enumerate_get_list_entry(list.get())) {
    DevicePtr dev(udev_device_new_from_syspath(ctx.get(), udev_list_entry_get_name(item)));
    if (!dev) continue;
    const char* node = udev_device_get_devnode(dev.get());
    if (node != nullptr && TtyMatches(dev.get(), hardwareId)) return node;
  }
  return {};
}

bool UsbSerMatches(const std::string& hardwareId, const std::string& portName) {
  UdevPtr ctx = udevutil::NewUdev();
  if (!ctx) return false;
  DevicePtr dev = TtyDeviceOf(ctx.get(), portName);
  return dev && TtyMatches(dev.get(), hardwareId);
}

std::string UsbHardwareIdOfSerialPort(const std::string& portName) {
  UdevPtr ctx = udevutil::NewUdev();
  if (!ctx) return {};
  DevicePtr dev = TtyDeviceOf(ctx.get(), portName);
  std::string id;
  if (!dev || UsbIdOf(dev.get(), id) != PrinterState::kOk) return {};
  return id;
}

// ---- the port object's finder ----

namespace {

class CUdevUsbPrinterFinder final : public IUsbPrinterFinder {
 public:
  std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) override {
    return torva::OpenUsbPrinter(hardwareId, pathOut);
  }
  void ReleaseDevInfo() override { ReleaseUsbDevInfo(); }
};

}  // namespace

IUsbPrinterFinder& SystemUsbPrinterFinder() {
  static CUdevUsbPrinterFinder finder;
  return finder;
}

}  // namespace torva
