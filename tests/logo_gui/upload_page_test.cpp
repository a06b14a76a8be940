// The upload page and the "Uploading" dialog: the define stream in ascending number order,
// the LOGO section rewritten after a complete upload only, cancels, the erase of an empty
// list; to a file, to the simulator over a pseudo-terminal and over TCP, and a printer that
// vanishes mid-upload. Also the printer touch of the setup page when the sheet closes.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>

#include "logo/gui/check_list_ctrl.h"
#include "logo/gui/my_property.h"
#include "logo/gui/page1_selection.h"
#include "logo/gui/page3_upload.h"
#include "logo/gui/page5_setup.h"
#include "logo/gui/prograss_dlg.h"
#include "logo/upload_job.h"
#include "logo_gui_fixture.h"
#include "network/printer_socket.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

// The define bytes of a black image w x 8 dots: its header and one all-dots byte a column.
Bytes BlackImage(int width) {
  Bytes b = {static_cast<std::uint8_t>(width / 8), 0, 1, 0};
  b.insert(b.end(), static_cast<std::size_t>(width), 0xFF);
  return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Passes every wait on to the fake clock and, when the erase pause begins, notes what the
// "Uploading" dialog shows at that moment.
class CErasePauseProbe final : public IClock {
 public:
  explicit CErasePauseProbe(IClock& inner) : m_inner(inner) {}
  std::chrono::steady_clock::time_point Now() override { return m_inner.Now(); }
  void SleepMs(int ms) override {
    if (ms == CUploadEngine::kEraseWaitMs && m_pDialog != nullptr && !m_bSeen) {
      m_bSeen = true;
      QWindow* window = m_pDialog->windowHandle();
      m_bExposed = window != nullptr && window->isExposed();
      m_strStatus = m_pDialog->StatusText();
    }
    m_inner.SleepMs(ms);
  }
  CPrograss* m_pDialog = nullptr;
  bool m_bSeen = false;
  bool m_bExposed = false;
  QString m_strStatus;

 private:
  IClock& m_inner;
};

}  // namespace

class UploadPageTest : public QObject {
  Q_OBJECT

  std::unique_ptr<LogoFixture> f;
  std::unique_ptr<CMyProperty> sheet;
  std::string outFile;

  // A list built as the pages build it: entry numbers as given.
  void Add(const std::string& name, int width, int number) {
    QVERIFY(f->list.AddBitmap(f->Bmp(name, MakeGreyBmp(width, 8, 0)), number));
    g_logoSheet.bLoaded = true;
  }
  CMyProperty& Open() {
    theLogoOptions.SetSheetDefaults(f->port.m_nModel);
    sheet = std::make_unique<CMyProperty>(f->list, f->connection);
    sheet->show();
    return *sheet;
  }
  // Upload answered Yes; a "FILE" port writes outFile.
  void ClickUpload(bool yes = true) {
    if (!sheet) Open();
    QVERIFY(sheet->SetActivePage(2));
    f->fakes.ui.m_answers.push_back(yes);
    f->fakes.ui.m_printNames.push_back(outFile);
    QTest::mouseClick(sheet->Upload()->findChild<QPushButton*>("Upload"), Qt::LeftButton);
  }
  // Runs fn on the "Uploading" dialog after each image it sent.
  void OnEachImage(const std::function<void(CPrograss&, int)>& fn) {
    connect(sheet->Upload(), &CPage3Upload::ProgressDialogStarted, this, [fn](CPrograss* dlg) {
      connect(dlg, &CPrograss::ImageSent, dlg, [dlg, fn](int seq) { fn(*dlg, seq); });
    });
  }
  int Waits(int ms) const {
    const auto waits = f->fakes.clock.Waits();
    return static_cast<int>(std::count(waits.begin(), waits.end(), ms));
  }

 private slots:
  void init() {
    f = std::make_unique<LogoFixture>();
    outFile = f->dir.File("out.prn");
  }
  void cleanup() {
    sheet.reset();
    f.reset();
  }

