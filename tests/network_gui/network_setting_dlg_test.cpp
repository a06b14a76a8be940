// The Network Setting dialog with Qt Test: the row click, the checks of both kinds of change,
// the question and its captions, service mode, the search and the set against the
// simulator's responder on loopback (requests to 127.0.0.1:P, replies to Q; never a
// broadcast).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

#include "app/app.h"
#include "app/error_log.h"
#include "app/messages.h"
#include "net_options.h"
#include "net_responder.h"
#include "network/gui/network_setting_dlg.h"
#include "support/fake_services.h"
#include "support/free_port.h"

namespace torva::test {
namespace {

const char* kPrinterA = "ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,mac=00:2B:9E:00:00:0A,dhcp=0,port=6001";
const char* kPrinterB = "ip=192.168.0.11,mask=255.255.0.0,gw=192.168.0.2,mac=00:2B:9E:00:00:0B,dhcp=1,port=9100";
const char* kPrinterC = "ip=10.1.2.3,mask=255.0.0.0,gw=10.0.0.1,mac=00:2B:9E:00:00:0C,dhcp=0,port=515";

// Short enough to keep the suite quick; the responder answers at once on loopback.
constexpr int kTestReceiveTimeoutMs = 300;

// The simulator's responder on 127.0.0.1 and the parameters that reach it.
struct LoopbackPrinters {
  explicit LoopbackPrinters(const std::vector<std::string>& descs) {
    sim::NetResponderOptions options;
    options.m_strListenAddress = "127.0.0.1";
    options.m_nListenPort = 0;
    options.m_nReplyPort = FreeUdpPort();
    for (const auto& desc : descs) {
      sim::NetSimPrinter printer;
      std::string error;
      if (!sim::ParseNetPrinter(desc, printer, error)) qFatal("bad printer %s", error.c_str());
      options.m_printers.push_back(printer);
    }
    std::string error;
    if (!responder.Start(options, error)) qFatal("responder: %s", error.c_str());
    params.m_strBroadcast = "127.0.0.1";
    params.m_nPort = responder.ListenPort();
    params.m_nListenPort = options.m_nReplyPort;
    params.m_nReceiveTimeoutMs = kTestReceiveTimeoutMs;
  }

  // The datagrams heard once there are n of them, or after a bounded wait (its thread takes
  // them a moment after they were sent).
  std::vector<sim::NetSimDatagram> Heard(size_t n, int waitMs = 2000) const {
    for (int i = 0; i < waitMs / 10 && responder.Heard().size() < n; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return responder.Heard();
  }

  sim::CNetResponder responder;
  NetDiscoveryParams params;
};

// Parameters that reach nobody: loopback, a port no one listens on.
NetDiscoveryParams NowhereParams() {
  NetDiscoveryParams params;
  params.m_strBroadcast = "127.0.0.1";
  params.m_nPort = FreeUdpPort();
  params.m_nListenPort = FreeUdpPort();
  params.m_nReceiveTimeoutMs = kTestReceiveTimeoutMs;
  return params;
}

struct Fixture {
  explicit Fixture(int language = kLangEnglish) {
    fakes.system.m_nLanguage = language;
    fakes.system.m_strStartDir = dir.Path();
    theApp().InitPaths("torvaset");
    theMsg.SelectLanguage(language);
    // Whatever a test forgets, the exchanges never leave loopback.
    WriteFileBytes(dir.File("torvaset.INI"), "[NETWORK]\r\nBROADCAST=127.0.0.1\r\nPORT=" +
                                                  std::to_string(FreeUdpPort()) +
                                                  "\r\nLISTENPORT=" +
                                                  std::to_string(FreeUdpPort()) + "\r\n");
  }
  ~Fixture() { theLog.CloseLog(); }
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  std::vector<std::string> Messages() const { return fakes.ui.MessageTexts(); }

