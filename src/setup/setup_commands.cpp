#include "setup/setup_commands.h"

#include <algorithm>

#include "app/messages.h"
#include "app/services.h"
#include "setup/setting_numbers.h"

namespace torva {

SetupBytes EnterSetupCmd() { return {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E}; }
SetupBytes LeaveSetupCmd() { return {0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54}; }
SetupBytes DisableStatusBackCmd() { return {0x1D, 0x61, 0x00}; }
SetupBytes GetValueCmd(int nSetting) {
  return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x06, static_cast<std::uint8_t>(nSetting)};
}

const std::vector<int>& GetValueOrder(bool bWithStopBit) {
  static const std::vector<int> withStop = {3,   116, 118, 242, 243, 244, 245, 246, 247,
                                            248, 249, 250, 251, 252, 253, 1,   2,   255};
  static const std::vector<int> withoutStop = {3,   116, 118, 242, 243, 244, 245, 246, 247,
                                               248, 249, 250, 251, 252, 1,   2,   255};
  return bWithStopBit ? withStop : withoutStop;
}

const std::vector<int>& ParallelGetList() {
  static const std::vector<int> list = {1,   2,   3,   116, 118, 242, 243, 244, 245,
                                        246, 247, 248, 249, 250, 251, 252, 255};
  return list;
}

