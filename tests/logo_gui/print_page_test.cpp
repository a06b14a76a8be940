// The print page and the "Printing" dialog against the simulator: all 255 numbers, the
// selection texts accepted and refused, the header line, the sizes, star emulation, the
// printer check over a serial line, and Cancel.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "logo/gui/my_property.h"
#include "logo/gui/page4_print.h"
#include "logo/gui/print_progress_dlg.h"
#include "logo/print_job.h"
#include "logo_gui_fixture.h"
#include "network/printer_socket.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

Bytes Prints(const std::vector<int>& numbers, int mode = 0) {
  Bytes b;
  for (int n : numbers) {
    b.insert(b.end(), {0x1C, 0x70, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(mode)});
  }
  return b;
}

}  // namespace

class PrintPageTest : public QObject {
  Q_OBJECT

  std::unique_ptr<LogoFixture> f;
  std::unique_ptr<CMyProperty> sheet;
  std::unique_ptr<CSimProcess> sim;
  std::unique_ptr<CPrinterSocket> socket;
  std::string capture;

  // The simulator over TCP (serial false) or over its pseudo-terminal.
  void StartPrinter(bool serial = false) {
    sim = std::make_unique<CSimProcess>();
    capture = f->dir.File("capture.bin");
    std::vector<std::string> args = {"--capture", capture};
    if (!serial) args.insert(args.end(), {"--no-serial", "--tcp-port", "0"});
    QVERIFY2(sim->Start(args), sim->Error().c_str());
    if (serial) {
      f->SetSerial(sim->SerialPath());
      return;
    }
    socket = std::make_unique<CPrinterSocket>();
    f->port.m_strPortName = "ETHERNET_II";
    f->connection.pSocket = socket.get();
    f->connection.strIpAddress = "127.0.0.1";
    f->connection.nTcpPort = sim->TcpPort();
  }
  CPage4Print& Page() {
    if (!sheet) {
      theLogoOptions.SetSheetDefaults(1);
      sheet = std::make_unique<CMyProperty>(f->list, f->connection);
      sheet->show();
    }
    if (sheet->ActivePage() != 3) sheet->SetActivePage(3);
    return *sheet->Print();
  }
  template <typename T>
  T* Get(const char* name) {
    return Page().findChild<T*>(name);
  }
  void PrintSelection(const QString& text) {
    Get<QRadioButton>("RangeSelection")->click();
    Get<QLineEdit>("SelectionText")->setText(text);
    Get<QPushButton>("Print")->click();
  }

 private slots:
  void initTestCase() { CPrintProgressDlg::SetTimerPeriodMs(1); }
  void cleanupTestCase() { CPrintProgressDlg::SetTimerPeriodMs(0); }
  void init() { f = std::make_unique<LogoFixture>(); }
  void cleanup() {
    sheet.reset();
    socket.reset();
    sim.reset();
    f.reset();
  }

  void allSendsTheNumbers1To255() {
    StartPrinter();
    QString status;
    connect(&Page(), &CPage4Print::PrintDialogStarted, this, [&status](CPrintProgressDlg* dlg) {
      connect(dlg, &QDialog::finished, dlg, [dlg, &status] { status = dlg->StatusText(); });
    });
    QVERIFY(Get<QRadioButton>("RangeAll")->isChecked());
    Get<QPushButton>("Print")->click();
    QCOMPARE(Page().LastResult(), PrintResult::Printed);
    std::vector<int> all;
    for (int n = 1; n <= 255; ++n) all.push_back(n);
    const Bytes expected = Prints(all);
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QCOMPARE(status, QString("Printing... 255/255"));
    QCOMPARE(f->fakes.clock.Waits().back(), 1000);
  }