  // The erase pause blocks the window: it may only begin once "Erasing..." is on screen,
  // not while the screen still shows the question that was just answered.
  void erasePauseBeginsOnceTheDialogIsOnScreen() {
    Add("two.bmp", 8, 2);
    CErasePauseProbe probe(f->fakes.clock);
    InstallServices(nullptr, &probe, nullptr);
    Open();
    connect(sheet->Upload(), &CPage3Upload::ProgressDialogStarted, this,
            [&probe](CPrograss* dlg) { probe.m_pDialog = dlg; });
    ClickUpload();
    InstallServices(nullptr, &f->fakes.clock, nullptr);
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    QVERIFY(probe.m_bSeen);
    QVERIFY(probe.m_bExposed);
    QCOMPARE(probe.m_strStatus, QString("Erasing..."));
    QCOMPARE(Waits(CUploadEngine::kEraseWaitMs), 1);
  }

  void imagesGoInAscendingNumberOrderAndThatOrderIsSaved() {
    Add("seven.bmp", 24, 7);
    Add("two.bmp", 8, 2);
    Add("five.bmp", 16, 5);
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    // To a file: no printer check and no initialise in front of the define command.
    QCOMPARE(ToBytes(ReadFileBytes(outFile)),
             Concat({{0x1C, 0x71, 0x03}, BlackImage(8), BlackImage(16), BlackImage(24)}));
    QCOMPARE(f->Messages(), std::vector<std::string>({theMsg[MsgId::NvDefinitionComplete]}));
    QCOMPARE(f->fakes.ui.Questions(), std::vector<std::string>({theMsg[MsgId::AllImagesWritten]}));
    const std::string ini = f->Settings();
    const auto at = [&ini](const std::string& s) { return ini.find(s); };
    QVERIFY(at("Logofile1=" + f->dir.File("two.bmp")) != std::string::npos);
    QVERIFY(at("Logofile2=" + f->dir.File("five.bmp")) < at("Logofile3=" + f->dir.File("seven.bmp")));
    QCOMPARE(f->fakes.clock.Waits().front(), 3500);
    QCOMPARE(f->port.m_strPortName, std::string("FILE"));
    QVERIFY(!f->port.m_bConnected);
  }

  void keysBeyondTheNewCountAreRemoved() {
    std::vector<std::string> paths;
    for (int i = 1; i <= 5; ++i) {
      paths.push_back(f->Bmp("l" + std::to_string(i) + ".bmp", MakeGreyBmp(8, 8, 0)));
    }
    f->WriteLogoSection(paths);
    QCOMPARE(LoadLogoSection(f->list), 5);
    Open();
    CCheckListCtrl& list = *sheet->Selection()->List();
    list.SelectRow(3);
    list.SelectRow(4);
    f->fakes.ui.m_answers.push_back(true);
    sheet->Selection()->findChild<QPushButton*>("Remove")->click();
    QCOMPARE(list.RowCount(), 3);
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    const std::string ini = f->Settings();
    QVERIFY(ini.find("Logofile3=" + paths[2]) != std::string::npos);
    QVERIFY(ini.find("Logofile4") == std::string::npos);
    QVERIFY(ini.find("Logofile5") == std::string::npos);
    QCOMPARE(g_nLogoKeyCount, 3);
  }

  void cancelAfterTheFirstOfFourSendsFourEmptyHeaders() {
    for (int i = 1; i <= 4; ++i) Add("c" + std::to_string(i) + ".bmp", 8, i);
    f->WriteSettings("[LOGO]\r\nLogofile1=old.bmp\r\n");
    Open();
    OnEachImage([](CPrograss& dlg, int seq) {
      if (seq == 1) QTest::mouseClick(dlg.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    });
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Cancelled);
    QCOMPARE(ToBytes(ReadFileBytes(outFile)),
             Concat({{0x1C, 0x71, 0x04}, BlackImage(8), Bytes(16, 0x00)}));
    QVERIFY(f->Messages().empty());
    QCOMPARE(f->Settings(), std::string("[LOGO]\r\nLogofile1=old.bmp\r\n"));
  }

