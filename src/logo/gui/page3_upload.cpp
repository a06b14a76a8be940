#include "logo/gui/page3_upload.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/prograss_dlg.h"
#include "logo/logo_options.h"
#include "logo/printer_link.h"
#include "logo/upload_job.h"
#include "ports/ports.h"

namespace torva {

CPage3Upload::CPage3Upload(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kUpload, "Logo Upload", list, connection, parent),
      m_eLastResult(UploadResult::Running) {
  setObjectName("CPage3Upload");
  m_bitmaps = MakeListBlock();
  m_details = MakePrinterDetails();
  m_pUpload = new QPushButton("&Upload", this);
  m_pUpload->setObjectName("Upload");
  m_pUpload->setAutoDefault(false);
  m_pWidthWarning = MakeWidthWarning(this);

  auto* grid = new QGridLayout(this);
  PlaceListBlock(*grid, m_bitmaps);
  grid->addWidget(m_details.pGroup, 4, 0, 1, 2);
  grid->addWidget(m_pWidthWarning, 5, 0, 1, 2);
  grid->addWidget(m_pUpload, 6, 1, Qt::AlignRight);

  WireList(*m_bitmaps.pList, false);
  connect(m_pUpload, &QPushButton::clicked, this, &CPage3Upload::OnUpload);
}

void CPage3Upload::OnInitDialog() {
  if (Korean()) {
    TranslateListBlock(m_bitmaps);
    TranslatePrinterDetails(m_details);
    m_pUpload->setText("전송(&U)");
  }
}

void CPage3Upload::OnSetActive() {
  RefillList(*m_bitmaps.pList, false);
  ShowListTexts(m_bitmaps);
  const std::string& portName = Port().m_strPortName;
  m_bToFile = LinkKindOfPort(portName) == LinkKind::File;
  ShowPrinterDetails(m_details);
  ShowWidthWarning(*m_pWidthWarning, NvPrintMode::Normal);
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
