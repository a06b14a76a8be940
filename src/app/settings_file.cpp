#include "app/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "app/atomic_file.h"

namespace torva {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string> SectionOf(const std::string& line) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string> KeyOf(const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos || SectionOf(line)) return std::nullopt;
  std::string key = Trim(line.substr(0, eq));
  if (key.empty() || key[0] == ';') return std::nullopt;
  return key;
}

std::string ValueOf(const std::string& line) { return Trim(line.substr(line.find('=') + 1)); }

bool Save(const std::string& path, const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return ReplaceFileAtomically(path, out);
}

}  // namespace

std::string CSettingsFile::Get(const std::string& section, const std::string& key,
                               const std::string& def) const {
  bool inSection = false;
  for (const auto& line : ReadLines(m_strPath)) {
    if (auto s = SectionOf(line)) {
      inSection = SameName(*s, section);
      continue;
    }
    if (!inSection) continue;
    if (auto k = KeyOf(line); k && SameName(*k, key)) return ValueOf(line);
  }
  return def;
}

std::vector<std::pair<std::string, std::string>> CSettingsFile::ReadSection(
    const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> out;
  bool inSection = false;
  for (const auto& line : ReadLines(m_strPath)) {
    if (auto s = SectionOf(line)) {
      inSection = SameName(*s, section);
      continue;
    }
    if (inSection) {
      if (auto k = KeyOf(line)) out.emplace_back(*k, ValueOf(line));
    }
  }
  return out;
}

std::vector<std::string> CSettingsFile::ReadNumbered(const std::string& section,
                                                     const char* keyFormat, int first) const {
  std::vector<std::string> out;
  const std::string format = keyFormat;
  const size_t at = format.find("%d");
  if (at == std::string::npos) return out;
  // One pass over the file: every key of the section (in every copy of it), the first value
  // of each name winning as in Get.
  std::unordered_map<std::string, std::string> values;
  bool inSection = false;
  for (const auto& line : ReadLines(m_strPath)) {
    if (auto s = SectionOf(line)) {
      inSection = SameName(*s, section);
      continue;
    }
    if (!inSection) continue;
    if (auto k = KeyOf(line)) values.try_emplace(Lower(*k), ValueOf(line));
  }
  for (int i = first;; ++i) {
    std::string key = format;
    key.replace(at, 2, std::to_string(i));
    const auto found = values.find(Lower(key));
    if (found == values.end() || found->second.empty()) break;
    out.push_back(found->second);
  }
  return out;
}

bool CSettingsFile::Write(const std::string& section, const std::optional<std::string>& key,
                          const std::optional<std::string>& value) const {
  std::vector<std::string> lines = ReadLines(m_strPath);
  std::vector<std::string> out;
  out.reserve(lines.size() + 2);
  const bool remove = !value || value->empty();
  bool inSection = false;
  bool sectionSeen = false;
  bool done = false;
  // Where a new key of the section goes: after the section's last key line.
  size_t insertAt = std::string::npos;
  bool changed = false;

  for (const auto& line : lines) {
    if (auto s = SectionOf(line)) {
      inSection = SameName(*s, section);
      if (inSection) {
        sectionSeen = true;
        if (!key) {
          changed = true;
          continue;  // the whole section goes
        }
        out.push_back(line);
        if (!done) insertAt = out.size();
        continue;
      }
      out.push_back(line);
      continue;
    }
    if (inSection) {
      if (!key) continue;
      auto k = KeyOf(line);
      if (k && SameName(*k, *key)) {
        changed = true;
        if (remove || done) continue;
        out.push_back(*k + "=" + *value);
        done = true;
        continue;
      }
      out.push_back(line);
      if (!done && !Trim(line).empty()) insertAt = out.size();
      continue;
    }
    out.push_back(line);
  }

  if (key && !remove && !done) {
    if (sectionSeen && insertAt != std::string::npos) {
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), *key + "=" + *value);
    } else {
      out.push_back("[" + section + "]");
      out.push_back(*key + "=" + *value);
    }
    changed = true;
  }
  if (!changed) return true;
  return Save(m_strPath, out);
}

}  // namespace torva
