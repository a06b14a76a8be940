#include <iconv.h>

#include <cerrno>

#include "setup/code_page_949.h"

namespace torva {

bool Utf8ToCp949(const std::string& utf8, std::string& out) {
  out.clear();
  iconv_t cd = ::iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  bool ok = true;
  std::string in = utf8;
  char* src = in.data();
  size_t srcLeft = in.size();
  char buffer[256];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t rc = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: one character cannot be written; replace it and skip its bytes.
    ok = false;
    out += '?';
    do {
      ++src;
      --srcLeft;
    } while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
  }
  ::iconv_close(cd);
  return ok;
}

}  // namespace torva
