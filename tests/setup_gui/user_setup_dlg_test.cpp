// The User Setup dialog against the simulated printer: what Get Value shows is the printer's
// state, what Set Value and TEST send reaches it; and the dialog's model-line views and the
// two questions between water mark and two-colour paper.
#include <QPlainTextEdit>
#include <QTest>
#include <chrono>

#include "network/printer_socket.h"
#include "setup_gui_fixture.h"
#include "support/pty_pair.h"

namespace torva::test {
namespace {

constexpr int kReplyWaitMs = 10000;

QString StatusText(QWidget& dlg) { return Find<QLabel>(dlg, "Status")->text(); }

bool Bold(QWidget& dlg, const char* label) { return Find<QLabel>(dlg, label)->font().bold(); }

void ChooseListEntry(QWidget& dlg, const char* name, const QString& startsWith) {
  auto* list = Find<QComboBox>(dlg, name);
  for (int i = 0; i < list->count(); ++i) {
    if (list->itemText(i).startsWith(startsWith)) {
      list->setCurrentIndex(i);
      emit list->activated(i);
      return;
    }
  }
  QFAIL("no such list entry");
}

void TypeInto(QWidget& dlg, const char* name, const QString& text) {
  auto* field = Find<QLineEdit>(dlg, name);
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
}

class UserSetupDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void getValueShowsThePrintersState() {
    SetupFixture f;
    QVERIFY2(f.StartSim(R"({"1": 2, "2": 3, "3": 2, "246": 16, "249": 180, "250": 300})"),
             qPrintable(QString::fromStdString(f.sim.Error())));
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(dlg.windowTitle(), QString("TORVASet : User Setup"));
    QVERIFY(Find<QPlainTextEdit>(dlg, "MODEL")->toPlainText().contains("test line"));

    // 58mm by hand selects 32 columns; the printer's "2" then selects 30.
    Click(dlg, "PaperWidth1");
    QCOMPARE(Find<QComboBox>(dlg, "Columns")->currentIndex(), 1);
    QVERIFY(Find<QComboBox>(dlg, "Columns")->isEnabled());

    Click(dlg, "GetValue");
    QTRY_COMPARE_WITH_TIMEOUT(StatusText(dlg), QString("18 of 18 settings read"), kReplyWaitMs);
    QVERIFY(Checked(dlg, "PaperWidth1"));
    QCOMPARE(Find<QComboBox>(dlg, "Columns")->currentIndex(), 0);
    QCOMPARE(Find<QLineEdit>(dlg, "LeftMargin")->text(), QString("300"));
    QVERIFY(Find<QComboBox>(dlg, "CodePage")->currentText().startsWith("16|"));
    QCOMPARE(Find<QComboBox>(dlg, "MaxSpeed")->currentText(), QString("180"));
    QCOMPARE(Find<QComboBox>(dlg, "NvUser")->currentText(), QString("128"));
    QCOMPARE(Find<QComboBox>(dlg, "NvGraphic")->currentText(), QString("128"));
    // Nothing was changed since the read.
    QVERIFY(!Bold(dlg, "Label_PaperWidth"));
    QVERIFY(!Bold(dlg, "Label_LeftMargin"));
    QVERIFY(f.fakes.ui.Messages().empty());
  }

  void changedMarginAndCodePageAreWritten() {
    SetupFixture f;
    QVERIFY(f.StartSim(R"({"246": 0, "250": 10})"));
    f.UseRealClock();
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    Click(dlg, "GetValue");
    QTRY_COMPARE_WITH_TIMEOUT(StatusText(dlg), QString("18 of 18 settings read"), kReplyWaitMs);
    QCOMPARE(Find<QLineEdit>(dlg, "LeftMargin")->text(), QString("10"));

    TypeInto(dlg, "LeftMargin", "120");
    ChooseListEntry(dlg, "CodePage", "2|");
    QVERIFY(Bold(dlg, "Label_LeftMargin"));
    QVERIFY(Bold(dlg, "Label_CodePage"));
    QVERIFY(!Bold(dlg, "Label_PaperWidth"));

    Click(dlg, "SetValue");
    QTRY_COMPARE_WITH_TIMEOUT(f.StateValue(250), 120L, kReplyWaitMs);
    QCOMPARE(f.StateValue(246), 2L);
    // Written: no longer marked.
    QVERIFY(!Bold(dlg, "Label_LeftMargin"));
    QVERIFY(!Bold(dlg, "Label_CodePage"));
    QVERIFY(Find<QPushButton>(dlg, "GetValue")->isEnabled());
  }

