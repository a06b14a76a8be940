// Reading the local machine's registry for the port searches (*_win32.cpp only): a key
// opened for reading, its values in index order, and one text value.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace torva::win32 {

struct RegistryValue {
  std::string strName;
  std::string strText;  // REG_SZ data; empty for other types
};

class CRegistryKey {
 public:
  // HKEY_LOCAL_MACHINE\path, read access.
  explicit CRegistryKey(const char* path);
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  bool IsOpen() const { return m_hKey != nullptr; }
  // Every value from index 0 until the enumeration reports no more.
  std::vector<RegistryValue> Values() const;
  // One REG_SZ value; false when it is absent or not text.
  bool Text(const char* name, std::string& text) const;

 private:
  HKEY m_hKey = nullptr;
};

}  // namespace torva::win32
