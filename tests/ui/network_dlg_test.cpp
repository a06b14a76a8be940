// The network connection dialog: the port check, the connection test on OK, both modes,
// and the WiFi library through the stand-in.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "dialog_tests.h"
#include "ui/network_dlg.h"

namespace torva::test {
namespace {

QPushButton* Button(QWidget& dlg, const char* name) {
  auto* button = dlg.findChild<QPushButton*>(name);
  if (button == nullptr) qFatal("no button %s", name);
  return button;
}

QLineEdit* Edit(QWidget& dlg, const char* name) {
  auto* edit = dlg.findChild<QLineEdit*>(name);
  if (edit == nullptr) qFatal("no edit %s", name);
  return edit;
}

}  // namespace

class NetworkDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void okTestsTheDefaults() {
    DialogFixture f;
    f.env.m_settings.m_strPortName = "ETHERNET_II";
    CNetworkDlg dlg(f.env);
    QCOMPARE(Edit(dlg, "IP")->text(), QString("192.168.0.254"));
    QCOMPARE(Edit(dlg, "PORT")->text(), QString("6001"));
    dlg.OnOK();
    QCOMPARE(f.env.m_connects.size(), size_t{1});
    QCOMPARE(f.env.m_connects[0].ip, std::string("192.168.0.254"));
    QCOMPARE(f.env.m_connects[0].port, 6001);
    QCOMPARE(f.env.m_connects[0].pauseMs, 10);
    QCOMPARE(f.env.m_nPrinterCloses, 1);  // the test connection is not kept
    QCOMPARE(dlg.result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(f.Messages().empty());
  }

  void portCheck_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("515") << "515" << true;
    QTest::newRow("1024") << "1024" << true;
    QTest::newRow("65534") << "65534" << true;
    QTest::newRow("1023") << "1023" << false;
    QTest::newRow("65535") << "65535" << false;
    QTest::newRow("514") << "514" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("too long") << "9999999999" << false;
  }

