// The WiFi setting library's rules that every platform shares: where it is searched, what
// the user is told, and that an operation runs only once its entry point was found.
#include "network/wifi_library.h"

#include <utility>

#include "app/error_log.h"
#include "app/messages.h"

namespace torva {

CWifiLibrary::CWifiLibrary() {
  std::string dir = ExecutableDirectory();
  if (!dir.empty()) m_directories.push_back(dir);
}

CWifiLibrary::CWifiLibrary(std::vector<std::string> directories)
    : m_directories(std::move(directories)) {}

std::string CWifiLibrary::NotFoundText() {
  const std::string name = FileName();
  if (theMsg.IsKorean()) {
    return "WiFi 설정 라이브러리(" + name +
           ")를 찾을 수 없습니다.\r\n프로그램과 같은 폴더나 라이브러리 경로에 설치하십시오.";
  }
  return "The WiFi setting library (" + name +
         ") was not found.\r\nInstall it next to the program or on the library path.";
}

bool CWifiLibrary::Prepare(int operation, std::string& error) {
  const char* entry = EntryPoint(operation);
  if (entry == nullptr) {
    error = "Unknown WiFi library operation " + std::to_string(operation) + ".";
    return false;
  }
  if (!Load(error)) return false;
  if (!HasEntry(operation)) {
    theLog.WriteLog("WiFi library has no %s", entry);
    error = "The WiFi setting library (" + m_strLoadedFrom + ") has no entry point " + entry + ".";
    return false;
  }
  return true;
}

bool CWifiLibrary::Run(int operation, void* parentWindow, std::string& error) {
  if (!Prepare(operation, error)) return false;
  CallEntry(operation, parentWindow);
  return true;
}

}  // namespace torva
