// Loading the WiFi setting library WiFi_DLL.dll with LoadLibraryW; its operations are
// imported by ordinal (1 and 3), not by name.
#include <windows.h>

#include <filesystem>
#include <system_error>

#include "app/error_log.h"
#include "app/win32_text.h"
#include "network/wifi_library.h"

namespace torva {
namespace {

using WifiEntry = int(WINAPI*)(void*);

FARPROC EntryOf(void* library, int operation) {
  return GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(operation));
}

}  // namespace

std::string CWifiLibrary::ExecutableDirectory() {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return {};
  return win32::Narrow(std::filesystem::path(path).parent_path().wstring());
}

CWifiLibrary::~CWifiLibrary() {
  if (m_hLibrary != nullptr) FreeLibrary(static_cast<HMODULE>(m_hLibrary));
}

const char* CWifiLibrary::FileName() { return "WiFi_DLL.dll"; }

const char* CWifiLibrary::EntryPoint(int operation) {
  switch (operation) {
    case kInfrastructure:
      return "#1";
    case kLimitedAp:
      return "#3";
    default:
      return nullptr;
  }
}

bool CWifiLibrary::Load(std::string& error) {
  if (m_hLibrary != nullptr) return true;
  DWORD lastError = 0;
  for (const std::string& dir : m_directories) {
    const std::filesystem::path candidate =
        std::filesystem::path(win32::Widen(dir)) / win32::Widen(FileName());
    std::error_code ec;
    if (!std::filesystem::exists(candidate, ec)) continue;
    m_hLibrary = LoadLibraryW(candidate.c_str());
    if (m_hLibrary != nullptr) {
      m_strLoadedFrom = win32::Narrow(candidate.wstring());
      return true;
    }
    lastError = GetLastError();
  }
  // A bare name makes the loader use its own search order.
  m_hLibrary = LoadLibraryW(win32::Widen(FileName()).c_str());
  if (m_hLibrary != nullptr) {
    m_strLoadedFrom = FileName();
    return true;
  }
  if (lastError == 0) lastError = GetLastError();
  theLog.WriteLog("WiFi library load fail : %s", win32::ErrorText(lastError).c_str());
  error = NotFoundText();
  return false;
}

bool CWifiLibrary::HasEntry(int operation) const {
  return EntryOf(m_hLibrary, operation) != nullptr;
}

void CWifiLibrary::CallEntry(int operation, void* parentWindow) const {
  // An ordinal's address converts through the generic function type.
  auto fn =
      reinterpret_cast<WifiEntry>(reinterpret_cast<void (*)()>(EntryOf(m_hLibrary, operation)));
  fn(parentWindow);
}

}  // namespace torva
