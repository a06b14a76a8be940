// Loading the WiFi setting library with dlopen.
#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "app/error_log.h"
#include "app/messages.h"
#include "network/wifi_library.h"

namespace torva {
namespace {

using WifiEntry = int (*)(void*);

std::string ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
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

}  // namespace

CWifiLibrary::CWifiLibrary() {
  std::string dir = ExecutableDirectory();
  if (!dir.empty()) m_directories.push_back(dir);
}

CWifiLibrary::CWifiLibrary(std::vector<std::string> directories)
    : m_directories(std::move(directories)) {}

CWifiLibrary::~CWifiLibrary() {
  if (m_hLibrary != nullptr) dlclose(m_hLibrary);
}

const char* CWifiLibrary::FileName() { return "libtorva_wifi.so"; }

const char* CWifiLibrary::EntryPoint(int operation) {
  switch (operation) {
    case kInfrastructure: return "torva_wifi_op1";
    case kLimitedAp: return "torva_wifi_op3";
    default: return nullptr;
  }
}

bool CWifiLibrary::Load(std::string& error) {
  if (m_hLibrary != nullptr) return true;
  std::string lastError;
  for (const std::string& dir : m_directories) {
    std::filesystem::path candidate = std::filesystem::path(dir) / FileName();
    std::error_code ec;
    if (!std::filesystem::exists(candidate, ec)) continue;
    m_hLibrary = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_hLibrary != nullptr) {
      m_strLoadedFrom = candidate.string();
      return true;
    }
    lastError = dlerror();
  }
  // A bare name makes the loader use its own search (LD_LIBRARY_PATH, the cache).
  m_hLibrary = dlopen(FileName(), RTLD_NOW | RTLD_LOCAL);
  if (m_hLibrary != nullptr) {
    m_strLoadedFrom = FileName();
    return true;
  }
  if (lastError.empty()) {
    const char* why = dlerror();
    lastError = why != nullptr ? why : "";
  }
  theLog.WriteLog("WiFi library load fail : %s", lastError.c_str());
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
  if (dlsym(m_hLibrary, entry) == nullptr) {
    theLog.WriteLog("WiFi library has no %s", entry);
    error = "The WiFi setting library (" + m_strLoadedFrom + ") has no entry point " + entry + ".";
    return false;
  }
  return true;
}

bool CWifiLibrary::Run(int operation, void* parentWindow, std::string& error) {
  if (!Prepare(operation, error)) return false;
  // dlsym hands back an object pointer; POSIX guarantees it converts to a function pointer.
  auto fn = reinterpret_cast<WifiEntry>(dlsym(m_hLibrary, EntryPoint(operation)));
  fn(parentWindow);
  return true;
}

}  // namespace torva
