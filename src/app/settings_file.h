// The INI settings file, with the semantics of a Windows private profile: section and key
// names compare without case, a missing key reads as empty, other sections and keys keep
// their text and order. Every write replaces the file atomically (temporary file, rename),
// so a crash never leaves half a file. CRLF and LF are both read; CRLF is written.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torva {

class CSettingsFile {
 public:
  explicit CSettingsFile(std::string path) : m_strPath(std::move(path)) {}
  const std::string& Path() const { return m_strPath; }

  std::string Get(const std::string& section, const std::string& key,
                  const std::string& def = "") const;
  // value nullopt (or empty) removes the key; key nullopt removes the whole section.
  bool Write(const std::string& section, const std::optional<std::string>& key,
             const std::optional<std::string>& value) const;
  // Values of the keys keyFormat with its "%d" replaced by first, first+1, ... up to the
  // first empty value.
  std::vector<std::string> ReadNumbered(const std::string& section, const char* keyFormat,
                                        int first) const;
  // Every key=value of a section, in file order.
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& section) const;

 private:
  std::string m_strPath;
};

}  // namespace torva
