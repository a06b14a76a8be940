// The connection dialog against scripted devices: model pre-selection by the USB devices
// present, the USB search, the port lists, the line parameters and where OK leads.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/app.h"
#include "dialog_tests.h"
#include "network/printer_socket.h"
#include "support/free_port.h"
#include "ui/main_menu_dlg.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"

namespace torva::test {
namespace {

const std::string kId3012 = "USB\\VID_2F3D&PID_3012";

QComboBox* List(QWidget& dlg, const char* name) {
  auto* combo = dlg.findChild<QComboBox*>(name);
  if (combo == nullptr) qFatal("no list %s", name);
  return combo;
}

QPushButton* Button(QWidget& dlg, const char* name) {
  auto* button = dlg.findChild<QPushButton*>(name);
  if (button == nullptr) qFatal("no button %s", name);
  return button;
}

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

// Picks a list entry the way the user does: the selection changes and "activated" fires.
void Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index < 0) qFatal("no entry %s", qPrintable(text));
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

bool LineParametersEnabled(QWidget& dlg) {
  bool any = false;
  for (const char* name : {"Baudrate", "Parity", "DataLength", "FlowControl", "StopBit"}) {
    any = any || List(dlg, name)->isEnabled();
  }
  return any;
}

// Records which dialogs OK runs, with the port name at that moment; the network dialog's
// OK runs for real when asked to, everything else ends at once with the given result.
struct ModalLog {
  struct Run {
    QString dialog;
    std::string portName;
    std::string portInfo;
    bool wifiMode = false;
  };
  std::vector<Run> runs;
  int networkResult = QDialog::Accepted;
  bool pressNetworkOk = false;
  std::string networkIp;
  QString networkPort;

  CPortSettingDlg::ModalRunner Runner(IConnectionEnvironment& env) {
    return [this, &env](QDialog& dlg) {
      Run run{dlg.objectName(), env.Connection().m_strPortName, g_strPortInfo, false};
      if (auto* network = qobject_cast<CNetworkDlg*>(&dlg)) {
        run.wifiMode = network->IsWifiMode();
        runs.push_back(run);
        if (!pressNetworkOk) return networkResult;
        network->setResult(QDialog::Rejected);
        if (!networkIp.empty()) {
          network->findChild<QLineEdit*>("IP")->setText(QString::fromStdString(networkIp));
        }
        if (!networkPort.isEmpty()) network->findChild<QLineEdit*>("PORT")->setText(networkPort);
        network->OnOK();
        return network->result();
      }
      runs.push_back(run);
      return static_cast<int>(QDialog::Rejected);
    };
  }
  QStringList Dialogs() const {
    QStringList names;
    for (const Run& r : runs) names << r.dialog;
    return names;
  }
};

}  // namespace

class PortSettingDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void startsWithNothingChosen() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    QCOMPARE(dlg.windowTitle(), QString("TORVASet 1.09E"));
    QCOMPARE(theApp().m_strAppName, std::string("TORVASet"));
    QCOMPARE(List(dlg, "DEVICE")->count(), 12);
    QCOMPARE(List(dlg, "DEVICE")->currentIndex(), -1);
    QVERIFY(!List(dlg, "PORT")->isEnabled());
    QVERIFY(!LineParametersEnabled(dlg));
    QVERIFY(!Button(dlg, "OK")->isEnabled());
    QVERIFY(f.Messages().empty());
    QVERIFY(!dlg.windowIcon().isNull());
    QVERIFY(test::ReadFileBytes(f.dir.File("error.log")).find("ERROR LOG : Tool - Ver") !=
            std::string::npos);
  }

  void oneUsbPrinterIsPreselected() {
    DialogFixture f;
    f.env.m_printers[kId3012] = 1;
    CPortSettingDlg dlg(f.env);
    QCOMPARE(List(dlg, "DEVICE")->currentText(), QString("TORVA40/45U-II"));
    QVERIFY(Button(dlg, "OK")->isEnabled());
    QVERIFY(!List(dlg, "PORT")->isEnabled());
    QVERIFY(!LineParametersEnabled(dlg));
    QCOMPARE(dlg.m_nPortKind, PK_USB);
    QCOMPARE(dlg.m_nFamily, 6);
    QVERIFY(f.Messages().empty());
    QVERIFY(f.fakes.clock.Waits().empty());  // found at the first attempt

    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(log.Dialogs(), QStringList{"CMainMenuDlg"});
    QCOMPARE(f.env.m_settings.m_strPortName, std::string("USB"));
    QCOMPARE(f.env.m_settings.m_nModel, 6);
    QCOMPARE(log.runs[0].portInfo, std::string("TORVA \r\nUSB-II Interface"));
  }

  void twoUsbPrintersAreRefused() {
    DialogFixture f;
    f.env.m_printers[kId3012] = 2;
    CPortSettingDlg dlg(f.env);
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::TooManyUsbDevices]});
    QCOMPARE(List(dlg, "DEVICE")->currentIndex(), -1);
    QCOMPARE(List(dlg, "PORT")->currentIndex(), -1);
    QVERIFY(!Button(dlg, "OK")->isEnabled());
  }

  void preselectionTakesTheLastModelFound() {
    DialogFixture f;
    f.env.m_usbSerial["USB\\VID_2F3D&PID_3501"] = "/dev/ttyACM0";   // [0]
    f.env.m_printers["USB\\VID_2F3D&PID_3A08"] = 1;                  // [7]
    CPortSettingDlg dlg(f.env);
    QCOMPARE(List(dlg, "DEVICE")->currentText(), QString("TORVA40/45U-II"));

    DialogFixture g;
    g.env.m_usbSerial["USB\\VID_2F3D&PID_3501"] = "/dev/ttyACM0";
    g.env.m_printers["USB\\VID_2F3D&PID_3002"] = 1;  // [1] only when [0] was not chosen
    CPortSettingDlg second(g.env);
    QCOMPARE(List(second, "DEVICE")->currentText(), QString("TORVA30/35U-I"));
    QCOMPARE(Items(List(second, "PORT")), QStringList{"/dev/ttyACM0"});
  }

  void usbSearchMakesSixteenAttempts() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    QStringList titles;
    std::vector<bool> cursor;
    f.env.m_printerSearches.clear();
    f.env.m_onPrinterSearch = [&](const std::string&) {
      titles << dlg.windowTitle();
      cursor.push_back(f.fakes.ui.WaitCursorOn());
    };
    Choose(List(dlg, "DEVICE"), "TORVA40/45U-II");

    QCOMPARE(f.env.m_printerSearches.size(), size_t{16 * 3});
    QCOMPARE(f.env.m_printerSearches[0], kId3012);
    QCOMPARE(f.env.m_printerSearches[1], std::string("USB\\VID_2F3D&PID_3512"));
    QCOMPARE(f.env.m_printerSearches[2], std::string("USB\\VID_2F3D&PID_3A08"));
    for (int attempt = 0; attempt < 16; ++attempt) {
      QCOMPARE(titles[attempt * 3], "Searching for the printer" + QString(attempt, '.'));
    }
    QCOMPARE(f.fakes.clock.Waits(), std::vector<int>(16, 250));
    QVERIFY(std::all_of(cursor.begin(), cursor.end(), [](bool on) { return on; }));
    QVERIFY(!f.fakes.ui.WaitCursorOn());
    QCOMPARE(dlg.windowTitle(), QString("TORVASet 1.09E"));
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::TurnOnUsbPrinter]});
    QCOMPARE(List(dlg, "DEVICE")->currentIndex(), -1);
    QVERIFY(!Button(dlg, "OK")->isEnabled());
  }

  void usbSearchFindsAPrinterThatComesLate() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    int calls = 0;
    f.env.m_onPrinterSearch = [&](const std::string&) {
      // The printer is switched on during the third attempt.
      if (++calls == 9) f.env.m_printers["USB\\VID_2F3D&PID_3A06"] = 1;
    };
    f.env.m_printerSearches.clear();
    Choose(List(dlg, "DEVICE"), "TORVA30/35U-II");
    // This line's first identifier is asked twice in each attempt.
    const std::vector<std::string> firstAttempt(f.env.m_printerSearches.begin(),
                                                f.env.m_printerSearches.begin() + 4);
    QCOMPARE(firstAttempt, (std::vector<std::string>{
                               "USB\\VID_2F3D&PID_3002", "USB\\VID_2F3D&PID_3002",
                               "USB\\VID_2F3D&PID_3502", "USB\\VID_2F3D&PID_3A06"}));
    QCOMPARE(f.fakes.clock.Waits(), (std::vector<int>{250, 250}));
    QVERIFY(Button(dlg, "OK")->isEnabled());
    QCOMPARE(dlg.m_nPortKind, PK_USB);
    QVERIFY(f.Messages().empty());
  }

  void serialModelWithoutPortsShowsText13() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    Choose(List(dlg, "DEVICE"), "TORVA30/35S");
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::NoComPort]});
    QCOMPARE(List(dlg, "PORT")->count(), 0);
    QVERIFY(!Button(dlg, "OK")->isEnabled());
  }

  void portListsFollowTheModel_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<bool>("lineParameters");
    QTest::addColumn<QStringList>("baudrates");
    QTest::addColumn<QString>("message");
    const QStringList allRates{"115200", "57600", "38400", "19200", "9600"};
    QTest::newRow("serial, sorted") << "TORVA40/45S" << QStringList{"/dev/ttyS0", "/dev/pts/7"}
                                    << true << allRates << "";
    QTest::newRow("TORVA10 rates") << "TORVA10S" << QStringList{"/dev/ttyS0"} << true
                                   << QStringList{"38400", "19200", "9600"} << "";
    QTest::newRow("parallel") << "TORVA40/45P" << QStringList{"/dev/lp0"} << false << allRates
                              << "";
    QTest::newRow("no parallel") << "TORVA30/35P" << QStringList{} << false << allRates
                                 << QString(theMsg[MsgId::NoLptPort]);
    QTest::newRow("USB serial") << "TORVA40/45U-I" << QStringList{"/dev/ttyACM3"} << true
                                << allRates << "";
  }

  void portListsFollowTheModel() {
    QFETCH(QString, device);
    QFETCH(QStringList, ports);
    QFETCH(bool, lineParameters);
    QFETCH(QStringList, baudrates);
    QFETCH(QString, message);
    DialogFixture f;
    f.WriteSettings(
        "[DEVICELIST]\r\nModel1=TORVA40/45S\r\nModel2=TORVA10S\r\nModel3=TORVA40/45P\r\n"
        "Model4=TORVA30/35P\r\nModel5=TORVA40/45U-I\r\n");
    for (const QString& p : ports) {
      if (device.endsWith("P")) {
        f.env.m_parallelPorts.push_back(p.toStdString());
      } else if (device.endsWith("-I")) {
        f.env.m_usbSerial["USB\\VID_2F3D&PID_3511"] = p.toStdString();
      } else {
        f.env.m_serialPorts.push_back(p.toStdString());
      }
    }
    CPortSettingDlg dlg(f.env);
    Choose(List(dlg, "DEVICE"), device);

    QStringList sorted = ports;
    sorted.sort();
    QCOMPARE(Items(List(dlg, "PORT")), sorted);
    QCOMPARE(Button(dlg, "OK")->isEnabled(), !ports.isEmpty());
    QCOMPARE(List(dlg, "PORT")->isEnabled(), !ports.isEmpty());
    if (!ports.isEmpty()) {
      QCOMPARE(List(dlg, "PORT")->currentIndex(), 0);
      QCOMPARE(LineParametersEnabled(dlg), lineParameters);
    }
    QCOMPARE(Items(List(dlg, "Baudrate")), baudrates);
    QCOMPARE(f.Messages(), message.isEmpty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{message.toStdString()});
    if (device.endsWith("-I")) {
      QCOMPARE(f.env.m_serialSearches, (std::vector<std::string>{"USB\\VID_2F3D&PID_3011",
                                                                 "USB\\VID_2F3D&PID_3511"}));
    }
  }

  void okStoresTheLineParameters_data() {
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("parity");
    QTest::addColumn<QString>("dataLength");
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QList<int>>("expected");  // baud, bits, parity, flow, stop
    QTest::newRow("defaults") << "115200" << "NONE" << "8 Bits" << "H/W" << "1"
                              << QList<int>{115200, 8, 0, 1, 0};
    QTest::newRow("others") << "9600" << "EVEN" << "7 Bits" << "NONE" << "2"
                            << QList<int>{9600, 7, 2, 3, 2};
    QTest::newRow("odd s/w") << "38400" << "ODD" << "8 Bits" << "S/W" << "1"
                             << QList<int>{38400, 8, 1, 2, 0};
  }

  void okStoresTheLineParameters() {
    QFETCH(QString, baud);
    QFETCH(QString, parity);
    QFETCH(QString, dataLength);
    QFETCH(QString, flow);
    QFETCH(QString, stop);
    QFETCH(QList<int>, expected);
    DialogFixture f;
    f.env.m_serialPorts = {"/dev/ttyS4"};
    CPortSettingDlg dlg(f.env);
    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    Choose(List(dlg, "DEVICE"), "TORVA40/45S");
    Choose(List(dlg, "Baudrate"), baud);
    Choose(List(dlg, "Parity"), parity);
    Choose(List(dlg, "StopBit"), stop);
    Choose(List(dlg, "DataLength"), dataLength);
    Choose(List(dlg, "FlowControl"), flow);
    QTest::mouseClick(Button(dlg, "OK"), Qt::LeftButton);

    const ConnectionSettings& s = f.env.m_settings;
    QCOMPARE(s.m_strPortName, std::string("/dev/ttyS4"));
    QCOMPARE(s.m_nModel, 6);
    QCOMPARE((QList<int>{s.m_nBaudRate, s.m_nDataBits, s.m_nParity, s.m_nFlowControl,
                         s.m_nStopBits}),
             expected);
    QCOMPARE(log.Dialogs(), QStringList{"CMainMenuDlg"});
    QCOMPARE(log.runs[0].portInfo.substr(0, 21), std::string("TORVA40 - /dev/ttyS4\r"));
    QCOMPARE(dlg.result(), 0);
  }

  void stopBitListOffersOneAndTwo() {
    DialogFixture f;
    f.env.m_serialPorts = {"/dev/ttyS0"};
    CPortSettingDlg dlg(f.env);
    QComboBox* stop = List(dlg, "StopBit");
    QCOMPARE(Items(stop), (QStringList{"1", "2"}));
    Choose(List(dlg, "DEVICE"), "TORVA30/35S");
    Choose(stop, "2");
    // A new data length rebuilds the list and keeps the choice.
    Choose(List(dlg, "DataLength"), "7 Bits");
    QCOMPARE(Items(stop), (QStringList{"1", "2"}));
    QCOMPARE(stop->currentText(), QString("2"));
    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(f.env.m_settings.m_nStopBits, 2);
  }

  void missingLineParameterStopsOk_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("text");
    QTest::newRow("baud") << "Baudrate" << 5;
    QTest::newRow("data") << "DataLength" << 6;
    QTest::newRow("parity") << "Parity" << 7;
    QTest::newRow("stop") << "StopBit" << 53;
    QTest::newRow("flow") << "FlowControl" << 8;
  }

  void missingLineParameterStopsOk() {
    QFETCH(QString, list);
    QFETCH(int, text);
    DialogFixture f;
    f.env.m_serialPorts = {"/dev/ttyS0"};
    CPortSettingDlg dlg(f.env);
    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    Choose(List(dlg, "DEVICE"), "TORVA30/35S");
    List(dlg, qPrintable(list))->setCurrentIndex(-1);
    dlg.OnOK();
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[text]});
    QVERIFY(log.runs.empty());
  }

  void ethernetModelRunsTheNetworkDialogFirst() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    Choose(List(dlg, "DEVICE"), "TORVA40/45E-II");
    QVERIFY(Button(dlg, "OK")->isEnabled());
    QVERIFY(!List(dlg, "PORT")->isEnabled());
    QVERIFY(!LineParametersEnabled(dlg));
    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(log.Dialogs(), (QStringList{"CNetworkDlg", "CMainMenuDlg"}));
    QCOMPARE(log.runs[0].portName, std::string("ETHERNET_II"));
    QVERIFY(!log.runs[0].wifiMode);
    QCOMPARE(log.runs[1].portInfo, std::string("TORVA40 - ETHERNET_II"));

    // A network dialog that ends any other way keeps the menu closed.
    ModalLog cancelled;
    cancelled.networkResult = QDialog::Rejected;
    dlg.SetModalRunner(cancelled.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(cancelled.Dialogs(), QStringList{"CNetworkDlg"});
  }

  void wifiModelRunsTheNetworkDialogInWifiMode() {
    DialogFixture f;
    CPortSettingDlg dlg(f.env);
    Choose(List(dlg, "DEVICE"), "TORVA30/35W");
    ModalLog log;
    dlg.SetModalRunner(log.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(log.Dialogs(), (QStringList{"CNetworkDlg", "CMainMenuDlg"}));
    QCOMPARE(log.runs[0].portName, std::string("WIFI"));
    QVERIFY(log.runs[0].wifiMode);
    QCOMPARE(log.runs[1].portName, std::string("ETHERNET_II"));
    QCOMPARE(f.env.m_settings.m_nModel, 5);
  }

  void silentPrinterKeepsTheMenuClosed() {
    DialogFixture f;
    CPrinterSocket socket;
    f.env.m_connect = [&socket](const std::string& ip, int port, int pause) {
      return socket.ConnectPrinter(ip, port, pause);
    };
    CPortSettingDlg dlg(f.env);
    Choose(List(dlg, "DEVICE"), "TORVA40/45E-II");
    ModalLog log;
    log.pressNetworkOk = true;
    log.networkIp = "127.0.0.1";
    log.networkPort = QString::number(ClosedLoopbackPort());
    dlg.SetModalRunner(log.Runner(f.env));
    dlg.OnOK();
    QCOMPARE(f.Messages(), std::vector<std::string>{"ERROR : Printer check."});
    QCOMPARE(log.Dialogs(), QStringList{"CNetworkDlg"});
    // The pause after the first connect, then ten probes 50 ms apart.
    std::vector<int> expected{10};
    expected.insert(expected.end(), 10, 50);
    QCOMPARE(f.fakes.clock.Waits(), expected);
    QVERIFY(!socket.IsConnected());
  }

  void deviceListReplacesTheBuiltInModels() {
    DialogFixture f;
    f.WriteSettings("[DEVICELIST]\r\nModel1=TORVA40/45U-II\r\nModel2=Bogus 9\r\nModel4=X\r\n");
    f.env.m_printers[kId3012] = 1;
    CPortSettingDlg dlg(f.env);
    QCOMPARE(Items(List(dlg, "DEVICE")), (QStringList{"TORVA40/45U-II", "Bogus 9"}));
    QCOMPARE(List(dlg, "DEVICE")->currentIndex(), -1);  // no pre-selection from this list
    Choose(List(dlg, "DEVICE"), "TORVA40/45U-II");
    QVERIFY(Button(dlg, "OK")->isEnabled());
    // A name no prefix knows: text 9, family 0, and no port kind left from the model before,
    // so OK waits for a known model as on the other paths without a port.
    Choose(List(dlg, "DEVICE"), "Bogus 9");
    QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::InvalidDevice]});
    QCOMPARE(dlg.m_nFamily, 0);
    QCOMPARE(dlg.m_nPortKind, PK_NONE);
    QVERIFY(!Button(dlg, "OK")->isEnabled());
    Choose(List(dlg, "DEVICE"), "TORVA40/45U-II");
    QVERIFY(Button(dlg, "OK")->isEnabled());
  }

  void labelsFollowTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("English") << 1033
                             << QStringList{"DEVICE", "PORT", "Baudrate", "Parity",
                                            "Data Length", "Flow control", "Stop Bit"}
                             << "Cancel";
    QTest::newRow("Korean") << 1042
                            << QStringList{"프린터종류", "포트", "통신속도", "패리티",
                                           "테이터 길이", "플로우 컨트롤", "스톱 비트"}
                            << "취소";
  }

  void labelsFollowTheLanguage() {
    QFETCH(int, language);
    QFETCH(QStringList, labels);
    QFETCH(QString, cancel);
    DialogFixture f(language);
    theMsg.SelectLanguage(kLangEnglish);  // the dialog chooses the language itself
    CPortSettingDlg dlg(f.env);
    QStringList shown;
    for (const char* name : {"DEVICELabel", "PORTLabel", "BaudrateLabel", "ParityLabel",
                             "DataLengthLabel", "FlowControlLabel", "StopBitLabel"}) {
      shown << dlg.findChild<QLabel*>(name)->text();
    }
    QCOMPARE(shown, labels);
    QCOMPARE(Button(dlg, "Cancel")->text(), cancel);
    QCOMPARE(theMsg.IsKorean(), language == 1042);
    QCOMPARE(dlg.windowTitle(), QString("TORVASet 1.09E"));
  }
};

std::unique_ptr<QObject> MakePortSettingDlgTest() { return std::make_unique<PortSettingDlgTest>(); }

}  // namespace torva::test

#include "port_setting_dlg_test.moc"
