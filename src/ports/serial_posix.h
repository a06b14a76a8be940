// The termios side of the serial line settings, apart from the system calls, so that the
// exact flags can be checked for every line format (a pseudo-terminal keeps only some).
#pragma once

#include <termios.h>

#include "ports/port_io.h"

namespace torva::portio {

// What the modem-control lines should do after the settings: raise, drop or leave.
enum class ModemLine { Leave, Raise, Drop };

struct LineTermios {
  termios t{};
  speed_t speed{};
  ModemLine dtr = ModemLine::Leave;
  ModemLine rts = ModemLine::Leave;
};

// Turns the driver's current settings into the raw line of the given parameters. False when
// the system has no setting for the baud rate or the format.
bool BuildLineTermios(const termios& current, const SerialLine& line, LineTermios& out);

}  // namespace torva::portio
