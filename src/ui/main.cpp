// torvaset: the desktop tool. The connection dialog is the main window; the program ends
// when it is cancelled.
#include <QApplication>
#include <QIcon>
#include <string>

#include "app/app.h"
#include "app/platform.h"
#include "app/services.h"
#include "firmware/gui/fw_update_dlg.h"
#include "firmware/gui/legacy_fw_dlg.h"
#include "logo/gui/my_property.h"
#include "network/gui/network_setting_dlg.h"
#include "ports/ports.h"
#include "setup/gui/user_setup_dlg.h"
#include "ui/dialog_font.h"
#include "ui/main_menu_dlg.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"
#include "ui/qt_user_interface.h"
#include "ui/system_connection_env.h"

namespace {

// The address a network printer is reached at: the one the network connection dialog (inside
// the connection dialog, the menu's parent) accepted.
void NetworkAddressOf(torva::CMainMenuDlg& menu, std::string& ipAddress, int& tcpPort) {
  if (auto* owner = qobject_cast<torva::CPortSettingDlg*>(menu.parentWidget())) {
    ipAddress = owner->NetworkDlg().m_strIpAddress;
    tcpPort = static_cast<int>(owner->NetworkDlg().m_nAcceptedPort);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  // A printer that drops its end of a line or socket must never end the program.
  torva::IgnoreBrokenPipe();
  QApplication app(argc, argv);
  QApplication::setApplicationName("TORVASet");
  torva::ApplyDialogFont(app);

  torva::CQtUserInterface ui;
  torva::InstallServices(&ui, nullptr, nullptr);
  // Messages and hand-overs from the reader threads are shown and applied on this thread.
  torva::CQtUiThread uiThread;
  torva::InstallUiThread(&uiThread);
  torva::CSystemConnectionEnvironment env;
  torva::CNetworkDlg::SetNetworkSettingLauncher(
      [](torva::CNetworkDlg& dlg) { torva::RunNetworkSettingDlg(dlg); });
  // Logo Download: the sheet reaches network printers at the address the network
  // connection dialog (inside the connection dialog, the menu's parent) accepted.
  torva::CMainMenuDlg::SetJobLauncher(
      torva::CMainMenuDlg::kJobLogo, [&env](torva::CMainMenuDlg& menu) {
        torva::LogoConnection connection;
        connection.pPort = &torva::thePort;
        connection.pSocket = env.PrinterSocket();
        NetworkAddressOf(menu, connection.strIpAddress, connection.nTcpPort);
        torva::RunLogoDownload(connection, &menu);
      });

  // User Setup: serial, USB and file lines through thePort, a parallel port by its name, a
  // network printer at the address the network connection dialog accepted.
  torva::CMainMenuDlg::SetJobLauncher(
      torva::CMainMenuDlg::kJobUserSetup, [&env](torva::CMainMenuDlg& menu) {
        torva::SetupConnection connection;
        const torva::ConnectionSettings& settings = env.Connection();
        connection.eLink = torva::ExchangeLinkOfPort(settings.m_strPortName);
        connection.pPort = &torva::thePort;
        connection.strParallelPath = settings.m_strPortName;
        connection.pSocket = env.PrinterSocket();
        NetworkAddressOf(menu, connection.strIpAddress, connection.nTcpPort);
        torva::RunUserSetup(settings.m_nModel, connection, &menu);
      });

  // Firmware Download: the F/W Update dialog, or the TORVA10 line's own downloader. A
  // network printer is reached at the address the network connection dialog accepted.
  torva::CMainMenuDlg::SetJobLauncher(
      torva::CMainMenuDlg::kJobFirmware, [&env](torva::CMainMenuDlg& menu) {
        torva::FwUpdateConnection connection;
        connection.pPort = &torva::thePort;
        connection.pSocket = env.PrinterSocket();
        NetworkAddressOf(menu, connection.strIpAddress, connection.nTcpPort);
        torva::CFwUpdateDlg dlg(connection, &menu);
        dlg.exec();
      });
  torva::CMainMenuDlg::SetJobLauncher(torva::CMainMenuDlg::kJobLegacyFirmware,
                                      [](torva::CMainMenuDlg& menu) {
                                        torva::CLegacyFwDlg dlg(&menu);
                                        dlg.exec();
                                      });

  torva::theApp().Start(
      argc > 0 ? argv[0] : "torvaset",
      [&env] {
        torva::CPortSettingDlg dlg(env);
        QApplication::setWindowIcon(dlg.windowIcon());
        return dlg.exec() == QDialog::Accepted;
      },
      [&env] {
        if (env.PortConnected()) env.ClosePort();
      });
  torva::InstallUiThread(nullptr);
  return 0;
}
