// The connection dialog's aids: the connection confirmed with OK comes back at the next
// start (a present USB printer still wins, a cancel remembers nothing), and "Check" asks the
// printer over the chosen port without touching OK.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_tests.h"
#include "support/sim_process.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"

namespace torva::test {
namespace {

QComboBox* List(QWidget& dlg, const char* name) { return dlg.findChild<QComboBox*>(name); }
QPushButton* Button(QWidget& dlg, const char* name) { return dlg.findChild<QPushButton*>(name); }

void Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  QVERIFY2(index >= 0, qPrintable(text));
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

QStringList Chosen(QWidget& dlg) {
  QStringList shown;
  for (const char* name :
       {"DEVICE", "PORT", "Baudrate", "DataLength", "Parity", "StopBit", "FlowControl"}) {
    shown << List(dlg, name)->currentText();
  }
  return shown;
}

const char* const kSerialSection =
    "[LASTCONNECTION]\r\nModel=TORVA40/45S\r\nPort=/dev/ttyS1\r\nBaudrate=9600\r\n"
    "DataBits=7\r\nParity=2\r\nStopBits=2\r\nFlowControl=2\r\nIP=127.0.0.9\r\nTcpPort=9100\r\n";

}  // namespace

class ConnectionAidsTest : public QObject {
  Q_OBJECT
 private slots:
  void theLastConnectionIsPreselected_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("usbPrinterPresent");
    QTest::addColumn<QStringList>("chosen");
    QTest::newRow("serial line") << kSerialSection << false
                                 << QStringList{"TORVA40/45S", "/dev/ttyS1", "9600", "7 Bits",
                                                "EVEN",        "2",          "S/W"};
    QTest::newRow("a present USB printer wins")
        << kSerialSection << true
        << QStringList{"TORVA40/45U-II", "", "115200", "8 Bits", "NONE", "1", "H/W"};
    QTest::newRow("a port that is gone is not forced")
        << QString(kSerialSection).replace("/dev/ttyS1", "/dev/ttyUSB9") << false
        << QStringList{"TORVA40/45S", "/dev/ttyS0", "9600", "7 Bits", "EVEN", "2", "S/W"};
    QTest::newRow("a model no longer listed")
        << QString(kSerialSection).replace("TORVA40/45S", "TORVA99") << false
        << QStringList{"", "", "115200", "8 Bits", "NONE", "1", "H/W"};
  }

  void theLastConnectionIsPreselected() {
    QFETCH(QString, settings);
    QFETCH(bool, usbPrinterPresent);
    QFETCH(QStringList, chosen);
    DialogFixture f;
    f.WriteSettings(settings.toStdString());
    f.env.m_serialPorts = {"/dev/ttyS0", "/dev/ttyS1"};
    if (usbPrinterPresent) f.env.m_printers["USB\\VID_2F3D&PID_3012"] = 1;
    CPortSettingDlg dlg(f.env);
    QCOMPARE(Chosen(dlg), chosen);
    QCOMPARE(Button(dlg, "OK")->isEnabled(), !chosen[0].isEmpty());
    // The network printer's address is there for the network dialog whatever the model.
    QCOMPARE(dlg.NetworkDlg().m_strIpAddress, std::string("127.0.0.9"));
    QCOMPARE(dlg.NetworkDlg().m_nPort, 9100u);
    QVERIFY(f.Messages().empty());
  }

