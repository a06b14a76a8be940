// The diagnostic log "error.log": emptied at each start, one time-stamped entry per call,
// written through at once so that it is complete even after a crash. Entries from several
// threads are serialised, never interleaved.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

// The C library's formatting: mingw-w64's own (C99, with %zu) rather than the system's.
#if defined(__MINGW32__)
#define TORVA_PRINTF gnu_printf
#else
#define TORVA_PRINTF printf
#endif

namespace torva {

class CErrorLog {
 public:
  CErrorLog() = default;
  CErrorLog(const CErrorLog&) = delete;
  CErrorLog& operator=(const CErrorLog&) = delete;
  ~CErrorLog();

  // Creates or empties the file and holds it open. False (and no file held) on failure.
  bool OpenLog(const std::string& fileName);
  // "[YYYY/MM/DD hh:mm:ss] " + the formatted text (cut to 255 characters) + CR LF.
  // Does nothing while no file is held.
  void WriteLog(const char* format, ...) __attribute__((format(TORVA_PRINTF, 2, 3)));
  void WriteLogV(const char* format, va_list args) __attribute__((format(TORVA_PRINTF, 2, 0)));
  // The version entry "ERROR LOG : Tool - Ver a.b.c.d".
  void WriteHeader();
  void CloseLog();
  bool IsOpen() const;

 private:
  mutable std::mutex m_mutex;
  std::FILE* m_pFile = nullptr;
};

extern CErrorLog theLog;

}  // namespace torva
