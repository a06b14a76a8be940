// Shared pieces of the User Setup dialog tests: fake services with the program's
// user-interface thread, a start directory with its settings file, a port object of
// the test's own, the simulator with its setup state file, and finding the dialog's controls.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/messages.h"
#include "app/services.h"
#include "ports/ports.h"
#include "setup/gui/user_setup_dlg.h"
#include "support/fake_services.h"
#include "support/qt_test_main.h"
#include "support/serial_settings.h"
#include "support/sim_process.h"
#include "ui/qt_user_interface.h"

namespace torva::test {

std::unique_ptr<QObject> MakeUserSetupDlgTest();
std::unique_ptr<QObject> MakeUserSetupCloseTest();

inline QtTestClasses SetupGuiTestClasses() {
  return {{"UserSetupDlgTest", MakeUserSetupDlgTest},
          {"UserSetupCloseTest", MakeUserSetupCloseTest}};
}

// The simulator's options for its user-setting state.
inline constexpr const char* kSimStateOut = "--settings-out";
inline constexpr const char* kSimStateIn = "--settings";

// Threads of this process now.
inline int ThreadCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

struct SetupFixture {
  explicit SetupFixture(int language = kLangEnglish) {
    fakes.system.m_nLanguage = language;
    fakes.system.m_strStartDir = dir.Path();
    theApp().InitPaths("torvaset");
    theMsg.SelectLanguage(language);
    InstallUiThread(&uiThread);
    g_strPortInfo = "TORVA20 - test line";
  }
  ~SetupFixture() {
    port.Close();
    port.JoinWatchThread();
    InstallUiThread(nullptr);
  }
  SetupFixture(const SetupFixture&) = delete;
  SetupFixture& operator=(const SetupFixture&) = delete;

  // The simulator on a pseudo-terminal and a free TCP port, its state written to a file.
  bool StartSim(const std::string& stateJson = {}, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--tcp-port", "0",         kSimStateOut,
                                  StatePath(),  "--capture", dir.File("capture.bin")};
    if (!stateJson.empty()) {
      WriteFileBytes(dir.File("state-in.json"), stateJson);
      args.insert(args.end(), {kSimStateIn, dir.File("state-in.json")});
    }
    args.insert(args.end(), extra.begin(), extra.end());
    if (!sim.Start(args)) return false;
    SetSerialSettings(port, sim.SerialPath());
    return true;
  }
  // Set Value reopens the line after the printer's restart wait, and an open purges the line:
  // with the fake clock's instant wait the write could be purged before the simulator read
  // it. Tests that write to the simulator wait for real.
  void UseRealClock() { InstallServices(nullptr, &realClock, nullptr); }
  std::string StatePath() const { return dir.File("state.json"); }
  std::string State() const { return ReadFileBytes(StatePath()); }
  // The simulator's stored value of setting a, or -1.
  long StateValue(int a) const {
    const std::string s = State();
    const std::string key = "\"" + std::to_string(a) + "\":";
    const size_t at = s.find(key);
    if (at == std::string::npos) return -1;
    return std::stol(s.substr(at + key.size()));
  }

  SetupConnection Serial() {
    SetupConnection c;
    c.eLink = ExchangeLink::Serial;
    c.pPort = &port;
    return c;
  }

  ScopedFakeServices fakes;
  ScopedTempDir dir{true};
  CSteadyClock realClock;
  CQtUiThread uiThread;  // the program's own
  CSimProcess sim;
  CPorts port;
};

template <typename T = QWidget>
T* Find(QWidget& dlg, const char* name) {
  T* w = dlg.findChild<T*>(name);
  if (w == nullptr) qFatal("no control named %s", name);
  return w;
}

inline void Click(QWidget& dlg, const char* name) {
  QTest::mouseClick(Find<QAbstractButton>(dlg, name), Qt::LeftButton);
}

inline bool Checked(QWidget& dlg, const char* name) {
  return Find<QAbstractButton>(dlg, name)->isChecked();
}

}  // namespace torva::test
