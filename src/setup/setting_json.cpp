// The backup file: one flat JSON object whose members are the setting keys with their value
// words as strings. The reader is strict on purpose: a dealer's file that is not exactly
// such an object is refused before any byte goes to a printer.
#include <fstream>
#include <sstream>

#include "app/atomic_file.h"
#include "setup/setting_keys.h"

namespace torva {

namespace {

constexpr std::size_t kBackupMaxBytes = 64 * 1024;

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

class CJsonReader {
 public:
  explicit CJsonReader(const std::string& text) : m_text(text) {}

  bool ReadObject(std::vector<SettingKeyValue>& out, std::string& error) {
    SkipSpace();
    if (!Expect('{', "a JSON object ('{')", error)) return false;
    SkipSpace();
    if (Peek() == '}') {
      ++m_pos;
    } else {
      for (;;) {
        SettingKeyValue kv;
        SkipSpace();
        const std::size_t keyAt = m_pos;
        if (!ReadString(kv.strKey, error)) return false;
        SkipSpace();
        if (!Expect(':', "':' after a key", error)) return false;
        SkipSpace();
        if (!ReadValue(kv.strValue, error)) return false;
        for (const auto& seen : out) {
          if (seen.strKey == kv.strKey) return Fail(keyAt, kv.strKey + " appears twice", error);
        }
        std::string why;
        if (!CheckSetting(kv, why)) return Fail(keyAt, why, error);
        out.push_back(std::move(kv));
        SkipSpace();
        if (Peek() == ',') {
          ++m_pos;
          continue;
        }
        if (!Expect('}', "',' or '}' after a value", error)) return false;
        break;
      }
    }
    SkipSpace();
    if (m_pos != m_text.size()) return Fail(m_pos, "text after the object", error);
    return true;
  }

 private:
  char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
  void SkipSpace() {
    while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                     m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
      ++m_pos;
    }
  }

  bool Fail(std::size_t at, const std::string& what, std::string& error) const {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < at && i < m_text.size(); ++i) {
      if (m_text[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    error = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
    return false;
  }

  bool Expect(char c, const char* what, std::string& error) {
    if (Peek() != c || m_pos >= m_text.size())
      return Fail(m_pos, std::string("expected ") + what, error);
    ++m_pos;
    return true;
  }

  // Keys and values are plain ASCII; escapes beyond that are refused rather than guessed.
  bool ReadString(std::string& out, std::string& error) {
    if (!Expect('"', "a string in double quotes", error)) return false;
    for (;;) {
      if (m_pos >= m_text.size()) return Fail(m_pos, "unterminated string", error);
      const unsigned char c = static_cast<unsigned char>(m_text[m_pos++]);
      if (c == '"') return true;
      if (c < 0x20) return Fail(m_pos - 1, "control character in a string", error);
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      const char e = Peek();
      ++m_pos;
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          unsigned v = 0;
          for (int i = 0; i < 4; ++i) {
            const char h = Peek();
            ++m_pos;
            v <<= 4;
            if (h >= '0' && h <= '9')
              v |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
              v |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
              v |= static_cast<unsigned>(h - 'A' + 10);
            else
              return Fail(m_pos - 1, "bad \\u escape", error);
          }
          if (v >= 0x80) return Fail(m_pos - 6, "only ASCII text is expected", error);
          out += static_cast<char>(v);
          break;
        }
        default:
          return Fail(m_pos - 1, "bad escape in a string", error);
      }
    }
  }

  // A string, or a whole non-negative number (taken as its digits).
  bool ReadValue(std::string& out, std::string& error) {
    if (Peek() == '"') return ReadString(out, error);
    const std::size_t at = m_pos;
    while (Peek() >= '0' && Peek() <= '9') out += m_text[m_pos++];
    const char next = Peek();
    if (out.empty() || next == '.' || next == 'e' || next == 'E' ||
        (out.size() > 1 && out[0] == '0')) {
      return Fail(at, "expected a string or a whole number as the value", error);
    }
    return true;
  }

  const std::string& m_text;
  std::size_t m_pos = 0;
};

}  // namespace

std::string SettingsToJson(const std::vector<SettingKeyValue>& settings) {
  std::string out = "{";
  for (std::size_t i = 0; i < settings.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += Quoted(settings[i].strKey) + ": " + Quoted(settings[i].strValue);
  }
  return out + (settings.empty() ? "}\n" : "\n}\n");
}

bool SettingsFromJson(const std::string& text, std::vector<SettingKeyValue>& out,
                      std::string& error) {
  std::vector<SettingKeyValue> read;
  CJsonReader reader(text);
  if (!reader.ReadObject(read, error)) return false;
  out = std::move(read);
  return true;
}

bool WriteBackupFile(const std::string& path, const std::vector<SettingKeyValue>& settings,
                     std::string& error) {
  if (ReplaceFileAtomically(path, SettingsToJson(settings))) return true;
  error = path + ": cannot be written";
  return false;
}

bool ReadBackupFile(const std::string& path, std::vector<SettingKeyValue>& out,
                    std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be opened";
    return false;
  }
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kBackupMaxBytes) {
      error = path + ": too large for a settings backup";
      return false;
    }
  }
  if (in.bad()) {
    error = path + ": cannot be read";
    return false;
  }
  if (!SettingsFromJson(text, out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace torva
