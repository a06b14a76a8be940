#include "setup/setup_lists.h"

namespace torva {

const std::vector<std::string>& BuiltInCodePageTexts() {
  static const std::vector<std::string> texts;
  return texts;
}
const std::vector<std::string>& BuiltInCodePageFileTexts() {
  static const std::vector<std::string> texts;
  return texts;
}
std::vector<std::string> LoadCodePageList(const CSettingsFile&) { return {}; }
std::vector<std::string> LoadReceiveBufferList(const CSettingsFile&, bool) { return {}; }

}  // namespace torva
