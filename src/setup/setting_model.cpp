#include "setup/setting_model.h"

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

CSettingModel::CSettingModel(int modelCode, bool bKorean, std::vector<std::string> codePages,
                             std::vector<std::string> receiveBuffers)
    : m_nModel(modelCode),
      m_bKorean(bKorean),
      m_codePages(std::move(codePages)),
      m_receiveBuffers(std::move(receiveBuffers)) {}

void CSettingModel::ClickPaperWidth(int) {}
void CSettingModel::ClickPaperType(int) {}
void CSettingModel::ClickWaterMark(int) {}
void CSettingModel::ClickCutAdjust(int) {}
void CSettingModel::ClickStopBit(int) {}
bool CSettingModel::SelectNvGraphic(int) { return true; }
bool CSettingModel::SelectNvUser(int) { return true; }
void CSettingModel::SelectBellType(int) {}
void CSettingModel::LoadDefaults() {}
bool CSettingModel::AskAndLoadDefaults() { return false; }
void CSettingModel::ApplyValue(const SetupValue&) {}
int CSettingModel::ChangeCodePage(int, bool) const { return -1; }
const char* CSettingModel::BellUnitCaption() const { return "Times"; }
int CSettingModel::NvGraphicKB() const { return 0; }
int CSettingModel::NvUserKB() const { return 0; }
bool CSettingModel::NewOptionsShown() const { return true; }
bool CSettingModel::NvListsEnabled() const { return true; }
bool CSettingModel::BellControlsEnabled() const { return true; }
bool CSettingModel::UsbModeEnabled() const { return true; }
bool CSettingModel::WifiKeepEnabled() const { return true; }

int ParseHexCode(const std::string&, std::uint32_t& value) {
  value = 0;
  return -1;
}

}  // namespace torva