  ScopedFakeServices fakes;
  ScopedTempDir dir{true};
};

template <typename T>
T* Child(QWidget& dlg, const char* name) {
  auto* w = dlg.findChild<T*>(name);
  if (w == nullptr) qFatal("no control %s", name);
  return w;
}
QPushButton* Button(QWidget& dlg, const char* name) { return Child<QPushButton>(dlg, name); }
QLineEdit* Edit(QWidget& dlg, const char* name) { return Child<QLineEdit>(dlg, name); }
QTableWidget* List(QWidget& dlg) { return Child<QTableWidget>(dlg, "PrinterList"); }

NetPrinterReply Reply(const char* desc) {
  sim::NetSimPrinter p;
  std::string error;
  if (!sim::ParseNetPrinter(desc, p, error)) qFatal("bad printer %s", error.c_str());
  NetPrinterReply reply;
  reply.m_strSource = "127.0.0.2";
  reply.m_packet.m_ip = p.m_ip;
  reply.m_packet.m_mask = p.m_mask;
  reply.m_packet.m_gateway = p.m_gateway;
  reply.m_packet.m_mac = p.m_mac;
  reply.m_packet.m_bDhcp = p.m_bDhcp;
  reply.m_packet.m_nPort = p.m_nPort;
  return reply;
}

QStringList RowTexts(QTableWidget* list, int row) {
  QStringList texts;
  for (int c = 0; c < list->columnCount(); ++c) texts << list->item(row, c)->text();
  return texts;
}

const char* const kManualControls[] = {"MacLabel", "MacLow1", "MacColon1", "MacLow2",
                                       "MacColon2", "MacLow3", "ManuallyChange"};

std::vector<uint8_t> Bytes(const NetSettingPacket& packet) {
  const NetPacketBytes bytes = packet.ToBytes();
  return {bytes.begin(), bytes.end()};
}

}  // namespace

class NetworkSettingDlgTest : public QObject {
  Q_OBJECT

  // A dialog in service mode (or not) whose exchanges reach nobody, with printer A listed
  // and clicked, so that both changes can be tried.
  std::unique_ptr<CNetworkSettingDlg> ReadyDialog(Fixture& f, bool service,
                                                  const NetDiscoveryParams& params) {
    f.fakes.ui.m_bCtrl = service;
    auto dlg = std::make_unique<CNetworkSettingDlg>();
    dlg->SetDiscoveryParams(params);
    dlg->AddPrinterRow(Reply(kPrinterA));
    dlg->OnListClick(0);
    return dlg;
  }

 private slots:
  void startState() {
    Fixture f;
    CNetworkSettingDlg dlg;
    QCOMPARE(dlg.windowTitle(), QString("Ethernet-II Network Setting"));
    QTableWidget* list = List(dlg);
    QVERIFY(list->showGrid());
    QCOMPARE(list->columnCount(), 5);
    const QStringList titles{"IP", "Port", "Subnet", "Gateway", "Mac Address"};
    const int widths[] = {130, 60, 130, 130};
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(list->horizontalHeaderItem(c)->text(), titles[c]);
      if (c < 4) QVERIFY(list->columnWidth(c) >= widths[c]);  // wider where the font needs it
    }
    QVERIFY(list->columnWidth(0) >
            list->fontMetrics().horizontalAdvance("255.255.255.255 (DHCP)"));
    QCOMPARE(list->rowCount(), 0);
    QVERIFY(!Button(dlg, "ChangeSetting")->isEnabled());
    QVERIFY(Button(dlg, "EXIT")->isDefault());
    QCOMPARE(Edit(dlg, "PORT")->text(), QString("0"));
    QCOMPARE(dlg.m_nPort, 0u);
  }

  void koreanCaptions_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("English") << kLangEnglish
                             << QStringList{"Search Printer", "Change Setting", "EXIT"};
    QTest::newRow("Korean") << kLangKorean << QStringList{"프린터 검색", "설정 변경", "닫기"};
  }

  void koreanCaptions() {
    QFETCH(int, language);
    QFETCH(QStringList, captions);
    Fixture f(language);
    CNetworkSettingDlg dlg;
    QCOMPARE(Button(dlg, "SearchPrinter")->text(), captions[0]);
    QCOMPARE(Button(dlg, "ChangeSetting")->text(), captions[1]);
    QCOMPARE(Button(dlg, "EXIT")->text(), captions[2]);
  }

