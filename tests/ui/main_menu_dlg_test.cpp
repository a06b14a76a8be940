// The main menu: the connection description it builds, which jobs it offers, what each
// button records and runs, and Back.
#include <QPushButton>
#include <QTest>

#include "dialog_tests.h"
#include "ui/main_menu_dlg.h"

namespace torva::test {
namespace {

QPushButton* Button(QWidget& dlg, const char* name) {
  auto* button = dlg.findChild<QPushButton*>(name);
  if (button == nullptr) qFatal("no button %s", name);
  return button;
}

// Registers a launcher for every job for one test and removes them afterwards.
struct ScopedLaunchers {
  ScopedLaunchers() {
    for (int job : {CMainMenuDlg::kJobLogo, CMainMenuDlg::kJobUserSetup,
                    CMainMenuDlg::kJobFirmware, CMainMenuDlg::kJobLegacyFirmware}) {
      CMainMenuDlg::SetJobLauncher(job, [this, job](CMainMenuDlg& menu) {
        runs.push_back(job);
        functions.push_back(menu.Environment().Connection().m_nFunction);
      });
    }
  }
  ~ScopedLaunchers() {
    for (int job : {1, 2, 3, 4}) CMainMenuDlg::SetJobLauncher(job, {});
  }
  ScopedLaunchers(const ScopedLaunchers&) = delete;
  ScopedLaunchers& operator=(const ScopedLaunchers&) = delete;
  std::vector<int> runs;
  std::vector<int> functions;
};

void SetSerial(ConnectionSettings& s, int model) {
  s.m_strPortName = "COM3";
  s.m_nModel = model;
  s.m_nBaudRate = 115200;
  s.m_nDataBits = 8;
  s.m_nParity = 0;
  s.m_nFlowControl = 1;
  s.m_nStopBits = 0;
}

}  // namespace

class MainMenuDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void buildsTheSixLinePortInfo() {
    DialogFixture f;
    SetSerial(f.env.m_settings, 6);
    g_strPortInfo.clear();
    CMainMenuDlg menu(f.env);
    QCOMPARE(g_strPortInfo, std::string("TORVA40 - COM3\r\nBaud : 115200\r\nData : 8 bit\r\n"
                                        "None Parity\r\nH/W Flow control\r\nOne Stop Bit"));
    QCOMPARE(menu.windowTitle(), QString("TORVASet"));
    // A Linux device path is a serial line as well.
    f.env.m_settings.m_strPortName = "/dev/ttyUSB0";
    menu.OnInitDialog();
    QCOMPARE(g_strPortInfo.substr(0, 24), std::string("TORVA40 - /dev/ttyUSB0\r\n"));
    f.env.m_settings.m_strPortName = "/dev/lp1";
    menu.OnInitDialog();
    QCOMPARE(g_strPortInfo, std::string("TORVA40 - /dev/lp1"));
  }

  void jobsWithoutADialogAreNotOffered() {
    DialogFixture f;
    SetSerial(f.env.m_settings, 6);
    CMainMenuDlg menu(f.env);
    QVERIFY(!Button(menu, "LogoDownload")->isEnabled());
    QVERIFY(!Button(menu, "UserSetup")->isEnabled());
    QVERIFY(!Button(menu, "FirmwareDownload")->isEnabled());
    QVERIFY(Button(menu, "Back")->isEnabled());
  }

  void modelCode2DisablesUserSetup_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("userSetup");
    QTest::addColumn<int>("firmwareJob");
    QTest::newRow("TORVA10") << 2 << false << int(CMainMenuDlg::kJobLegacyFirmware);
    QTest::newRow("TORVA40") << 6 << true << int(CMainMenuDlg::kJobFirmware);
    QTest::newRow("other") << 1 << true << int(CMainMenuDlg::kJobFirmware);
  }

  void modelCode2DisablesUserSetup() {
    QFETCH(int, model);
    QFETCH(bool, userSetup);
    QFETCH(int, firmwareJob);
    DialogFixture f;
    ScopedLaunchers launchers;
    SetSerial(f.env.m_settings, model);
    CMainMenuDlg menu(f.env);
    QCOMPARE(Button(menu, "UserSetup")->isEnabled(), userSetup);
    QVERIFY(Button(menu, "LogoDownload")->isEnabled());
    QVERIFY(Button(menu, "FirmwareDownload")->isEnabled());

    f.env.m_bPortOpen = true;
    QTest::mouseClick(Button(menu, "FirmwareDownload"), Qt::LeftButton);
    QCOMPARE(launchers.runs, std::vector<int>{firmwareJob});
    QCOMPARE(f.env.m_settings.m_nFunction, uint8_t{3});
    // A port the firmware job left open is closed.
    QCOMPARE(f.env.m_nPortCloses, 1);
  }

  void buttonsRecordTheJob() {
    DialogFixture f;
    ScopedLaunchers launchers;
    SetSerial(f.env.m_settings, 6);
    CMainMenuDlg menu(f.env);
    QTest::mouseClick(Button(menu, "LogoDownload"), Qt::LeftButton);
    QTest::mouseClick(Button(menu, "UserSetup"), Qt::LeftButton);
    QCOMPARE(launchers.runs, (std::vector<int>{1, 2}));
    QCOMPARE(launchers.functions, (std::vector<int>{1, 2}));
    QCOMPARE(f.env.m_nPortCloses, 0);
  }

  void labelsFollowTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("English") << 1033
                             << QStringList{"&Logo Download", "&User Setup",
                                            "&Firmware Download", "<< &Back  "};
    QTest::newRow("Korean") << 1042
                            << QStringList{"로고 전송", "사용자 설정", "펌웨어 전송", "<< 뒤로"};
  }

  void labelsFollowTheLanguage() {
    QFETCH(int, language);
    QFETCH(QStringList, labels);
    DialogFixture f(language);
    CMainMenuDlg menu(f.env);
    QStringList shown;
    for (const char* name : {"LogoDownload", "UserSetup", "FirmwareDownload", "Back"}) {
      shown << Button(menu, name)->text();
    }
    QCOMPARE(shown, labels);
  }
};

std::unique_ptr<QObject> MakeMainMenuDlgTest() { return std::make_unique<MainMenuDlgTest>(); }

}  // namespace torva::test

#include "main_menu_dlg_test.moc"
