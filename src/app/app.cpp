#include "app/app.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/messages.h"
#include "app/services.h"

namespace torva {

std::string g_strPortInfo;

CTorvaToolApp& theApp() {
  static CTorvaToolApp app;
  return app;
}

bool CTorvaToolApp::InitPaths(const std::string& argv0) {
  std::string dir = System().StartDirectory();
  if (dir.empty()) std::fputs("_getcwd error\n", stderr);
  if (dir.size() >= sizeof m_szStartDir) {
    // A cut path would put the settings file and the log into another directory.
    Ui().Message("The start directory is longer than " +
                     std::to_string(sizeof m_szStartDir - 1) + " characters: " + dir,
                 kAppName, MsgIcon::Error);
    m_szStartDir[0] = '\0';
    m_strProfilePath.clear();
    return false;
  }
  std::snprintf(m_szStartDir, sizeof m_szStartDir, "%s", dir.c_str());
  // The executable's base name with ".INI", in the directory the tool was started from,
  // not beside the executable.
  std::string base = std::filesystem::path(argv0).stem().string();
  if (base.empty()) base = "torvaset";
  m_strProfilePath = std::string(m_szStartDir) +
                     static_cast<char>(std::filesystem::path::preferred_separator) + base + ".INI";
  return true;
}

bool CTorvaToolApp::Start(const std::string& argv0, const std::function<bool()>& runMainDialog,
                          const std::function<void()>& closeIfConnected) {
  if (!InitPaths(argv0)) return false;
  const bool ok = runMainDialog ? runMainDialog() : false;
  if (!ok && closeIfConnected) closeIfConnected();
  return false;
}

std::string GetSetting(const std::string& section, const std::string& key,
                       const std::string& def) {
  return theApp().Settings().Get(section, key, def);
}

bool WriteSetting(const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value) {
  return theApp().Settings().Write(section, key, value);
}

std::vector<std::string> ReadNumberedSettings(const std::string& section, const char* keyFormat,
                                              int first) {
  return theApp().Settings().ReadNumbered(section, keyFormat, first);
}

}  // namespace torva
