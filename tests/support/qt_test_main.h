// The main of the Qt Test executables: every named test class runs under one QApplication;
// with a class name as the first argument only that class runs (one ctest entry per
// class), the rest of the arguments go to QTest.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace torva::test {

using QtTestClasses =
    std::vector<std::pair<const char*, std::function<std::unique_ptr<QObject>()>>>;

// Offscreen and a private runtime folder (runtimeName under the temporary folder) unless
// the caller chose otherwise. With ignoreSigpipe, a peer that drops its end fails a write
// instead of ending the tests. Returns the exit code: 0 all passed, 1 failures, 2 no class
// of that name.
int RunQtTestClasses(int argc, char* argv[], const char* runtimeName,
                     const QtTestClasses& classes, bool ignoreSigpipe = false);

}  // namespace torva::test
