// The application object: start directory, settings-file path and start-up order, and the
// settings accessors every dialog uses.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_file.h"

namespace torva {

class CTorvaToolApp {
 public:
  std::string m_strAppName;
  std::string m_strProfilePath;
  char m_szStartDir[256] = {};

  // Fixes the start directory and the settings-file path from the executable's name
  // (argv0), then runs the main dialog. runMainDialog returns true when it ended with OK.
  // A cancelled main dialog closes a port that is still connected (closeIfConnected).
  // Returns false: nothing runs after the main dialog (nor instead of it when InitPaths
  // fails).
  bool Start(const std::string& argv0, const std::function<bool()>& runMainDialog,
             const std::function<void()>& closeIfConnected = {});
  // The first half of Start, for the command line and tests. False (after an error message)
  // when the start directory does not fit m_szStartDir: nothing may run then, since the
  // settings file and the log would land in a cut-off path.
  bool InitPaths(const std::string& argv0);

  CSettingsFile Settings() const { return CSettingsFile(m_strProfilePath); }
};

CTorvaToolApp& theApp();

std::string GetSetting(const std::string& section, const std::string& key,
                       const std::string& def = "");
bool WriteSetting(const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value);
std::vector<std::string> ReadNumberedSettings(const std::string& section, const char* keyFormat,
                                              int first);

// The connection description shown by the job dialogs (built by the main menu).
extern std::string g_strPortInfo;

}  // namespace torva
