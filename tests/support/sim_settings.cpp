#include "support/sim_settings.h"

#include <regex>

#include "support/fake_services.h"

namespace torva::test {

std::map<int, uint32_t> ReadSimSettings(const std::string& path) {
  std::map<int, uint32_t> out;
  const std::string text = ReadFileBytes(path);
  static const std::regex pair("\"([0-9]+)\"\\s*:\\s*([0-9]+)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pair); it != std::sregex_iterator();
       ++it) {
    out[std::stoi((*it)[1])] = static_cast<uint32_t>(std::stoul((*it)[2]));
  }
  return out;
}

void WriteSimSettings(const std::string& path, const std::map<int, uint32_t>& settings) {
  std::string text = "{";
  for (const auto& [a, n] : settings) {
    text += (text.size() > 1 ? ", \"" : "\"") + std::to_string(a) + "\": " + std::to_string(n);
  }
  WriteFileBytes(path, text + "}");
}

}  // namespace torva::test
