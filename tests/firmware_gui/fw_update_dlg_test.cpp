// The F/W Update dialog with the fake services: the area choices by Ctrl key, file and
// model, Korean captions, the refusals with their buttons and the INI keys, a whole block
// into a file with the caption's percentage, the network path against the simulator, a
// printer that vanishes, and EXIT during a transfer.
#include "firmware/gui/fw_update_dlg.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <memory>

#include "app/app.h"
#include "app/settings_file.h"
#include "fw_test_images.h"
#include "network/printer_socket.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/pty_pair.h"
#include "support/qt_test_main.h"
#include "support/serial_settings.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

class FwUpdateDlgTest : public QObject {
  Q_OBJECT
  std::unique_ptr<ScopedFakeServices> m_pServices;
  std::unique_ptr<ScopedTempDir> m_pDir;
  std::unique_ptr<CPorts> m_pPort;
  std::string m_strOldProfile;
  std::vector<uint8_t> m_image;

  std::string Image() const { return m_pDir->File("fw.PXR"); }
  std::unique_ptr<CFwUpdateDlg> Dialog(CPrinterSocket* socket = nullptr, int tcpPort = 0) {
    FwUpdateConnection c{m_pPort.get(), socket, "127.0.0.1", tcpPort};
    return std::make_unique<CFwUpdateDlg>(c);
  }
  static QRadioButton* Area(CFwUpdateDlg& d, const char* name) {
    return d.findChild<QRadioButton*>(name);
  }
  static QPushButton* Button(CFwUpdateDlg& d, const char* name) {
    return d.findChild<QPushButton*>(name);
  }
  void Choose(CFwUpdateDlg& d, const std::string& path) {
    m_pServices->ui.m_files.push_back({path});
    d.OnFileOpen();
  }
  static bool WaitEnd(CFwUpdateDlg& d) {
    QSignalSpy spy(&d, &CFwUpdateDlg::TransferEnded);
    return spy.count() > 0 || spy.wait(20000);
  }

 private slots:
  void init() {
    m_pServices = std::make_unique<ScopedFakeServices>();
    m_pDir = std::make_unique<ScopedTempDir>();
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = m_pDir->File("torvaset.INI");
    m_pPort = std::make_unique<CPorts>();
    m_pPort->m_nModel = 6;
    m_image = MakeFirmwareImage(2024, 3);
    WriteFirmwareImage(Image(), m_image);
  }
  void cleanup() {
    m_pPort.reset();
    theApp().m_strProfilePath = m_strOldProfile;
    m_pDir.reset();
    m_pServices.reset();
  }

  void areaChoicesFollowCtrlFileAndModel() {
    WriteFirmwareImage(m_pDir->File("boot0.PXR"), MakeFirmwareImage(0, 0));
    struct Case {
      bool ctrl;
      int model;
      bool remembered;  // the INI names fw.PXR (boot version 3)
      bool lcd, downloader, boot;
    };
    const Case cases[] = {
        {false, 6, true, true, false, false},
        {false, 1, true, false, false, false},
        {true, 6, true, true, true, true},
        {true, 5, false, false, true, false},
    };
    for (const Case& c : cases) {
      m_pServices->ui.m_bCtrl = c.ctrl;
      m_pPort->m_nModel = c.model;
      CSettingsFile(theApp().m_strProfilePath)
          .Write("FWDN20", std::string("FOLDER"), c.remembered ? Image() : std::string());
      auto d = Dialog();
      QCOMPARE(Area(*d, "LcdFontArea")->isEnabled(), c.lcd);
      QCOMPARE(Area(*d, "DownloadArea")->isEnabled(), c.downloader);
      QCOMPARE(Area(*d, "BootArea")->isEnabled(), c.boot);
      QVERIFY(Area(*d, "ProgramArea")->isChecked());
      QVERIFY(Button(*d, "Download")->isEnabled());
      if (c.ctrl && c.boot) {
        // A file without a boot version moves a chosen Boot Area to Program Area.
        Area(*d, "BootArea")->click();
        Choose(*d, m_pDir->File("boot0.PXR"));
        QVERIFY(!Area(*d, "BootArea")->isEnabled());
        QVERIFY(Area(*d, "ProgramArea")->isChecked());
      }
    }
    m_pServices->system.m_nLanguage = 1042;
    auto d = Dialog();
    QCOMPARE(Area(*d, "BootArea")->text(), QString("부트 영역"));
    QCOMPARE(Button(*d, "Download")->text(), QString("다운로드"));
    QCOMPARE(d->CaptionText(), QString("TORVASet : Firmware Download"));
  }

  void refusalsSetTheirButtonsAndTheKeysAreWritten() {
    WriteFirmwareImage(m_pDir->File("short.PXR"), MakeFirmwareImage(1, 3, true, 8388609));
    m_pPort->m_strPortName = "FILE";
    auto d = Dialog();
    // A file that went away: File Open's message, DOWNLOAD stays usable.
    Choose(*d, m_pDir->File("gone.PXR"));
    d->OnDownload();
    QVERIFY(Button(*d, "Download")->isEnabled());
    const CSettingsFile ini(theApp().m_strProfilePath);
    QCOMPARE(ini.Get("FWDN20", "FOLDER"), m_pDir->File("gone.PXR"));
    QCOMPARE(ini.Get("FWDN20", "FILE"), std::string("gone.PXR"));
    Choose(*d, m_pDir->File("short.PXR"));
    d->OnDownload();
    QVERIFY(!Button(*d, "Download")->isEnabled());
    QCOMPARE(ini.Get("FWDN20", "FILE"), std::string("short.PXR"));
    // No to the question: DOWNLOAD waits for the next File Open.
    Choose(*d, Image());
    Area(*d, "ExtFontArea")->click();
    m_pServices->ui.m_answers = {false};
    d->OnDownload();
    QVERIFY(!Button(*d, "Download")->isEnabled());
    QVERIFY(Button(*d, "FileOpen")->isEnabled());
    QCOMPARE(m_pServices->ui.MessageTexts(),
             (std::vector<std::string>{"ERROR : File Open", "ERROR : File Open",
                                       "FileSize (8388609 bytes) Error!"}));
    QCOMPARE(m_pServices->ui.Questions().size(), size_t{1});
    QVERIFY(!m_pPort->m_bConnected);
  }

