// The connection dialog, the tool's main window: printer model, port and serial line
// parameters, the USB printer search, and OK, which stores the choice in the connection
// state and opens the main menu over this dialog. Cancel ends the program.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/last_connection.h"
#include "app/models.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace torva {

class IConnectionEnvironment;
class CNetworkDlg;

class CPortSettingDlg : public QDialog {
  Q_OBJECT
 public:
  // Builds the controls and runs OnInitDialog.
  explicit CPortSettingDlg(IConnectionEnvironment& env, QWidget* parent = nullptr);
  ~CPortSettingDlg() override;

  void OnInitDialog();
  void OnSelChangeDevice();
  void OnSelChangeDataLength();
  void OnOK();
  // "Check": the printer check on the chosen connection; the answer, or that none came,
  // goes to the status line. OK stays as it was whatever the outcome.
  void OnCheck();

  // How the dialogs this one opens are run: exec() unless a test installs its own.
  using ModalRunner = std::function<int(QDialog&)>;
  void SetModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }

  CNetworkDlg& NetworkDlg() { return *m_pNetwork; }
  IConnectionEnvironment& Environment() { return m_env; }

  static constexpr const char* kTitle = "TORVASet 1.09E";

  int m_nFamily = 0;
  PortKind m_nPortKind = PK_NONE;

 private:
  int RunModal(QDialog& dlg);
  void FillDeviceList();
  void EnableLineParameters(bool on);
  void FillBaudrates(int family);
  // The USB printer search for models ending in "II".
  void SearchUsbPrinter();
  // The serial line of a USB printer that presents itself as one, for the family.
  std::string FindUsbComPort(int family);
  // Takes the line parameters; false (after the message) at the first one not chosen.
  bool ReadLineParameters();
  void SetKoreanLabels();
  // The remembered connection: its model before the model's handler runs (unless a USB
  // printer that is present was pre-selected), its port and line parameters after.
  void RestoreLastModel();
  void RestoreLastLine();
  void SaveConfirmedConnection();
  // Tooltips that say why the port, the line parameters or OK are greyed out.
  void UpdateDisabledTips();

  IConnectionEnvironment& m_env;
  CNetworkDlg* m_pNetwork = nullptr;
  ModalRunner m_runModal;

  QComboBox* m_pDevice = nullptr;
  QComboBox* m_pPort = nullptr;
  QComboBox* m_pBaudrate = nullptr;
  QComboBox* m_pParity = nullptr;
  QComboBox* m_pDataLength = nullptr;
  QComboBox* m_pFlowControl = nullptr;
  QComboBox* m_pStopBit = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
  QPushButton* m_pCheck = nullptr;
  QLabel* m_pCheckStatus = nullptr;
  std::optional<LastConnection> m_lastConnection;
  std::vector<QLabel*> m_labels;  // DEVICE, PORT, Baudrate, Parity, Data Length, Flow, Stop
};

}  // namespace torva
