// Loading the WiFi setting library with dlopen.
#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "app/error_log.h"
#include "network/wifi_library.h"

namespace torva {
namespace {

using WifiEntry = int (*)(void*);

}  // namespace

std::string CWifiLibrary::ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
}

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

bool CWifiLibrary::HasEntry(int operation) const {
  return dlsym(m_hLibrary, EntryPoint(operation)) != nullptr;
}

void CWifiLibrary::CallEntry(int operation, void* parentWindow) const {
  // dlsym hands back an object pointer; POSIX guarantees it converts to a function pointer.
  auto fn = reinterpret_cast<WifiEntry>(dlsym(m_hLibrary, EntryPoint(operation)));
  fn(parentWindow);
}

}  // namespace torva
