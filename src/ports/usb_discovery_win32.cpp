// USB printer searches through the device setup services (by the USB printing interface
// class), and the USB serial line of the usbser driver through the registry.
#include <windows.h>
// After windows.h:
#include <setupapi.h>

#include <memory>
#include <mutex>

#include "app/error_log.h"
#include "app/win32_text.h"
#include "ports/port_io.h"
#include "ports/registry_win32.h"
#include "ports/usb_discovery.h"

namespace torva {

const int kNoMoreItems = ERROR_NO_MORE_ITEMS;

namespace {

// The device interface class of USB printing support.
const GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

constexpr DWORD kPropertySize = 2048;
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* kUsbSerEnum = "SYSTEM\\CurrentControlSet\\Services\\usbser\\Enum";
// A hardware identifier "USB\VID_xxxx&PID_yyyy" is 21 characters.
constexpr size_t kHardwareIdLength = 21;

// The device-information list of the last successful OpenUsbPrinter, held while the printer
// is in use.
std::mutex g_devInfoMutex;
HDEVINFO g_hUsbDevInfo = INVALID_HANDLE_VALUE;

void Destroy(HDEVINFO& info) {
  if (info != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(info);
  info = INVALID_HANDLE_VALUE;
}

HDEVINFO PresentPrinters() {
  return SetupDiGetClassDevsW(&kUsbPrintInterface, nullptr, nullptr,
                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
}

enum class Step { Ok, End, Skip, NoDetail, NoProperty, NoHardwareId };

struct Interface {
  std::string strPath;
  std::string strHardwareId;  // the first of the device's list, upper-cased
};

// Reads interface number index of the list: its path and its device's hardware identifier.
Step ReadInterface(HDEVINFO info, DWORD index, Interface& out, DWORD& error) {
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  if (!SetupDiEnumDeviceInterfaces(info, nullptr, &kUsbPrintInterface, index, &data)) {
    error = GetLastError();
    return Step::End;
  }
  DWORD size = 0;
  SetupDiGetDeviceInterfaceDetailW(info, &data, nullptr, 0, &size, nullptr);
  if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return Step::NoDetail;
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[size]());
  if (!buffer) return Step::Skip;  // no memory for this one: the next
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.get());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!SetupDiGetDeviceInterfaceDetailW(info, &data, detail, size, nullptr, &device)) {
    return Step::NoDetail;
  }
  out.strPath = win32::Narrow(detail->DevicePath);
  BYTE property[kPropertySize] = {};
  if (!SetupDiGetDeviceRegistryPropertyW(info, &device, SPDRP_DRIVER, nullptr, property,
                                         sizeof property, nullptr)) {
    return Step::NoProperty;
  }
  std::fill(std::begin(property), std::end(property), BYTE{0});
  if (!SetupDiGetDeviceRegistryPropertyW(info, &device, SPDRP_HARDWAREID, nullptr, property,
                                         sizeof property - sizeof(wchar_t), nullptr)) {
    return Step::NoHardwareId;
  }
  out.strHardwareId = UpperAscii(win32::Narrow(reinterpret_cast<const wchar_t*>(property)));
  return Step::Ok;
}

}  // namespace

std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) {
  ReleaseUsbDevInfo();
  HDEVINFO info = PresentPrinters();
  if (info == INVALID_HANDLE_VALUE) {
    theLog.WriteLog("[Error] SetupDiGetClassDevs");
    return -1;
  }
  for (DWORD index = 0;; ++index) {
    Interface found;
    DWORD error = 0;
    switch (ReadInterface(info, index, found, error)) {
      case Step::End:
        theLog.WriteLog("[Error] SetupDiEnumDeviceInterfaces(%d)\r\n", static_cast<int>(error));
        Destroy(info);
        return -1;
      case Step::Skip:
        continue;
      case Step::NoDetail:
        theLog.WriteLog("[Error] SetupDiGetDeviceInterfaceDetail");
        Destroy(info);
        return -1;
      case Step::NoProperty:
        theLog.WriteLog("[Error] SetupDiGetDeviceRegistryProperty");
        Destroy(info);
        return -1;
      case Step::NoHardwareId:
        theLog.WriteLog("[Error] SetupDiDestroyDeviceInfoList");
        Destroy(info);
        return -1;
      case Step::Ok:
        break;
    }
    if (!HardwareIdMatches(found.strHardwareId, hardwareId)) continue;
    pathOut = found.strPath;
    const portio::PortHandle h = portio::OpenReadWriteDevice(found.strPath);
    if (h == portio::kNoHandle) {
      Destroy(info);
      theLog.WriteLog("CreateFile Fail [%d]", portio::PortLastError());
      return -1;
    }
    theLog.WriteLog("CreateFile Success [%X]", static_cast<unsigned>(h));
    std::lock_guard lock(g_devInfoMutex);
    g_hUsbDevInfo = info;
    return h;
  }
}