  void wholeBlockIntoAFileWithTheCaptionPercentage() {
    m_pPort->m_strPortName = "FILE";
    const std::string out = m_pDir->File("out.prn");
    m_pServices->ui.m_printNames.push_back(out);
    auto d = Dialog();
    Choose(*d, Image());
    d->OnDownload();
    QCOMPARE(d->CaptionText(), QString("TORVASet : Firmware Download - 0 %"));
    QVERIFY(!Button(*d, "FileOpen")->isEnabled());
    QVERIFY(WaitEnd(*d));
    const auto expected = ReferenceBlock(m_image, "program", 6);
    QVERIFY(ReadFileBytes(out) == std::string(expected.begin(), expected.end()));
    QCOMPARE(m_pServices->ui.MessageTexts(),
             std::vector<std::string>{"Update Complete.\nPlease wait beep the buzzer."});
    QCOMPARE(d->findChild<QProgressBar*>("Progress")->value(), 0);
    QCOMPARE(d->findChild<QLineEdit*>("FileSize")->text(), QString("851968"));
    char cs[8];
    std::snprintf(cs, sizeof cs, "%X", static_cast<unsigned>(expected[8] | expected[9] << 8));
    QCOMPARE(d->findChild<QLineEdit*>("Checksum")->text(), QString(cs));
    QVERIFY(Button(*d, "Download")->isEnabled() && Button(*d, "FileOpen")->isEnabled());
    // 16 flash steps of 83 ms through the clock.
    QCOMPARE(m_pServices->clock.TotalWaitMs(), 16 * 83);
  }

  void networkPathUsesTheSocketOnly() {
    ScopedTempDir simDir;
    CSimProcess sim;
    QVERIFY2(sim.Start({"--no-serial", "--tcp-port", "0", "--capture", simDir.File("cap.bin")}),
             sim.Error().c_str());
    m_pPort->m_strPortName = "ETHERNET_II";
    CPrinterSocket socket;
    auto d = Dialog(&socket, sim.TcpPort());
    Choose(*d, Image());
    m_pServices->ui.m_answers = {true};
    Area(*d, "LcdFontArea")->click();
    d->OnDownload();
    QVERIFY(WaitEnd(*d));
    QCOMPARE(m_pServices->ui.MessageTexts(),
             std::vector<std::string>{"Update Complete.\nPlease wait beep the buzzer."});
    const auto expected = ReferenceBlock(m_image, "lcdfont", 6);
    std::string got;
    for (int i = 0; i < 400 && got.size() < expected.size(); ++i) {
      got = ReadFileBytes(simDir.File("cap.bin"));
      QTest::qWait(10);
    }
    QVERIFY(got == std::string(expected.begin(), expected.end()));
    QCOMPARE(m_pPort->m_hComm, std::intptr_t{-1});
    // One probe wait of the connect, then the 256 flash steps.
    QCOMPARE(m_pServices->clock.Waits().size(), size_t{1 + 256});
  }

  void vanishingPrinterAndExitDuringATransfer() {
    CPtyPair pty;
    pty.MakeSlaveRaw();
    SetSerialSettings(*m_pPort, pty.SlavePath(), 1, kFunctionFirmware);
    {
      auto d = Dialog();
      Choose(*d, Image());
      d->OnDownload();
      QVERIFY(pty.Receive(50000, 10000).size() >= 50000);
      pty.CloseMaster();
      QVERIFY(WaitEnd(*d));
      QCOMPARE(m_pServices->ui.MessageTexts(),
               std::vector<std::string>{"ERROR : PRINTER IS NOT READY!"});
      QVERIFY(Button(*d, "Download")->isEnabled());
    }
    CPtyPair stalled;
    stalled.MakeSlaveRaw();
    SetSerialSettings(*m_pPort, stalled.SlavePath(), 1, kFunctionFirmware);
    auto d = Dialog();
    Choose(*d, Image());
    d->show();
    d->OnDownload();
    QTest::qWait(200);  // the line takes a few chunks, then nobody reads
    QVERIFY(d->Transferring());
    const auto start = std::chrono::steady_clock::now();
    Button(*d, "Exit")->click();
    QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(2));
    QVERIFY(!d->isVisible());
    QVERIFY(!d->Transferring());
    d.reset();
    QVERIFY(!m_pPort->m_bConnected);
  }
};

}  // namespace
}  // namespace torva::test

int main(int argc, char* argv[]) {
  return torva::test::RunQtTestClasses(
      argc, argv, "torva-fw-gui-tests-runtime",
      {{"FwUpdateDlgTest", [] { return std::make_unique<torva::test::FwUpdateDlgTest>(); }}}, true);
}

#include "fw_update_dlg_test.moc"
