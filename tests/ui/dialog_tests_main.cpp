// Runs the dialog test classes (see support/qt_test_main.h).
#include "dialog_tests.h"
#include "support/qt_test_main.h"

int main(int argc, char* argv[]) {
  return torva::test::RunQtTestClasses(argc, argv, "torva-ui-tests-runtime",
                                       torva::test::DialogTestClasses());
}
