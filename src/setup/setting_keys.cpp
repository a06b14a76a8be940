#include "setup/setting_keys.h"

namespace torva {

const std::vector<std::string>& SettingKeyNames() {
  static const std::vector<std::string> names;
  return names;
}
std::string KeyOfSetting(int) { return {}; }
bool ParseKeyValueArg(const std::string&, SettingKeyValue&, std::string& error) {
  error = "not yet";
  return false;
}
bool ApplySettings(CSettingModel&, const std::vector<SettingKeyValue>&, std::string& error) {
  error = "not yet";
  return false;
}
std::vector<SettingKeyValue> SettingsOf(const CSettingModel&) { return {}; }
std::string SettingsToJson(const std::vector<SettingKeyValue>&) { return "{}\n"; }
bool SettingsFromJson(const std::string&, std::vector<SettingKeyValue>&, std::string& error) {
  error = "not yet";
  return false;
}
bool WriteBackupFile(const std::string&, const std::vector<SettingKeyValue>&, std::string& error) {
  error = "not yet";
  return false;
}
bool ReadBackupFile(const std::string&, std::vector<SettingKeyValue>&, std::string& error) {
  error = "not yet";
  return false;
}

}  // namespace torva
