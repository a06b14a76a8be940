#include "logo/gui/page4_print.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "logo/gui/print_progress_dlg.h"
#include "logo/logo_options.h"
#include "logo/print_engine.h"
#include "logo/print_job.h"
#include "logo/printer_link.h"
#include "ports/ports.h"

namespace torva {
namespace {

QRadioButton* Radio(const char* text, const char* name, QWidget* parent) {
  auto* radio = new QRadioButton(text, parent);
  radio->setObjectName(name);
  return radio;
}

}  // namespace

CPage4Print::CPage4Print(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kPrint, "Logo Printout", list, connection, parent),
      m_eLastResult(PrintResult::Running) {
  setObjectName("CPage4Print");
  m_pRangeGroup = new QGroupBox("Printing &Range", this);
  m_pAll = Radio("All", "RangeAll", m_pRangeGroup);
  m_pSelection = Radio("Selection", "RangeSelection", m_pRangeGroup);
  m_pSelectionText = new QLineEdit(m_pRangeGroup);
  m_pSelectionText->setObjectName("SelectionText");
  m_pSelectionText->installEventFilter(this);
  auto* range = new QGridLayout(m_pRangeGroup);
  range->addWidget(m_pAll, 0, 0);
  range->addWidget(m_pSelection, 1, 0);
  range->addWidget(m_pSelectionText, 2, 0);

  m_pModeGroup = new QGroupBox("Q&uality", this);
  m_pModes = new QButtonGroup(this);
  const char* labels[4] = {"&Normal", "Double &Width", "Double &Height", "&Quadraple"};
  const char* names[4] = {"ModeNormal", "ModeDoubleWidth", "ModeDoubleHeight", "ModeQuadruple"};
  auto* modes = new QVBoxLayout(m_pModeGroup);
  for (int i = 0; i < 4; ++i) {
    m_apMode[i] = Radio(labels[i], names[i], m_pModeGroup);
    m_pModes->addButton(m_apMode[i], i);
    modes->addWidget(m_apMode[i]);
  }

  m_pHeaderGroup = new QGroupBox("Hea&der", this);
  m_pHeaders = new QButtonGroup(this);
  m_pNoHeader = Radio("No Header", "NoHeader", m_pHeaderGroup);
  m_pAddHeader = Radio("Add Header", "AddHeader", m_pHeaderGroup);
  m_pHeaders->addButton(m_pNoHeader, 0);
  m_pHeaders->addButton(m_pAddHeader, 1);
  auto* headers = new QVBoxLayout(m_pHeaderGroup);
  headers->addWidget(m_pNoHeader);
  headers->addWidget(m_pAddHeader);

  m_details = MakePrinterDetails();

  m_pPrint = new QPushButton("&Print", this);
  m_pPrint->setObjectName("Print");
  m_pPrint->setAutoDefault(false);
  m_pWidthWarning = MakeWidthWarning(this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(m_pRangeGroup, 0, 0);
  grid->addWidget(m_pModeGroup, 0, 1);
  grid->addWidget(m_pHeaderGroup, 1, 0);
  grid->addWidget(m_details.pGroup, 1, 1);
  grid->addWidget(m_pWidthWarning, 2, 0, 1, 2);
  grid->addWidget(m_pPrint, 3, 1, Qt::AlignRight);

  connect(m_pAll, &QRadioButton::clicked, this, [this] { m_nRange = 0; });
  connect(m_pSelection, &QRadioButton::clicked, this, &CPage4Print::OnSelectionChosen);
  connect(m_pModes, &QButtonGroup::idClicked, this, [this](int id) {
    m_nMode = id;
    ShowWidthWarning(*m_pWidthWarning, static_cast<NvPrintMode>(m_nMode));
  });
  connect(m_pHeaders, &QButtonGroup::idClicked, this, [this](int id) { m_nHeader = id; });
  connect(m_pPrint, &QPushButton::clicked, this, &CPage4Print::OnPrint);
}

void CPage4Print::OnInitDialog() {
  m_nRange = m_nMode = m_nHeader = 0;
  m_pAll->setChecked(true);
  m_apMode[0]->setChecked(true);
  m_pNoHeader->setChecked(true);
  if (Korean()) {
    m_pRangeGroup->setTitle("인쇄 범위(&R)");
    m_pAll->setText("전체");
    m_pSelection->setText("선택");
    m_pModeGroup->setTitle("인쇄 크기(&U)");
    const char* korean[4] = {"보통(&N)", "가로 2배(&W)", "세로 2배(&H)", "4배(&Q)"};
    for (int i = 0; i < 4; ++i) m_apMode[i]->setText(korean[i]);
    m_pHeaderGroup->setTitle("머리글(&D)");
    m_pNoHeader->setText("머리글 없음");
    m_pAddHeader->setText("머리글 추가");
    TranslatePrinterDetails(m_details);
    m_pPrint->setText("인쇄(&P)");
  }
}

void CPage4Print::OnSetActive() {
  const std::string& portName = Port().m_strPortName;
  ShowPrinterDetails(m_details);
  const bool allowed = PrintAllowedForPort(portName);
  m_pPrint->setEnabled(allowed);
  m_pPrint->setToolTip(allowed ? QString()
                       : Korean() ? "파일로는 인쇄할 수 없습니다: 프린터에 연결하십시오"
                                  : "Printing needs a printer; this connection writes a file");
  ShowWidthWarning(*m_pWidthWarning, static_cast<NvPrintMode>(m_nMode));
}

std::string CPage4Print::SelectionText() const { return m_pSelectionText->text().toStdString(); }

bool CPage4Print::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pSelectionText && event->type() == QEvent::FocusIn) OnSelectionFocus();
  return CLogoPage::eventFilter(watched, event);
}

void CPage4Print::OnSelectionFocus() {
  m_pSelection->setChecked(true);
  m_nRange = 1;
}

void CPage4Print::OnSelectionChosen() {
  OnSelectionFocus();
  m_pSelectionText->setFocus();
}

void CPage4Print::OnPrint() {
  PrintSettings settings;
  settings.bSelection = m_nRange == 1;
  settings.strSelection = SelectionText();
  settings.eMode = static_cast<NvPrintMode>(m_nMode);
  settings.bHeader = m_nHeader == 1;
  settings.bStarEmulation = theLogoOptions.bStarEmulation;
  RunWithLink([this, &settings](CPrinterLink& link) {
    CPrintJob job(link, settings);
    if (!job.Begin()) {
      m_eLastResult = job.Result();
      return;
    }
    CPrintProgressDlg dialog(job.Engine(), this);
    emit PrintDialogStarted(&dialog);
    const int result = dialog.DoModal();
    m_eLastResult = job.End(result == QDialog::Accepted);
  });
}

}  // namespace torva
