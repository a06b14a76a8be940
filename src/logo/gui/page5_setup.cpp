#include "logo/gui/page5_setup.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "app/app.h"
#include "app/messages.h"
#include "app/models.h"
#include "app/services.h"
#include "logo/logo_options.h"
#include "logo/nv_commands.h"
#include "logo/printer_link.h"
#include "ports/ports.h"

namespace torva {
namespace {
constexpr const char* kFilePortName = "FILE";

}  // namespace

CPage5Setup::CPage5Setup(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kSetup, "Setup", list, connection, parent) {
  setObjectName("CPage5Setup");
  m_pPrintToFile = new QCheckBox("Print To File", this);
  m_pPrintToFile->setObjectName("PrintToFile");

  m_pOptions = new QGroupBox("Option Setting", this);
  m_pAreaLabel = new QLabel("Max Printable Area :", m_pOptions);
  m_pArea = new QLineEdit(m_pOptions);
  m_pArea->setObjectName("MaxPrintArea");
  m_pArea->installEventFilter(this);
  m_pAreaNote = new QLabel("dots(1~512)", m_pOptions);
  m_pThresholdLabel = new QLabel("Black / White diverging point (0~255)", m_pOptions);
  m_pSlider = new QSlider(Qt::Horizontal, m_pOptions);
  m_pSlider->setObjectName("ThresholdSlider");
  m_pSlider->setRange(0, 255);
  m_pThreshold = new QLineEdit(m_pOptions);
  m_pThreshold->setObjectName("ThresholdEdit");
  m_pGray = new QCheckBox("Use Gray Printing", m_pOptions);
  m_pGray->setObjectName("GrayPrint");
  m_pStar = new QCheckBox("Use Star Emulation", m_pOptions);
  m_pStar->setObjectName("StarEmulation");
  auto* options = new QGridLayout(m_pOptions);
  options->addWidget(m_pAreaLabel, 0, 0);
  options->addWidget(m_pArea, 0, 1);
  options->addWidget(m_pAreaNote, 0, 2);
  options->addWidget(m_pThresholdLabel, 1, 0, 1, 3);
  options->addWidget(m_pSlider, 2, 0, 1, 2);
  options->addWidget(m_pThreshold, 2, 2);
  options->addWidget(m_pGray, 3, 0, 1, 3);
  options->addWidget(m_pStar, 4, 0, 1, 3);

  m_pDevice = new QGroupBox("Device", this);
  m_pDeviceText = new QLabel(m_pDevice);
  m_pDeviceText->setObjectName("DeviceText");
  (new QVBoxLayout(m_pDevice))->addWidget(m_pDeviceText);
  m_pAbout = new QGroupBox("About", this);
  m_pAboutName = new QLabel(m_pAbout);
  m_pAboutName->setObjectName("AboutName");
  m_pAboutMaker = new QLabel(m_pAbout);
  m_pAboutMaker->setObjectName("AboutMaker");
  auto* about = new QVBoxLayout(m_pAbout);
  about->addWidget(m_pAboutName);
  about->addWidget(m_pAboutMaker);

  m_pArea->setMaximumWidth(70);
  m_pThreshold->setMaximumWidth(70);
  m_pDeviceText->setMinimumWidth(180);
  m_pDeviceText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* left = new QVBoxLayout();
  left->addWidget(m_pPrintToFile);
  left->addWidget(m_pOptions);
  left->addStretch();
  auto* right = new QVBoxLayout();
  right->addWidget(m_pDevice);
  right->addWidget(m_pAbout);
  right->addStretch();
  auto* grid = new QGridLayout(this);
  grid->addLayout(left, 0, 0);
  grid->addLayout(right, 0, 1);

  connect(m_pPrintToFile, &QCheckBox::clicked, this, &CPage5Setup::OnPrintToFile);
  connect(m_pGray, &QCheckBox::clicked, this, &CPage5Setup::OnGrayPrint);
  connect(m_pStar, &QCheckBox::clicked, this, [this](bool on) { m_bStar = on; });
  connect(m_pSlider, &QSlider::valueChanged, this, &CPage5Setup::OnThresholdSlider);
  connect(m_pThreshold, &QLineEdit::textEdited, this, &CPage5Setup::OnThresholdEdit);
}

CPage5Setup::~CPage5Setup() {
  // A port name "FILE" chosen here belongs to this sheet only: the menu's other jobs go
  // to the connection the user chose.
  if (m_bPrintToFile) Port().m_strPortName = m_strSavedPortName;
}

void CPage5Setup::OnInitDialog() {
  theLogoOptions.nCapacityKB = kCapacityKB;
  ShowDeviceText(g_strPortInfo);
  m_strSavedPortName = Port().m_strPortName;
  m_nMaxArea = PrintableWidth(Port().m_nModel);
  theLogoOptions.nMaxPrintWidth = m_nMaxArea;
  m_pArea->setText(QString::number(m_nMaxArea));
  m_pGray->setEnabled(PrintsGray(Port().m_nModel));
  {
    const QSignalBlocker blocker(m_pSlider);
    m_pSlider->setValue(128);
  }
  m_nThreshold = 128;
  m_pThreshold->setText("128");
  m_pGray->setChecked(false);
  m_pStar->setChecked(false);
  m_bStar = false;
  if (Korean()) {
    m_pPrintToFile->setText("파일로 출력");
    m_pOptions->setTitle("옵션 설정");
    m_pAreaLabel->setText("최대 인쇄 영역 :");
    m_pAreaNote->setText("도트(1~512)");
    m_pThresholdLabel->setText("흑 / 백 경계값 (0~255)");
    m_pGray->setText("그레이 인쇄 사용");
    m_pStar->setText("스타 에뮬레이션 사용");
    m_pDevice->setTitle("장치");
    m_pAbout->setTitle("정보");
  }
}

void CPage5Setup::OnSetActive() {
  m_pAboutName->setText("Bitmap Image downloader ");
  m_pAboutMaker->setText("Kelmo");
}

void CPage5Setup::ShowDeviceText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace("\r\n", "\n");
  m_pDeviceText->setText(shown);
}

