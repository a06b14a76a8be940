// torvaset: the desktop tool. The connection dialog is the main window; the program ends
// when it is cancelled.
#include <QApplication>
#include <QIcon>
#include <csignal>

#include "app/app.h"
#include "app/services.h"
#include "network/gui/network_setting_dlg.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"
#include "ui/qt_user_interface.h"
#include "ui/system_connection_env.h"

int main(int argc, char* argv[]) {
#ifdef SIGPIPE
  // A printer that drops its end of a line or socket must never end the program.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  QApplication app(argc, argv);
  QApplication::setApplicationName("TORVASet");

  torva::CQtUserInterface ui;
  torva::InstallServices(&ui, nullptr, nullptr);
  torva::CSystemConnectionEnvironment env;
  torva::CNetworkDlg::SetNetworkSettingLauncher(
      [](torva::CNetworkDlg& dlg) { torva::RunNetworkSettingDlg(dlg); });

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
  return 0;
}
