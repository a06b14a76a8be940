// How the port object finds and opens a USB printer by hardware identifier
// ("USB\VID_2F3D&PID_3012"). The real finder searches the system's printer-class devices;
// tests install their own.
#pragma once

#include <cstdint>
#include <string>

namespace torva {

class IUsbPrinterFinder {
 public:
  virtual ~IUsbPrinterFinder() = default;
  // Opens the first present printer whose identifier begins with hardwareId; returns its
  // handle (or -1) and writes the device path into pathOut.
  virtual std::intptr_t OpenUsbPrinter(const std::string& hardwareId, std::string& pathOut) = 0;
  // Releases what the last successful OpenUsbPrinter kept for the printer in use.
  virtual void ReleaseDevInfo() = 0;
};

// The finder CPorts uses; the system's own (udev on Linux) unless a test installed another.
IUsbPrinterFinder& UsbPrinterFinder();
void SetUsbPrinterFinder(IUsbPrinterFinder* finder);  // nullptr restores the system's own

}  // namespace torva
