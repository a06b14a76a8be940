// Logos wider than the model's paper: the preview tells each picture's size in dots, and the
// upload and print pages warn before anything is sent, while the bytes sent stay the same.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/models.h"
#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/my_property.h"
#include "logo/gui/page2_preview.h"
#include "logo/gui/page3_upload.h"
#include "logo/gui/page4_print.h"
#include "logo/upload_job.h"
#include "logo_gui_fixture.h"

namespace torva::test {

class WidthWarningTest : public QObject {
  Q_OBJECT

  std::unique_ptr<LogoFixture> f;
  std::unique_ptr<CMyProperty> sheet;

  QLabel* Warning(QWidget* page) { return page->findChild<QLabel*>("WidthWarning"); }

 private slots:
  void init() { f = std::make_unique<LogoFixture>(); }
  void cleanup() {
    sheet.reset();
    f.reset();
  }

  void widePicturesAreWarnedAbout_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("uploadWarns");
    QTest::addColumn<bool>("printWarns");
    QTest::addColumn<QString>("dotSize");
    QTest::newRow("600 on 512")
        << int{kModelTorva40} << 600 << "ModeNormal" << true << true
        << "600 x 8 dots - prints 600 dots across, wider than the 512 dots of the paper";
    QTest::newRow("512 fits") << int{kModelTorva40} << 512 << "ModeNormal" << false << false
                              << "512 x 8 dots";
    QTest::newRow("300 doubled") << int{kModelTorva40} << 300 << "ModeDoubleWidth" << false << true
                                 << "300 x 8 dots";
    QTest::newRow("300 taller") << int{kModelTorva40} << 300 << "ModeDoubleHeight" << false << false
                                << "300 x 8 dots";
    QTest::newRow("300 quadruple")
        << int{kModelTorva40} << 300 << "ModeQuadruple" << false << true << "300 x 8 dots";
    QTest::newRow("400 on TORVA10")
        << int{kModelTorva10} << 400 << "ModeNormal" << true << true
        << "400 x 8 dots - prints 400 dots across, wider than the 384 dots of the paper";
  }

  void widePicturesAreWarnedAbout() {
    QFETCH(int, model);
    QFETCH(int, width);
    QFETCH(QString, mode);
    QFETCH(bool, uploadWarns);
    QFETCH(bool, printWarns);
    QFETCH(QString, dotSize);
    f->port.m_nModel = model;
    f->port.m_strPortName = "/dev/ttyS0";  // printing is offered; nothing is sent here
    QVERIFY(f->list.AddBitmap(f->Bmp("wide.bmp", MakeGreyBmp(width, 8, 0)), 3));
    g_logoSheet.bLoaded = true;
    theLogoOptions.SetSheetDefaults(model);
    sheet = std::make_unique<CMyProperty>(f->list, f->connection);
    sheet->show();

    QVERIFY(sheet->SetActivePage(1));
    sheet->Preview()->List()->SelectRow(0);
    QCOMPARE(sheet->Preview()->findChild<QLabel*>("DotSize")->text(), dotSize);

    QVERIFY(sheet->SetActivePage(2));
    QLabel* upload = Warning(sheet->Upload());
    QCOMPARE(upload->isVisible(), uploadWarns);
    if (uploadWarns) {
      QVERIFY2(upload->text().contains(QString("3 wide.bmp %1 dots").arg(width)),
               qPrintable(upload->text()));
    }

    QVERIFY(sheet->SetActivePage(3));
    sheet->Print()->findChild<QRadioButton*>(mode)->click();
    QLabel* print = Warning(sheet->Print());
    QCOMPARE(print->isVisible(), printWarns);
    QCOMPARE(
        print->text().contains(QString("than the %1 dots").arg(model == kModelTorva10 ? 384 : 512)),
        printWarns);
  }

  // The warning is only a warning: a wide logo is uploaded with the same bytes as always.
  void aWarnedUploadSendsTheImageUnchanged() {
    f->port.m_nModel = kModelTorva40;
    const std::string out = f->dir.File("out.prn");
    QVERIFY(f->list.AddBitmap(f->Bmp("wide.bmp", MakeGreyBmp(600, 8, 0)), 1));
    g_logoSheet.bLoaded = true;
    theLogoOptions.SetSheetDefaults(6);
    sheet = std::make_unique<CMyProperty>(f->list, f->connection);
    sheet->show();
    QVERIFY(sheet->SetActivePage(2));
    QVERIFY(Warning(sheet->Upload())->isVisible());
    f->fakes.ui.m_answers.push_back(true);
    f->fakes.ui.m_printNames.push_back(out);
    QTest::mouseClick(sheet->Upload()->findChild<QPushButton*>("Upload"), Qt::LeftButton);
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    // Define one image: its header (600 dots = 75 bytes across, one 8-dot row), then the dots.
    Bytes expected = {0x1C, 0x71, 0x01, 75, 0, 1, 0};
    expected.insert(expected.end(), 600, 0xFF);
    QCOMPARE(ToBytes(ReadFileBytes(out)), expected);
  }
};

std::unique_ptr<QObject> MakeWidthWarningTest() { return std::make_unique<WidthWarningTest>(); }

}  // namespace torva::test

#include "width_warning_test.moc"
