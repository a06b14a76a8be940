// CPage5Setup, "Setup": the options that steer conversion and commands (LogoOptions):
// print to a file, the maximum printable area for auto centring, the black/white diverging
// point, grey printing and star emulation; the connection description and the about box.
// Closing the sheet with OK touches the printer once more (initialise and printer check)
// unless the output goes to a file.
#pragma once

#include <string>

#include "logo/gui/logo_page.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace torva {

class CPage5Setup : public CLogoPage {
  Q_OBJECT
 public:
  static constexpr int kMaxArea = 512;
  static constexpr int kCapacityKB = 384;

  CPage5Setup(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);
  ~CPage5Setup() override;

  void OnInitDialog() override;
  void OnSetActive() override;
  bool OnKillActive() override;
  void OnOK() override;

  void OnPrintToFile(bool checked);
  void OnGrayPrint(bool checked);
  void OnThresholdSlider(int position);
  void OnThresholdEdit(const QString& text);

  // The value of a numeric field when it lies in min..max; false (after the message)
  // otherwise, with the focus in the field.
  static bool ReadRange(QLineEdit& edit, int min, int max, int& value);

  bool m_bPrintToFile = false;
  int m_nMaxArea = kMaxArea;
  int m_nThreshold = 128;
  bool m_bStar = false;
  // The connection's port name when the page was initialised.
  std::string m_strSavedPortName;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The initialise and the printer check on the connection (not on a network printer).
  void TouchPrinter();
  void ShowDeviceText(const std::string& text);

  QCheckBox* m_pPrintToFile = nullptr;
  QGroupBox* m_pOptions = nullptr;
  QLabel* m_pAreaLabel = nullptr;
  QLineEdit* m_pArea = nullptr;
  QLabel* m_pAreaNote = nullptr;
  QLabel* m_pThresholdLabel = nullptr;
  QSlider* m_pSlider = nullptr;
  QLineEdit* m_pThreshold = nullptr;
  QCheckBox* m_pGray = nullptr;
  QCheckBox* m_pStar = nullptr;
  QGroupBox* m_pDevice = nullptr;
  QLabel* m_pDeviceText = nullptr;
  QGroupBox* m_pAbout = nullptr;
  QLabel* m_pAboutName = nullptr;
  QLabel* m_pAboutMaker = nullptr;
};

}  // namespace torva
