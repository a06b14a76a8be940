// The TORVA10 Firmware Download dialog against the simulated printer over its pseudo-terminal,
// with the fake clock: a whole area completes and closes the dialog, a refused frame leaves
// the dialog usable, and a silent printer shows how long the dialog has waited.
#include "firmware/gui/legacy_fw_dlg.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>

#include "app/app.h"
#include "app/connection_settings.h"
#include "app/models.h"
#include "ports/ports.h"
#include "support/fake_services.h"
#include "support/qt_test_main.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

class LegacyFwDlgTest : public QObject {
  Q_OBJECT

  std::unique_ptr<ScopedFakeServices> m_pServices;
  std::unique_ptr<ScopedTempDir> m_pDir;
  std::unique_ptr<CSimProcess> m_pSim;
  std::string m_strOldProfile;
  std::string m_strImage;

  void StartSim(const std::vector<std::string>& extra) {
    std::vector<std::string> args = extra;
    args.insert(args.end(), {"--paper-dir", m_pDir->Path()});
    QVERIFY2(m_pSim->Start(args), m_pSim->Error().c_str());
    thePort.m_strPortName = m_pSim->SerialPath();
    thePort.m_nBaudRate = 115200;
    thePort.m_nDataBits = 8;
    thePort.m_nParity = 0;
    thePort.m_nStopBits = 0;
    thePort.m_nFlowControl = 1;
    thePort.m_nModel = kModelTorva10;
    thePort.m_nFunction = kFunctionFirmware;
  }

  void Choose(CLegacyFwDlg& dlg, int area) {
    m_pServices->ui.m_files.push_back({m_pDir->File("fw.bin")});
    dlg.OnFileOpen();
    dlg.SelectArea(area);
  }

 private slots:
  void init() {
    m_pServices = std::make_unique<ScopedFakeServices>();
    m_pDir = std::make_unique<ScopedTempDir>();
    m_pSim = std::make_unique<CSimProcess>();
    m_strOldProfile = theApp().m_strProfilePath;
    theApp().m_strProfilePath = m_pDir->File("torvaset.INI");
    m_strImage.assign(0x1B0000, '\0');
    for (size_t i = 0; i < m_strImage.size(); ++i) {
      m_strImage[i] = static_cast<char>((i * 5) ^ (i >> 9));
    }
    WriteFileBytes(m_pDir->File("fw.bin"), m_strImage);
  }
  void cleanup() {
    m_pSim.reset();
    theApp().m_strProfilePath = m_strOldProfile;
    m_pDir.reset();
    m_pServices.reset();
  }

  void fontAreaCompletesAndCloses() {
    StartSim({"--legacy-nak-every", "9"});
    CLegacyFwDlg dlg;
    Choose(dlg, 3);
    dlg.show();
    dlg.OnOK();
    QVERIFY(!dlg.OkEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), static_cast<int>(QDialog::Accepted), 10000);
    QCOMPARE(m_pServices->ui.MessageTexts(), std::vector<std::string>{"COMPLETED"});
    QCOMPARE(dlg.CaptionText(), QString("Writing...(1B0000)"));
    QCOMPARE(dlg.ProgressValue(), 0x1B0000);
    QVERIFY(!thePort.m_bConnected);
    QVERIFY(ReadFileBytes(m_pDir->File("flash-font.bin")) == m_strImage.substr(0x190000, 0x20000));
    // The erase steps waited on the clock, off the dialog's thread.
    QCOMPARE(m_pServices->clock.Waits(), std::vector<int>(6, 500));
    QCOMPARE(GetSetting("FWDN15", "FILE"), std::string("fw.bin"));
  }

  void refusedFrameLeavesTheDialogUsable() {
    StartSim({"--legacy-nak-frame", "2"});
    CLegacyFwDlg dlg;
    Choose(dlg, 0);
    dlg.show();
    QSignalSpy failed(&dlg, &CLegacyFwDlg::DownloadFailed);
    dlg.OnOK();
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 10000);
    QVERIFY(dlg.OkEnabled());
    QVERIFY(!dlg.Running());
    QVERIFY(!thePort.m_bConnected);
    const std::vector<std::string> texts = m_pServices->ui.MessageTexts();
    QCOMPARE(texts.size(), size_t{1});
    QVERIFY2(texts[0].find("1D0200") != std::string::npos, texts[0].c_str());
  }

  void silentPrinterShowsTheWaitUntilCancel() {
    StartSim({"--silent"});
    CLegacyFwDlg dlg;
    Choose(dlg, 2);
    dlg.show();
    dlg.OnOK();
    QTRY_VERIFY_WITH_TIMEOUT(dlg.WaitText().contains("Waiting for the printer's answer: 1 s"),
                             5000);
    QVERIFY(thePort.m_bConnected);
    dlg.OnCancel();
    QCOMPARE(dlg.result(), static_cast<int>(QDialog::Rejected));
    QVERIFY(!thePort.m_bConnected);
    QVERIFY(!thePort.IsWatchThreadRunning());
    QVERIFY(m_pServices->ui.MessageTexts().empty());
  }
};

}  // namespace
}  // namespace torva::test

int main(int argc, char* argv[]) {
  return torva::test::RunQtTestClasses(
      argc, argv, "torva-legacy-fw-gui-tests-runtime",
      {{"LegacyFwDlgTest", [] { return std::make_unique<torva::test::LegacyFwDlgTest>(); }}}, true);
}

#include "legacy_fw_dlg_test.moc"
