#include "logo/gui/my_property.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/services.h"
#include "logo/gui/page1_selection.h"
#include "logo/gui/page2_preview.h"
#include "logo/gui/page3_upload.h"
#include "logo/gui/page4_print.h"
#include "logo/gui/page5_setup.h"
#include "logo/logo_options.h"
#include "ports/ports.h"

namespace torva {
namespace {

constexpr const char* kTabTitles[CMyProperty::kPageCount] = {
    "Select Bitmap", "Preview Bitmap", "Upload Bitmap", "Print Bitmap", "Setup"};
constexpr const char* kTabTitlesKorean[CMyProperty::kPageCount] = {
    "비트맵 선택", "비트맵 미리보기", "비트맵 전송", "비트맵 인쇄", "설정"};

// The menu's closing step after the sheet: a dialog that only empties the
// list's four text lists and closes itself at once, so nothing is seen. The texts are
// emptied here directly.
void ClearLogoTexts() { g_logoEntries.Clear(); }

}  // namespace

CMyProperty::CMyProperty(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : QDialog(parent), m_list(list), m_connection(connection) {
  setObjectName("CMyProperty");
  setWindowTitle(kTitleLogoSetup);
  setModal(true);
  m_pTabs = new QTabWidget(this);
  m_pTabs->setObjectName("Pages");
  m_pPage1 = new CPage1Selection(list, connection);
  m_pPage2 = new CPage2Preview(list, connection);
  m_pPage3 = new CPage3Upload(list, connection);
  m_pPage4 = new CPage4Print(list, connection);
  m_pPage5 = new CPage5Setup(list, connection);
  m_apPages = {m_pPage1, m_pPage2, m_pPage3, m_pPage4, m_pPage5};
  const bool korean = System().DefaultLanguageId() == kLangKorean;
  for (int i = 0; i < kPageCount; ++i) {
    m_pTabs->addTab(m_apPages[static_cast<std::size_t>(i)],
                    korean ? kTabTitlesKorean[i] : kTabTitles[i]);
  }
  m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  OkButton()->setObjectName("OK");
  CancelButton()->setObjectName("Cancel");
  if (korean) {
    OkButton()->setText("확인");
    CancelButton()->setText("취소");
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pTabs);
  layout->addWidget(m_pButtons);

  connect(m_pButtons, &QDialogButtonBox::accepted, this, &CMyProperty::accept);
  connect(m_pButtons, &QDialogButtonBox::rejected, this, &CMyProperty::reject);
  connect(m_pTabs, &QTabWidget::currentChanged, this, &CMyProperty::OnTabChanged);
  m_pTabs->setCurrentIndex(0);
  OnTabChanged(0);
}

CMyProperty::~CMyProperty() {
  // The pages go first, while the list and the connection they refer to are alive.
  delete m_pTabs;
  m_pTabs = nullptr;
}

QPushButton* CMyProperty::OkButton() const { return m_pButtons->button(QDialogButtonBox::Ok); }
QPushButton* CMyProperty::CancelButton() const {
  return m_pButtons->button(QDialogButtonBox::Cancel);
}

int CMyProperty::DoModal() { return exec(); }

bool CMyProperty::SetActivePage(int index) {
  if (index < 0 || index >= kPageCount) return false;
  m_pTabs->setCurrentIndex(index);
  return m_nCurrent == index;
}

void CMyProperty::OnTabChanged(int index) {
  if (m_bSwitching || index == m_nCurrent || index < 0) return;
  if (m_nCurrent >= 0 && !Page(m_nCurrent)->OnKillActive()) {
    // The page keeps the focus on the refused value.
    m_bSwitching = true;
    m_pTabs->setCurrentIndex(m_nCurrent);
    m_bSwitching = false;
    return;
  }
  m_nCurrent = index;
  Page(index)->Activate();
}

void CMyProperty::accept() {
  if (m_nCurrent >= 0 && !Page(m_nCurrent)->OnKillActive()) return;
  for (CLogoPage* page : m_apPages) {
    if (page->IsInitialised()) page->OnOK();
  }
  QDialog::accept();
}

int RunLogoDownload(LogoConnection& connection, QWidget* parent) {
  // The defaults first: the list's sizes depend on grey printing.
  theLogoOptions.SetSheetDefaults(connection.pPort->m_nModel);
  CLogoList list;
  g_logoSheet = LogoSheetState{};
  LoadLogoSection(list);
  int result = QDialog::Rejected;
  {
    CMyProperty sheet(list, connection, parent);
    result = sheet.DoModal();
  }
  ClearLogoTexts();
  return result;
}

}  // namespace torva
