// The lists of the settings file's "USER" section: the code pages ("CodePage0", ...) and the
// receive buffer sizes ("R_BUF_SZ0", ...). Each is read in key order up to the first empty
// value; when the section holds none, the built-in list is used and written back so that the
// next start reads the whole list.
#pragma once

#include <string>
#include <vector>

#include "app/settings_file.h"

namespace torva {

// The built-in code pages: the texts the lists show ("16| PC1252 (Windows CP)") and the
// texts written to the settings file ("16|WPC1252 (Windows CP)"), in list order.
const std::vector<std::string>& BuiltInCodePageTexts();
const std::vector<std::string>& BuiltInCodePageFileTexts();

std::vector<std::string> LoadCodePageList(const CSettingsFile& file);
// Without entries in the file: "64", "32", "20" and, except on a Korean system, "4"; the
// four keys R_BUF_SZ0..3 are written in every case.
std::vector<std::string> LoadReceiveBufferList(const CSettingsFile& file, bool bKorean);

}  // namespace torva