  void portCheck() {
    QFETCH(QString, port);
    QFETCH(bool, accepted);
    DialogFixture f;
    f.env.m_settings.m_strPortName = "ETHERNET_II";
    CNetworkDlg dlg(f.env);
    Edit(dlg, "IP")->setText("127.0.0.1");
    Edit(dlg, "PORT")->setText(port);
    dlg.setResult(QDialog::Rejected);
    dlg.OnOK();
    QCOMPARE(dlg.m_strIpAddress, std::string("127.0.0.1"));  // taken even when refused
    if (accepted) {
      QVERIFY(f.Messages().empty());
      QCOMPARE(dlg.m_nAcceptedPort, port.toUInt());
      QCOMPARE(f.env.m_connects.at(0).port, port.toInt());
      QCOMPARE(dlg.result(), static_cast<int>(QDialog::Accepted));
    } else {
      QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::TcpPortRange]});
      QCOMPARE(dlg.m_nAcceptedPort, 6001u);
      QVERIFY(f.env.m_connects.empty());
      QCOMPARE(dlg.result(), static_cast<int>(QDialog::Rejected));
    }
  }

  void incompleteAddressIsRefused_data() {
    QTest::addColumn<QString>("ip");
    QTest::newRow("three parts") << "127.0.0";
    QTest::newRow("empty part") << "127.0.0.";
    QTest::newRow("empty") << "";
  }

  void incompleteAddressIsRefused() {
    QFETCH(QString, ip);
    DialogFixture f;
    f.env.m_settings.m_strPortName = "ETHERNET_II";
    CNetworkDlg dlg(f.env);
    Edit(dlg, "IP")->setText(ip);
    dlg.OnOK();
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::IpAddressRange]});
    QVERIFY(f.env.m_connects.empty());
  }

  void silentPrinterKeepsTheDialogOpen() {
    DialogFixture f;
    f.env.m_settings.m_strPortName = "ETHERNET_II";
    f.env.m_bPrinterAnswers = false;
    CNetworkDlg dlg(f.env);
    Edit(dlg, "PORT")->setText("7000");
    dlg.setResult(QDialog::Rejected);
    dlg.OnOK();
    QCOMPARE(f.Messages(), std::vector<std::string>{"ERROR : Printer check."});
    QCOMPARE(f.env.m_nPrinterCloses, 1);
    QCOMPARE(dlg.result(), static_cast<int>(QDialog::Rejected));
    // The accepted port is the one of the refused attempt: it passed the port check.
    QCOMPARE(dlg.m_nAcceptedPort, 7000u);
  }

  void modeFollowsThePortName() {
    DialogFixture f;
    f.env.m_settings.m_strPortName = "ETHERNET_II";
    CNetworkDlg dlg(f.env);
    QCOMPARE(dlg.windowTitle(), QString("Ethernet-II Network"));
    QCOMPARE(Button(dlg, "FirstButton")->text(), QString("Network Setting"));
    QVERIFY(!Button(dlg, "FirstButton")->isEnabled());  // no settings dialog registered
    QCOMPARE(Button(dlg, "SecondButton")->text(), QString("Reserved"));
    QVERIFY(!Button(dlg, "SecondButton")->isEnabled());
    QCOMPARE(dlg.findChild<QGroupBox*>("Setting")->title(), QString("Setting"));

    int opened = 0;
    CNetworkDlg::SetNetworkSettingLauncher([&opened](CNetworkDlg&) { ++opened; });
    dlg.OnInitDialog();
    QVERIFY(Button(dlg, "FirstButton")->isEnabled());
    QTest::mouseClick(Button(dlg, "FirstButton"), Qt::LeftButton);
    dlg.OnSecondButton();  // "Reserved" does nothing
    CNetworkDlg::SetNetworkSettingLauncher({});
    QCOMPARE(opened, 1);
    QVERIFY(f.Messages().empty());

    f.env.m_settings.m_strPortName = "WIFI";
    dlg.OnInitDialog();
    QVERIFY(dlg.IsWifiMode());
    QCOMPARE(dlg.windowTitle(), QString("WLAN(WiFi) Network"));
    QCOMPARE(Button(dlg, "FirstButton")->text(), QString("Infrastructure"));
    QCOMPARE(Button(dlg, "SecondButton")->text(), QString("Limited AP"));
    QVERIFY(Button(dlg, "FirstButton")->isEnabled());
    QVERIFY(Button(dlg, "SecondButton")->isEnabled());
  }

  void wifiButtonsCallTheLibrary() {
    DialogFixture f;
    const std::string calls = f.dir.File("wifi-calls.txt");
    setenv("TORVA_WIFI_STANDIN_LOG", calls.c_str(), 1);
    f.env.m_settings.m_strPortName = "WIFI";
    CNetworkDlg dlg(f.env);
    dlg.SetWifiLibrary(std::make_unique<CWifiLibrary>(std::vector<std::string>{TORVA_WIFI_STANDIN_DIR}));
    QTest::mouseClick(Button(dlg, "SecondButton"), Qt::LeftButton);
    QTest::mouseClick(Button(dlg, "FirstButton"), Qt::LeftButton);
    unsetenv("TORVA_WIFI_STANDIN_LOG");

    const std::vector<RecordedMessage> shown = f.fakes.ui.Messages();
    QCOMPARE(shown.size(), size_t{2});
    for (const RecordedMessage& m : shown) {
      QCOMPARE(m.text, std::string("Turn on the printer and Connect a USB cable."));
      QCOMPARE(m.caption, std::string("Notice"));
    }
    const std::string log = ReadFileBytes(calls);
    QVERIFY2(log.rfind("op3 0x", 0) == 0, log.c_str());  // the dialog's window as parent
    QVERIFY2(log.find("\nop1 0x") != std::string::npos, log.c_str());
  }

  void absentWifiLibraryOnlySaysSo() {
    DialogFixture f;
    ScopedTempDir empty;
    f.env.m_settings.m_strPortName = "WIFI";
    CNetworkDlg dlg(f.env);
    dlg.SetWifiLibrary(std::make_unique<CWifiLibrary>(std::vector<std::string>{empty.Path()}));
    dlg.OnSecondButton();
    const std::vector<std::string> shown = f.Messages();
    QCOMPARE(shown.size(), size_t{1});
    QVERIFY2(shown[0].find("libtorva_wifi.so") != std::string::npos, shown[0].c_str());
  }

  void koreanTexts() {
    DialogFixture f(kLangKorean);
    f.env.m_settings.m_strPortName = "WIFI";
    setenv("TORVA_WIFI_STANDIN_LOG", f.dir.File("calls.txt").c_str(), 1);
    CNetworkDlg dlg(f.env);
    dlg.SetWifiLibrary(std::make_unique<CWifiLibrary>(std::vector<std::string>{TORVA_WIFI_STANDIN_DIR}));
    QCOMPARE(Button(dlg, "Cancel")->text(), QString("취소"));
    dlg.OnFirstButton();
    unsetenv("TORVA_WIFI_STANDIN_LOG");
    const std::vector<RecordedMessage> shown = f.fakes.ui.Messages();
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(shown[0].text, std::string("프린터를 켜고 USB케이블을 연결하십시오."));
    QCOMPARE(shown[0].caption, std::string("알림"));

    f.env.m_settings.m_strPortName = "ETHERNET_II";
    CNetworkDlg::SetNetworkSettingLauncher([](CNetworkDlg&) {});
    dlg.OnInitDialog();
    CNetworkDlg::SetNetworkSettingLauncher({});
    QCOMPARE(Button(dlg, "FirstButton")->text(), QString("네트워크 설정"));
  }
};

std::unique_ptr<QObject> MakeNetworkDlgTest() { return std::make_unique<NetworkDlgTest>(); }

}  // namespace torva::test

#include "network_dlg_test.moc"
