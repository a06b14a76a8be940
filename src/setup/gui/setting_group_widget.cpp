#include "setup/gui/setting_group_widget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <utility>

#include "logo/gui/page5_setup.h"
#include "setup/gui/radio_pair.h"
#include "setup/setting_model.h"

namespace torva {
namespace {

// Object name -> Korean text, for labels and radios alike.
constexpr std::pair<const char*, const char*> kKoreanTexts[] = {
    {"Label_PaperWidth", "용지 폭"},
    {"Label_PaperType", "용지 종류"},
    {"PaperType0", "검정"},
    {"PaperType1", "2 색"},
    {"Label_WaterMark", "워터마크 기능"},
    {"WaterMark0", "사용안함"},
    {"WaterMark1", "사용"},
    {"Caption_ImageNo", "이미지#"},
    {"Label_CutAdjust", "용지 절단 위치 조정"},
    {"CutAdjust0", "사용안함"},
    {"CutAdjust1", "사용"},
    {"Label_DrawerWithCut", "용지 절단시 돈통 열기"},
    {"DrawerWithCut0", "사용안함"},
    {"DrawerWithCut1", "사용"},
    {"Label_Bell", "주방벨 종류 / 횟수"},
    {"Label_CodePage", "기본 문자"},
    {"Label_NvGraphic", "내장 그래픽 메모리 크기"},
    {"Label_NvUser", "내장 사용자 메모리 크기"},
    {"Label_CutMode", "절단 모드"},
    {"CutMode0", "일부"},
    {"CutMode1", "전체"},
    {"Label_MaxSpeed", "인쇄 최고 속도"},
    {"Label_LeftMargin", "용지 좌측 여백"},
    {"Label_DrawerSelfTest", "Self-Test시 돈통 열기"},
    {"DrawerSelfTest0", "사용"},
    {"DrawerSelfTest1", "사용안함"},
    {"Label_ReceiveBuffer", "수신 버퍼 크기"},
    {"Label_StopBit", "스톱 비트 (COM)"},
};

// Writes a number into a digit field unless the field already shows it, so that a refresh
// while the user types keeps the cursor and leading zeros.
void SetDigits(QLineEdit* field, int value) {
  bool ok = false;
  if (field->text().toInt(&ok) != value || !ok) field->setText(QString::number(value));
}

void Fill(QComboBox* list, const std::vector<std::string>& texts) {
  list->clear();
  for (const std::string& t : texts) list->addItem(QString::fromStdString(t));
  list->setCurrentIndex(-1);
}

}  // namespace

QString ShownLabel(const char* stored) { return QString::fromUtf8(stored).replace("&&", "&"); }

CSettingGroupWidget::CSettingGroupWidget(CSettingModel& model, QWidget* parent)
    : QGroupBox(parent), m_model(model) {
  setObjectName("SettingGroup");
  m_pGrid = new QGridLayout(this);
  m_pGrid->setVerticalSpacing(2);
  m_pGrid->setColumnStretch(1, 1);

  using M = CSettingModel;
  m_pPaperWidth = Radios("PaperWidth", "80mm", "58mm");
  m_pColumns = List("Columns");
  AddRow("PaperWidth", "Paper Width && Max. Column", {m_pPaperWidth, m_pColumns},
         {&M::m_nPaperWidth, &M::m_nColumns});
  m_pPaperType = Radios("PaperType", "Black", "2Color");
  m_pColorDensity = List("ColorDensity");
  AddRow("PaperType", "Paper Type", {m_pPaperType, m_pColorDensity},
         {&M::m_nPaperType, &M::m_nColorDensity});
  m_pWaterMark = Radios("WaterMark", "Disable", "Enable");
  m_pImageNoCaption = Caption("Caption_ImageNo", "Image#");
  m_pImageNo = DigitField("ImageNo", 3);
  AddRow("WaterMark", "Water Mark Function", {m_pWaterMark, m_pImageNoCaption, m_pImageNo},
         {&M::m_nWaterMark, &M::m_nImageNo});
  m_pCutAdjust = Radios("CutAdjust", "OFF", "ON");
  m_pLinesCaption = Caption("Caption_CutLines", "Lines");
  m_pCutLines = DigitField("CutLines", 3);
  AddRow("CutAdjust", "Cutting postion adjustment Function",
         {m_pCutAdjust, m_pLinesCaption, m_pCutLines}, {&M::m_nCutAdjust, &M::m_nCutLines});
  m_pDrawerWithCut = Radios("DrawerWithCut", "Disable", "Enable");
  AddRow("DrawerWithCut", "Drawer open with cutting", {m_pDrawerWithCut}, {&M::m_nDrawerWithCut});
  m_pBellType = List("BellType");
  m_pBellTimes = List("BellTimes");
  m_pBellUnit = Caption("Caption_BellUnit", "Times");
  Q_ASSERT(m_rows.size() == kBellRow);
  AddRow("Bell", "Kitchen Bell Type && Length", {m_pBellType, m_pBellTimes, m_pBellUnit},
         {&M::m_nBellType, &M::m_nBellTimes});
  m_pCodePage = List("CodePage");
  AddRow("CodePage", "Default Code Page", {m_pCodePage}, {&M::m_nCodePage});
  m_pNvGraphic = List("NvGraphic");
  AddRow("NvGraphic", "NV Graphic Memory Size", {m_pNvGraphic, Caption(nullptr, "Kbyte")},
         {&M::m_nNvGraphic});
  m_pNvUser = List("NvUser");
  AddRow("NvUser", "NV User Memory Size", {m_pNvUser, Caption(nullptr, "Kbyte")}, {&M::m_nNvUser});
  m_pCutMode = Radios("CutMode", "Partial", "Full Cut");
  AddRow("CutMode", "Cutting Mode Select", {m_pCutMode}, {&M::m_nCutMode});
  m_pMaxSpeed = List("MaxSpeed");
  AddRow("MaxSpeed", "Max Print Speed", {m_pMaxSpeed, Caption(nullptr, "mm/sec")},
         {&M::m_nMaxSpeed});
  m_pLeftMargin = DigitField("LeftMargin", 3);
  AddRow("LeftMargin", "Set Left Paper Margin", {m_pLeftMargin, Caption(nullptr, "dot (0 ~ 512)")},
         {&M::m_nLeftMargin});
  m_pDrawerSelfTest = Radios("DrawerSelfTest", "Enable", "Disable");
  AddRow("DrawerSelfTest", "Drawer Open In Self-Test", {m_pDrawerSelfTest},
         {&M::m_nDrawerSelfTest});
  m_pBoldFont = Radios("BoldFont", "OFF", "ON");
  m_pBoldFontLabel = AddRow("BoldFont", "", {m_pBoldFont}, {&M::m_nBoldFont});
  m_pReceiveBuffer = List("ReceiveBuffer");
  AddRow("ReceiveBuffer", "Receive Buffer Size", {m_pReceiveBuffer, Caption(nullptr, "Kbyte")},
         {&M::m_nReceiveBuffer});
  m_pStopBit = Radios("StopBit", "ONE", "TWO");
  AddRow("StopBit", "STOP BIT(COM PORT)", {m_pStopBit}, {&M::m_nStopBit});
  m_pCustomCode = new QLineEdit(this);
  m_pCustomCode->setObjectName("CustomCode");
  m_pCustomCode->setMaxLength(8);
  m_pCustomCode->setMaximumWidth(110);
  m_pCustomCode->installEventFilter(this);
  AddRow("CustomCode", "Customize Setup Code(HEX)", {m_pCustomCode}, {});
  m_rows.back().bCustomCode = true;
  m_pLeftMargin->installEventFilter(this);
  ConnectControls();
}

QLabel* CSettingGroupWidget::AddRow(const char* name, const char* text,
                                    std::vector<QWidget*> controls,
                                    std::vector<int CSettingModel::*> members) {
  const int row = m_pGrid->rowCount();
  auto* label = new QLabel(ShownLabel(text), this);
  label->setObjectName(QString("Label_") + name);
  m_pGrid->addWidget(label, row, 0);
  auto* box = new QHBoxLayout;
  box->setSpacing(6);
  for (QWidget* w : controls) box->addWidget(w);
  box->addStretch(1);
  m_pGrid->addLayout(box, row, 1);
  m_rows.push_back(Row{label, std::move(members)});
  return label;
}

QLabel* CSettingGroupWidget::Caption(const char* name, const char* text) {
  auto* label = new QLabel(text, this);
  if (name) label->setObjectName(name);
  return label;
}

QComboBox* CSettingGroupWidget::List(const char* name) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return list;
}

