#include "ports/registry_win32.h"

#include "app/win32_text.h"

namespace torva::win32 {
namespace {

// Value names of up to 255 characters, data of up to 16383 bytes.
constexpr DWORD kMaxValueName = 256;
constexpr DWORD kMaxValueData = 16384;

std::string TextOf(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return Narrow(text);
}

}  // namespace

CRegistryKey::CRegistryKey(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    m_hKey = key;
  }
}

CRegistryKey::~CRegistryKey() {
  if (m_hKey != nullptr) RegCloseKey(m_hKey);
}

std::vector<RegistryValue> CRegistryKey::Values() const {
  std::vector<RegistryValue> values;
  if (m_hKey == nullptr) return values;
  std::vector<BYTE> data(kMaxValueData + sizeof(wchar_t));
  for (DWORD index = 0;; ++index) {
    wchar_t name[kMaxValueName] = {};
    DWORD nameLength = kMaxValueName;
    DWORD type = 0;
    DWORD size = kMaxValueData;
    const LSTATUS rc =
        RegEnumValueW(m_hKey, index, name, &nameLength, nullptr, &type, data.data(), &size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) continue;  // a value too large for the buffers is passed over
    values.push_back({Narrow(std::wstring(name, nameLength)), TextOf(type, data, size)});
  }
  return values;
}

bool CRegistryKey::Text(const char* name, std::string& text) const {
  if (m_hKey == nullptr) return false;
  std::vector<BYTE> data(kMaxValueData + sizeof(wchar_t));
  DWORD type = 0;
  DWORD size = kMaxValueData;
  if (RegQueryValueExW(m_hKey, Widen(name).c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  text = TextOf(type, data, size);
  return true;
}

}  // namespace torva::win32
