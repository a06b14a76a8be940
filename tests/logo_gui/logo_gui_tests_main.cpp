// Runs the logo dialog test classes (see support/qt_test_main.h).
#include "logo_gui_fixture.h"
#include "support/qt_test_main.h"

int main(int argc, char* argv[]) {
  // A simulator that drops its end must fail a write, not end the tests.
  return torva::test::RunQtTestClasses(argc, argv, "torva-logo-gui-tests-runtime",
                                       torva::test::LogoTestClasses(), true);
}
