// Loading the WiFi setting library WiFi_DLL.dll with LoadLibraryW; its operations are
// imported by ordinal (1 and 3), not by name.
#include <windows.h>

#include <filesystem>
#include <system_error>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/win32_text.h"
#include "network/wifi_library.h"

namespace torva {
namespace {

using WifiEntry = int(WINAPI*)(void*);

std::string ExecutableDirectory() {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return {};
  return win32::Narrow(std::filesystem::path(path).parent_path().wstring());
}

std::string NotFoundText() {
  const std::string name = CWifiLibrary::FileName();
  if (theMsg.IsKorean()) {
    return "WiFi 설정 라이브러리(" + name +
           ")를 찾을 수 없습니다.\r\n프로그램과 같은 폴더나 라이브러리 경로에 설치하십시오.";
  }
  return "The WiFi setting library (" + name +
         ") was not found.\r\nInstall it next to the program or on the library path.";
}

FARPROC EntryOf(void* library, int operation) {
  return GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(operation));
}

}  // namespace

CWifiLibrary::CWifiLibrary() {
  std::string dir = ExecutableDirectory();
  if (!dir.empty()) m_directories.push_back(dir);
}

CWifiLibrary::CWifiLibrary(std::vector<std::string> directories)
    : m_directories(std::move(directories)) {}

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

bool CWifiLibrary::Prepare(int operation, std::string& error) {
  const char* entry = EntryPoint(operation);
  if (entry == nullptr) {
    error = "Unknown WiFi library operation " + std::to_string(operation) + ".";
    return false;
  }
  if (!Load(error)) return false;
  if (EntryOf(m_hLibrary, operation) == nullptr) {
    theLog.WriteLog("WiFi library has no %s", entry);
    error = "The WiFi setting library (" + m_strLoadedFrom + ") has no entry point " + entry + ".";
    return false;
  }
  return true;
}

bool CWifiLibrary::Run(int operation, void* parentWindow, std::string& error) {
  if (!Prepare(operation, error)) return false;
  // An ordinal's address converts through the generic function type.
  auto fn =
      reinterpret_cast<WifiEntry>(reinterpret_cast<void (*)()>(EntryOf(m_hLibrary, operation)));
  fn(parentWindow);
  return true;
}

}  // namespace torva
