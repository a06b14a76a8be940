// Shared pieces of the dialog tests: the test classes by name, and the fixture every test
// builds (fake services, a temporary start directory with its settings file, a scripted
// connection environment).
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "scripted_env.h"
#include "support/fake_services.h"
#include "support/qt_test_main.h"

namespace torva::test {

std::unique_ptr<QObject> MakePortSettingDlgTest();
std::unique_ptr<QObject> MakeMainMenuDlgTest();
std::unique_ptr<QObject> MakeNetworkDlgTest();
std::unique_ptr<QObject> MakeQtServicesTest();
std::unique_ptr<QObject> MakeDemoFlowTest();
std::unique_ptr<QObject> MakeConnectionAidsTest();

inline QtTestClasses DialogTestClasses() {
  return {{"PortSettingDlgTest", MakePortSettingDlgTest},
          {"MainMenuDlgTest", MakeMainMenuDlgTest},
          {"NetworkDlgTest", MakeNetworkDlgTest},
          {"QtServicesTest", MakeQtServicesTest},
          {"DemoFlowTest", MakeDemoFlowTest},
          {"ConnectionAidsTest", MakeConnectionAidsTest}};
}

struct DialogFixture {
  explicit DialogFixture(int language = kLangEnglish) {
    fakes.system.m_nLanguage = language;
    fakes.system.m_strStartDir = dir.Path();
    theApp().InitPaths("torvaset");
    theMsg.SelectLanguage(language);
  }
  ~DialogFixture() { theLog.CloseLog(); }
  DialogFixture(const DialogFixture&) = delete;
  DialogFixture& operator=(const DialogFixture&) = delete;

  void WriteSettings(const std::string& text) { WriteFileBytes(dir.File("torvaset.INI"), text); }
  std::vector<std::string> Messages() const { return fakes.ui.MessageTexts(); }

  ScopedFakeServices fakes;
  ScopedTempDir dir{true};
  CScriptedEnvironment env;
};

}  // namespace torva::test
