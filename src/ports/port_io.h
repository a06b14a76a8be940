// The operating-system side of the port object: opening devices and files, line settings,
// timed writes, non-blocking reads and bounded waits. One implementation per platform
// (port_io_posix.cpp with serial_posix.cpp, port_io_win32.cpp); nothing above src/ports
// includes this header.
//
// Handles are PortHandle (an integer wide enough for a file descriptor or a Windows HANDLE;
// -1 = none). Calls that fail keep the system error code for PortLastError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace torva::portio {

using PortHandle = std::intptr_t;
inline constexpr PortHandle kNoHandle = -1;

int PortLastError();
// Keeps nError for PortLastError(), for failures found above the single system calls.
void KeepLastError(int nError);
// The error code a use of a handle that is not open reports.
int BadHandleError();
// The system's own text for one of these error codes.
std::string ErrorText(int nError);

// A serial device: read and write, not shared with other programs, no controlling terminal.
PortHandle OpenSerialDevice(const std::string& path);
// A parallel device: write only.
PortHandle OpenWriteOnlyDevice(const std::string& path);
// A USB printer node: read and write, shared.
PortHandle OpenReadWriteDevice(const std::string& path);
// A new or emptied output file.
PortHandle CreateOutputFile(const std::string& path);
void CloseHandle(PortHandle handle);
// Makes writes and reads on handle return at once, so that the port's own time-outs apply.
bool SetNonBlocking(PortHandle handle);
// A second handle on the same open device (the reading thread keeps its own).
PortHandle DuplicateHandle(PortHandle handle);

struct SerialLine {
  int nBaudRate = 0;
  int nDataBits = 8;
  int nParity = 0;       // 0 none, 1 odd, 2 even
  int nStopBits = 0;     // 0 one, 1 one and a half, 2 two
  int nFlowControl = 3;  // 1 H/W, 2 S/W, 3 none
};

enum class LineResult { Ok, TimeoutsFailed, GetFailed, SetFailed };

// Puts the line into raw mode with the given parameters and handshake (on Windows also the
// driver's buffer sizes and time-outs, TimeoutsFailed when they are refused); nError gets the
// system error code of a failure (EINVAL for a baud rate or format the system has no
// setting for, ENOTTY for a path that is no terminal), which PortLastError() then reports.
LineResult ConfigureSerialLine(PortHandle handle, const SerialLine& line, int& nError);
// Drops whatever is queued in both directions.
bool PurgeSerial(PortHandle handle);
// Drops the received bytes not yet read; what waits to be sent is left to go out.
bool PurgeSerialInput(PortHandle handle);
// The bytes the serial driver still holds to send; 0 for a line whose driver keeps no
// count (a pseudo-terminal) and for anything that is no terminal.
int SerialOutputQueued(PortHandle handle);

enum class WriteStatus { Ok, TimedOut, Failed };
struct WriteResult {
  WriteStatus status = WriteStatus::Ok;
  size_t nWritten = 0;
  int nError = 0;
};
// Writes all bytes unless msPerByte * length milliseconds pass first. Short writes go on
// with the rest. A far end that vanished is a failure (never a signal).
WriteResult WriteTimed(PortHandle handle, const uint8_t* data, size_t length, int msPerByte);
// Writes all bytes, waiting as long as the device is busy, unless limitMs milliseconds pass
// first (for printers that take their time). A device that says it is writable and still
// takes nothing is retried every few milliseconds, never spun on; an error (ENOSPC when
// the paper is out, EIO when a parallel printer is off line) ends the write at once.
WriteResult WriteBounded(PortHandle handle, const uint8_t* data, size_t length, int limitMs);
// Writes all bytes, blocking; for output files.
bool WriteAll(PortHandle handle, const uint8_t* data, size_t length);

// What a failed or timed-out printer write says about the printer, when its error code
// tells (out of paper; off line or in an error state).
enum class WriteFault { Unknown, PaperOut, OffLine };
WriteFault FaultOfWriteError(int nError);

// Reads what is there without waiting: the count, 0 when nothing is queued, -1 on an error
// (the error code in PortLastError()).
long ReadAvailable(PortHandle handle, uint8_t* buffer, size_t maxLength);

enum class WaitResult { Readable, TimedOut, Woken, HungUp, Failed };
// Waits at most timeoutMs for input on handle, or for wakeHandle to be signalled. Either
// may be kNoHandle (no handle: a pause that the wake-up cuts short). On Windows only a
// serial line can be waited on this way (others fail); reading code uses ReceiveWithin.
WaitResult WaitReadable(PortHandle handle, PortHandle wakeHandle, int timeoutMs);

// Waits at most timeoutMs for input and reads what came, at most maxLength bytes: what the
// receive paths (the watch thread, a reply wait, a USB reply) use. Data with the count;
// TimedOut when nothing came ("nothing yet"); Woken when wakeHandle (may be kNoHandle) was
// signalled first; Empty when the device reports input but yields none (wait a little
// before asking again); HungUp when its far end is gone (the code in PortLastError());
// Failed with the code in PortLastError(). On Windows this is an overlapped read with
// interval and total time-outs, cancelled when the wake-up comes first.
enum class ReceiveStatus { Data, TimedOut, Woken, Empty, HungUp, Failed };
struct ReceiveResult {
  ReceiveStatus status = ReceiveStatus::TimedOut;
  long nRead = 0;
};
ReceiveResult ReceiveWithin(PortHandle handle, PortHandle wakeHandle, uint8_t* buffer,
                            size_t maxLength, int timeoutMs);

// True when the far end of handle is gone (a hang-up), also while input is still waiting.
bool HasHungUp(PortHandle handle);

// A wake-up that one thread signals and another waits on (WaitReadable's wakeHandle).
PortHandle CreateWakeEvent();
void SignalWakeEvent(PortHandle wakeHandle);

}  // namespace torva::portio
