#include "ports/port_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/error_log.h"
#include "ports/port_io.h"

namespace torva {
namespace {

constexpr size_t kMaxTracedBytes = 64;

}  // namespace

bool PortTraceEnabled() {
  const char* value = std::getenv("TORVA_TRACE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string FormatTraceLine(const char* direction, const uint8_t* data, size_t length) {
  std::string line = std::string(direction) + " " + std::to_string(length) + ":";
  const size_t shown = length < kMaxTracedBytes ? length : kMaxTracedBytes;
  char hex[4];
  for (size_t i = 0; i < shown; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", data[i]);
    line += hex;
  }
  if (shown < length) line += " ...";
  return line;
}

void TraceBytes(const char* direction, const uint8_t* data, size_t length) {
  if (length == 0 || !PortTraceEnabled()) return;
  theLog.WriteLog("%s", FormatTraceLine(direction, data, length).c_str());
}

void LogPortFailure(const char* call, const std::string& path, int error) {
  theLog.WriteLog("CPorts::Open() %s %s: %s [%d]\r\n", call, path.c_str(),
                  portio::ErrorText(error).c_str(), error);
}

}  // namespace torva