namespace {

constexpr std::uint8_t kCustomCodeEnd = 0x04;
constexpr int kBellTimesUnset = 3;

// Every radio and list that counts for the "nothing set" test (the colour density does not).
bool AnythingChosen(const CSettingModel& m) {
  const int choices[] = {
      m.m_nPaperWidth,    m.m_nColumns,      m.m_nPaperType, m.m_nWaterMark,    m.m_nCutAdjust,
      m.m_nDrawerWithCut, m.m_nBellType,     m.m_nBellTimes, m.m_nCodePage,     m.m_nNvGraphic,
      m.m_nNvUser,        m.m_nCutMode,      m.m_nBoldFont,  m.m_nMaxSpeed,     m.m_nDrawerSelfTest,
      m.m_nReceiveBuffer, m.m_nStopBit,      m.m_nEmulation, m.m_nPrintDensity, m.m_nKitchenBell,
      m.m_nAutoCut,       m.m_nSelfTestMode, m.m_nUsbMode,   m.m_nSleep,        m.m_nPaperSave,
      m.m_nWifiKeep,      m.m_nLcdPassword};
  for (int c : choices) {
    if (c >= 0) return true;
  }
  return false;
}

class CEntries {
 public:
  void Add(int a, int nL, int nH) {
    m_bytes.push_back(static_cast<std::uint8_t>(a));
    m_bytes.push_back(static_cast<std::uint8_t>(nL));
    m_bytes.push_back(static_cast<std::uint8_t>(nH));
  }
  void AddValue(int a, int n) { Add(a, n & 0xFF, (n >> 8) & 0xFF); }
  // A radio's entry only when the radio is set.
  void AddChoice(int a, int choice, int first, int second, int nH) {
    if (choice == 0) Add(a, first, nH);
    if (choice == 1) Add(a, second, nH);
  }
  void AddCustomCode(std::uint32_t value) {
    m_bytes.push_back(0xFF);
    for (int shift = 0; shift < 32; shift += 8) {
      m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    m_bytes.push_back(kCustomCodeEnd);
  }
  const SetupBytes& Bytes() const { return m_bytes; }

 private:
  SetupBytes m_bytes;
};

}  // namespace

SetCheck CheckSetValue(const CSettingModel& model, bool bTell) {
  if (!AnythingChosen(model) && model.m_nLeftMargin == 0 && model.m_strCustomCode == "0") {
    return SetCheck::NothingSet;
  }
  if (model.m_nLeftMargin < 0 || model.m_nLeftMargin > kMarginMaxDots) {
    if (bTell) Ui().Message(theMsg[MsgId::MarginRange], "Notice", MsgIcon::Warning);
    return SetCheck::MarginOutOfRange;
  }
  return SetCheck::Ready;
}

std::optional<SetCommand> BuildSetCommand(CSettingModel& m) {
  if (CheckSetValue(m, false) != SetCheck::Ready) return std::nullopt;
  CEntries e;
  if (m.m_nPaperSave >= 0) e.Add(kSetPaperSave, m.m_nPaperSave, 0);
  if (m.m_nSleep >= 0) e.Add(kSetSleep, m.m_nSleep, 0);
  e.AddChoice(kSetEmulation, m.m_nEmulation, 2, 1, 0);
  e.AddChoice(kSetAutoCut, m.m_nAutoCut, 1, 2, 0);
  e.AddChoice(kSetKitchenBell, m.m_nKitchenBell, 2, 1, 0);
  e.AddChoice(kSetSelfTest, m.m_nSelfTestMode, 2, 1, 0);
  if (m.m_nPrintDensity >= 0) e.Add(kSetPrintDensity, m.m_nPrintDensity + 1, 0);
  e.AddChoice(kSetUsbMode, m.m_nUsbMode, 1, 2, 0);
  e.AddChoice(kSetLcdPassword, m.m_nLcdPassword, 0x00, 0xFF, 0);
  e.AddChoice(kSetWifiKeep, m.m_nWifiKeep, 1, 0, 0x0A);
  if (m.m_nPaperWidth >= 0) {
    const bool narrow = m.m_nPaperWidth == 1;
    e.Add(kSetPaperWidth, narrow && m.m_nColumns == 0 ? 2 : narrow && m.m_nColumns == 1 ? 3 : 6, 0);
  }
  e.AddChoice(kSetPaperType, m.m_nPaperType, 1, 1, m.m_nPaperType == 1 ? 1 : 0);
  static constexpr int kDensity[] = {70, 85, 100};
  e.Add(
      kSetColorDensity,
      m.m_nColorDensity >= 0 && m.m_nColorDensity <= 2 ? kDensity[m.m_nColorDensity] : kDensity[1],
      0);
  if (m.m_nWaterMark == 0) e.Add(kSetWaterMark, 0, 0);
  if (m.m_nWaterMark == 1) e.Add(kSetWaterMark, 0, m.m_nImageNo);
  if (m.m_nCutAdjust == 0) e.Add(kSetCutAdjust, 0, 0);
  if (m.m_nCutAdjust == 1) e.Add(kSetCutAdjust, 1, m.m_nCutLines);
  e.AddChoice(kSetDrawerWithCut, m.m_nDrawerWithCut, 0, 0, m.m_nDrawerWithCut);
  if (m.m_nBellType >= 0) {
    static constexpr int kBellCode[] = {1, 2, 3, 4, 0};
    e.Add(kSetBell, kBellCode[std::min(m.m_nBellType, 4)],
          m.m_nBellTimes >= 0 ? m.m_nBellTimes + 1 : kBellTimesUnset);
  }
  if (m.m_nCodePage >= 0) {
    const int number = m.ChangeCodePage(m.m_nCodePage, true);
    if (number >= 0) e.Add(kSetCodePage, number, 0);
  }
  if (m.m_nNvUser >= 0) e.Add(kSetNvUser, m.m_nNvUser + 1, 0);
  if (m.m_nNvGraphic >= 0) e.Add(kSetNvGraphic, m.m_nNvGraphic + 1, 0);
  e.AddChoice(kSetCutMode, m.m_nCutMode, 0, 1, 1);
  if (m.m_nMaxSpeed >= 0 && m.m_nMaxSpeed <= 3) {
    static constexpr int kSpeed[] = {220, 200, 180, 150};
    e.AddValue(kSetMaxSpeed, kSpeed[m.m_nMaxSpeed]);
  }
  e.AddChoice(kSetBoldFont, m.m_nBoldFont, 1, 0, 1);
  e.AddChoice(kSetDrawerSelfTest, m.m_nDrawerSelfTest, 0, 1, 1);
  if (m.m_nStopBit == 0 || m.m_nStopBit == 1) {
    if (m.m_bStopBitChanged) {
      Ui().Message(theMsg[MsgId::StopBitChangeNotice], "Notice", MsgIcon::Info);
      m.m_bStopBitChanged = false;
    }
    e.Add(kSetStopBit, m.m_nStopBit, 1);
  }
  if (m.m_nReceiveBuffer >= 0 && m.m_nReceiveBuffer <= 3) {
    static constexpr const char* kBuffer[] = {"64", "32", "20", "04"};
    e.Add(kSetReceiveBuffer, kBuffer[m.m_nReceiveBuffer][0], kBuffer[m.m_nReceiveBuffer][1]);
  }
  e.AddValue(kSetLeftMargin, m.m_nLeftMargin);
  std::uint32_t custom = 0;
  if (ParseHexCode(m.m_strCustomCode, custom) < 0) m.m_strCustomCode.assign(1, '0');
  e.AddCustomCode(custom);

  SetCommand cmd;
  cmd.bCarriesUsbMode = m.m_nUsbMode == 0 || m.m_nUsbMode == 1;
  const std::size_t length = 1 + e.Bytes().size();  // the function byte and the entries
  cmd.bytes = {0x1D,
               0x28,
               0x45,
               static_cast<std::uint8_t>(length & 0xFF),
               static_cast<std::uint8_t>(length >> 8),
               0x05};
  cmd.bytes.insert(cmd.bytes.end(), e.Bytes().begin(), e.Bytes().end());
  return cmd;
}

}  // namespace torva
