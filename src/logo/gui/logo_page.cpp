#include "logo/gui/logo_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "app/app.h"
#include "app/messages.h"
#include "app/services.h"
#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/elided_path.h"
#include "logo/logo_options.h"
#include "logo/print_width.h"
#include "logo/printer_link.h"
#include "logo/upload_engine.h"
#include "ports/ports.h"

namespace torva {

LogoSheetState g_logoSheet;

int LoadLogoSection(CLogoList& list) {
  g_logoEntries.Clear();
  list.ResetList();
  g_nLogoKeyCount = 0;
  int read = 0;
  for (const std::string& path : ReadLogoFiles()) {
    ++read;
    g_logoSheet.bLoaded = true;
    g_nLogoKeyCount = read;
    list.AddBitmap(path, read);
  }
  if (read == 0) g_logoSheet.bLoaded = false;
  return read;
}

CLogoPage::CLogoPage(int pageId, const char* helpTopic, CLogoList& list,
                     LogoConnection& connection, QWidget* parent)
    : QWidget(parent),
      m_nPageId(pageId),
      m_pszHelpTopic(helpTopic),
      m_list(list),
      m_connection(connection) {}

void CLogoPage::Activate() {
  if (!m_bInitialised) {
    m_bInitialised = true;
    OnInitDialog();
  }
  OnSetActive();
}

bool CLogoPage::Korean() { return System().DefaultLanguageId() == kLangKorean; }

void CLogoPage::RunWithLink(const std::function<void(CPrinterLink&)>& job) {
  CPorts& port = Port();
  const std::string portName = port.m_strPortName;
  const bool toFile = LinkKindOfPort(portName) == LinkKind::File;
  {
    std::unique_ptr<CPrinterLink> link =
        m_connection.pSocket != nullptr
            ? std::make_unique<CPrinterLink>(port, *m_connection.pSocket,
                                             m_connection.strIpAddress, m_connection.nTcpPort)
            : std::make_unique<CPrinterLink>(port);
    job(*link);
  }
  if (toFile) port.m_strPortName = portName;
}

void CLogoPage::RefillList(CCheckListCtrl& list, bool checks) {
  m_bRefilling = true;
  list.DeleteAllRows();
  const std::size_t count = g_logoEntries.Count();
  for (std::size_t i = 0; i < count; ++i) {
    const bool checked = checks && i < theLogoOptions.abAutoCenter.size() &&
                         theLogoOptions.abAutoCenter[i];
    list.InsertRow(static_cast<int>(i), QString::fromStdString(g_logoEntries.numbers[i]),
                   QString::fromStdString(g_logoEntries.names[i]),
                   QString::fromStdString(g_logoEntries.sizes[i]), checked);
  }
  list.SortByColumn(CCheckListCtrl::kColCheck, true);
  if (g_logoSheet.nRememberedRow != -1) list.SelectRow(g_logoSheet.nRememberedRow);
  m_bRefilling = false;
}

void CLogoPage::TrackSelection(CCheckListCtrl& list) {
  if (m_bRefilling) return;
  // While another page is the active one (its refill is under way), the row it remembers
  // stays.
  if (g_logoSheet.nActivePage != m_nPageId && g_logoSheet.nRememberedRow != -1) return;
  g_logoSheet.nRememberedRow = list.FirstSelectedRow();
}

void CLogoPage::WireList(CCheckListCtrl& list, bool checks, std::function<void()> changed) {
  list.SetCheckColumn(checks);
  connect(&list, &QTreeWidget::itemSelectionChanged, this, [this, &list, changed] {
    if (m_bRefilling) return;
    TrackSelection(list);
    if (changed) changed();
  });
  connect(&list, &CCheckListCtrl::ColumnClicked, this,
          [this, &list, checks, changed](int column, bool ascending) {
            BeforeHeaderRefill();
            RefillList(list, checks);
            g_logoSheet.nRememberedRow = -1;
            m_bRefilling = true;
            list.SortByColumn(column, ascending);
            list.clearSelection();
            m_bRefilling = false;
            if (changed) changed();
          });
}

int CLogoPage::RowNumber(const CCheckListCtrl& list, int row) {
  return list.Text(row, CCheckListCtrl::kColNumber).trimmed().toInt();
}

QLineEdit* CLogoPage::ReadOnlyField(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

void CLogoPage::MakeList(ListBlock& block) {
  block.pList = new CCheckListCtrl(this);
  block.pList->setObjectName("BitmapList");
  block.pListLabel = new QLabel("&Bitmap List", this);
  block.pListLabel->setBuddy(block.pList);
}

void CLogoPage::MakeCountFields(ListBlock& block) {
  block.pCountLabel = new QLabel("Number of Image Files", this);
  block.pSizeLabel = new QLabel("Total Image File Size", this);
  block.pCount = ReadOnlyField("ImageCount", this);
  block.pSize = ReadOnlyField("ImageSize", this);
}

CLogoPage::ListBlock CLogoPage::MakeListBlock() {
  ListBlock block;
  MakeList(block);
  MakeCountFields(block);
  return block;
}

void CLogoPage::PlaceListBlock(QGridLayout& grid, const ListBlock& block) {
  grid.addWidget(block.pListLabel, 0, 0, 1, 2);
  grid.addWidget(block.pList, 1, 0, 1, 2);
  grid.addWidget(block.pCountLabel, 2, 0);
  grid.addWidget(block.pCount, 2, 1);
  grid.addWidget(block.pSizeLabel, 3, 0);
  grid.addWidget(block.pSize, 3, 1);
}

void CLogoPage::TranslateListBlock(const ListBlock& block) {
  block.pListLabel->setText("비트맵 목록(&B)");
  block.pCountLabel->setText("이미지 파일 수");
  block.pSizeLabel->setText("전체 이미지 파일 크기");
}

void CLogoPage::ShowListTexts(const ListBlock& block) const {
  block.pCount->setText(QString::fromStdString(m_list.m_strCountText));
  block.pSize->setText(QString::fromStdString(m_list.m_strSizeText));
}

CLogoPage::DetailsBlock CLogoPage::MakePrinterDetails() {
  DetailsBlock block;
  block.pGroup = new QGroupBox("Printer Details", this);
  block.pPrinterLabel = new QLabel("Printer Name", block.pGroup);
  block.pPortLabel = new QLabel("Port Name", block.pGroup);
  block.pPrinterName = ReadOnlyField("PrinterName", block.pGroup);
  block.pPortName = ReadOnlyField("PortName", block.pGroup);
  auto* grid = new QGridLayout(block.pGroup);
  grid->addWidget(block.pPrinterLabel, 0, 0);
  grid->addWidget(block.pPrinterName, 0, 1);
  grid->addWidget(block.pPortLabel, 1, 0);
  grid->addWidget(block.pPortName, 1, 1);
  return block;
}

void CLogoPage::TranslatePrinterDetails(const DetailsBlock& block) {
  block.pGroup->setTitle("프린터 정보");
  block.pPrinterLabel->setText("프린터 이름");
  block.pPortLabel->setText("포트 이름");
}

void CLogoPage::ShowPrinterDetails(const DetailsBlock& block) const {
  const PrinterDetails details = PrinterDetailsFor(Port().m_strPortName, Port().m_nModel);
  block.pPrinterName->setText(QString::fromStdString(details.strPrinterName));
  ShowElidedPath(*block.pPortName, QString::fromStdString(details.strPortName));
}

QLabel* CLogoPage::MakeWidthWarning(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName("WidthWarning");
  label->setWordWrap(true);
  label->setStyleSheet("color: #b00000; font-weight: bold;");
  label->setVisible(false);
  return label;
}

void CLogoPage::ShowWidthWarning(QLabel& label, NvPrintMode mode) const {
  const int model = Port().m_nModel;
  const std::string text =
      WideImagesText(WideImages(g_logoEntries, model, mode), PrintableWidthDots(model), Korean());
  label.setText(QString::fromStdString(text));
  label.setVisible(!text.empty());
}

}  // namespace torva
