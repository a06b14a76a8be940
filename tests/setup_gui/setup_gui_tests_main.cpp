// Runs the User Setup dialog test classes (see support/qt_test_main.h).
#include "setup_gui_fixture.h"

int main(int argc, char* argv[]) {
  // A simulator that drops its end must fail a write, not end the tests.
  return torva::test::RunQtTestClasses(argc, argv, "torva-setup-gui-tests-runtime",
                                       torva::test::SetupGuiTestClasses(), true);
}
