// The logo property sheet with its selection, preview and setup pages: the list from the
// LOGO section, remove and reset, the check boxes, the remembered row, the preview sizes
// and the printed preview, and the options with their texts and ranges.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/models.h"
#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/my_property.h"
#include "logo/gui/page1_selection.h"
#include "logo/gui/page2_preview.h"
#include "logo/gui/page3_upload.h"
#include "logo/gui/page4_print.h"
#include "logo/gui/page5_setup.h"
#include "logo/upload_job.h"
#include "logo_gui_fixture.h"

namespace torva::test {
namespace {

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(name);
  if (child == nullptr) qFatal("no child %s", name);
  return child;
}

QStringList Numbers(const CCheckListCtrl& list) {
  QStringList texts;
  for (int r = 0; r < list.RowCount(); ++r) texts << list.Text(r, 1).trimmed();
  return texts;
}

}  // namespace

class LogoSheetTest : public QObject {
  Q_OBJECT

  std::unique_ptr<LogoFixture> f;
  std::unique_ptr<CMyProperty> sheet;

  // The sheet as the menu opens it (without the modal run).
  CMyProperty& Open(int model = kModelGeneric) {
    f->port.m_nModel = model;
    theLogoOptions.SetSheetDefaults(model);
    LoadLogoSection(f->list);
    sheet = std::make_unique<CMyProperty>(f->list, f->connection);
    sheet->show();
    return *sheet;
  }
  std::vector<std::string> Bitmaps(int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
      paths.push_back(f->Bmp("logo" + std::to_string(i) + ".bmp", MakeGreyBmp(8 * i, 8, 0)));
    }
    return paths;
  }
  CCheckListCtrl& List1() { return *sheet->Selection()->List(); }

 private slots:
  void init() { f = std::make_unique<LogoFixture>(); }
  void cleanup() {
    sheet.reset();
    f.reset();
  }

  void opensWithTheSavedEntriesUpToTheFirstGap() {
    const auto paths = Bitmaps(5);
    f->WriteSettings("[LOGO]\r\nLogofile1=" + paths[0] + "\r\nLogofile2=" + paths[1] +
                     "\r\nLogofile3=" + paths[2] + "\r\nLogofile5=" + paths[4] + "\r\n");
    CMyProperty& s = Open();
    QCOMPARE(s.windowTitle(), QString("TORVASet : Kelmo Image Logo Setup"));
    QCOMPARE(s.Tabs()->count(), 5);
    const QStringList titles = {"Select Bitmap", "Preview Bitmap", "Upload Bitmap", "Print Bitmap",
                                "Setup"};
    for (int i = 0; i < 5; ++i) QCOMPARE(s.Tabs()->tabText(i), titles[i]);
    QCOMPARE(s.findChild<QDialogButtonBox*>()->buttons().size(), 2);
    QVERIFY(s.OkButton() != nullptr && s.CancelButton() != nullptr);
    QCOMPARE(s.ActivePage(), 0);
    QCOMPARE(QString(s.Page(0)->HelpTopic()), QString("Bitmap Selection"));
    QCOMPARE(Numbers(List1()), QStringList({"1", "2", "3"}));
    QCOMPARE(g_nLogoKeyCount, 3);
    QCOMPARE(Child<QLineEdit>(s.Selection(), "ImageCount")->text(), QString("  3 / 255"));
  }

  void aMissingFirstKeyGivesAnEmptyListThatIsNotLoaded() {
    const auto paths = Bitmaps(2);
    f->WriteSettings("[LOGO]\r\nLogofile2=" + paths[1] + "\r\n");
    QCOMPARE(LoadLogoSection(f->list), 0);
    QVERIFY(!g_logoSheet.bLoaded);
    CMyProperty& s = Open();
    QCOMPARE(List1().RowCount(), 0);
    QCOMPARE(Child<QLineEdit>(s.Selection(), "ImageCount")->text(), QString("  0 / 255"));
    QCOMPARE(Child<QLineEdit>(s.Selection(), "ImageSize")->text(), QString("  0 / 384 KByte"));
    QVERIFY(g_logoSheet.bLoaded);
  }

  void removeTakesEverySelectedRowAndFreesTheNumbers() {
    f->WriteLogoSection(Bitmaps(5));
    Open();
    List1().SelectRow(1);
    List1().SelectRow(4);
    f->fakes.ui.m_answers.push_back(true);
    Child<QPushButton>(sheet->Selection(), "Remove")->click();
    QCOMPARE(f->fakes.ui.Questions(), std::vector<std::string>({"Remove selected file?"}));
    QCOMPARE(Numbers(List1()), QStringList({"1", "3", "4"}));
    QCOMPARE(g_logoSheet.nRememberedRow, -1);
    QCOMPARE(Child<QLineEdit>(sheet->Selection(), "ImageCount")->text(), QString("  3 / 255"));

    // The freed numbers come back smallest first.
    f->fakes.ui.m_files.push_back({f->Bmp("new.bmp", MakeGreyBmp(8, 8, 0))});
    Child<QPushButton>(sheet->Selection(), "OpenFile")->click();
    QCOMPARE(Numbers(List1()), QStringList({"1", "3", "4", "2"}));
  }

  void removeWithoutASelectionSaysSo() {
    f->WriteLogoSection(Bitmaps(2));
    Open();
    Child<QPushButton>(sheet->Selection(), "Remove")->click();
    QCOMPARE(f->Messages(), std::vector<std::string>({theMsg[MsgId::BmpNotSelected]}));
    QVERIFY(f->fakes.ui.Questions().empty());
    QCOMPARE(List1().RowCount(), 2);
  }

  void resetBringsBackTheSavedEntries() {
    f->WriteLogoSection(Bitmaps(3));
    Open();
    List1().SelectRow(0);
    f->fakes.ui.m_answers = {true, false, true};
    Child<QPushButton>(sheet->Selection(), "Remove")->click();
    QCOMPARE(List1().RowCount(), 2);
    // Answered No: nothing changes.
    Child<QPushButton>(sheet->Selection(), "Reset")->click();
    QCOMPARE(List1().RowCount(), 2);
    Child<QPushButton>(sheet->Selection(), "Reset")->click();
    QCOMPARE(Numbers(List1()), QStringList({"1", "2", "3"}));
    QCOMPARE(f->fakes.ui.Questions().back(), std::string(theMsg[MsgId::ResetFileContinue]));
    QCOMPARE(Child<QLineEdit>(sheet->Selection(), "ImageCount")->text(), QString("  3 / 255"));
  }

  void resetWithNothingSavedShowsTheZeroTexts() {
    Open();
    f->fakes.ui.m_files.push_back({f->Bmp("a.bmp", MakeGreyBmp(16, 16, 0))});
    Child<QPushButton>(sheet->Selection(), "OpenFile")->click();
    QCOMPARE(List1().RowCount(), 1);
    f->fakes.ui.m_answers.push_back(true);
    Child<QPushButton>(sheet->Selection(), "Reset")->click();
    QCOMPARE(List1().RowCount(), 0);
    QCOMPARE(Child<QLineEdit>(sheet->Selection(), "ImageSize")->text(), QString("  0 / 384 KByte"));
    QCOMPARE(f->list.m_nTotalBytes, 0L);
  }

  void checkBoxesBecomeTheAutoCentreFlagsWhenThePageIsLeft() {
    f->WriteLogoSection(Bitmaps(3));
    Open();
    List1().SetChecked(1, true);
    QVERIFY(!theLogoOptions.abAutoCenter[1]);
    QVERIFY(sheet->SetActivePage(2));
    QVERIFY(!theLogoOptions.abAutoCenter[0]);
    QVERIFY(theLogoOptions.abAutoCenter[1]);
    QVERIFY(!theLogoOptions.abAutoCenter[2]);
    QVERIFY(sheet->SetActivePage(0));
    QVERIFY(List1().IsChecked(1));
    QVERIFY(!List1().IsChecked(0));
    // A header click keeps the ticks (they follow their rows).
    List1().OnColumnClick(1);
    QCOMPARE(Numbers(List1()), QStringList({"3", "2", "1"}));
    QVERIFY(List1().IsChecked(1));
    QVERIFY(sheet->SetActivePage(1));
    QVERIFY(theLogoOptions.abAutoCenter[1]);
    QVERIFY(!theLogoOptions.abAutoCenter[0]);
  }

  void theRememberedRowTravelsAndAHeaderClickClearsIt() {
    f->WriteLogoSection(Bitmaps(3));
    Open();
    List1().SelectRow(2);
    QCOMPARE(g_logoSheet.nRememberedRow, 2);
    QVERIFY(sheet->SetActivePage(1));
    CCheckListCtrl& list2 = *sheet->Preview()->List();
    QCOMPARE(list2.SelectedRows(), std::vector<int>({2}));
    QCOMPARE(g_logoSheet.nActivePage, 1);
    QVERIFY(list2.isColumnHidden(0));
    QVERIFY(sheet->SetActivePage(2));
    QCOMPARE(sheet->Upload()->List()->SelectedRows(), std::vector<int>({2}));
    sheet->Upload()->List()->OnColumnClick(2);
    QCOMPARE(g_logoSheet.nRememberedRow, -1);
  }

  void previewSizes_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("quality");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("wide normal") << 400 << 100 << 0 << QSize(150, 37);
    QTest::newRow("wide quadruple") << 400 << 100 << 1 << QSize(300, 74);
    QTest::newRow("wide double height") << 400 << 100 << 2 << QSize(150, 74);
    QTest::newRow("wide double width") << 400 << 100 << 3 << QSize(300, 37);
    QTest::newRow("square") << 64 << 64 << 0 << QSize(100, 100);
    QTest::newRow("tall") << 50 << 200 << 0 << QSize(25, 100);
    QTest::newRow("wide but high") << 300 << 250 << 0 << QSize(120, 100);
  }
  void previewSizes() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, quality);
    QFETCH(QSize, expected);
    QCOMPARE(CPage2Preview::PreviewSize(w, h, 300, 200, quality), expected);
  }

  void thePreviewDrawsTheRememberedImageAtTheChosenQuality() {
    f->WriteLogoSection({f->Bmp("wide.bmp", MakeGreyBmp(400, 100, 0))});
    Open();
    QVERIFY(sheet->SetActivePage(1));
    QCOMPARE(sheet->Preview()->DrawnSize(), QSize());
    sheet->Preview()->List()->SelectRow(0);
    QCOMPARE(g_logoSheet.nRememberedRow, 0);
    QCOMPARE(sheet->Preview()->DrawnSize(), QSize(150, 37));
    Child<QRadioButton>(sheet->Preview(), "QualityQuadruple")->click();
    QCOMPARE(sheet->Preview()->DrawnSize(), QSize(300, 74));
    Child<QRadioButton>(sheet->Preview(), "QualityDoubleWidth")->click();
    QCOMPARE(sheet->Preview()->DrawnSize(), QSize(300, 37));
  }

  void thePrintedPreviewShowsTheConvertedDots() {
    // Left half black, right half a mid grey that the threshold decides.
    const std::string path = f->Bmp("half.bmp", MakeBmp24(16, 8, [](int x, int) {
      return x < 8 ? 0x000000u : 0x7E7E7Eu;
    }));
    f->WriteLogoSection({path});
    Open();
    QVERIFY(sheet->SetActivePage(1));
    sheet->Preview()->List()->SelectRow(0);
    QVERIFY(sheet->Preview()->PrintedDots().isNull());
    Child<QCheckBox>(sheet->Preview(), "ShowPrinted")->click();
    QVERIFY(Child<QLabel>(sheet->Preview(), "PrintedPreview")->isVisible());
    QImage dots = sheet->Preview()->PrintedDots();
    QCOMPARE(dots.size(), QSize(16, 8));
    QCOMPARE(qGray(dots.pixel(0, 0)), 0);
    QCOMPARE(qGray(dots.pixel(8, 0)), 0);  // 126 is below the point of 128

    theLogoOptions.nThreshold = 0;  // the lightest setting doubles the brightness
    sheet->Preview()->DrawPreview();
    dots = sheet->Preview()->PrintedDots();
    QCOMPARE(qGray(dots.pixel(8, 0)), 255);
    QCOMPARE(qGray(dots.pixel(0, 0)), 0);

    theLogoOptions.nThreshold = 128;
    theLogoOptions.bGrayPrint = true;
    sheet->Preview()->DrawPreview();
    dots = sheet->Preview()->PrintedDots();
    QCOMPARE(qGray(dots.pixel(0, 0)), 0);
    const int grey = qGray(dots.pixel(12, 4));
    QVERIFY2(grey > 0 && grey < 255 && grey % 51 == 0, qPrintable(QString::number(grey)));
    // The options the page converted with are not the sheet's: nothing is centred.
    theLogoOptions.abAutoCenter[0] = true;
    theLogoOptions.bGrayPrint = false;
    sheet->Preview()->DrawPreview();
    QCOMPARE(sheet->Preview()->PrintedDots().width(), 16);
  }

  void greyPrintingMultipliesAndDividesTheSizes() {
    // 100 x 50 dots: 104 x 7 = 728 bytes; 200 x 40 dots: 200 x 5 = 1000 bytes.
    f->WriteLogoSection({f->Bmp("a.bmp", MakeGreyBmp(100, 50, 0)),
                         f->Bmp("b.bmp", MakeGreyBmp(200, 40, 0))});
    Open();
    QCOMPARE(List1().Text(0, 3).trimmed(), QString("728"));
    QVERIFY(sheet->SetActivePage(4));
    auto* grey = Child<QCheckBox>(sheet->Setup(), "GrayPrint");
    grey->click();
    QVERIFY(theLogoOptions.bGrayPrint);
    QCOMPARE(f->list.m_nTotalBytes, 6912L);
    QCOMPARE(f->list.m_strSizeText, std::string("  6 / 384 KByte"));
    QVERIFY(sheet->SetActivePage(0));
    QCOMPARE(List1().Text(0, 3).trimmed(), QString("2912"));
    QCOMPARE(List1().Text(1, 3).trimmed(), QString("4000"));
    QCOMPARE(Child<QLineEdit>(sheet->Selection(), "ImageSize")->text(), QString("  6 / 384 KByte"));
    // Still sortable by value.
    List1().OnColumnClick(3);
    QCOMPARE(List1().Text(0, 3).trimmed(), QString("4000"));

    QVERIFY(sheet->SetActivePage(4));
    grey->click();
    QCOMPARE(f->list.m_nTotalBytes, 1728L);
    // Divided down, not rounded up.
    QCOMPARE(f->list.m_strSizeText, std::string("  1 / 384 KByte"));
    QCOMPARE(QString::fromStdString(g_logoEntries.sizes[0]).trimmed(), QString("728"));
    QCOMPARE(QString::fromStdString(g_logoEntries.sizes[1]).trimmed(), QString("1000"));
  }

  void theTorva10StartsAt384DotsWithoutGrey() {
    Open(kModelTorva10);
    QVERIFY(sheet->SetActivePage(4));
    QCOMPARE(Child<QLineEdit>(sheet->Setup(), "MaxPrintArea")->text(), QString("384"));
    QVERIFY(!Child<QCheckBox>(sheet->Setup(), "GrayPrint")->isEnabled());
    QCOMPARE(theLogoOptions.nMaxPrintWidth, 384);
    cleanup();
    init();
    Open(kModelGeneric);
    QVERIFY(sheet->SetActivePage(4));
    QCOMPARE(Child<QLineEdit>(sheet->Setup(), "MaxPrintArea")->text(), QString("512"));
    QVERIFY(Child<QCheckBox>(sheet->Setup(), "GrayPrint")->isEnabled());
  }

  void printAllowedFor_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("serial") << "/dev/ttyS0" << true;
    QTest::newRow("COM") << "COM3" << true;
    QTest::newRow("parallel") << "/dev/lp0" << true;
    QTest::newRow("usb") << "USB" << true;
    QTest::newRow("ethernet") << "ETHERNET_II" << true;
    QTest::newRow("file") << "FILE" << false;
    QTest::newRow("wifi") << "WIFI" << false;
  }
  void printAllowedFor() {
    QFETCH(QString, port);
    QFETCH(bool, enabled);
    f->port.m_strPortName = port.toStdString();
    Open();
    QVERIFY(sheet->SetActivePage(3));
    QCOMPARE(Child<QPushButton>(sheet->Print(), "Print")->isEnabled(), enabled);
  }

  void printToFileSwitchesTheConnectionForThisSheet() {
    f->port.m_strPortName = "/dev/ttyS0";
    g_strPortInfo = "TORVA20 - /dev/ttyS0\r\nBaud : 115200";
    Open();
    QVERIFY(sheet->SetActivePage(4));
    QCOMPARE(Child<QLabel>(sheet->Setup(), "DeviceText")->text(),
             QString("TORVA20 - /dev/ttyS0\nBaud : 115200"));
    QCOMPARE(Child<QLabel>(sheet->Setup(), "AboutMaker")->text(), QString("Kelmo"));
    Child<QCheckBox>(sheet->Setup(), "PrintToFile")->click();
    QCOMPARE(f->port.m_strPortName, std::string("FILE"));
    QCOMPARE(Child<QLabel>(sheet->Setup(), "DeviceText")->text(), QString("FILE"));
    QVERIFY(sheet->SetActivePage(2));
    QCOMPARE(Child<QLineEdit>(sheet->Upload(), "PrinterName")->text(), QString("To File"));
    QCOMPARE(Child<QLineEdit>(sheet->Upload(), "PortName")->text(), QString("To File"));
    QVERIFY(sheet->Upload()->ToFile());
    QVERIFY(sheet->SetActivePage(3));
    QVERIFY(!Child<QPushButton>(sheet->Print(), "Print")->isEnabled());
    QVERIFY(sheet->SetActivePage(4));
    Child<QCheckBox>(sheet->Setup(), "PrintToFile")->click();
    QCOMPARE(f->port.m_strPortName, std::string("/dev/ttyS0"));
    QVERIFY(sheet->SetActivePage(3));
    QVERIFY(Child<QPushButton>(sheet->Print(), "Print")->isEnabled());
    QCOMPARE(Child<QLineEdit>(sheet->Print(), "PrinterName")->text(), QString("TORVA"));

    // Closed while printing to a file: the connection is the user's again.
    QVERIFY(sheet->SetActivePage(4));
    Child<QCheckBox>(sheet->Setup(), "PrintToFile")->click();
    sheet.reset();
    QCOMPARE(f->port.m_strPortName, std::string("/dev/ttyS0"));
  }

  void thresholdSliderAndEditFollowEachOther() {
    Open();
    QVERIFY(sheet->SetActivePage(4));
    auto* slider = Child<QSlider>(sheet->Setup(), "ThresholdSlider");
    auto* edit = Child<QLineEdit>(sheet->Setup(), "ThresholdEdit");
    QCOMPARE(slider->value(), 128);
    QCOMPARE(slider->maximum(), 255);
    slider->setValue(200);
    QCOMPARE(edit->text(), QString("200"));
    edit->clear();
    QTest::keyClicks(edit, "57");
    QCOMPARE(slider->value(), 57);
    Child<QCheckBox>(sheet->Setup(), "StarEmulation")->click();
    auto* area = Child<QLineEdit>(sheet->Setup(), "MaxPrintArea");
    area->setText("360");
    QVERIFY(sheet->SetActivePage(0));
    QCOMPARE(theLogoOptions.nThreshold, 57);
    QCOMPARE(theLogoOptions.nMaxPrintWidth, 360);
    QVERIFY(theLogoOptions.bStarEmulation);
  }

  void valuesOutOfRangeKeepThePage_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("area 0") << "MaxPrintArea" << "0" << "Please enter an integer between 1 and 512.";
    QTest::newRow("area 513") << "MaxPrintArea" << "513" << "Please enter an integer between 1 and 512.";
    QTest::newRow("area text") << "MaxPrintArea" << "abc" << "Please enter an integer between 1 and 512.";
    QTest::newRow("threshold 256") << "ThresholdEdit" << "256" << "Please enter an integer between 0 and 255.";
  }
  void valuesOutOfRangeKeepThePage() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    Open();
    QVERIFY(sheet->SetActivePage(4));
    Child<QLineEdit>(sheet->Setup(), qPrintable(field))->setText(value);
    QVERIFY(!sheet->SetActivePage(0));
    QCOMPARE(sheet->ActivePage(), 4);
    QCOMPARE(sheet->Tabs()->currentIndex(), 4);
    QCOMPARE(f->Messages(), std::vector<std::string>({message.toStdString()}));
    // OK is refused the same way.
    sheet->OkButton()->click();
    QVERIFY(sheet->isVisible());
  }

  void theTorva30NoticeOnOpening() {
    // Two images of 76800 bytes each: 150 KB, more than the TORVA30/35 holds.
    const std::string big = MakeGreyBmp(512, 1200, 0);
    f->WriteLogoSection({f->Bmp("big1.bmp", big), f->Bmp("big2.bmp", big)});
    Open(kModelTorva30);
    const auto messages = f->fakes.ui.Messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].text, std::string("TORVA30/35 NV graphic memory size is 128Kbytes."));
    QCOMPARE(messages[0].caption, std::string("Notice"));
    QVERIFY(sheet->SetActivePage(2));
    Child<QPushButton>(sheet->Upload(), "Upload")->click();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Refused);
    QVERIFY(f->fakes.ui.Questions().empty());
  }

  void koreanLabels() {
    f.reset();
    f = std::make_unique<LogoFixture>(kLangKorean);
    Open();
    QCOMPARE(sheet->Tabs()->tabText(0), QString("비트맵 선택"));
    QCOMPARE(Child<QPushButton>(sheet->Selection(), "OpenFile")->text(), QString("파일 열기(&O)..."));
    QVERIFY(sheet->SetActivePage(4));
    QCOMPARE(Child<QCheckBox>(sheet->Setup(), "GrayPrint")->text(), QString("그레이 인쇄 사용"));
    QCOMPARE(sheet->CancelButton()->text(), QString("취소"));
  }

  void theBundledSampleLogosLoadAndConvert() {
    const std::string dir = std::string(TORVA_SOURCE_DIR) + "/demo/logos/";
    f->WriteLogoSection(
        {dir + "shop_banner.bmp", dir + "grey_disc.bmp", dir + "coupon_mark.bmp"});
    Open();
    QCOMPARE(Numbers(List1()), QStringList({"1", "2", "3"}));
    QVERIFY(f->Messages().empty());
    QVERIFY(sheet->SetActivePage(1));
    Child<QCheckBox>(sheet->Preview(), "ShowPrinted")->click();
    for (int row = 0; row < 3; ++row) {
      sheet->Preview()->List()->clearSelection();
      sheet->Preview()->List()->SelectRow(row);
      QVERIFY(!sheet->Preview()->DrawnSize().isEmpty());
      QVERIFY(!sheet->Preview()->PrintedDots().isNull());
    }
    // The banner's frame is black: dots at its corner.
    sheet->Preview()->List()->clearSelection();
    sheet->Preview()->List()->SelectRow(0);
    QCOMPARE(qGray(sheet->Preview()->PrintedDots().pixel(1, 1)), 0);
  }

  void logoDownloadRunsTheSheetAndEmptiesTheTextsAfterwards() {
    f->WriteLogoSection(Bitmaps(2));
    theLogoOptions.bGrayPrint = true;  // left on by an earlier sheet
    QString title;
    int rows = -1;
    QTimer::singleShot(0, [&] {
      auto* modal = qobject_cast<CMyProperty*>(QApplication::activeModalWidget());
      if (modal == nullptr) return;
      title = modal->windowTitle();
      rows = modal->Selection()->List()->RowCount();
      modal->CancelButton()->click();
    });
    QCOMPARE(RunLogoDownload(f->connection), int(QDialog::Rejected));
    QCOMPARE(title, QString("TORVASet : Kelmo Image Logo Setup"));
    QCOMPARE(rows, 2);
    QCOMPARE(g_logoEntries.Count(), std::size_t{0});
    QVERIFY(!theLogoOptions.bGrayPrint);
  }
};

std::unique_ptr<QObject> MakeLogoSheetTest() { return std::make_unique<LogoSheetTest>(); }

}  // namespace torva::test

#include "logo_sheet_test.moc"
