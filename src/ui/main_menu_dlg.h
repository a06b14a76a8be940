// The main menu: four buttons over the connection dialog. It records the chosen job in
// m_nFunction, builds g_strPortInfo each time it opens, and runs the job's dialog.
//
// A job's button is enabled only once that job's dialog has been registered with
// SetJobLauncher, so that the menu never offers a button that leads nowhere. User Setup is
// never offered for model code 2.
#pragma once

#include <QDialog>
#include <functional>

class QPushButton;

namespace torva {

class IConnectionEnvironment;

class CMainMenuDlg : public QDialog {
  Q_OBJECT
 public:
  // The jobs, by the code m_nFunction records; the TORVA10 line's firmware download has its
  // own dialog.
  enum Job { kJobLogo = 1, kJobUserSetup = 2, kJobFirmware = 3, kJobLegacyFirmware = 4 };
  // Runs the job's dialog modally over the menu and returns when it closed.
  using JobLauncher = std::function<void(CMainMenuDlg& menu)>;
  // An empty launcher removes the job again.
  static void SetJobLauncher(int job, JobLauncher launcher);

  explicit CMainMenuDlg(IConnectionEnvironment& env, QWidget* parent = nullptr);

  void OnInitDialog();
  void OnLogoDownload();
  void OnUserSetup();
  void OnFirmwareDownload();
  void OnBack();

  IConnectionEnvironment& Environment() { return m_env; }

 private:
  void RunJob(int job);

  IConnectionEnvironment& m_env;
  QPushButton* m_pLogo = nullptr;
  QPushButton* m_pUserSetup = nullptr;
  QPushButton* m_pFirmware = nullptr;
  QPushButton* m_pBack = nullptr;
};

}  // namespace torva