QLineEdit* CSettingGroupWidget::DigitField(const char* name, int maxDigits) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setMaxLength(maxDigits);
  field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), field));
  field->setMaximumWidth(60);
  return field;
}

CRadioPair* CSettingGroupWidget::Radios(const char* name, const char* first, const char* second) {
  return new CRadioPair(name, first, second, this);
}

void CSettingGroupWidget::ConnectControls() {
  auto click = [this](CRadioPair* pair, auto handler) {
    connect(pair, &CRadioPair::Clicked, this, [this, handler](int choice) {
      handler(choice);
      emit Edited();
    });
  };
  CSettingModel& m = m_model;
  click(m_pPaperWidth, [&m](int c) { m.ClickPaperWidth(c); });
  click(m_pPaperType, [&m](int c) { m.ClickPaperType(c); });
  click(m_pWaterMark, [&m](int c) { m.ClickWaterMark(c); });
  click(m_pCutAdjust, [&m](int c) { m.ClickCutAdjust(c); });
  click(m_pDrawerWithCut, [&m](int c) { m.m_nDrawerWithCut = c; });
  click(m_pCutMode, [&m](int c) { m.m_nCutMode = c; });
  click(m_pDrawerSelfTest, [&m](int c) { m.m_nDrawerSelfTest = c; });
  click(m_pBoldFont, [&m](int c) { m.m_nBoldFont = c; });
  click(m_pStopBit, [&m](int c) { m.ClickStopBit(c); });

  auto select = [this](QComboBox* list, auto handler) {
    connect(list, &QComboBox::activated, this, [this, handler](int index) {
      handler(index);
      emit Edited();
    });
  };
  select(m_pColumns, [&m](int i) { m.m_nColumns = i; });
  select(m_pColorDensity, [&m](int i) { m.m_nColorDensity = i; });
  select(m_pBellType, [&m](int i) { m.SelectBellType(i); });
  select(m_pBellTimes, [&m](int i) { m.m_nBellTimes = i; });
  select(m_pCodePage, [&m](int i) { m.m_nCodePage = i; });
  select(m_pNvGraphic, [&m](int i) { m.SelectNvGraphic(i); });
  select(m_pNvUser, [&m](int i) { m.SelectNvUser(i); });
  select(m_pMaxSpeed, [&m](int i) { m.m_nMaxSpeed = i; });
  select(m_pReceiveBuffer, [&m](int i) { m.m_nReceiveBuffer = i; });

  ReadDigits(m_pImageNo, &CSettingModel::m_nImageNo);
  ReadDigits(m_pCutLines, &CSettingModel::m_nCutLines);
  ReadDigits(m_pLeftMargin, &CSettingModel::m_nLeftMargin);
  connect(m_pCustomCode, &QLineEdit::textEdited, this, [this](const QString& text) {
    m_model.m_strCustomCode = text.toStdString();
    emit Edited();
  });
}