void CPage5Setup::OnPrintToFile(bool checked) {
  m_bPrintToFile = checked;
  if (checked) {
    Port().m_strPortName = kFilePortName;
    ShowDeviceText(kFilePortName);
  } else {
    Port().m_strPortName = m_strSavedPortName;
    ShowDeviceText(g_strPortInfo);
  }
}

void CPage5Setup::OnGrayPrint(bool checked) {
  if (checked == theLogoOptions.bGrayPrint) return;
  theLogoOptions.bGrayPrint = checked;
  for (std::size_t i = 0; i < g_logoEntries.Count(); ++i) {
    const long size = m_list.EntrySize(i);
    const long changed = checked ? size * 4 : size / 4;
    char text[32];
    // Right-aligned like every size text, so that the list still sorts by value.
    std::snprintf(text, sizeof text, "%15ld", changed);
    g_logoEntries.sizes[i] = text;
  }
  m_list.m_nTotalBytes = checked ? m_list.m_nTotalBytes * 4 : m_list.m_nTotalBytes / 4;
  char sizeText[64];
  std::snprintf(sizeText, sizeof sizeText, "%3ld / %3ld KByte", m_list.m_nTotalBytes / 1024,
                static_cast<long>(theLogoOptions.nCapacityKB));
  m_list.m_strSizeText = sizeText;
}

void CPage5Setup::OnThresholdSlider(int position) {
  m_nThreshold = position;
  m_pThreshold->setText(QString::number(position));
}

void CPage5Setup::OnThresholdEdit(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok) return;
  m_nThreshold = value;
  const QSignalBlocker blocker(m_pSlider);
  m_pSlider->setValue(value);
}

bool CPage5Setup::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pArea && event->type() == QEvent::FocusIn) {
    // After the focus change, so that a mouse click does not undo the selection.
    QTimer::singleShot(0, m_pArea, &QLineEdit::selectAll);
  }
  return CLogoPage::eventFilter(watched, event);
}

bool CPage5Setup::ReadRange(QLineEdit& edit, int min, int max, int& value) {
  bool ok = false;
  const int v = edit.text().trimmed().toInt(&ok);
  if (ok && v >= min && v <= max) {
    value = v;
    return true;
  }
  char text[80];
  std::snprintf(text, sizeof text, "Please enter an integer between %d and %d.", min, max);
  ShowMessage(text, MsgIcon::Warning);
  edit.setFocus();
  edit.selectAll();
  return false;
}

bool CPage5Setup::OnKillActive() {
  if (!ReadRange(*m_pArea, 1, kMaxArea, m_nMaxArea)) return false;
  if (!ReadRange(*m_pThreshold, 0, 255, m_nThreshold)) return false;
  theLogoOptions.nMaxPrintWidth = m_nMaxArea;
  theLogoOptions.nThreshold = m_nThreshold;
  theLogoOptions.bStarEmulation = m_bStar;
  return true;
}

void CPage5Setup::OnOK() {
  if (!m_bPrintToFile) TouchPrinter();
  theLogoOptions.nMaxPrintWidth = m_nMaxArea;
}

void CPage5Setup::TouchPrinter() {
  CPrinterLink link(Port());
  link.Touch();
}

}  // namespace torva
