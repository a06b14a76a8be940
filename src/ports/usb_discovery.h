// Finding USB printers by hardware identifier, and the serial port of a USB printer that
// presents itself as a serial device.
//
// A hardware identifier has the form "USB\VID_2F3D&PID_3012": the vendor and product of the
// USB device the printer interface (or serial line) belongs to. A device's own identifier is
// upper-cased (ASCII a to z only) and then compared with the wanted one as a prefix, so a
// shorter wanted text such as "USB\VID_2F3D" matches every product of that vendor.
//
// On Linux the printers are the usbmisc lp devices (/dev/usb/lpN) and the serial lines the
// tty devices whose ancestor is a USB device (ttyACM*, ttyUSB*); the identifier is built from
// that USB device's idVendor and idProduct. On Windows the printers are the interfaces of
// the USB printing class found through the device setup services, and a USB serial line is
// the first device of the usbser driver (its enumeration key in the registry). Everything
// here runs on the user-interface
// thread; only OpenUsbPrinter keeps something afterwards (released by ReleaseUsbDevInfo).
//
// Failures are reported as -1 or empty and written to theLog:
//   "[Error] SetupDiGetClassDevs"                the device list could not be read
//   "[Error] SetupDiEnumDeviceInterfaces(%d)"    OpenUsbPrinter found no matching printer;
//                                                the code is kNoMoreItems
//   "CreateFile Success [%X]" / "CreateFile Fail [%d]"   the open of the matching printer
//   "Create File error"                          FindUsbPrinter could not test-open a match
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/usb_finder.h"

namespace torva {

// The code OpenUsbPrinter logs when the search ended without a matching printer (ENODEV on
// Linux, ERROR_NO_MORE_ITEMS on Windows).
extern const int kNoMoreItems;

// Upper-cases ASCII a to z only; every other byte stays as it is.
std::string UpperAscii(const std::string& text);
// "USB\VID_xxxx&PID_yyyy" from the idVendor and idProduct texts, upper-cased.
std::string MakeUsbHardwareId(const std::string& idVendor, const std::string& idProduct);
// Whether an identifier (upper-cased first) begins with the wanted one.
bool HardwareIdMatches(const std::string& deviceId, const std::string& wantedId);

// Opens the first present printer whose identifier matches, read and write, blocking.
// Returns its handle and writes its device path into pathOut; -1 when none matched or the
// open failed. After a success the device list is held until ReleaseUsbDevInfo.
std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut);
// Number of present printers whose identifier matches, or -1 when there is none or the
// search failed. Each match is test-opened for writing and closed again; a match that
// cannot be opened is counted, logged, and ends the count.
int FindUsbPrinter(const std::string& hardwareId);
// Releases what the last successful OpenUsbPrinter kept. Safe to call at any time.
void ReleaseUsbDevInfo();

// The device node of the first serial line (in device order) whose USB device matches, or
// empty. Every USB serial line is looked at, not only the first one of its driver.
std::string FindUsbSerialPort(const std::string& hardwareId);
// Whether the serial line portName (a device node such as /dev/ttyACM0, or its bare name)
// belongs to a USB device whose identifier matches.
bool UsbSerMatches(const std::string& hardwareId, const std::string& portName);
// The hardware identifier of the USB device a serial line belongs to; empty when the line
// is not a USB one or is unknown.
std::string UsbHardwareIdOfSerialPort(const std::string& portName);

// Every USB printer present, whatever its vendor: device node and hardware identifier.
struct UsbPrinterInfo {
  std::string m_strDevNode;
  std::string m_strHardwareId;
};
// False when the device list could not be read; list holds what was found, in device order.
bool ListUsbPrinters(std::vector<UsbPrinterInfo>& list);

// The udev implementation of the port object's printer finder.
IUsbPrinterFinder& SystemUsbPrinterFinder();

}  // namespace torva