  void manualControlsOnlyWithCtrl() {
    Fixture f;
    CNetworkSettingDlg dlg;
    for (const char* name : kManualControls) QVERIFY2(Child<QWidget>(dlg, name)->isHidden(), name);
    f.fakes.ui.m_bCtrl = true;
    dlg.OnInitDialog();  // the next opening, Ctrl held
    for (const char* name : kManualControls) QVERIFY2(!Child<QWidget>(dlg, name)->isHidden(), name);
    f.fakes.ui.m_bCtrl = false;
    dlg.OnInitDialog();
    for (const char* name : kManualControls) QVERIFY2(Child<QWidget>(dlg, name)->isHidden(), name);
  }

  void rowClickTakesTheRow_data() {
    QTest::addColumn<QString>("desc");
    QTest::addColumn<bool>("dhcp");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("port");
    QTest::newRow("DHCP suffix ticks") << kPrinterB << true << "192.168.0.11" << "9100";
    QTest::newRow("no suffix clears") << kPrinterA << false << "192.168.0.10" << "6001";
  }

  void rowClickTakesTheRow() {
    QFETCH(QString, desc);
    QFETCH(bool, dhcp);
    QFETCH(QString, ip);
    QFETCH(QString, port);
    Fixture f;
    CNetworkSettingDlg dlg;
    const NetPrinterReply reply = Reply(desc.toStdString().c_str());
    dlg.AddPrinterRow(reply);
    QCOMPARE(List(dlg)->item(0, 0)->text(), QString::fromStdString(FormatIpColumn(reply.m_packet)));
    Child<QCheckBox>(dlg, "DHCP")->setChecked(!dhcp);

    dlg.OnListClick(0);
    QCOMPARE(Child<QCheckBox>(dlg, "DHCP")->isChecked(), dhcp);
    QCOMPARE(Edit(dlg, "IP")->text(), ip);
    QVERIFY(Edit(dlg, "IP")->hasAcceptableInput());
    QCOMPARE(Edit(dlg, "PORT")->text(), port);
    QCOMPARE(dlg.m_nPort, port.toUInt());
    QCOMPARE(Edit(dlg, "Subnet")->text(), QString::fromStdString(FormatAddress(reply.m_packet.m_mask)));
    QCOMPARE(Edit(dlg, "Gateway")->text(),
             QString::fromStdString(FormatAddress(reply.m_packet.m_gateway)));
    QCOMPARE(dlg.m_strSelectedMac, FormatMac(reply.m_packet.m_mac));
    QVERIFY(Button(dlg, "ChangeSetting")->isEnabled());

    dlg.OnListClick(-1);
    QVERIFY(!Button(dlg, "ChangeSetting")->isEnabled());
    QCOMPARE(Edit(dlg, "IP")->text(), ip);  // a click beside the rows changes no field
  }

