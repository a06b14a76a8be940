#include <windows.h>

#include "setup/code_page_949.h"

namespace torva {
namespace {

constexpr UINT kCodePage949 = 949;

// One UTF-8 character (its bytes from text[i]) as code page 949; false when that code page
// has no such character.
bool ConvertOne(const std::wstring& wide, std::string& out) {
  BOOL usedDefault = FALSE;
  char buffer[16];
  const int n = WideCharToMultiByte(kCodePage949, WC_NO_BEST_FIT_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), buffer, sizeof buffer, "?",
                                    &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.append(buffer, static_cast<size_t>(n));
  return true;
}

}  // namespace

bool Utf8ToCp949(const std::string& utf8, std::string& out) {
  out.clear();
  bool ok = true;
  // Character by character, so that one that cannot be written becomes '?' and the rest
  // still comes through.
  for (size_t i = 0; i < utf8.size();) {
    size_t length = 1;
    while (i + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    wchar_t wide[4] = {};
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data() + i,
                                      static_cast<int>(length), wide, 4);
    if (n <= 0 || !ConvertOne(std::wstring(wide, static_cast<size_t>(n)), out)) {
      ok = false;
      out += '?';
    }
    i += length;
  }
  return ok;
}

}  // namespace torva
