// The network connection dialog: the IP address and TCP port of an Ethernet or WiFi
// printer, the connection test on OK, and the way to the network settings (Ethernet) or
// the WiFi setting library (WiFi). One object lives in the connection dialog for the whole
// run; its address and accepted port serve every later connection.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "network/wifi_library.h"

class QLineEdit;
class QPushButton;
class QGroupBox;
class QLabel;

namespace torva {

class IConnectionEnvironment;

class CNetworkDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CNetworkDlg(IConnectionEnvironment& env, QWidget* parent = nullptr);
  ~CNetworkDlg() override;

  // Sets the boxes from the fields and the mode from the port name; run before each
  // showing, as the mode follows the port name of that moment.
  void OnInitDialog();
  // Takes the boxes, checks the port, tests the connection; ends the dialog with OK only
  // when the printer answered.
  void OnOK();
  // "Network Setting" in Ethernet mode; "Infrastructure" in WiFi mode.
  void OnFirstButton();
  // "Limited AP" in WiFi mode; "Reserved" (disabled) in Ethernet mode.
  void OnSecondButton();

  bool IsWifiMode() const { return m_bWifi; }

  // The dialog that "Network Setting" opens, once it exists; until one is set the button
  // stays disabled.
  using SettingLauncher = std::function<void(CNetworkDlg&)>;
  static void SetNetworkSettingLauncher(SettingLauncher launcher);
  // Replaces the WiFi library (tests point it at a stand-in).
  void SetWifiLibrary(std::unique_ptr<CWifiLibrary> library);

  IConnectionEnvironment& Environment() { return m_env; }

  std::string m_strIpAddress = "192.168.0.254";
  unsigned m_nPort = 6001;
  unsigned m_nAcceptedPort = 6001;

 private:
  void RunWifi(int operation);

  IConnectionEnvironment& m_env;
  std::unique_ptr<CWifiLibrary> m_pWifi;
  bool m_bWifi = false;
  QLineEdit* m_pIp = nullptr;
  QLineEdit* m_pPort = nullptr;
  QGroupBox* m_pSetting = nullptr;
  QPushButton* m_pFirst = nullptr;
  QPushButton* m_pSecond = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};

}  // namespace torva
