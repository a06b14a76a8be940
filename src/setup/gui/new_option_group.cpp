#include "setup/gui/new_option_group.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <utility>

#include "setup/gui/radio_pair.h"
#include "setup/setting_model.h"

namespace torva {
namespace {

constexpr std::pair<const char*, const char*> kKoreanTexts[] = {
    {"Label_Emulation", "동작모드"},
    {"Emulation0", "엡손"},
    {"Emulation1", "스타"},
    {"Label_PrintDensity", "인쇄농도"},
    {"Label_KitchenBell", "주방벨"},
    {"KitchenBell0", "사용안함"},
    {"KitchenBell1", "사용"},
    {"Label_AutoCut", "자동절단기"},
    {"AutoCut0", "사용"},
    {"AutoCut1", "사용안함"},
    {"SelfTestMode0", "셀프테스트"},
    {"SelfTestMode1", "16진수인쇄"},
    {"Label_UsbMode", "USB동작"},
    {"UsbMode0", "USB통신"},
    {"UsbMode1", "가상시리얼"},
    {"Label_Sleep", "절전모드"},
    {"Label_PaperSave", "용지절약모드"},
};

// The rows a line without the newer options hides.
constexpr const char* kNewOnlyRows[] = {"Emulation",   "PrintDensity", "AutoCut",    "SelfTestMode",
                                        "KitchenBell", "UsbMode",      "LcdPassword"};

void Fill(QComboBox* list, const std::vector<std::string>& texts) {
  list->clear();
  for (const std::string& t : texts) list->addItem(QString::fromStdString(t));
  list->setCurrentIndex(-1);
}

void Reserve(QLabel* label) {
  label->setText("Reserved");
  label->setEnabled(false);
}

}  // namespace

CNewOptionGroup::CNewOptionGroup(CSettingModel& model, QWidget* parent)
    : QGroupBox("New Option", parent), m_model(model) {
  setObjectName("NewOptionGroup");
  m_pGrid = new QGridLayout(this);
  m_pGrid->setVerticalSpacing(2);
  m_pGrid->setColumnStretch(1, 1);
  using M = CSettingModel;
  AddRow("Emulation", "Emulation", Radios("Emulation", "EPSON", "STAR", &M::m_nEmulation),
         &M::m_nEmulation);
  AddRow("PrintDensity", "Density", List("PrintDensity", &M::m_nPrintDensity), &M::m_nPrintDensity);
  AddRow("AutoCut", "AutoCut", Radios("AutoCut", "ON", "OFF", &M::m_nAutoCut), &M::m_nAutoCut);
  AddRow("SelfTestMode", "SELF-TEST",
         Radios("SelfTestMode", "Self-Test", "HexaDump", &M::m_nSelfTestMode), &M::m_nSelfTestMode);
  AddRow("KitchenBell", "Kitchen Bell", Radios("KitchenBell", "OFF", "ON", &M::m_nKitchenBell),
         &M::m_nKitchenBell);
  AddRow("UsbMode", "USB mode", Radios("UsbMode", "USB", "COM", &M::m_nUsbMode), &M::m_nUsbMode);
  AddRow("LcdPassword", "LCD Password",
         Radios("LcdPassword", "Reset", "Don't touch", &M::m_nLcdPassword), &M::m_nLcdPassword);
  AddRow("PaperSave", "Paper Save Mode", List("PaperSave", &M::m_nPaperSave), &M::m_nPaperSave);
  AddRow("Sleep", "Sleep mode", List("Sleep", &M::m_nSleep), &M::m_nSleep);
  AddRow("WifiKeep", "WiFi Auto Keep-Connection",
         Radios("WifiKeep", "Enable", "Disable", &M::m_nWifiKeep), &M::m_nWifiKeep);

  m_pLogo = new QLabel(this);
  m_pLogo->setObjectName("LogoPicture");
  m_pLogo->setPixmap(QPixmap(":/setup/company_logo.png"));
  m_pLogo->setAlignment(Qt::AlignCenter);
  m_pGrid->addWidget(m_pLogo, m_pGrid->rowCount(), 0, 1, 2);
  m_pGrid->setRowStretch(m_pGrid->rowCount(), 1);
}

void CNewOptionGroup::AddRow(const char* name, const char* text, QWidget* control,
                             int CSettingModel::*member) {
  const int row = m_pGrid->rowCount();
  auto* label = new QLabel(text, this);
  label->setObjectName(QString("Label_") + name);
  m_pGrid->addWidget(label, row, 0);
  m_pGrid->addWidget(control, row, 1);
  m_rows.push_back(Row{label, control, member});
}

CRadioPair* CNewOptionGroup::Radios(const char* name, const char* first, const char* second,
                                    int CSettingModel::*member) {
  auto* pair = new CRadioPair(name, first, second, this);
  connect(pair, &CRadioPair::Clicked, this, [this, member](int choice) {
    m_model.*member = choice;
    emit Edited();
  });
  return pair;
}

QComboBox* CNewOptionGroup::List(const char* name, int CSettingModel::*member) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  connect(list, &QComboBox::activated, this, [this, member](int index) {
    m_model.*member = index;
    emit Edited();
  });
  return list;
}