  void marginOutOfRangeIsRefusedAtTheField() {
    SetupFixture f;
    QVERIFY(f.StartSim(R"({"250": 10})"));
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    dlg.show();
    TypeInto(dlg, "LeftMargin", "600");
    Click(dlg, "SetValue");
    QCOMPARE(f.fakes.ui.MessageTexts(),
             std::vector<std::string>{"Please enter an integer between 0 and 512."});
    QTRY_VERIFY(Find<QLineEdit>(dlg, "LeftMargin")->hasFocus());
    QTest::qWait(300);
    QCOMPARE(f.StateValue(250), 10L);
  }

  void defaultThenSetValueWritesTheDefaults() {
    SetupFixture f;
    QVERIFY(f.StartSim(R"({"3": 2, "248": 256, "250": 300})"));
    f.UseRealClock();
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    // Not a Korean system: the setting-248 row is reserved.
    QCOMPARE(Find<QLabel>(dlg, "Label_BoldFont")->text(), QString("Reserved"));
    QVERIFY(!Find<QWidget>(dlg, "BoldFont0")->isEnabled());

    f.fakes.ui.m_answers.push_back(true);
    Click(dlg, "Default");
    QVERIFY(Checked(dlg, "PaperWidth0"));
    QVERIFY(Checked(dlg, "BoldFont0"));  // OFF, though it cannot be changed
    QVERIFY(!Find<QWidget>(dlg, "BoldFont0")->isEnabled());
    Click(dlg, "SetValue");
    QTRY_COMPARE_WITH_TIMEOUT(f.StateValue(250), 0L, kReplyWaitMs);
    QCOMPARE(f.StateValue(3), 6L);
    QCOMPARE(f.StateValue(248), 257L);  // OFF: nL 1, nH 1
  }

  void testPrintReachesThePrinter() {
    SetupFixture f;
    QVERIFY(f.StartSim());
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    Click(dlg, "TEST");
    QTRY_VERIFY_WITH_TIMEOUT(
        ReadFileBytes(f.dir.File("capture.bin")).find("USER SETUP UTILITY TEST PRINT!\n") !=
            std::string::npos,
        kReplyWaitMs);
    QVERIFY(Find<QPushButton>(dlg, "SetValue")->isEnabled());
  }

  void getValueOverTcp() {
    SetupFixture f;
    QVERIFY(f.StartSim(R"({"250": 77, "253": 257})"));
    CPrinterSocket socket;
    SetupConnection c;
    c.eLink = ExchangeLink::Network;
    c.pSocket = &socket;
    c.strIpAddress = "127.0.0.1";
    c.nTcpPort = f.sim.TcpPort();
    CUserSetupDlg dlg(6, c);
    QVERIFY(dlg.OnInitDialog());
    Click(dlg, "GetValue");
    QTRY_COMPARE_WITH_TIMEOUT(StatusText(dlg), QString("17 of 17 settings read"), kReplyWaitMs);
    QCOMPARE(Find<QLineEdit>(dlg, "LeftMargin")->text(), QString("77"));
    // The stop bit is never asked over the network.
    QVERIFY(!Checked(dlg, "StopBit0") && !Checked(dlg, "StopBit1"));
  }

