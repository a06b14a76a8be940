// Small text helpers shared by the core libraries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torva {

inline bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

inline bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The parts between separators, empty ones included: "a,,b" gives "a", "", "b"; "" gives "".
std::vector<std::string> Split(const std::string& text, char separator);

}  // namespace torva
