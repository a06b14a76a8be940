// The 63 message texts in English and Korean, and the shared window titles.
#pragma once

#include <string>

#include "app/message_ids.h"

namespace torva {

inline constexpr int kMessageCount = 63;
inline constexpr int kLangKorean = 1042;
inline constexpr int kLangEnglish = 1033;

class CMessageTable {
 public:
  // Text by index 0..62 (UTF-8); an index out of range gives an empty text.
  const char* operator[](int index) const;
  const char* operator[](MsgId id) const { return (*this)[static_cast<int>(id)]; }
  bool IsKorean() const { return m_bKorean; }
  // English unless langId is 1042.
  void SelectLanguage(int langId);

  static const char* English(int index);
  static const char* Korean(int index);
  static const char* English(MsgId id) { return English(static_cast<int>(id)); }
  static const char* Korean(MsgId id) { return Korean(static_cast<int>(id)); }

 private:
  bool m_bKorean = false;
};

extern CMessageTable theMsg;

// printf-style filling of a message text that carries one placeholder.
std::string FormatMsg(const char* format, int value);
std::string FormatMsg(const char* format, const std::string& value);

inline constexpr const char* kTitleLegacyFirmware = "TORVASet : TORVA10 Firmware Download";
inline constexpr const char* kTitleFirmware = "TORVASet : Firmware Download";
inline constexpr const char* kTitleLogoSetup = "TORVASet : Kelmo Image Logo Setup";
inline constexpr const char* kTitleUsbInterface = "TORVA \r\nUSB-II Interface";
inline constexpr const char* kTitleUserSetup = "TORVASet : User Setup";
inline constexpr const char* kAppName = "TORVASet";

}  // namespace torva