  void modelLineViews_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("newOptions");
    QTest::addColumn<bool>("nvLists");
    QTest::addColumn<bool>("bell");
    QTest::newRow("TORVA20") << 1 << true << true << true;
    QTest::newRow("code 4") << 4 << true << true << false;
    QTest::newRow("TORVA30") << 5 << false << false << true;
  }
  void modelLineViews() {
    QFETCH(int, model);
    QFETCH(bool, newOptions);
    QFETCH(bool, nvLists);
    QFETCH(bool, bell);
    SetupFixture f;
    CPtyPair line;
    SetSerialSettings(f.port, line.SlavePath());
    CUserSetupDlg dlg(model, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    for (const char* name : {"Emulation", "PrintDensity", "AutoCut", "SelfTestMode", "KitchenBell",
                             "UsbMode", "LcdPassword"}) {
      QCOMPARE(!Find(dlg, name)->isHidden(), newOptions);
    }
    for (const char* name : {"PaperSave", "Sleep", "WifiKeep"})
      QVERIFY(!Find(dlg, name)->isHidden());
    QCOMPARE(!Find(dlg, "LogoPicture")->isHidden(), !newOptions);
    QVERIFY(!Find<QLabel>(dlg, "LogoPicture")->pixmap().isNull());
    QCOMPARE(Find(dlg, "NvGraphic")->isEnabled(), nvLists);
    QCOMPARE(Find(dlg, "NvUser")->isEnabled(), nvLists);
    for (const char* name :
         {"BellType", "BellTimes", "KitchenBell0", "Sleep", "UsbMode1", "WifiKeep0"}) {
      if (!Find(dlg, name)->isVisibleTo(&dlg)) continue;  // hidden on this line
      QVERIFY2(Find(dlg, name)->isEnabled() == bell, name);
    }
    for (const char* label :
         {"Label_Bell", "Label_KitchenBell", "Label_UsbMode", "Label_Sleep", "Label_WifiKeep"}) {
      if (!Find(dlg, label)->isVisibleTo(&dlg)) continue;
      QVERIFY2((Find<QLabel>(dlg, label)->text() == "Reserved") == !bell, label);
    }
  }

  void waterMarkAgainstTwoColour_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("twoColour");
    QTest::addColumn<bool>("waterMark");
    QTest::newRow("water mark on 2Color, Yes: one colour") << "PaperType1"
                                                           << "WaterMark1" << true << false << true;
    QTest::newRow("water mark on 2Color, No: no water mark")
        << "PaperType1"
        << "WaterMark1" << false << true << false;
    QTest::newRow("2Color with water mark, Yes: water mark off")
        << "WaterMark1"
        << "PaperType1" << true << true << false;
    QTest::newRow("2Color with water mark, No: Black") << "WaterMark1"
                                                       << "PaperType1" << false << false << true;
  }
  void waterMarkAgainstTwoColour() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, yes);
    QFETCH(bool, twoColour);
    QFETCH(bool, waterMark);
    SetupFixture f;
    CPtyPair line;
    SetSerialSettings(f.port, line.SlavePath());
    CUserSetupDlg dlg(1, f.Serial());
    QVERIFY(dlg.OnInitDialog());
    Click(dlg, first.toUtf8().constData());
    QVERIFY(f.fakes.ui.Questions().empty());
    f.fakes.ui.m_answers.push_back(yes);
    Click(dlg, second.toUtf8().constData());
    QCOMPARE(f.fakes.ui.Questions().size(), size_t{1});
    QVERIFY(Checked(dlg, twoColour ? "PaperType1" : "PaperType0"));
    QVERIFY(Checked(dlg, waterMark ? "WaterMark1" : "WaterMark0"));
    QCOMPARE(Find(dlg, "ImageNo")->isEnabled(), waterMark);
    if (!twoColour) QVERIFY(!Find(dlg, "ColorDensity")->isEnabled());
  }
};

}  // namespace

std::unique_ptr<QObject> MakeUserSetupDlgTest() { return std::make_unique<UserSetupDlgTest>(); }

}  // namespace torva::test

#include "user_setup_dlg_test.moc"
