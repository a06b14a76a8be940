// CPage4Print, "Print Bitmap": prints NV images stored in the printer, all 255 numbers or
// a typed selection ("1-3,7"), at one of four sizes, optionally each after a header line,
// through the "Printing" dialog. The print job owns the connection and the selection rules.
#pragma once

#include <string>

#include "logo/gui/logo_page.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace torva {

class CPrintProgressDlg;
enum class PrintResult;

class CPage4Print : public CLogoPage {
  Q_OBJECT
 public:
  CPage4Print(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnSetActive() override;
  void OnPrint();
  // The selection field got the focus, or "Selection" was chosen (then the focus moves
  // into the field).
  void OnSelectionFocus();
  void OnSelectionChosen();

  int m_nRange = 0;   // 0 All, 1 Selection
  int m_nMode = 0;    // the m byte of the print command
  int m_nHeader = 0;  // 1: add the header line
  std::string SelectionText() const;
  PrintResult LastResult() const { return m_eLastResult; }

 signals:
  void PrintDialogStarted(CPrintProgressDlg* dialog);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QGroupBox* m_pRangeGroup = nullptr;
  QRadioButton* m_pAll = nullptr;
  QRadioButton* m_pSelection = nullptr;
  QLineEdit* m_pSelectionText = nullptr;
  QGroupBox* m_pModeGroup = nullptr;
  QButtonGroup* m_pModes = nullptr;
  QRadioButton* m_apMode[4] = {};
  QGroupBox* m_pHeaderGroup = nullptr;
  QButtonGroup* m_pHeaders = nullptr;
  QRadioButton* m_pNoHeader = nullptr;
  QRadioButton* m_pAddHeader = nullptr;
  DetailsBlock m_details;
  QPushButton* m_pPrint = nullptr;
  QLabel* m_pWidthWarning = nullptr;
  PrintResult m_eLastResult;
};

}  // namespace torva
