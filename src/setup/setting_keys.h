// The command line's names for the user settings ("paper-width", "watermark", ...) and
// their value words, KEY=VALUE parsing, and the JSON backup file (one flat object of
// key: value strings) a dealer copies from one printer to the next. Unknown keys, values
// out of range and keys the model line does not offer are refused with a clear message
// before anything is sent.
#pragma once

#include <string>
#include <vector>

#include "setup/setting_model.h"

namespace torva {

struct SettingKeyValue {
  std::string strKey;
  std::string strValue;
  bool operator==(const SettingKeyValue&) const = default;
};

// Every key, in the order of `setup get` and the backup file.
const std::vector<std::string>& SettingKeyNames();

// The key that names a setting number ("paper-width" for 3); empty for an unknown number.
std::string KeyOfSetting(int nSetting);
// The dialog's label of a setting number, with a single "&" ("Paper Width & Max. Column");
// empty for an unknown number.
std::string SettingLabel(int nSetting);

// "key=value" -> pair; false with a message in error ("expected KEY=VALUE: ...").
bool ParseKeyValueArg(const std::string& arg, SettingKeyValue& out, std::string& error);

// The model-free check of one pair: a known key and a value spelt as the key takes it.
bool CheckSetting(const SettingKeyValue& setting, std::string& error);

// Checks every pair, then applies them in order through the model's rules (questions go to
// the services seam). On any refusal nothing is applied; error names the key and the values
// it takes. A refusal by a rule (the 448 KB total), two given settings that exclude each
// other (a water mark on two-colour paper), or a given value a rule's question undid (answered
// No) is reported the same way.
bool ApplySettings(CSettingModel& model, const std::vector<SettingKeyValue>& settings,
                   std::string& error);

// The settings the model holds (set ones only), in key order, as value words.
std::vector<SettingKeyValue> SettingsOf(const CSettingModel& model);

// The JSON object of the given pairs, one key per line.
std::string SettingsToJson(const std::vector<SettingKeyValue>& settings);
// A flat JSON object of strings (or integers) -> pairs in file order. Refuses anything
// else, unknown and repeated keys, and values out of range, with the position in error.
bool SettingsFromJson(const std::string& text, std::vector<SettingKeyValue>& out,
                      std::string& error);

// The backup file, written atomically; and read and checked.
bool WriteBackupFile(const std::string& path, const std::vector<SettingKeyValue>& settings,
                     std::string& error);
bool ReadBackupFile(const std::string& path, std::vector<SettingKeyValue>& out, std::string& error);

}  // namespace torva
