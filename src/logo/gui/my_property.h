// CMyProperty, "TORVASet : Kelmo Image Logo Setup": the logo property sheet. Five pages as
// tabs (selection, preview, upload, print, setup) over one list of bitmaps, and OK and
// Cancel (no Apply, no Help). A page is initialised when it is first shown; leaving a page
// may be refused by it (a value out of range); OK lets every initialised page finish.
//
// RunLogoDownload is the main menu's Logo Download: the list from the LOGO section of the
// settings file, the sheet run modally, the list's texts emptied afterwards.
#pragma once

#include <QDialog>
#include <array>

#include "logo/gui/logo_page.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace torva {

class CPage1Selection;
class CPage2Preview;
class CPage3Upload;
class CPage4Print;
class CPage5Setup;

class CMyProperty : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kPageCount = 5;

  // list and connection must outlive the sheet.
  CMyProperty(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);
  ~CMyProperty() override;

  // The first page shown and active, then the modal run.
  int DoModal();
  // Shows a page as if its tab was clicked; false when the current page refused to go.
  bool SetActivePage(int index);
  int ActivePage() const { return m_nCurrent; }
  CLogoPage* Page(int index) const { return m_apPages[static_cast<std::size_t>(index)]; }
  CPage1Selection* Selection() const { return m_pPage1; }
  CPage2Preview* Preview() const { return m_pPage2; }
  CPage3Upload* Upload() const { return m_pPage3; }
  CPage4Print* Print() const { return m_pPage4; }
  CPage5Setup* Setup() const { return m_pPage5; }
  QTabWidget* Tabs() const { return m_pTabs; }
  QPushButton* OkButton() const;
  QPushButton* CancelButton() const;

 public slots:
  void accept() override;

 private:
  void OnTabChanged(int index);

  CLogoList& m_list;
  LogoConnection& m_connection;
  QTabWidget* m_pTabs = nullptr;
  QDialogButtonBox* m_pButtons = nullptr;
  CPage1Selection* m_pPage1 = nullptr;
  CPage2Preview* m_pPage2 = nullptr;
  CPage3Upload* m_pPage3 = nullptr;
  CPage4Print* m_pPage4 = nullptr;
  CPage5Setup* m_pPage5 = nullptr;
  std::array<CLogoPage*, kPageCount> m_apPages{};
  int m_nCurrent = -1;
  bool m_bSwitching = false;
};

// Logo Download: the options' sheet defaults for the model, the list loaded from the LOGO
// section, the sheet run modally over parent, then the list's texts emptied. Returns the
// sheet's result.
int RunLogoDownload(LogoConnection& connection, QWidget* parent = nullptr);

}  // namespace torva