void CSettingGroupWidget::ReadDigits(QLineEdit* field, int CSettingModel::*member) {
  // Typed digits reach the model at once, so that the changed marks follow the typing; the
  // range is checked when the values are taken for a write.
  connect(field, &QLineEdit::textEdited, this, [this, member](const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    // An emptied field is being retyped: leave it alone until digits come.
    if (!ok) return;
    m_model.*member = value;
    emit Edited();
  });
}

void CSettingGroupWidget::FillLists() {
  Fill(m_pColumns, kColumnTexts);
  Fill(m_pColorDensity, kColorDensityTexts);
  Fill(m_pBellType, kBellTypeTexts);
  Fill(m_pBellTimes, kBellTimesTexts);
  Fill(m_pCodePage, m_model.CodePages());
  Fill(m_pNvGraphic, kNvGraphicTexts);
  Fill(m_pNvUser, kNvUserTexts);
  Fill(m_pMaxSpeed, kMaxSpeedTexts);
  Fill(m_pReceiveBuffer, m_model.ReceiveBuffers());
  m_pBoldFontLabel->setText(m_model.BoldFontEnabled() ? "Bold Korean Font" : "Reserved");
}

void CSettingGroupWidget::SetKoreanTexts() {
  for (const auto& [name, text] : kKoreanTexts) {
    if (auto* label = findChild<QLabel*>(name)) {
      label->setText(QString::fromUtf8(text));
    } else if (auto* button = findChild<QAbstractButton*>(name)) {
      button->setText(QString::fromUtf8(text));
    }
  }
}

