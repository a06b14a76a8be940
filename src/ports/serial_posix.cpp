// Line settings of a serial device through termios.
#include "ports/serial_posix.h"

#include <sys/ioctl.h>

#include <cerrno>

namespace torva::portio {
namespace {

struct BaudEntry {
  int nRate;
  speed_t speed;
};

constexpr BaudEntry kBaudRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedFor(int rate, speed_t& speed) {
  for (const auto& e : kBaudRates) {
    if (e.nRate == rate) {
      speed = e.speed;
      return true;
    }
  }
  return false;
}

// No echo, no line editing, no character translation, no signals, 8-bit clean: what the
// printer's binary commands need. IXOFF and CRTSCTS are left as the driver had them.
void MakeRaw(termios& t) {
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IUCLC | IMAXBEL | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
}

bool SetFormat(termios& t, const SerialLine& line) {
  tcflag_t size;
  switch (line.nDataBits) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
  }
  t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | size;
  switch (line.nParity) {
    case 0: t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD); break;
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag = (t.c_cflag | PARENB) & ~static_cast<tcflag_t>(PARODD); break;
    default: return false;
  }
  switch (line.nStopBits) {
    case 0: t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB); break;
    // termios has no one and a half stop bits; two is the nearest the receiver accepts.
    case 1:
    case 2: t.c_cflag |= CSTOPB; break;
    default: return false;
  }
  return true;
}

// Modem lines through ioctl. A line without them (a pseudo-terminal answers ENOTTY, some
// adapters EINVAL) is not a failure.
bool SetModemLine(int handle, int bit, ModemLine what, int& nError) {
  if (what == ModemLine::Leave) return true;
  if (::ioctl(handle, what == ModemLine::Raise ? TIOCMBIS : TIOCMBIC, &bit) == 0) return true;
  if (errno == ENOTTY || errno == EINVAL) return true;
  nError = errno;
  return false;
}

}  // namespace

bool BuildLineTermios(const termios& current, const SerialLine& line, LineTermios& out) {
  out.t = current;
  MakeRaw(out.t);
  if (!SpeedFor(line.nBaudRate, out.speed) || !SetFormat(out.t, line)) return false;
  cfsetispeed(&out.t, out.speed);
  cfsetospeed(&out.t, out.speed);
  // Handshake by flow control. termios knows only RTS/CTS and XON/XOFF; the DSR flags of
  // the connection settings have no counterpart. "S/W" leaves the handshake as the raw
  // line has it.
  switch (line.nFlowControl) {
    case 1:  // H/W: CTS output flow, DTR on, RTS by the driver's handshake, no XON/XOFF output
      out.t.c_cflag |= CRTSCTS;
      out.t.c_iflag &= ~static_cast<tcflag_t>(IXON);
      out.dtr = ModemLine::Raise;
      out.rts = ModemLine::Raise;
      break;
    case 3:  // none: no CTS flow, DTR and RTS dropped
      out.t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
      out.dtr = ModemLine::Drop;
      out.rts = ModemLine::Drop;
      break;
    default:
      out.dtr = ModemLine::Leave;
      out.rts = ModemLine::Leave;
      break;
  }
  return true;
}

namespace {

LineResult ApplyLine(int handle, const SerialLine& line, int& nError) {
  nError = 0;
  termios current{};
  if (::tcgetattr(handle, &current) != 0) {
    nError = errno;
    return LineResult::GetFailed;
  }
  LineTermios wanted;
  if (!BuildLineTermios(current, line, wanted)) {
    nError = EINVAL;
    return LineResult::SetFailed;
  }
  if (::tcsetattr(handle, TCSANOW, &wanted.t) != 0) {
    nError = errno;
    return LineResult::SetFailed;
  }
  // tcsetattr succeeds when any part was taken: a rate the driver cannot do shows in the
  // read-back. (The format is not compared: a pseudo-terminal always reports 8N.)
  termios back{};
  if (::tcgetattr(handle, &back) != 0) {
    nError = errno;
    return LineResult::SetFailed;
  }
  if (cfgetospeed(&back) != wanted.speed) {
    nError = EINVAL;
    return LineResult::SetFailed;
  }
  if (!SetModemLine(handle, TIOCM_DTR, wanted.dtr, nError) ||
      !SetModemLine(handle, TIOCM_RTS, wanted.rts, nError)) {
    return LineResult::SetFailed;
  }
  return LineResult::Ok;
}

}  // namespace

LineResult ConfigureSerialLine(PortHandle handle, const SerialLine& line, int& nError) {
  const LineResult result = ApplyLine(handle, line, nError);
  // The open's error message shows the code: a path that is no terminal must not say 0.
  if (result != LineResult::Ok) KeepLastError(nError);
  return result;
}

}  // namespace torva::portio
