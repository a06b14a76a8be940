#include "app/error_log.h"

#include <ctime>

#include "app/platform.h"
#include "app/services.h"

namespace torva {

CErrorLog theLog;

CErrorLog::~CErrorLog() { CloseLog(); }

bool CErrorLog::OpenLog(const std::string& fileName) {
  std::lock_guard lock(m_mutex);
  if (m_pFile != nullptr) std::fclose(m_pFile);
  // "wb": a new start empties the previous run's log; CR LF are written by us.
  m_pFile = std::fopen(fileName.c_str(), "wb");
  return m_pFile != nullptr;
}

void CErrorLog::CloseLog() {
  std::lock_guard lock(m_mutex);
  if (m_pFile != nullptr) std::fclose(m_pFile);
  m_pFile = nullptr;
}

bool CErrorLog::IsOpen() const {
  std::lock_guard lock(m_mutex);
  return m_pFile != nullptr;
}

void CErrorLog::WriteLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLogV(format, args);
  va_end(args);
}

void CErrorLog::WriteLogV(const char* format, va_list args) {
  std::lock_guard lock(m_mutex);
  if (m_pFile == nullptr) return;
  std::time_t now = std::time(nullptr);
  const std::tm local = LocalTime(now);
  char stamp[256];
  std::snprintf(stamp, sizeof stamp, "[%04d/%02d/%02d %02d:%02d:%02d] ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  // 256 characters with the terminator: a longer text keeps its first 255.
  char text[256];
  std::vsnprintf(text, sizeof text, format, args);
  std::fputs(stamp, m_pFile);
  std::fputs(text, m_pFile);
  std::fputs("\r\n", m_pFile);
  // Through at once, so the log is complete up to the last entry even after a crash.
  std::fflush(m_pFile);
}

void CErrorLog::WriteHeader() {
  FileVersion v = System().Version();
  WriteLog("ERROR LOG : Tool - Ver %d.%d.%d.%d", v.major, v.minor, v.build, v.revision);
}

}  // namespace torva
