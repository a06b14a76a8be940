// CPage3Upload, "Upload Bitmap": writes every bitmap of the list into the printer's NV
// graphics memory through the "Uploading" dialog, or erases that memory when the list is
// empty. The upload job owns the question, the connection and the result messages.
#pragma once

#include "logo/gui/logo_page.h"

class QPushButton;

namespace torva {

class CPrograss;
enum class UploadResult;

class CPage3Upload : public CLogoPage {
  Q_OBJECT
 public:
  CPage3Upload(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnSetActive() override;
  bool OnKillActive() override;
  void OnUpload();

  bool ToFile() const { return m_bToFile; }
  // How the last "&Upload" ended.
  UploadResult LastResult() const { return m_eLastResult; }
  CCheckListCtrl* List() const { return m_bitmaps.pList; }

 signals:
  // Right before the "Uploading" dialog runs (tests watch it through this).
  void ProgressDialogStarted(CPrograss* dialog);

 private:
  ListBlock m_bitmaps;
  DetailsBlock m_details;
  QPushButton* m_pUpload = nullptr;
  QLabel* m_pWidthWarning = nullptr;
  bool m_bToFile = false;
  UploadResult m_eLastResult;
};

}  // namespace torva
