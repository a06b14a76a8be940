// The connection description g_strPortInfo that the main menu builds and the job dialogs
// show read-only.
#pragma once

#include <string>

#include "app/connection_settings.h"

namespace torva {

// How the description is laid out for a port: six lines for a serial line, a fixed title
// for a USB printer, the model and port name for everything else.
enum class PortInfoKind { Serial, Usb, Other };

// "TORVA10 - " (model code 2), "TORVA40i - " (4), "TORVA40 - " (6), "TORVA30 - " (5),
// "TORVA20 - " (every other code).
const char* PortInfoModelPrefix(int modelCode);

// The description for the settings; kind is what the port name denotes (the port layer
// classifies names). Serial lines give six lines, each but the last ended by CR LF:
//   TORVA40 - COM3 / Baud : 115200 / Data : 8 bit / None Parity / H/W Flow control /
//   One Stop Bit
std::string BuildPortInfo(const ConnectionSettings& settings, PortInfoKind kind);

}  // namespace torva
