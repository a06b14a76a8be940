// The Qt services: the file-filter conversion and the Print to File prompt.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialog_tests.h"
#include "ui/qt_user_interface.h"

namespace torva::test {

class QtServicesTest : public QObject {
  Q_OBJECT
 private slots:
  void fileFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one") << "Bitmap Files(*.bmp)|*.bmp||" << "Bitmap Files(*.bmp) (*.bmp)";
    QTest::newRow("two") << "Firmware(*.bin;*.hex)|*.bin;*.hex|All Files(*.*)|*.*||"
                         << "Firmware(*.bin;*.hex) (*.bin *.hex);;All Files(*.*) (*)";
    QTest::newRow("no end mark") << "Logs|*.log" << "Logs (*.log)";
    QTest::newRow("empty") << "" << "";
  }

  void fileFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(QtFileFilter(filter.toStdString()), expected);
  }

  void printToFilePrompt() {
    CPrintToFileDlg dlg;
    QCOMPARE(dlg.findChild<QLabel*>("FileNameLabel")->text(), QString("Input the output file name"));
    QTimer::singleShot(0, &dlg, [&dlg] {
      QTest::keyClicks(dlg.Edit(), "out.prn");
      QTest::mouseClick(dlg.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dlg.FileName(), QString("out.prn"));
  }
};

std::unique_ptr<QObject> MakeQtServicesTest() { return std::make_unique<QtServicesTest>(); }

}  // namespace torva::test

#include "qt_user_interface_test.moc"
