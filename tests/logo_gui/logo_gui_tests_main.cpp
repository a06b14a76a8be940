// Runs the logo dialog test classes under one QApplication; with a class name as the first
// argument only that class runs (one ctest entry per class), the rest goes to QTest.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include "logo_gui_fixture.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.isEmpty()) {
    runtime = QDir::tempPath().toUtf8() + "/torva-logo-gui-tests-runtime";
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  QDir().mkpath(QString::fromUtf8(runtime));
  QFile::setPermissions(QString::fromUtf8(runtime),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  // A simulator that drops its end must fail a write, not end the tests.
  std::signal(SIGPIPE, SIG_IGN);
  QApplication app(argc, argv);

  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  int qtArgc = only != nullptr ? argc - 1 : argc;
  std::vector<char*> qtArgv(argv, argv + argc);
  if (only != nullptr) qtArgv.erase(qtArgv.begin() + 1);

  int failures = 0;
  int ran = 0;
  for (const auto& [name, make] : torva::test::LogoTestClasses()) {
    if (only != nullptr && std::strcmp(only, name) != 0) continue;
    std::unique_ptr<QObject> tests = make();
    failures += QTest::qExec(tests.get(), qtArgc, qtArgv.data());
    ++ran;
  }
  if (ran == 0) {
    std::fprintf(stderr, "no test class named %s\n", only);
    return 2;
  }
  return failures == 0 ? 0 : 1;
}