  void aSystemCancelWaitsForTheImageInProgress() {
    Add("a.bmp", 8, 1);
    Add("b.bmp", 8, 2);
    Open();
    OnEachImage([](CPrograss& dlg, int seq) {
      if (seq == 1) dlg.OnCancelMode();
    });
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Cancelled);
    // 2 ms per byte of the 8-byte image, then its size in ms after the empty headers.
    QCOMPARE(Waits(16), 1);
    QCOMPARE(f->fakes.clock.Waits().back(), 8);
    QCOMPARE(ToBytes(ReadFileBytes(outFile)),
             Concat({{0x1C, 0x71, 0x02}, BlackImage(8), Bytes(8, 0x00)}));
    QVERIFY(f->Messages().empty());
  }

  void theDialogShowsTheProgress() {
    Add("a.bmp", 800, 1);
    Open();
    QString title, status;
    int value = -1, maximum = -1;
    OnEachImage([&](CPrograss& dlg, int) {
      title = dlg.windowTitle();
      status = dlg.StatusText();
      value = dlg.ProgressValue();
      maximum = dlg.ProgressMaximum();
    });
    ClickUpload();
    QCOMPARE(title, QString("Uploading"));
    QCOMPARE(status, QString("Updating(800/800)...a.bmp"));
    QCOMPARE(maximum, 8);
    QCOMPARE(value, 8);
  }

  void dataGoesInPiecesOf512WithPauses() {
    // 16 x 656 dots: 16 columns of 82 bytes, 1312 bytes: 512, 512 and 288.
    QVERIFY(f->list.AddBitmap(f->Bmp("tall.bmp", MakeGreyBmp(16, 656, 0)), 1));
    g_logoSheet.bLoaded = true;
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    const Bytes out = ToBytes(ReadFileBytes(outFile));
    QCOMPARE(out.size(), std::size_t{3 + 4 + 1312});
    QCOMPARE(Bytes(out.begin() + 3, out.begin() + 7), Bytes({0x02, 0x00, 0x52, 0x00}));
    QCOMPARE(Waits(10), 3);
  }

  void anEmptyListErasesTheMemory() {
    Open();
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Erased);
    QCOMPARE(f->fakes.ui.Questions(), std::vector<std::string>({theMsg[MsgId::EraseAllQuestion]}));
    QCOMPARE(ToBytes(ReadFileBytes(outFile)), Bytes({0x1C, 0x71, 0x01, 0x00, 0x00, 0x00, 0x00}));
  }

  void answeredNoNothingIsOpened() {
    Add("a.bmp", 8, 1);
    ClickUpload(false);
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::NotConfirmed);
    QVERIFY(!QFile::exists(QString::fromStdString(outFile)));
    QCOMPARE(f->fakes.ui.m_printNames.size(), std::size_t{1});
  }

  void overASerialLineThePrinterIsCheckedAndInitialisedFirst() {
    CSimProcess sim;
    const std::string capture = f->dir.File("capture.bin");
    QVERIFY2(sim.Start({"--capture", capture}), sim.Error().c_str());
    f->SetSerial(sim.SerialPath());
    Add("a.bmp", 8, 1);
    Add("b.bmp", 16, 2);
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    const Bytes expected = Concat({{0x1D, 0x49, 0x01, 0x1B, 0x40, 0x1C, 0x71, 0x02}, BlackImage(8),
                                   BlackImage(16)});
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QCOMPARE(f->Messages(), std::vector<std::string>({theMsg[MsgId::NvDefinitionComplete]}));
    QCOMPARE(sheet->Upload()->findChild<QLineEdit*>("PortName")->text(),
             QString::fromStdString(sim.SerialPath()));
  }

  void overTcpTheEraseWaitIsLonger() {
    CSimProcess sim;
    const std::string capture = f->dir.File("capture.bin");
    QVERIFY2(sim.Start({"--no-serial", "--tcp-port", "0", "--capture", capture}), sim.Error().c_str());
    CPrinterSocket socket;
    f->port.m_strPortName = "ETHERNET_II";
    f->connection.pSocket = &socket;
    f->connection.strIpAddress = "127.0.0.1";
    f->connection.nTcpPort = sim.TcpPort();
    Add("a.bmp", 24, 1);
    ClickUpload();
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Completed);
    const Bytes expected = Concat({{0x1C, 0x71, 0x01}, BlackImage(24)});
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QCOMPARE(Waits(5000), 1);
    QCOMPARE(Waits(3500), 0);
    sheet.reset();
  }

  void aPrinterThatVanishesMidUploadLeavesTheSettingsAlone() {
    CSimProcess sim;
    QVERIFY2(sim.Start({"--close-after", "600"}), sim.Error().c_str());
    f->SetSerial(sim.SerialPath());
    const std::string before = "[LOGO]\r\nLogofile1=kept.bmp\r\n";
    f->WriteSettings(before);
    // Three images of 256 x 256 dots, 8 KB each: far more than the line holds once the
    // printer is gone.
    for (int i = 1; i <= 3; ++i) {
      QVERIFY(f->list.AddBitmap(f->Bmp("big" + std::to_string(i) + ".bmp", MakeGreyBmp(256, 256, 0)), i));
    }
    g_logoSheet.bLoaded = true;
    Open();
    bool failed = false;
    connect(sheet->Upload(), &CPage3Upload::ProgressDialogStarted, this, [&failed](CPrograss* dlg) {
      connect(dlg, &CPrograss::WriteFailed, dlg, [dlg, &failed] {
        failed = true;
        dlg->findChild<QPushButton*>("Cancel")->click();
      });
    });
    ClickUpload();
    QVERIFY(failed);
    QCOMPARE(sheet->Upload()->LastResult(), UploadResult::Failed);
    QVERIFY(f->HasMessage(theMsg[MsgId::CommCannotTransmit]));
    QVERIFY(!f->HasMessage(theMsg[MsgId::NvDefinitionComplete]));
    QVERIFY(f->log.Contains("CPrograss write"));
    QCOMPARE(f->Settings(), before);
  }

  void okTouchesThePrinterOnceTheSetupPageWasShown() {
    CSimProcess sim;
    const std::string capture = f->dir.File("capture.bin");
    QVERIFY2(sim.Start({"--capture", capture}), sim.Error().c_str());
    f->SetSerial(sim.SerialPath());
    Open();
    QVERIFY(sheet->SetActivePage(4));
    sheet->OkButton()->click();
    QVERIFY(!sheet->isVisible());
    const Bytes expected = {0x1B, 0x40, 0x1D, 0x49, 0x01};
    QCOMPARE(WaitForFile(capture, expected.size()), expected);
    QVERIFY(!f->port.m_bConnected);
    QVERIFY(f->Messages().empty());
  }

  void okSendsNothingWhenPrintingToAFileOrWhenSetupWasNotShown() {
    CSimProcess sim;
    const std::string capture = f->dir.File("capture.bin");
    QVERIFY2(sim.Start({"--capture", capture}), sim.Error().c_str());
    f->SetSerial(sim.SerialPath());
    Open();
    sheet->OkButton()->click();
    sheet.reset();
    Open();
    QVERIFY(sheet->SetActivePage(4));
    sheet->Setup()->findChild<QCheckBox*>("PrintToFile")->click();
    sheet->OkButton()->click();
    QVERIFY(f->fakes.ui.m_printNames.empty());
    QTest::qWait(100);
    QCOMPARE(ReadFileBytes(capture), std::string());
    sheet.reset();
    QCOMPARE(f->port.m_strPortName, sim.SerialPath());
  }
};

std::unique_ptr<QObject> MakeUploadPageTest() { return std::make_unique<UploadPageTest>(); }

}  // namespace torva::test

#include "upload_page_test.moc"