QLabel* CNewOptionGroup::Label(const char* name) const {
  return findChild<QLabel*>(QString("Label_") + name);
}

void CNewOptionGroup::FillLists() {
  Fill(findChild<QComboBox*>("PrintDensity"), kPrintDensityTexts);
  Fill(findChild<QComboBox*>("Sleep"), kSleepTexts);
  Fill(findChild<QComboBox*>("PaperSave"), kPaperSaveTexts);
}

void CNewOptionGroup::SetKoreanTexts() {
  for (const auto& [name, text] : kKoreanTexts) {
    if (auto* label = findChild<QLabel*>(name)) {
      label->setText(QString::fromUtf8(text));
    } else if (auto* button = findChild<QAbstractButton*>(name)) {
      button->setText(QString::fromUtf8(text));
    }
  }
}

void CNewOptionGroup::ApplyModelView() {
  const bool newOptions = m_model.NewOptionsShown();
  for (const char* name : kNewOnlyRows) {
    Label(name)->setVisible(newOptions);
    findChild<QWidget*>(name)->setVisible(newOptions);
  }
  m_pLogo->setVisible(m_model.LogoPictureShown());
  if (!m_model.BellControlsEnabled()) {
    Reserve(Label("KitchenBell"));
    findChild<QWidget*>("KitchenBell")->setEnabled(false);
    Reserve(Label("Sleep"));
    findChild<QWidget*>("Sleep")->setEnabled(false);
  }
  if (!m_model.UsbModeEnabled() && newOptions) {
    Reserve(Label("UsbMode"));
    findChild<QWidget*>("UsbMode")->setEnabled(false);
  }
  if (!m_model.WifiKeepEnabled()) {
    Label("WifiKeep")->setText("Reserved");
    findChild<QWidget*>("WifiKeep")->setEnabled(false);
  }
}

void CNewOptionGroup::Refresh() {
  for (const Row& row : m_rows) {
    if (auto* pair = qobject_cast<CRadioPair*>(row.pControl)) {
      pair->SetChoice(m_model.*row.member);
    } else if (auto* list = qobject_cast<QComboBox*>(row.pControl)) {
      list->setCurrentIndex(m_model.*row.member);
    }
  }
}

void CNewOptionGroup::MarkChanged(const CSettingModel& baseline) {
  for (const Row& row : m_rows) {
    const bool changed = baseline.*row.member != m_model.*row.member;
    QFont font = row.pLabel->font();
    if (font.bold() != changed) {
      font.setBold(changed);
      row.pLabel->setFont(font);
    }
  }
}

}  // namespace torva
