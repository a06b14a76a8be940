// An opt-in hex trace of the bytes the port object writes and reads, into the error log.
// Switched on by the environment variable TORVA_TRACE=1; off it costs one getenv per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace torva {

bool PortTraceEnabled();
// "TX 3: 1D 49 01" (direction, count, at most the first 64 bytes, "..." when cut).
std::string FormatTraceLine(const char* direction, const uint8_t* data, size_t length);
void TraceBytes(const char* direction, const uint8_t* data, size_t length);

// The reason behind one of the port object's fixed failure texts, as the log line after it:
// "CPorts::Open() open serial device /dev/ttyUSB0: No such file or directory [2]".
void LogPortFailure(const char* call, const std::string& path, int error);

}  // namespace torva
