#include "logo/gui/page1_selection.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/services.h"
#include "logo/gui/check_list_ctrl.h"
#include "logo/logo_options.h"
#include "logo/nv_commands.h"
#include "ports/ports.h"

namespace torva {
namespace {
constexpr const char* kRemoveQuestion = "Remove selected file?";
constexpr const char* kRemoveCaption = "Image downloader";

}  // namespace

CPage1Selection::CPage1Selection(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kSelection, "Bitmap Selection", list, connection, parent) {
  setObjectName("CPage1Selection");
  MakeList(m_bitmaps);
  m_pOpen = new QPushButton("&Open File...", this);
  m_pOpen->setObjectName("OpenFile");
  m_pRemove = new QPushButton("Re&move", this);
  m_pRemove->setObjectName("Remove");
  m_pReset = new QPushButton("&Reset", this);
  m_pReset->setObjectName("Reset");
  MakeCountFields(m_bitmaps);
  m_pCenterGroup = new QGroupBox("Auto Center Align Check", this);
  m_pCenterGroup->setObjectName("AutoCenterGroup");
  m_pCenterText = new QLabel(" Check the item for automatic center align image.", m_pCenterGroup);
  (new QVBoxLayout(m_pCenterGroup))->addWidget(m_pCenterText);

  auto* buttons = new QVBoxLayout();
  for (QPushButton* b : {m_pOpen, m_pRemove, m_pReset}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  auto* grid = new QGridLayout(this);
  PlaceListBlock(*grid, m_bitmaps);
  grid->addLayout(buttons, 1, 2);
  grid->addWidget(m_pCenterGroup, 4, 0, 1, 3);

  WireList(*m_bitmaps.pList, true);
  connect(m_pOpen, &QPushButton::clicked, this, &CPage1Selection::OnOpenFile);
  connect(m_pRemove, &QPushButton::clicked, this, &CPage1Selection::OnRemove);
  connect(m_pReset, &QPushButton::clicked, this, &CPage1Selection::OnReset);
}

void CPage1Selection::OnInitDialog() {
  if (!g_logoSheet.bLoaded) {
    SetZeroTexts();
    g_logoSheet.bLoaded = true;
  }
  ShowTexts();
  g_logoSheet.nRememberedRow = -1;
  if (Korean()) {
    TranslateListBlock(m_bitmaps);
    m_pOpen->setText("파일 열기(&O)...");
    m_pRemove->setText("삭제(&M)");
    m_pReset->setText("초기화(&R)");
    m_pCenterGroup->setTitle("자동 가운데 정렬 선택");
    m_pCenterText->setText(" 자동으로 가운데 정렬할 이미지를 선택하십시오.");
  }
  ShowTorva30Notice();
}

void CPage1Selection::SetZeroTexts() {
  m_list.m_strCountText = CLogoList::CountText(0);
  m_list.m_strSizeText = CLogoList::SizeText(0, theLogoOptions.nCapacityKB);
  m_list.m_nTotalBytes = 0;
}

void CPage1Selection::OnSetActive() {
  RefillList(*m_bitmaps.pList, true);
  ShowTexts();
  g_logoSheet.nActivePage = kSelection;
}

bool CPage1Selection::OnKillActive() {
  g_logoSheet.nActivePage = kSelection;
  SaveChecks();
  return true;
}

void CPage1Selection::SaveChecks() {
  for (int row = 0; row < m_bitmaps.pList->RowCount(); ++row) {
    const int number = RowNumber(*m_bitmaps.pList, row);
    for (std::size_t i = 0; i < g_logoEntries.Count() && i < theLogoOptions.abAutoCenter.size();
         ++i) {
      if (m_list.EntryNumber(i) == number) {
        theLogoOptions.abAutoCenter[i] = m_bitmaps.pList->IsChecked(row);
        break;
      }
    }
  }
}

void CPage1Selection::ShowTexts() {
  ShowListTexts(m_bitmaps);
}

void CPage1Selection::ShowTorva30Notice() {
  if (CNvCommands::NeedsTorva30Notice(Port().m_nModel, m_list.UsedKB())) {
    Ui().Message(CNvCommands::Torva30NoticeText(), CNvCommands::Torva30NoticeTitle(),
                 MsgIcon::Info);
  }
}

void CPage1Selection::OnOpenFile() {
  // The boxes ticked so far stay as they are; the new rows start unticked.
  SaveChecks();
  const std::size_t before = g_logoEntries.Count();
  if (!m_list.BrowseAndAdd()) return;
  for (std::size_t i = before; i < g_logoEntries.Count() && i < theLogoOptions.abAutoCenter.size();
       ++i) {
    theLogoOptions.abAutoCenter[i] = false;
  }
  RefillList(*m_bitmaps.pList, true);
  ShowTexts();
  ShowTorva30Notice();
}

void CPage1Selection::OnRemove() {
  const std::vector<int> rows = m_bitmaps.pList->SelectedRows();
  if (rows.empty()) {
    ShowMessage(theMsg[MsgId::BmpNotSelected], MsgIcon::Warning);
    return;
  }
  if (!Ui().Question(kRemoveQuestion, kRemoveCaption)) return;
  m_bRefilling = true;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    m_list.RemoveNumber(RowNumber(*m_bitmaps.pList, *it));
    m_bitmaps.pList->DeleteRow(*it);
  }
  m_bRefilling = false;
  // The boxes of the rows that stay move up with their rows.
  SaveChecks();
  ShowTexts();
  g_logoSheet.nRememberedRow = -1;
}

void CPage1Selection::OnReset() {
  if (!AskQuestion(theMsg[MsgId::ResetFileContinue])) return;
  m_bRefilling = true;
  m_bitmaps.pList->DeleteAllRows();
  m_bRefilling = false;
  g_logoEntries.Clear();
  SetZeroTexts();
  g_logoSheet.nRememberedRow = -1;
  if (LoadLogoSection(m_list) == 0) SetZeroTexts();
  RefillList(*m_bitmaps.pList, true);
  ShowTexts();
}

}  // namespace torva
