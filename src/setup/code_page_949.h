// Text for the printer in code page 949 (Korean), converted from the UTF-8 of the source.
// One implementation per platform (code_page_949_posix.cpp: iconv).
#pragma once

#include <string>

namespace torva {

// The code page 949 bytes of utf8. A character the code page lacks becomes "?", so the rest
// of the line still prints; false when any character had to be replaced or the conversion
// is not available at all (out is then as much as could be converted).
bool Utf8ToCp949(const std::string& utf8, std::string& out);

}  // namespace torva
