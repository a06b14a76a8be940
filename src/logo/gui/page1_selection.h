// CPage1Selection, "Select Bitmap": choose, remove and reset the bitmaps of the list, and
// mark the images to be centred on the paper (the check boxes, kept in abAutoCenter when
// the page is left).
#pragma once

#include "logo/gui/logo_page.h"

class QLabel;
class QPushButton;
class QGroupBox;

namespace torva {

class CPage1Selection : public CLogoPage {
  Q_OBJECT
 public:
  CPage1Selection(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnSetActive() override;
  bool OnKillActive() override;

  void OnOpenFile();
  void OnRemove();
  void OnReset();

  CCheckListCtrl* List() const { return m_bitmaps.pList; }

 protected:
  void BeforeHeaderRefill() override { SaveChecks(); }

 private:
  void ShowTexts();
  // abAutoCenter[i] = the check box of the row that shows list entry i.
  void SaveChecks();
  void ShowTorva30Notice();
  void SetZeroTexts();

  ListBlock m_bitmaps;
  QPushButton* m_pOpen = nullptr;
  QPushButton* m_pRemove = nullptr;
  QPushButton* m_pReset = nullptr;
  QGroupBox* m_pCenterGroup = nullptr;
  QLabel* m_pCenterText = nullptr;
};

}  // namespace torva