  void mouseClicksInTheList() {
    Fixture f;
    CNetworkSettingDlg dlg;
    dlg.AddPrinterRow(Reply(kPrinterA));
    dlg.AddPrinterRow(Reply(kPrinterB));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTableWidget* list = List(dlg);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1, 0)).center());
    QCOMPARE(Edit(dlg, "IP")->text(), QString("192.168.0.11"));
    QVERIFY(Child<QCheckBox>(dlg, "DHCP")->isChecked());
    QVERIFY(Button(dlg, "ChangeSetting")->isEnabled());

    const QRect last = list->visualItemRect(list->item(1, 0));
    const QPoint beside(last.center().x(), last.bottom() + last.height() * 2);
    QVERIFY(list->viewport()->rect().contains(beside));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beside);
    QVERIFY(!Button(dlg, "ChangeSetting")->isEnabled());
    dlg.hide();
  }

  void hostByteCheck_data() {
    QTest::addColumn<bool>("manual");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("refused");
    for (bool manual : {false, true}) {
      const char* kind = manual ? "Manually change" : "Change Setting";
      for (const char* ip : {"192.168.0.0", "192.168.0.255", "192.168.0.1", "192.168.0.254"}) {
        const bool edge = QString(ip).endsWith(".0") || QString(ip).endsWith(".255");
        QTest::addRow("%s %s", kind, ip) << manual << QString(ip) << (edge && !manual);
      }
    }
  }

  void hostByteCheck() {
    QFETCH(bool, manual);
    QFETCH(QString, ip);
    QFETCH(bool, refused);
    Fixture f;
    auto dlg = ReadyDialog(f, manual, NowhereParams());
    Edit(*dlg, "IP")->setText(ip);
    Edit(*dlg, "PORT")->setText("9000");
    manual ? dlg->OnManualChange() : dlg->OnChangeSetting();  // the question is answered No
    if (refused) {
      QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::IpAddressRange]});
      QVERIFY(f.fakes.ui.Questions().empty());
      QCOMPARE(dlg->m_nPort, 6001u);  // the fields stay as they were
      QVERIFY(Button(*dlg, "ChangeSetting")->isEnabled());
    } else {
      QVERIFY(f.Messages().empty());
      QCOMPARE(f.fakes.ui.Questions(), std::vector<std::string>{theMsg[MsgId::AskChangeNetwork]});
      QCOMPARE(dlg->m_nPort, 9000u);
    }
  }

  void portCheck_data() {
    QTest::addColumn<bool>("manual");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("accepted");
    struct Row {
      const char* port;
      bool selectedOk;
      bool manualOk;
    };
    const Row rows[] = {{"515", true, false},  {"1023", false, false}, {"65535", false, false},
                        {"1024", true, true},  {"65534", true, true},  {"", false, false},
                        {"4294967296", false, false}};
    for (const Row& r : rows) {
      QTest::addRow("Change Setting %s", r.port) << false << QString(r.port) << r.selectedOk;
      QTest::addRow("Manually change %s", r.port) << true << QString(r.port) << r.manualOk;
    }
  }

  void portCheck() {
    QFETCH(bool, manual);
    QFETCH(QString, port);
    QFETCH(bool, accepted);
    Fixture f;
    auto dlg = ReadyDialog(f, manual, NowhereParams());
    Edit(*dlg, "PORT")->setText(port);
    manual ? dlg->OnManualChange() : dlg->OnChangeSetting();
    if (accepted) {
      QVERIFY(f.Messages().empty());
      QCOMPARE(f.fakes.ui.Questions(), std::vector<std::string>{theMsg[MsgId::AskChangeNetwork]});
      QCOMPARE(dlg->m_nPort, port.toUInt());
      QVERIFY(!Button(*dlg, "ChangeSetting")->isEnabled());
    } else {
      QCOMPARE(f.Messages(), std::vector<std::string>{theMsg[MsgId::TcpPortRange]});
      QVERIFY(f.fakes.ui.Questions().empty());
      QVERIFY(Button(*dlg, "ChangeSetting")->isEnabled());  // the question was not reached
    }
  }

  void noSendsNothing_data() {
    QTest::addColumn<bool>("manual");
    QTest::newRow("Change Setting") << false;
    QTest::newRow("Manually change") << true;
  }

  void noSendsNothing() {
    QFETCH(bool, manual);
    Fixture f;
    LoopbackPrinters net({kPrinterA});
    auto dlg = ReadyDialog(f, manual, net.params);
    f.fakes.ui.m_answers = {false};
    manual ? dlg->OnManualChange() : dlg->OnChangeSetting();
    QCOMPARE(f.fakes.ui.Questions(), std::vector<std::string>{theMsg[MsgId::AskChangeNetwork]});
    QVERIFY(f.Messages().empty());  // no "Update Complete"
    QVERIFY(!Button(*dlg, "ChangeSetting")->isEnabled());
    QVERIFY(net.Heard(1, 200).empty());
  }

  void searchListsPrintersInArrivalOrder() {
    Fixture f;
    LoopbackPrinters net({kPrinterA, kPrinterB, kPrinterC});
    CNetworkSettingDlg dlg;
    dlg.SetDiscoveryParams(net.params);
    for (int round = 0; round < 2; ++round) {  // a new search clears the list first
      QTest::mouseClick(Button(dlg, "SearchPrinter"), Qt::LeftButton);
      QTableWidget* list = List(dlg);
      QCOMPARE(list->rowCount(), 3);
      QCOMPARE(RowTexts(list, 0), (QStringList{"192.168.0.10", "6001", "255.255.255.0",
                                               "192.168.0.1", "00:2B:9E:00:00:0A"}));
      QCOMPARE(RowTexts(list, 1), (QStringList{"192.168.0.11 (DHCP)", "9100", "255.255.0.0",
                                               "192.168.0.2", "00:2B:9E:00:00:0B"}));
      QCOMPARE(RowTexts(list, 2), (QStringList{"10.1.2.3", "515", "255.0.0.0", "10.0.0.1",
                                               "00:2B:9E:00:00:0C"}));
    }
    QCOMPARE(f.Messages(), (std::vector<std::string>{theMsg[MsgId::SearchFinished],
                                                     theMsg[MsgId::SearchFinished]}));
    QCOMPARE(f.fakes.ui.WaitCursorChanges(), 4);
    QVERIFY(!f.fakes.ui.WaitCursorOn());
    QCOMPARE(net.Heard(2).size(), size_t{2});  // one request per search
  }

  void searchFollowsTheSettingsFile() {
    Fixture f;
    LoopbackPrinters net({kPrinterC});
    WriteFileBytes(f.dir.File("torvaset.INI"),
                   "[NETWORK]\r\nBROADCAST=127.0.0.1\r\nPORT=" +
                       std::to_string(net.params.m_nPort) + "\r\nLISTENPORT=" +
                       std::to_string(net.params.m_nListenPort) + "\r\n");
    CNetworkSettingDlg dlg;  // no parameters of its own
    dlg.OnSearchPrinter();
    QCOMPARE(List(dlg)->rowCount(), 1);
    QCOMPARE(List(dlg)->item(0, 0)->text(), QString("10.1.2.3"));
  }

  void changeSettingSendsTheRowsPrinterItsNewSettings() {
    Fixture f;
    LoopbackPrinters net({kPrinterA, kPrinterB});
    CNetworkSettingDlg dlg;
    dlg.SetDiscoveryParams(net.params);
    dlg.OnSearchPrinter();
    dlg.OnListClick(1);
    Edit(dlg, "IP")->setText("192.168.0.254");
    Edit(dlg, "Subnet")->setText("255.255.255.0");
    Edit(dlg, "Gateway")->setText("192.168.0.1");
    Edit(dlg, "PORT")->setText("6001");
    Child<QCheckBox>(dlg, "DHCP")->setChecked(false);
    f.fakes.ui.Clear();
    f.fakes.ui.m_answers = {true};
    dlg.OnChangeSetting();

    QCOMPARE(f.fakes.ui.Questions(), std::vector<std::string>{theMsg[MsgId::AskChangeNetwork]});
    const auto messages = f.fakes.ui.Messages();
    QCOMPARE(messages.size(), size_t{1});
    QCOMPARE(messages[0].text, std::string(theMsg[MsgId::UpdateCompleteNetwork]));
    QCOMPARE(messages[0].caption, std::string("Notice"));
    QVERIFY(!Button(dlg, "ChangeSetting")->isEnabled());

    NetSettingPacket expected;
    expected.m_command = NetCommand::Set;
    expected.m_ip = {192, 168, 0, 254};
    expected.m_mask = {255, 255, 255, 0};
    expected.m_gateway = {192, 168, 0, 1};
    expected.m_mac = {0x00, 0x2B, 0x9E, 0x00, 0x00, 0x0B};
    expected.m_nPort = 6001;
    const auto heard = net.Heard(3);
    QCOMPARE(heard.size(), size_t{3});  // the search, the set, the follow-up
    QCOMPARE(heard[1].m_bytes, Bytes(expected));
    expected.m_command = NetCommand::SetFollowUp;
    QCOMPARE(heard[2].m_bytes, Bytes(expected));

    dlg.OnSearchPrinter();  // the printer took them
    QCOMPARE(RowTexts(List(dlg), 1), (QStringList{"192.168.0.254", "6001", "255.255.255.0",
                                                  "192.168.0.1", "00:2B:9E:00:00:0B"}));
  }

  void manualChangeAddressesTheLowMacBytes() {
    Fixture f;
    LoopbackPrinters net({kPrinterA, kPrinterC});
    f.fakes.ui.m_bCtrl = true;
    CNetworkSettingDlg dlg;
    dlg.SetDiscoveryParams(net.params);
    Edit(dlg, "IP")->setText("10.1.2.255");  // taken without the host byte check
    Edit(dlg, "Subnet")->setText("255.255.0.0");
    Edit(dlg, "Gateway")->setText("10.1.0.1");
    Edit(dlg, "PORT")->setText("9100");
    Child<QCheckBox>(dlg, "DHCP")->setChecked(true);
    Edit(dlg, "MacLow1")->setText("00");
    Edit(dlg, "MacLow2")->setText("00");
    Edit(dlg, "MacLow3")->setText("0C");
    f.fakes.ui.m_answers = {true};
    QTest::mouseClick(Button(dlg, "ManuallyChange"), Qt::LeftButton);

    const auto messages = f.fakes.ui.Messages();
    QCOMPARE(messages.size(), size_t{1});
    QCOMPARE(messages[0].text, std::string(theMsg[MsgId::UpdateCompleteNetwork]));
    QCOMPARE(messages[0].caption, std::string("TORVASet"));
    QCOMPARE(dlg.m_strMacLow, (std::array<std::string, 3>{"00", "00", "0C"}));
    const auto heard = net.Heard(2);
    QCOMPARE(heard.size(), size_t{2});
    QCOMPARE(std::vector<uint8_t>(heard[0].m_bytes.begin() + 15, heard[0].m_bytes.begin() + 24),
             (std::vector<uint8_t>{0x00, 0x2B, 0x9E, 0x00, 0x00, 0x0C, 0x01, 0x23, 0x8C}));

    dlg.OnSearchPrinter();
    QCOMPARE(RowTexts(List(dlg), 1), (QStringList{"10.1.2.255 (DHCP)", "9100", "255.255.0.0",
                                                  "10.1.0.1", "00:2B:9E:00:00:0C"}));
    QCOMPARE(RowTexts(List(dlg), 0)[0], QString("192.168.0.10"));  // the other one untouched
  }

  void oneDialogPerOwnerKeepsItsFields() {
    Fixture f;
    QWidget owner;
    struct Seen {
      bool visible = false;
      int rows = -1;
      QString ip;
      unsigned port = 0;
      bool changeEnabled = true;
    };
    std::vector<Seen> seen;
    auto closeWhenOpen = [&] {
      QTimer::singleShot(0, [&] {
        auto* dlg = owner.findChild<CNetworkSettingDlg*>();
        Seen s;
        s.visible = dlg->isVisible();
        s.rows = List(*dlg)->rowCount();
        s.ip = Edit(*dlg, "IP")->text();
        s.port = dlg->m_nPort;
        s.changeEnabled = Button(*dlg, "ChangeSetting")->isEnabled();
        seen.push_back(s);
        if (seen.size() == 1) {
          dlg->AddPrinterRow(Reply(kPrinterA));
          dlg->OnListClick(0);
        }
        QTest::mouseClick(Button(*dlg, "EXIT"), Qt::LeftButton);
      });
    };
    closeWhenOpen();
    RunNetworkSettingDlg(owner);
    closeWhenOpen();
    RunNetworkSettingDlg(owner);
    QCOMPARE(seen.size(), size_t{2});
    QVERIFY(seen[0].visible && seen[1].visible);
    QCOMPARE(seen[1].rows, 0);  // the list starts empty at each opening
    QCOMPARE(seen[1].ip, QString("192.168.0.10"));  // the fields keep their values
    QCOMPARE(seen[1].port, 6001u);
    QVERIFY(!seen[1].changeEnabled);
    QCOMPARE(owner.findChildren<CNetworkSettingDlg*>().size(), 1);
  }
};

}  // namespace torva::test

int main(int argc, char* argv[]) {
  // Offscreen and a private runtime folder unless the caller chose otherwise.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.isEmpty()) {
    runtime = QDir::tempPath().toUtf8() + "/torva-network-gui-tests-runtime";
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  QDir().mkpath(QString::fromUtf8(runtime));
  QFile::setPermissions(QString::fromUtf8(runtime),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QApplication app(argc, argv);
  torva::test::NetworkSettingDlgTest tests;
  return QTest::qExec(&tests, argc, argv);
}

#include "network_setting_dlg_test.moc"
