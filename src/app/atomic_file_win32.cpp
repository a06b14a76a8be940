// Replacing the settings file on Windows: a temporary file beside it, flushed to disk, then
// ReplaceFileW over an existing file (MoveFileExW for the first write).
#include <windows.h>

#include "app/atomic_file.h"
#include "app/win32_text.h"

namespace torva {
namespace {
std::function<void()> g_beforeRename;

bool WriteWhole(HANDLE file, const std::string& contents) {
  const char* p = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    left -= written;
  }
  return true;
}

}  // namespace

void SetBeforeRenameHookForTest(std::function<void()> hook) { g_beforeRename = std::move(hook); }

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
  const std::wstring target = win32::Widen(path);
  // Something other than a file where the file should be is never replaced.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  // One temporary name per process and attempt, beside the target (same volume).
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(attempt) + L".tmp";
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteWhole(file, contents) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok && g_beforeRename) g_beforeRename();
  if (ok) {
    // ReplaceFileW keeps the old file's attributes and security; it needs an existing file.
    ok = ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr) != 0;
    if (!ok && GetLastError() == ERROR_FILE_NOT_FOUND) {
      ok = MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
  }
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

}  // namespace torva
