#include "logo/gui/logo_page.h"

#include <memory>

#include "app/app.h"
#include "app/messages.h"
#include "app/services.h"
#include "logo/gui/check_list_ctrl.h"
#include "logo/logo_options.h"
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
  for (const std::string& path : ReadNumberedSettings("LOGO", "Logofile%d", 1)) {
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

}  // namespace torva