int FindUsbPrinter(const std::string& hardwareId) {
  HDEVINFO info = PresentPrinters();
  if (info == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  for (DWORD index = 0;; ++index) {
    Interface found;
    DWORD error = 0;
    const Step step = ReadInterface(info, index, found, error);
    if (step == Step::End) break;
    if (step == Step::Skip) continue;
    if (step == Step::NoDetail) {
      theLog.WriteLog("[Error]SetupDiGetDeviceInterfaceDetail");
      Destroy(info);
      return -1;
    }
    if (step != Step::Ok) {
      theLog.WriteLog("[Error]SetupDiGetDeviceRegistryProperty");
      Destroy(info);
      return -1;
    }
    if (!HardwareIdMatches(found.strHardwareId, hardwareId)) continue;
    ++count;
    HANDLE h = CreateFileW(win32::Widen(found.strPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      theLog.WriteLog("Create File error\r\n");
      break;
    }
    CloseHandle(h);
  }
  Destroy(info);
  return count > 0 ? count : -1;
}

void ReleaseUsbDevInfo() {
  std::lock_guard lock(g_devInfoMutex);
  Destroy(g_hUsbDevInfo);
}

bool ListUsbPrinters(std::vector<UsbPrinterInfo>& list) {
  HDEVINFO info = PresentPrinters();
  if (info == INVALID_HANDLE_VALUE) return false;
  for (DWORD index = 0;; ++index) {
    Interface found;
    DWORD error = 0;
    const Step step = ReadInterface(info, index, found, error);
    if (step == Step::End) break;
    if (step == Step::Ok) list.push_back(UsbPrinterInfo{found.strPath, found.strHardwareId});
  }
  Destroy(info);
  return true;
}

// ---- USB serial lines ----

namespace {

// The identifier of the usbser driver's first device, upper-cased and cut to an identifier's
// length; empty when there is none or it is too short to hold one.
std::string FirstUsbSerIdentifier() {
  const win32::CRegistryKey key(kUsbSerEnum);
  std::string instance;
  if (!key.Text("0", instance) || instance.size() <= kHardwareIdLength) return {};
  return UpperAscii(instance.substr(0, kHardwareIdLength));
}

// A SERIALCOMM value name of the USB serial driver: its first 14 characters begin
// "\Device\USBSER".
bool IsUsbSerName(const std::string& valueName) {
  const std::string head = valueName.substr(0, 14);
  return !head.empty() && std::string("\\Device\\USBSER").starts_with(head);
}

}  // namespace

std::string FindUsbSerialPort(const std::string& hardwareId) {
  const win32::CRegistryKey key(kSerialComm);
  if (!key.IsOpen()) return {};
  for (const win32::RegistryValue& value : key.Values()) {
    if (IsUsbSerName(value.strName) && UsbSerMatches(hardwareId, value.strText)) {
      return value.strText;
    }
  }
  return {};
}

bool UsbSerMatches(const std::string& hardwareId, const std::string&) {
  // Only the driver's first device is known here, whichever port it owns.
  const std::string id = FirstUsbSerIdentifier();
  return !id.empty() && id.starts_with(hardwareId);
}

std::string UsbHardwareIdOfSerialPort(const std::string& portName) {
  const win32::CRegistryKey key(kSerialComm);
  for (const win32::RegistryValue& value : key.Values()) {
    if (value.strText == portName && IsUsbSerName(value.strName)) return FirstUsbSerIdentifier();
  }
  return {};
}

// ---- the port object's finder ----

namespace {

class CSetupDiUsbPrinterFinder final : public IUsbPrinterFinder {
 public:
  std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) override {
    return torva::OpenUsbPrinter(hardwareId, pathOut);
  }
  void ReleaseDevInfo() override { ReleaseUsbDevInfo(); }
};

}  // namespace

IUsbPrinterFinder& SystemUsbPrinterFinder() {
  static CSetupDiUsbPrinterFinder finder;
  return finder;
}

}  // namespace torva