  // OK remembers; a cancelled network dialog or a cancelled connection dialog do not.
  void onlyAConfirmedConnectionIsRemembered() {
    DialogFixture f;
    f.env.m_serialPorts = {"/dev/ttyS3"};
    std::vector<QString> ran;
    int networkResult = QDialog::Rejected;
    {
      CPortSettingDlg dlg(f.env);
      dlg.SetModalRunner([&](QDialog& d) {
        ran.push_back(d.objectName());
        return d.objectName() == "CNetworkDlg" ? networkResult : int(QDialog::Rejected);
      });
      Choose(List(dlg, "DEVICE"), "TORVA40/45E-II");
      dlg.OnOK();  // the network dialog is cancelled
      QCOMPARE(ran, std::vector<QString>{"CNetworkDlg"});
      Choose(List(dlg, "DEVICE"), "TORVA40/45S");
      Choose(List(dlg, "Baudrate"), "19200");
      QTest::mouseClick(Button(dlg, "Cancel"), Qt::LeftButton);
    }
    QCOMPARE(ReadFileBytes(f.dir.File("torvaset.INI")), std::string());

    {
      CPortSettingDlg dlg(f.env);
      dlg.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
      Choose(List(dlg, "DEVICE"), "TORVA40/45S");
      Choose(List(dlg, "Baudrate"), "19200");
      Choose(List(dlg, "FlowControl"), "NONE");
      QTest::mouseClick(Button(dlg, "OK"), Qt::LeftButton);
    }
    QCOMPARE(ReadFileBytes(f.dir.File("torvaset.INI")),
             std::string("[LASTCONNECTION]\r\nModel=TORVA40/45S\r\nPort=/dev/ttyS3\r\n"
                         "Baudrate=19200\r\nDataBits=8\r\nParity=0\r\nStopBits=0\r\n"
                         "FlowControl=3\r\n"));
    CPortSettingDlg next(f.env);
    QCOMPARE(Chosen(next),
             (QStringList{"TORVA40/45S", "/dev/ttyS3", "19200", "8 Bits", "NONE", "1", "NONE"}));
  }

  void checkAsksThePrinterOnTheChosenPort_data() {
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("status");
    QTest::newRow("serial, answering") << QStringList{} << "TORVA40/45S"
                                       << "The printer answered on SERIAL: 20";
    QTest::newRow("serial, other status byte")
        << QStringList{"--status-byte", "0x1f"} << "TORVA40/45S"
        << "The printer answered on SERIAL: 1F";
    QTest::newRow("serial, silent") << QStringList{"--silent"} << "TORVA40/45S"
                                    << "SERIAL: no answer within half a second";
    QTest::newRow("network, answering")
        << QStringList{"--no-serial", "--tcp-port", "0"} << "TORVA40/45E-II"
        << "The printer answered on TCP: 20";
    QTest::newRow("network, silent")
        << QStringList{"--no-serial", "--tcp-port", "0", "--silent"} << "TORVA40/45E-II"
        << "TCP: no answer within half a second";
  }

  void checkAsksThePrinterOnTheChosenPort() {
    QFETCH(QStringList, simOptions);
    QFETCH(QString, model);
    QFETCH(QString, status);
    DialogFixture f;
    CSimProcess sim;
    std::vector<std::string> args{"--capture", f.dir.File("cap.bin")};
    for (const QString& o : simOptions) args.push_back(o.toStdString());
    QVERIFY2(sim.Start(args), sim.Error().c_str());
    if (!sim.SerialPath().empty()) f.env.m_serialPorts = {sim.SerialPath()};
    CPortSettingDlg dlg(f.env);
    dlg.NetworkDlg().m_strIpAddress = "127.0.0.1";
    dlg.NetworkDlg().m_nPort = static_cast<unsigned>(sim.TcpPort());
    Choose(List(dlg, "DEVICE"), model);
    QVERIFY(Button(dlg, "OK")->isEnabled());

    QTest::mouseClick(Button(dlg, "Check"), Qt::LeftButton);
    QString expected = status;
    expected.replace("SERIAL", QString::fromStdString(sim.SerialPath()))
        .replace("TCP", QString("127.0.0.1:%1").arg(sim.TcpPort()));
    QCOMPARE(dlg.findChild<QLabel*>("CheckStatus")->text(), expected);
    // The printer got the printer check and nothing else; OK is as it was, nothing popped up.
    std::string received;
    for (int i = 0; i < 200 && received.size() < 3; ++i) {
      QTest::qWait(10);
      received = ReadFileBytes(f.dir.File("cap.bin"));
    }
    QCOMPARE(received, std::string("\x1D\x49\x01"));
    QVERIFY(Button(dlg, "OK")->isEnabled());
    QVERIFY(f.Messages().empty());
    QVERIFY(f.env.m_connects.empty());
    // The answer belongs to that connection: another model clears it.
    Choose(List(dlg, "DEVICE"), "TORVA40/45P");
    QCOMPARE(dlg.findChild<QLabel*>("CheckStatus")->text(), QString());
  }
};

std::unique_ptr<QObject> MakeConnectionAidsTest() { return std::make_unique<ConnectionAidsTest>(); }

}  // namespace torva::test

#include "connection_aids_test.moc"
