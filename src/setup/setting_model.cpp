#include "setup/setting_model.h"

#include <algorithm>
#include <cstdlib>

#include "app/messages.h"
#include "app/services.h"
#include "setup/setting_numbers.h"

namespace torva {

const std::vector<std::string> kColumnTexts = {"30 Column", "32 Column"};
const std::vector<std::string> kColorDensityTexts = {"LIGHT", "MEDIUM", "DARK"};
const std::vector<std::string> kBellTypeTexts = {"KELMO Bell", "KELMO Melody 1", "KELMO Melody 2",
                                                 "KELMO Melody 3", "Other Bell"};
const std::vector<std::string> kBellTimesTexts = {"1", "2", "3", "4", "5"};
const std::vector<std::string> kNvGraphicTexts = {"0", "64", "128", "192", "256", "320", "384"};
const std::vector<std::string> kNvUserTexts = {"64", "128", "192", "256", "320"};
const std::vector<std::string> kMaxSpeedTexts = {"220", "200", "180", "150"};
const std::vector<std::string> kPrintDensityTexts = {"LEVEL 1", "LEVEL 2", "LEVEL 3", "LEVEL 4"};
const std::vector<std::string> kSleepTexts = {"0 Min | OFF", "5 Min", "10 Min", "15 Min"};
const std::vector<std::string> kPaperSaveTexts = {"OFF (Default)", "LV 1 (Recommend)", "LV2"};

namespace {

constexpr const char* kNoticeCaption = "Notice";
constexpr const char* kAskOneColor =
    "Water mark print is impossible in Two-color print mode.\nSelect One-color mode?";
constexpr const char* kAskNoWaterMark =
    "Water mark print is impossible in Two-color print mode.\nDisable water mark function?";

constexpr int kMediumDensity = 1;
constexpr int kBellTimesUnset = 2;  // "3"
constexpr int kBellOther = 4;

// A list index, or -1 when it is not one of the list's entries.
int IndexIn(int index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A number of up to 9 digits, or -1.
int SmallNumber(const std::string& text) {
  if (!AllDigits(text) || text.size() > 9) return -1;
  return std::atoi(text.c_str());
}

// The margin reply: the first digit is the high byte, the remaining digits the low byte.
int DecodeMargin(const std::string& text) {
  if (!AllDigits(text) || text.size() > 4) return -1;
  const int v = std::atoi(text.c_str());
  static constexpr int kSplit[] = {1, 1, 10, 100, 1000};
  const int split = kSplit[text.size()];
  if (split == 1) return v;
  return v % split + 256 * (v / split);
}

std::string UpperHex(std::uint32_t v) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char buffer[8];
  int n = 0;
  do {
    buffer[n++] = kDigits[v & 0xF];
    v >>= 4;
  } while (v != 0);
  return std::string(std::make_reverse_iterator(buffer + n), std::make_reverse_iterator(buffer));
}

}  // namespace

CSettingModel::CSettingModel(int modelCode, bool bKorean, std::vector<std::string> codePages,
                             std::vector<std::string> receiveBuffers)
    : m_nModel(modelCode),
      m_bKorean(bKorean),
      m_codePages(std::move(codePages)),
      m_receiveBuffers(std::move(receiveBuffers)) {}

void CSettingModel::ClickPaperWidth(int choice) {
  m_nPaperWidth = choice;
  m_bColumnListEnabled = choice == 1;
  if (choice == 1) m_nColumns = 1;
}

void CSettingModel::ClickPaperType(int choice) {
  if (choice != 1) {
    m_nPaperType = choice;
    m_bColorDensityEnabled = false;
    return;
  }
  if (m_nWaterMark == 1) {
    if (!Ui().Question(kAskNoWaterMark, kNoticeCaption)) {
      m_nPaperType = 0;
      m_bColorDensityEnabled = false;
      return;
    }
    m_nWaterMark = 0;
    m_bImageNoEnabled = false;
  }
  // Two-colour paper is printed with a chosen density: start from MEDIUM, as a choice
  // without the conflict does.
  m_nPaperType = 1;
  m_nColorDensity = kMediumDensity;
  m_bColorDensityEnabled = true;
}

void CSettingModel::ClickWaterMark(int choice) {
  if (choice == 1 && m_nPaperType == 1) {
    if (!Ui().Question(kAskOneColor, kNoticeCaption)) {
      m_nWaterMark = 0;
      m_bImageNoEnabled = false;
      return;
    }
    m_nPaperType = 0;
    m_bColorDensityEnabled = false;
  }
  m_nWaterMark = choice;
  m_bImageNoEnabled = choice == 1;
}

void CSettingModel::ClickCutAdjust(int choice) {
  m_nCutAdjust = choice;
  m_bCutLinesEnabled = choice == 1;
}

void CSettingModel::ClickStopBit(int choice) {
  m_nStopBit = choice;
  m_bStopBitChanged = true;
}

bool CSettingModel::SelectNvGraphic(int index) {
  m_nNvGraphic = IndexIn(index, kNvGraphicTexts.size());
  if (m_nNvGraphic < 0 || m_nNvUser < 0 || NvGraphicKB() + NvUserKB() <= kNvTotalMaxKB) {
    return true;
  }
  ShowMessage(FormatMsg(theMsg[MsgId::NvMemoryOutOfRange], kNvTotalMaxKB), MsgIcon::Warning);
  m_nNvGraphic = -1;
  return false;
}

bool CSettingModel::SelectNvUser(int index) {
  m_nNvUser = IndexIn(index, kNvUserTexts.size());
  if (m_nNvGraphic < 0 || m_nNvUser < 0 || NvGraphicKB() + NvUserKB() <= kNvTotalMaxKB) {
    return true;
  }
  ShowMessage(FormatMsg(theMsg[MsgId::NvMemoryOutOfRange], kNvTotalMaxKB), MsgIcon::Warning);
  m_nNvUser = -1;
  return false;
}

void CSettingModel::SelectBellType(int index) {
  m_nBellType = IndexIn(index, kBellTypeTexts.size());
}

void CSettingModel::LoadDefaults() {
  m_nPaperWidth = 0;
  m_nColumns = 0;
  m_bColumnListEnabled = false;
  m_nPaperType = 0;
  m_bColorDensityEnabled = false;
  m_nColorDensity = kMediumDensity;
  m_nWaterMark = 0;
  m_nImageNo = 1;
  m_bImageNoEnabled = false;
  m_nCutAdjust = 0;
  m_nCutLines = 0;
  m_bCutLinesEnabled = false;
  m_nDrawerWithCut = 0;
  m_nBellType = 0;
  m_nBellTimes = kBellTimesUnset;
  m_nCodePage = 0;
  m_nNvGraphic = 6;  // 384
  m_nNvUser = 0;     // 64
  m_nCutMode = 0;
  m_nBoldFont = 0;
  m_nMaxSpeed = 0;
  m_nLeftMargin = 0;
  m_nStopBit = 0;
  m_strCustomCode.assign(1, '0');  // assign: GCC 12 warns wrongly on = "0"
  m_nEmulation = 0;
  m_nSelfTestMode = 0;
  m_nAutoCut = 0;
  m_nUsbMode = 0;
  m_nKitchenBell = 0;
  m_nPrintDensity = 1;  // LEVEL 2
  m_nSleep = 0;
  m_nPaperSave = 0;
  m_nWifiKeep = 1;
  m_nLcdPassword = 1;
  m_nDrawerSelfTest = m_bKorean ? 0 : 1;
  m_nReceiveBuffer = m_bKorean ? 2 : 3;
  m_bStopBitChanged = true;
}

bool CSettingModel::AskAndLoadDefaults() {
  if (!AskQuestion(theMsg[MsgId::AskLoadDefaults])) return false;
  LoadDefaults();
  return true;
}

void CSettingModel::ApplyValue(const SetupValue& value) {
  const int code = value.nCode;
  // Code 1 is a two-state setting's first state, code 2 its second.
  const int twoState = code == 1 || code == 2 ? code - 1 : -1;
  switch (value.nSetting) {
    case kSetNvUser:
      if (IndexIn(code, kNvUserTexts.size()) >= 0) m_nNvUser = code;
      break;
    case kSetNvGraphic:
      if (IndexIn(code, kNvGraphicTexts.size()) >= 0) m_nNvGraphic = code;
      break;
    case kSetPaperWidth:
      if (code == 1) {
        m_nPaperWidth = 0;
        m_nColumns = -1;
        m_bColumnListEnabled = false;
      } else if (code == 2 || code == 3) {
        m_nPaperWidth = 1;
        m_nColumns = code - 2;
        m_bColumnListEnabled = true;
      }
      break;
    case kSetPaperType:
      if (twoState < 0) break;
      m_nPaperType = twoState;
      m_bColorDensityEnabled = twoState == 1;
      break;
    case kSetColorDensity: {
      const int v = SmallNumber(value.strText);
      m_nColorDensity = v == 70 ? 0 : v == 100 ? 2 : kMediumDensity;
      break;
    }
    case kSetWaterMark:
      if (twoState < 0) break;
      m_nWaterMark = twoState;
      m_bImageNoEnabled = twoState == 1;
      if (twoState == 1) {
        const int n = SmallNumber(value.strText);
        if (n >= 1 && n <= 255) m_nImageNo = n;
      }
      break;
    case kSetCutAdjust:
      if (twoState < 0) break;
      m_nCutAdjust = twoState;
      m_bCutLinesEnabled = twoState == 1;
      if (twoState == 1) {
        const int n = SmallNumber(value.strText);
        if (n >= 0 && n <= 255) m_nCutLines = n;
      }
      break;
    case kSetDrawerWithCut:
      if (twoState >= 0) m_nDrawerWithCut = twoState;
      break;
    case kSetBell: {
      m_nBellType = code >= '1' && code <= '4' ? code - '1' : kBellOther;
      const char times = value.strText.empty() ? '\0' : value.strText[0];
      m_nBellTimes = times >= '1' && times <= '5' ? times - '1' : -1;
      break;
    }
    case kSetCodePage: {
      const int number = SmallNumber(value.strText);
      m_nCodePage = number < 0 ? -1 : ChangeCodePage(number, false);
      break;
    }
    case kSetCutMode:
      if (twoState >= 0) m_nCutMode = twoState;
      break;
    case kSetBoldFont:
      // "0" (code 1) is ON, "1" (code 2) is OFF.
      if (twoState >= 0) m_nBoldFont = 1 - twoState;
      break;
    case kSetMaxSpeed: {
      const int v = SmallNumber(value.strText);
      m_nMaxSpeed = v == 200 ? 1 : v == 180 ? 2 : v == 150 ? 3 : 0;
      break;
    }
    case kSetLeftMargin: {
      const int v = DecodeMargin(value.strText);
      if (v >= 0) m_nLeftMargin = v;
      break;
    }
    case kSetDrawerSelfTest:
      if (twoState >= 0) m_nDrawerSelfTest = twoState;
      break;
    case kSetReceiveBuffer:
      if (code == 64) m_nReceiveBuffer = 0;
      if (code == 32) m_nReceiveBuffer = 1;
      if (code == 20) m_nReceiveBuffer = 2;
      if (code == 4) m_nReceiveBuffer = 3;
      break;
    case kSetStopBit:
      if (twoState >= 0) m_nStopBit = twoState;
      break;
    case kSetCustomCode:
      m_strCustomCode = UpperHex(static_cast<std::uint32_t>(code));
      break;
    default:
      break;
  }
}

int CSettingModel::ChangeCodePage(int value, bool toNumber) const {
  auto numberOf = [](const std::string& text) {
    return std::atoi(text.substr(0, std::min<std::size_t>(text.find('|'), 4)).c_str());
  };
  if (toNumber) {
    if (IndexIn(value, m_codePages.size()) < 0) return -1;
    return numberOf(m_codePages[static_cast<std::size_t>(value)]);
  }
  for (std::size_t i = 0; i < m_codePages.size(); ++i) {
    if (numberOf(m_codePages[i]) == value) return static_cast<int>(i);
  }
  return -1;
}

const char* CSettingModel::BellUnitCaption() const {
  return m_nBellType >= 1 && m_nBellType <= 3 ? " / 5" : "Times";
}

int CSettingModel::NvGraphicKB() const {
  return m_nNvGraphic < 0
             ? 0
             : std::atoi(kNvGraphicTexts[static_cast<std::size_t>(m_nNvGraphic)].c_str());
}

int CSettingModel::NvUserKB() const {
  return m_nNvUser < 0 ? 0 : std::atoi(kNvUserTexts[static_cast<std::size_t>(m_nNvUser)].c_str());
}

bool CSettingModel::NewOptionsShown() const {
  return SetupViewOf(m_nModel) != SetupView::NoNewOptions;
}

bool CSettingModel::NvListsEnabled() const {
  return SetupViewOf(m_nModel) != SetupView::NoNewOptions;
}

bool CSettingModel::BellControlsEnabled() const {
  return SetupViewOf(m_nModel) != SetupView::ReservedBellUsbSleep;
}

bool CSettingModel::UsbModeEnabled() const {
  return NewOptionsShown() && SetupViewOf(m_nModel) != SetupView::ReservedBellUsbSleep;
}

bool CSettingModel::WifiKeepEnabled() const {
  return SetupViewOf(m_nModel) != SetupView::ReservedBellUsbSleep;
}

int ParseHexCode(const std::string& text, std::uint32_t& value) {
  value = 0;
  if (text.empty() || text.size() > 8) return -1;
  std::uint32_t v = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return -1;
    v = (v << 4) | static_cast<std::uint32_t>(digit);
  }
  value = v;
  return 1;
}

}  // namespace torva
