#include "logo/gui/page3_upload.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/prograss_dlg.h"
#include "logo/logo_options.h"
#include "logo/printer_link.h"
#include "logo/upload_job.h"
#include "ports/ports.h"

namespace torva {
namespace {

QLineEdit* ReadOnlyField(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

CPage3Upload::CPage3Upload(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kUpload, "Logo Upload", list, connection, parent),
      m_eLastResult(UploadResult::Running) {
  setObjectName("CPage3Upload");
  m_pList = new CCheckListCtrl(this);
  m_pList->setObjectName("BitmapList");
  m_pListLabel = new QLabel("&Bitmap List", this);
  m_pListLabel->setBuddy(m_pList);
  m_pCountLabel = new QLabel("Number of Image Files", this);
  m_pSizeLabel = new QLabel("Total Image File Size", this);
  m_pCount = ReadOnlyField("ImageCount", this);
  m_pSize = ReadOnlyField("ImageSize", this);
  m_pDetails = new QGroupBox("Printer Details", this);
  m_pPrinterLabel = new QLabel("Printer Name", m_pDetails);
  m_pPortLabel = new QLabel("Port Name", m_pDetails);
  m_pPrinterName = ReadOnlyField("PrinterName", m_pDetails);
  m_pPortName = ReadOnlyField("PortName", m_pDetails);
  auto* details = new QGridLayout(m_pDetails);
  details->addWidget(m_pPrinterLabel, 0, 0);
  details->addWidget(m_pPrinterName, 0, 1);
  details->addWidget(m_pPortLabel, 1, 0);
  details->addWidget(m_pPortName, 1, 1);
  m_pUpload = new QPushButton("&Upload", this);
  m_pUpload->setObjectName("Upload");
  m_pUpload->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(m_pListLabel, 0, 0, 1, 2);
  grid->addWidget(m_pList, 1, 0, 1, 2);
  grid->addWidget(m_pCountLabel, 2, 0);
  grid->addWidget(m_pCount, 2, 1);
  grid->addWidget(m_pSizeLabel, 3, 0);
  grid->addWidget(m_pSize, 3, 1);
  grid->addWidget(m_pDetails, 4, 0, 1, 2);
  grid->addWidget(m_pUpload, 5, 1, Qt::AlignRight);

  WireList(*m_pList, false);
  connect(m_pUpload, &QPushButton::clicked, this, &CPage3Upload::OnUpload);
}

void CPage3Upload::OnInitDialog() {
  if (Korean()) {
    m_pListLabel->setText("비트맵 목록(&B)");
    m_pCountLabel->setText("이미지 파일 수");
    m_pSizeLabel->setText("전체 이미지 파일 크기");
    m_pDetails->setTitle("프린터 정보");
    m_pPrinterLabel->setText("프린터 이름");
    m_pPortLabel->setText("포트 이름");
    m_pUpload->setText("전송(&U)");
  }
}

void CPage3Upload::OnSetActive() {
  RefillList(*m_pList, false);
  m_pCount->setText(QString::fromStdString(m_list.m_strCountText));
  m_pSize->setText(QString::fromStdString(m_list.m_strSizeText));
  const std::string& portName = Port().m_strPortName;
  m_bToFile = LinkKindOfPort(portName) == LinkKind::File;
  const PrinterDetails details = PrinterDetailsFor(portName, Port().m_nModel);
  m_pPrinterName->setText(QString::fromStdString(details.strPrinterName));
  m_pPortName->setText(QString::fromStdString(details.strPortName));
  g_logoSheet.nActivePage = kUpload;
}

bool CPage3Upload::OnKillActive() {
  g_logoSheet.nActivePage = kUpload;
  return true;
}

void CPage3Upload::OnUpload() {
  RunWithLink([this](CPrinterLink& link) {
    CUploadJob job(link, m_list, g_logoEntries, theLogoOptions, Port().m_nModel);
    if (!job.Begin()) {
      m_eLastResult = job.Result();
      return;
    }
    CPrograss dialog(job.Engine(), this);
    emit ProgressDialogStarted(&dialog);
    const int result = dialog.DoModal();
    m_eLastResult = job.End(result == QDialog::Accepted);
  });
}

}  // namespace torva
