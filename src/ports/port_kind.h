// What a port name denotes. This is the one place that looks at the spelling of a port
// name; everything else asks ClassifyPortName.
#pragma once

#include <string>

namespace torva {

enum class PortNameKind {
  Serial,      // "COM..." or any device path that is not one of the below
  Parallel,    // "LPT...", /dev/lp*, /dev/parport*
  UsbPrinter,  // "USB": found by hardware identifier
  UsbNode,     // a USB printer device node given by path (/dev/usb/lp*)
  File,        // "FILE": the Print to File prompt picks the output file
  Network,     // "ETHERNET_II", "WIFI", empty: reached through the network socket, not here
};

PortNameKind ClassifyPortName(const std::string& name);

// Whether name denotes a device of the system rather than a file: a character device node
// on POSIX; on Windows a port name of the device maps (COM3, LPT1) or a \\.\ device path.
// One implementation per platform (port_kind_posix.cpp, port_kind_win32.cpp).
bool IsDeviceName(const std::string& name);

// Kinds that are written through the device path with a write time-out (everything that is
// not an output file).
inline bool IsDeviceKind(PortNameKind kind) {
  return kind == PortNameKind::Serial || kind == PortNameKind::Parallel ||
         kind == PortNameKind::UsbPrinter || kind == PortNameKind::UsbNode;
}

}  // namespace torva
