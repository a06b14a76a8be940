// The operating-system side of the port object: opening devices and files, line settings,
// timed writes, non-blocking reads and bounded waits. One implementation per platform
// (port_io_posix.cpp and serial_posix.cpp here); nothing above this header knows which.
//
// Handles are plain ints (-1 = none). Calls that fail keep the system error code for
// PortLastError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace torva::portio {

inline constexpr int kNoHandle = -1;

int PortLastError();
// Keeps nError for PortLastError(), for failures found above the single system calls.
void KeepLastError(int nError);

// A serial device: read and write, not shared with other programs, no controlling terminal.
int OpenSerialDevice(const std::string& path);
// A parallel device: write only.
int OpenWriteOnlyDevice(const std::string& path);
// A USB printer node: read and write, shared.
int OpenReadWriteDevice(const std::string& path);
// A new or emptied output file.
int CreateOutputFile(const std::string& path);
void CloseHandle(int handle);
// Makes writes and reads on handle return at once, so that the port's own time-outs apply.
bool SetNonBlocking(int handle);
// A second handle on the same open device (the reading thread keeps its own).
int DuplicateHandle(int handle);

struct SerialLine {
  int nBaudRate = 0;
  int nDataBits = 8;
  int nParity = 0;       // 0 none, 1 odd, 2 even
  int nStopBits = 0;     // 0 one, 1 one and a half, 2 two
  int nFlowControl = 3;  // 1 H/W, 2 S/W, 3 none
};

enum class LineResult { Ok, GetFailed, SetFailed };

// Puts the line into raw mode with the given parameters and handshake; nError gets the
// system error code of a failure (EINVAL for a baud rate or format the system has no
// setting for, ENOTTY for a path that is no terminal), which PortLastError() then reports.
LineResult ConfigureSerialLine(int handle, const SerialLine& line, int& nError);
// Drops whatever is queued in both directions.
bool PurgeSerial(int handle);

enum class WriteStatus { Ok, TimedOut, Failed };
struct WriteResult {
  WriteStatus status = WriteStatus::Ok;
  size_t nWritten = 0;
  int nError = 0;
};
// Writes all bytes unless msPerByte * length milliseconds pass first. Short writes go on
// with the rest. A far end that vanished is a failure (never a signal).
WriteResult WriteTimed(int handle, const uint8_t* data, size_t length, int msPerByte);
// Writes all bytes, waiting as long as the device is busy, unless limitMs milliseconds pass
// first (for printers that take their time). A device that says it is writable and still
// takes nothing is retried every few milliseconds, never spun on; an error (ENOSPC when
// the paper is out, EIO when a parallel printer is off line) ends the write at once.
WriteResult WriteBounded(int handle, const uint8_t* data, size_t length, int limitMs);
// Writes all bytes, blocking; for output files.
bool WriteAll(int handle, const uint8_t* data, size_t length);

// Reads what is there without waiting: the count, 0 when nothing is queued, -1 on an error
// (the error code in PortLastError()).
long ReadAvailable(int handle, uint8_t* buffer, size_t maxLength);

enum class WaitResult { Readable, TimedOut, Woken, HungUp, Failed };
// Waits at most timeoutMs for input on handle, or for wakeHandle to be signalled. Either
// may be kNoHandle (no handle: a pause that the wake-up cuts short).
WaitResult WaitReadable(int handle, int wakeHandle, int timeoutMs);

// A wake-up that one thread signals and another waits on (WaitReadable's wakeHandle).
int CreateWakeEvent();
void SignalWakeEvent(int wakeHandle);

}  // namespace torva::portio
