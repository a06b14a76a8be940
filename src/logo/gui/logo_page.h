// CLogoPage: what the five pages of the logo property sheet share. A page is built when
// the sheet is built and initialised when it is first shown (OnInitDialog); the sheet calls
// OnSetActive when the page becomes current, OnKillActive when the user leaves it (false
// keeps the page: a value was refused) and OnOK on every initialised page when the sheet is
// closed with OK.
//
// The state the pages hand to each other lives in g_logoSheet and in the list of bitmaps
// (CLogoList, g_logoEntries): the remembered row, the active page id and the loaded flag.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "logo/logo_list.h"
#include "logo/nv_commands.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace torva {

class CPorts;
class CPrinterSocket;
class CPrinterLink;
class CCheckListCtrl;

// Where the logo jobs send their bytes: the port object (its settings are the connection
// the user chose) and, for "ETHERNET_II", the printer socket at the address the network
// connection dialog accepted.
struct LogoConnection {
  CPorts* pPort = nullptr;
  CPrinterSocket* pSocket = nullptr;
  std::string strIpAddress;
  int nTcpPort = 0;
};

struct LogoSheetState {
  int nRememberedRow = -1;  // selected list row, -1 for none
  int nActivePage = 0;      // 0 selection, 1 preview, 2 upload
  bool bLoaded = false;     // the pages take the list's texts instead of starting from zero
};

extern LogoSheetState g_logoSheet;

// Reads "Logofile1", "Logofile2", ... of the LOGO section up to the first empty value into
// the emptied list. Sets the loaded flag and the remembered key count (g_nLogoKeyCount) to
// the number of keys read; clears the flag when nothing was read. Returns that number.
int LoadLogoSection(CLogoList& list);

class CLogoPage : public QWidget {
  Q_OBJECT
 public:
  // Page ids of the sheet; the preview and upload pages track selection like page 1.
  enum PageId { kSelection = 0, kPreview = 1, kUpload = 2, kPrint = 3, kSetup = 4 };

  CLogoPage(int pageId, const char* helpTopic, CLogoList& list, LogoConnection& connection,
            QWidget* parent = nullptr);

  int PageId() const { return m_nPageId; }
  // The help system's topic of the page ("Bitmap Selection", "Preview", ...).
  const char* HelpTopic() const { return m_pszHelpTopic; }
  bool IsInitialised() const { return m_bInitialised; }
  // The first showing initialises the page, every showing activates it.
  void Activate();

  virtual void OnInitDialog() {}
  virtual void OnSetActive() {}
  virtual bool OnKillActive() { return true; }
  virtual void OnOK() {}

 protected:
  static bool Korean();
  // The connection's current settings (the port object's fields).
  CPorts& Port() const { return *m_connection.pPort; }
  // Runs job over a link made for the port name of this moment, and afterwards gives the
  // port name back when a file open replaced "FILE" by the chosen file's name, so that the
  // next job asks for a file again instead of taking that name for a serial line.
  void RunWithLink(const std::function<void(CPrinterLink&)>& job);

  // The list rows from the four text lists: number, name and size of each entry in list
  // order; with checks, the check box of row i from abAutoCenter[i]. Then the column 0 sort
  // and the remembered row selected. The selection tracking is off meanwhile.
  void RefillList(CCheckListCtrl& list, bool checks);
  // The list's item state changed: the remembered row follows the selection, except while
  // another page is the active one and a row is remembered.
  void TrackSelection(CCheckListCtrl& list);
  // Connects header clicks (refill, no remembered row, sort) and selection tracking;
  // changed is called after each tracked change.
  void WireList(CCheckListCtrl& list, bool checks, std::function<void()> changed = {});
  // Called before a header click refills the list (page 1 keeps its check boxes).
  virtual void BeforeHeaderRefill() {}
  // The number in the number column of a row, 0 when there is none.
  static int RowNumber(const CCheckListCtrl& list, int row);

  // A read-only text field named name (the pages show, never take, these values).
  static QLineEdit* ReadOnlyField(const char* name, QWidget* parent);

  // The "&Bitmap List" of the selection, preview and upload pages with the count and
  // size fields under it.
  struct ListBlock {
    CCheckListCtrl* pList = nullptr;
    QLabel* pListLabel = nullptr;
    QLabel* pCountLabel = nullptr;
    QLabel* pSizeLabel = nullptr;
    QLineEdit* pCount = nullptr;
    QLineEdit* pSize = nullptr;
  };
  // The list and its label, then (apart, so that a page can put widgets of its own
  // between them in the tab order) the count and size rows.
  void MakeList(ListBlock& block);
  void MakeCountFields(ListBlock& block);
  ListBlock MakeListBlock();
  // Rows 0 to 3, columns 0 and 1 of grid.
  static void PlaceListBlock(QGridLayout& grid, const ListBlock& block);
  static void TranslateListBlock(const ListBlock& block);
  // The count and size texts of the list.
  void ShowListTexts(const ListBlock& block) const;

  // The "Printer Details" group of the upload and print pages.
  struct DetailsBlock {
    QGroupBox* pGroup = nullptr;
    QLabel* pPrinterLabel = nullptr;
    QLabel* pPortLabel = nullptr;
    QLineEdit* pPrinterName = nullptr;
    QLineEdit* pPortName = nullptr;
  };
  DetailsBlock MakePrinterDetails();
  static void TranslatePrinterDetails(const DetailsBlock& block);
  // The printer and port names of the connection's current settings; a long port path is
  // shortened in the middle, the whole path is the tooltip.
  void ShowPrinterDetails(const DetailsBlock& block) const;

  // A warning line of the upload and print pages, hidden while every image of the list
  // fits across the model's paper at mode.
  static QLabel* MakeWidthWarning(QWidget* parent);
  void ShowWidthWarning(QLabel& label, NvPrintMode mode) const;

  const int m_nPageId;
  const char* m_pszHelpTopic;
  CLogoList& m_list;
  LogoConnection& m_connection;
  bool m_bRefilling = false;

 private:
  bool m_bInitialised = false;
};

}  // namespace torva
