// The serial and parallel ports the connection dialog offers.
//
// Serial ports are the system's tty devices that sit on hardware (a UART, a USB serial
// adapter or printer); virtual consoles and pseudo-terminals are not offered, nor UART slots
// the kernel found no chip behind. After them come the names of the optional "PORTLIST"
// section of the settings file, for lines the system does not announce (a simulated
// printer's pseudo-terminal, a symbolic link):
//
//   [PORTLIST]
//   Port1=/tmp/torva-sim-tty
//   Port2=/dev/serial/by-id/usb-TORVA_Printer-if00
//
// The keys are read in the order Port1, Port2, ... up to the first empty value. A name that is
// already in the list is not added twice.
//
// Parallel ports are the lp devices of the parallel-port printer driver (/dev/lpN).
#pragma once

#include <string>
#include <vector>

namespace torva {

// The settings section and key pattern of the extra serial names.
inline constexpr const char* kPortListSection = "PORTLIST";
inline constexpr const char* kPortListKeyFormat = "Port%d";

// Appends the serial port names to list; returns how many were added. When the system's
// device list cannot be read, "Registry open fail" is logged and only the PORTLIST names
// are added.
int EnumSerialPorts(std::vector<std::string>& list);
// Appends the parallel port device names to list; returns how many were added (0, without
// a log entry, when the device list cannot be read).
int EnumParallelPorts(std::vector<std::string>& list);

}  // namespace torva
