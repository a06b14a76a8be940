// The printer's user settings as one model: every setting's member (-1: not set, not
// written), the lists' texts, the enabled states of the dependent controls, and the rules
// between settings (water mark against two-colour paper, the 448 KB NV memory total, paper
// width and columns, the bell unit caption, the stop-bit flag, the defaults). The User Setup
// dialog binds its controls to these members and calls the Click/Select methods on clicks;
// the command line fills the same members through the same methods, so each rule lives here
// once. Questions and notices go through the services seam's user interface (caption
// "Notice"). No Qt, no I/O; single-threaded (the dialog's thread, or the command line's).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/models.h"
#include "setup/reply_parser.h"

namespace torva {

inline constexpr int kNvTotalMaxKB = 448;
inline constexpr int kMarginMaxDots = 512;

// The fixed list choices, in list order.
extern const std::vector<std::string> kColumnTexts;        // "30 Column", "32 Column"
extern const std::vector<std::string> kColorDensityTexts;  // "LIGHT", "MEDIUM", "DARK"
extern const std::vector<std::string> kBellTypeTexts;      // "KELMO Bell" .. "Other Bell"
extern const std::vector<std::string> kBellTimesTexts;     // "1" .. "5"
extern const std::vector<std::string> kNvGraphicTexts;     // "0" .. "384" (Kbyte)
extern const std::vector<std::string> kNvUserTexts;        // "64" .. "320" (Kbyte)
extern const std::vector<std::string> kMaxSpeedTexts;      // "220", "200", "180", "150"
extern const std::vector<std::string> kPrintDensityTexts;  // "LEVEL 1" .. "LEVEL 4"
extern const std::vector<std::string> kSleepTexts;         // "0 Min | OFF" .. "15 Min"
extern const std::vector<std::string> kPaperSaveTexts;     // "OFF (Default)" .. "LV2"

class CSettingModel {
 public:
  // modelCode picks the controls the line offers; bKorean the defaults and the bold font row.
  // codePages and receiveBuffers are the lists of the settings file (see setup_lists.h).
  CSettingModel(int modelCode, bool bKorean, std::vector<std::string> codePages,
                std::vector<std::string> receiveBuffers);

  // ---- Setting members. Radios: 0 first choice, 1 second; lists: the selected index. ----
  int m_nPaperWidth = -1;             // 80mm, 58mm
  int m_nColumns = -1;                // "30 Column", "32 Column" (58mm only)
  int m_nPaperType = -1;              // Black, 2Color
  int m_nColorDensity = -1;           // LIGHT, MEDIUM, DARK
  int m_nWaterMark = -1;              // Disable, Enable
  int m_nImageNo = 1;                 // 1..255
  int m_nCutAdjust = -1;              // OFF, ON
  int m_nCutLines = 0;                // 0..255
  int m_nDrawerWithCut = -1;          // Disable, Enable
  int m_nBellType = -1;               // kBellTypeTexts
  int m_nBellTimes = -1;              // "1".."5"
  int m_nCodePage = -1;               // index in CodePages()
  int m_nNvGraphic = -1;              // kNvGraphicTexts
  int m_nNvUser = -1;                 // kNvUserTexts
  int m_nCutMode = -1;                // Partial, Full Cut
  int m_nBoldFont = -1;               // OFF, ON
  int m_nMaxSpeed = -1;               // kMaxSpeedTexts
  int m_nLeftMargin = 0;              // dots 0..512 (a larger value is refused when writing)
  int m_nDrawerSelfTest = -1;         // Enable, Disable
  int m_nReceiveBuffer = -1;          // index in ReceiveBuffers()
  int m_nStopBit = -1;                // ONE, TWO
  std::string m_strCustomCode = "0";  // up to 8 upper-case hexadecimal digits
  int m_nEmulation = -1;              // EPSON, STAR
  int m_nPrintDensity = -1;           // "LEVEL 1".."LEVEL 4"
  int m_nKitchenBell = -1;            // OFF, ON
  int m_nAutoCut = -1;                // ON, OFF
  int m_nSelfTestMode = -1;           // Self-Test, HexaDump
  int m_nUsbMode = -1;                // USB, COM
  int m_nSleep = -1;                  // kSleepTexts
  int m_nPaperSave = -1;              // kPaperSaveTexts
  int m_nWifiKeep = -1;               // Enable, Disable
  int m_nLcdPassword = -1;            // Reset, Don't touch
  bool m_bStopBitChanged = false;

  // ---- Enabled states of the dependent controls. ----
  bool m_bColumnListEnabled = false;
  bool m_bColorDensityEnabled = false;
  bool m_bImageNoEnabled = false;
  bool m_bCutLinesEnabled = false;
  // Cleared by the exchange's failure state: the setting group (paper width through the
  // custom code, the two stop-bit radios excepted) stays disabled.
  bool m_bSettingGroupEnabled = true;

  // ---- Clicks and list changes: the rules between settings. ----
  void ClickPaperWidth(int choice);  // 80mm disables the columns; 58mm selects "32 Column"
  void ClickPaperType(int choice);   // 2Color against the water mark: asks, see the source
  void ClickWaterMark(int choice);   // Enable against 2Color: asks
  void ClickCutAdjust(int choice);
  void ClickStopBit(int choice);  // sets m_bStopBitChanged
  // The NV lists: a change that makes the total exceed 448 KB shows message text 50 and
  // leaves the changed list without a selection; false then.
  bool SelectNvGraphic(int index);
  bool SelectNvUser(int index);
  void SelectBellType(int index);

  // The Default values (Korean and not) into the members; nothing is sent.
  void LoadDefaults();
  // Asks message text 49 first; true when answered Yes and loaded.
  bool AskAndLoadDefaults();

  // One decoded reply into the members and states; unknown numbers and codes change nothing.
  void ApplyValue(const SetupValue& value);

  // ---- What the controls show. ----
  const std::vector<std::string>& CodePages() const { return m_codePages; }
  const std::vector<std::string>& ReceiveBuffers() const { return m_receiveBuffers; }
  // With toNumber: index -> code page number; otherwise number -> first index, or -1.
  int ChangeCodePage(int value, bool toNumber) const;
  const char* BellUnitCaption() const;  // " / 5" for a melody, "Times" otherwise
  int ModelCode() const { return m_nModel; }
  bool IsKorean() const { return m_bKorean; }
  // The KB of the NV list selections; 0 when not selected.
  int NvGraphicKB() const;
  int NvUserKB() const;

  // Which controls the line offers (hidden or disabled otherwise).
  bool NewOptionsShown() const;  // emulation, density, kitchen bell, auto-cut, self-test,
                                 // USB mode, LCD password
  bool LogoPictureShown() const { return !NewOptionsShown(); }
  bool NvListsEnabled() const;
  bool BellControlsEnabled() const;  // bell type and times, kitchen bell radios, sleep list
  bool UsbModeEnabled() const;
  bool WifiKeepEnabled() const;
  bool BoldFontEnabled() const { return m_bKorean; }  // "Reserved" on other systems

 private:
  int m_nModel;
  bool m_bKorean;
  std::vector<std::string> m_codePages;
  std::vector<std::string> m_receiveBuffers;
};

// "1A2B" -> 0x1A2B: at most 8 characters, "0".."9" and "A".."F" only. 1 on success, -1
// otherwise (the value is then 0).
int ParseHexCode(const std::string& text, std::uint32_t& value);

}  // namespace torva