  void selectionTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("numbers");
    QTest::newRow("ranges and singles") << "1-3,7" << std::vector<int>{1, 2, 3, 7};
    QTest::newRow("open end") << "250-" << std::vector<int>{250, 251, 252, 253, 254, 255};
    QTest::newRow("open start") << "-2" << std::vector<int>{1, 2};
    QTest::newRow("reversed") << "5-3" << std::vector<int>{3, 4, 5};
    QTest::newRow("outer commas") << ",3," << std::vector<int>{3};
    QTest::newRow("twice") << "2,2" << std::vector<int>{2, 2};
  }
  void selectionTexts() {
    QFETCH(QString, text);
    QFETCH(std::vector<int>, numbers);
    StartPrinter();
    PrintSelection(text);
    QCOMPARE(Page().LastResult(), PrintResult::Printed);
    const Bytes expected = Prints(numbers);
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QVERIFY(f->Messages().empty());
  }

  void refusedSelectionTexts_data() {
    QTest::addColumn<QString>("text");
    for (const char* t : {"0", "256", "1,,2", "1--2", "a", "", ",", "3-300"}) {
      QTest::newRow(*t != '\0' ? t : "empty") << QString(t);
    }
  }
  void refusedSelectionTexts() {
    QFETCH(QString, text);
    StartPrinter();
    PrintSelection(text);
    QCOMPARE(Page().LastResult(), PrintResult::InvalidRange);
    QCOMPARE(f->Messages(), std::vector<std::string>({theMsg[MsgId::NvImageNumberIncorrect]}));
    QTest::qWait(50);
    QCOMPARE(ReadFileBytes(capture), std::string());
  }

  void theHeaderLineComesBeforeEachPrint() {
    StartPrinter();
    Get<QRadioButton>("AddHeader")->click();
    Get<QRadioButton>("ModeDoubleHeight")->click();
    PrintSelection("7");
    Bytes expected = ToBytes("--- Logo 7 ---\n");
    QCOMPARE(expected.size(), std::size_t{15});
    const Bytes print = Prints({7}, 2);
    expected.insert(expected.end(), print.begin(), print.end());
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
  }

  void theSizesAreTheModeByte_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("normal") << "ModeNormal" << 0;
    QTest::newRow("double width") << "ModeDoubleWidth" << 1;
    QTest::newRow("double height") << "ModeDoubleHeight" << 2;
    QTest::newRow("quadruple") << "ModeQuadruple" << 3;
  }
  void theSizesAreTheModeByte() {
    QFETCH(QString, button);
    QFETCH(int, mode);
    StartPrinter();
    Get<QRadioButton>(qPrintable(button))->click();
    PrintSelection("4");
    const Bytes expected = Prints({4}, mode);
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
  }

  void starEmulationPutsEscInFront() {
    StartPrinter();
    Page();
    QVERIFY(sheet->SetActivePage(4));
    sheet->findChild<QAbstractButton*>("StarEmulation")->click();
    QVERIFY(sheet->SetActivePage(3));
    QVERIFY(theLogoOptions.bStarEmulation);
    Get<QRadioButton>("ModeDoubleHeight")->click();
    PrintSelection("2");
    const Bytes expected = {0x1B, 0x1C, 0x70, 0x02, 0x02};
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
  }

  void aSerialPrinterIsCheckedAndInitialisedFirst() {
    StartPrinter(true);
    PrintSelection("1");
    const Bytes expected = {0x1D, 0x49, 0x01, 0x1B, 0x40, 0x1C, 0x70, 0x01, 0x00};
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QVERIFY(!f->port.m_bConnected);
  }

  void theSelectionFieldChoosesSelection() {
    StartPrinter();
    QVERIFY(Get<QRadioButton>("RangeAll")->isChecked());
    QFocusEvent focus(QEvent::FocusIn);
    QCoreApplication::sendEvent(Get<QLineEdit>("SelectionText"), &focus);
    QVERIFY(Get<QRadioButton>("RangeSelection")->isChecked());
    QCOMPARE(Page().m_nRange, 1);
    Get<QRadioButton>("RangeAll")->click();
    QCOMPARE(Page().m_nRange, 0);
  }

  void cancelStopsThePrints() {
    StartPrinter();
    connect(&Page(), &CPage4Print::PrintDialogStarted, this, [](CPrintProgressDlg* dlg) {
      connect(dlg, &CPrintProgressDlg::Printed, dlg, [dlg](int printed) {
        if (printed == 3) dlg->findChild<QPushButton*>("Cancel")->click();
      });
    });
    Get<QPushButton>("Print")->click();
    QCOMPARE(Page().LastResult(), PrintResult::Cancelled);
    const Bytes expected = Prints({1, 2, 3});
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QTest::qWait(50);
    QCOMPARE(ToBytes(ReadFileBytes(capture)), expected);
  }
};

std::unique_ptr<QObject> MakePrintPageTest() { return std::make_unique<PrintPageTest>(); }

}  // namespace torva::test


#include "print_page_test.moc"
