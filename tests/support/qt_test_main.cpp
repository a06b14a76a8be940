#include "support/qt_test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace torva::test {

int RunQtTestClasses(int argc, char* argv[], const char* runtimeName,
                     const QtTestClasses& classes, bool ignoreSigpipe) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.isEmpty()) {
    runtime = QDir::tempPath().toUtf8() + "/" + runtimeName;
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  QDir().mkpath(QString::fromUtf8(runtime));
  QFile::setPermissions(QString::fromUtf8(runtime),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  if (ignoreSigpipe) std::signal(SIGPIPE, SIG_IGN);
  QApplication app(argc, argv);

  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  int qtArgc = only != nullptr ? argc - 1 : argc;
  std::vector<char*> qtArgv(argv, argv + argc);
  if (only != nullptr) qtArgv.erase(qtArgv.begin() + 1);

  int failures = 0;
  int ran = 0;
  for (const auto& [name, make] : classes) {
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

}  // namespace torva::test