void CSettingGroupWidget::Refresh() {
  const CSettingModel& m = m_model;
  m_pPaperWidth->SetChoice(m.m_nPaperWidth);
  m_pColumns->setCurrentIndex(m.m_nColumns);
  m_pPaperType->SetChoice(m.m_nPaperType);
  m_pColorDensity->setCurrentIndex(m.m_nColorDensity);
  m_pWaterMark->SetChoice(m.m_nWaterMark);
  SetDigits(m_pImageNo, m.m_nImageNo);
  m_pCutAdjust->SetChoice(m.m_nCutAdjust);
  SetDigits(m_pCutLines, m.m_nCutLines);
  m_pDrawerWithCut->SetChoice(m.m_nDrawerWithCut);
  m_pBellType->setCurrentIndex(m.m_nBellType);
  m_pBellTimes->setCurrentIndex(m.m_nBellTimes);
  const std::string unit = m.BellUnitCaption();
  m_pBellUnit->setText(m.IsKorean() && unit == "Times" ? QString("회")
                                                       : QString::fromStdString(unit));
  m_pCodePage->setCurrentIndex(m.m_nCodePage);
  m_pNvGraphic->setCurrentIndex(m.m_nNvGraphic);
  m_pNvUser->setCurrentIndex(m.m_nNvUser);
  m_pCutMode->SetChoice(m.m_nCutMode);
  m_pMaxSpeed->setCurrentIndex(m.m_nMaxSpeed);
  SetDigits(m_pLeftMargin, m.m_nLeftMargin);
  m_pDrawerSelfTest->SetChoice(m.m_nDrawerSelfTest);
  m_pBoldFont->SetChoice(m.m_nBoldFont);
  m_pReceiveBuffer->setCurrentIndex(m.m_nReceiveBuffer);
  m_pStopBit->SetChoice(m.m_nStopBit);
  if (m_pCustomCode->text().toStdString() != m.m_strCustomCode) {
    m_pCustomCode->setText(QString::fromStdString(m.m_strCustomCode));
  }

  // After a failed exchange only leaving the dialog is useful; the stop-bit radios keep
  // their state.
  const bool on = m.m_bSettingGroupEnabled;
  for (QWidget* w : std::initializer_list<QWidget*>{
           m_pPaperWidth, m_pPaperType, m_pWaterMark, m_pCutAdjust, m_pDrawerWithCut, m_pCodePage,
           m_pCutMode, m_pMaxSpeed, m_pLeftMargin, m_pDrawerSelfTest, m_pReceiveBuffer,
           m_pCustomCode}) {
    w->setEnabled(on);
  }
  m_pColumns->setEnabled(on && m.m_bColumnListEnabled);
  m_pColorDensity->setEnabled(on && m.m_bColorDensityEnabled);
  m_pImageNo->setEnabled(on && m.m_bImageNoEnabled);
  m_pCutLines->setEnabled(on && m.m_bCutLinesEnabled);
  m_pBellType->setEnabled(on && m.BellControlsEnabled());
  m_pBellTimes->setEnabled(on && m.BellControlsEnabled());
  m_pNvGraphic->setEnabled(on && m.NvListsEnabled());
  m_pNvUser->setEnabled(on && m.NvListsEnabled());
  m_pBoldFont->setEnabled(on && m.BoldFontEnabled());
}

void CSettingGroupWidget::ApplyModelView() {
  m_pBoldFontLabel->setEnabled(m_model.BoldFontEnabled());
  if (!m_model.BellControlsEnabled()) {
    QLabel* bell = m_rows[kBellRow].pLabel;
    bell->setText("Reserved");
    bell->setEnabled(false);
  }
}

bool CSettingGroupWidget::TakeFields() {
  return CPage5Setup::ReadRange(*m_pImageNo, 1, 255, m_model.m_nImageNo) &&
         CPage5Setup::ReadRange(*m_pCutLines, 0, 255, m_model.m_nCutLines) &&
         CPage5Setup::ReadRange(*m_pLeftMargin, 0, kMarginMaxDots, m_model.m_nLeftMargin);
}

void CSettingGroupWidget::MarkChanged(const CSettingModel& baseline) {
  for (const Row& row : m_rows) {
    bool changed = row.bCustomCode && baseline.m_strCustomCode != m_model.m_strCustomCode;
    for (int CSettingModel::*member : row.members) {
      changed = changed || baseline.*member != m_model.*member;
    }
    QFont font = row.pLabel->font();
    if (font.bold() != changed) {
      font.setBold(changed);
      row.pLabel->setFont(font);
    }
  }
}

bool CSettingGroupWidget::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == m_pLeftMargin || watched == m_pCustomCode) && event->type() == QEvent::FocusIn) {
    // After the focus change, so that a mouse click does not undo the selection.
    auto* field = static_cast<QLineEdit*>(watched);
    QTimer::singleShot(0, field, &QLineEdit::selectAll);
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace torva
