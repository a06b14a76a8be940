// Leaving the User Setup dialog never waits on its threads: closed while replies still pour
// in, or while a parallel-port read runs, it returns at once and leaves no thread behind.
#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "setup_gui_fixture.h"
#include "support/pty_pair.h"

namespace torva::test {
namespace {

constexpr qint64 kPromptMs = 1500;

// The printer's side of the line: sends one reply again and again until it is destroyed.
class CBusyPrinter {
 public:
  CBusyPrinter(CPtyPair& line, std::vector<uint8_t> reply)
      : m_thread([this, &line, reply] {
          while (!m_bStop.load()) {
            line.Send(reply);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~CBusyPrinter() {
    m_bStop = true;
    m_thread.join();
  }
  CBusyPrinter(const CBusyPrinter&) = delete;
  CBusyPrinter& operator=(const CBusyPrinter&) = delete;

 private:
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};

class UserSetupCloseTest : public QObject {
  Q_OBJECT
 private slots:
  void closeWhileRepliesArrive() {
    SetupFixture f;
    CPtyPair line;
    line.MakeSlaveRaw();
    SetSerialSettings(f.port, line.SlavePath());
    const int threadsBefore = ThreadCount();
    {
      auto dlg = std::make_unique<CUserSetupDlg>(1, f.Serial());
      QVERIFY(dlg->OnInitDialog());
      Click(*dlg, "GetValue");
      // The printer answers the margin again and again, faster than the dialog applies it.
      CBusyPrinter printer(line, {0x37, 0x27, '2', '5', '0', 0x1F, '7', 0x00});
      QTRY_COMPARE_WITH_TIMEOUT(Find<QLineEdit>(*dlg, "LeftMargin")->text(), QString("7"), 5000);
      QElapsedTimer timer;
      timer.start();
      dlg->reject();
      dlg.reset();
      QVERIFY2(timer.elapsed() < kPromptMs, qPrintable(QString::number(timer.elapsed())));
    }
    QCoreApplication::processEvents();
    f.port.JoinWatchThread();
    QTRY_COMPARE_WITH_TIMEOUT(ThreadCount(), threadsBefore, 2000);
  }

  void closeDuringAParallelRead() {
    SetupFixture f;
    CPtyPair line;
    line.MakeSlaveRaw();
    const int threadsBefore = ThreadCount();
    {
      SetupConnection c;
      c.eLink = ExchangeLink::Parallel;
      c.strParallelPath = line.SlavePath();
      CUserSetupDlg dlg(1, c);
      QVERIFY(dlg.OnInitDialog());
      Click(dlg, "GetValue");
      // The read runs: nothing but leaving by the close box is offered.
      QVERIFY(!Find(dlg, "EXIT")->isEnabled());
      QVERIFY(!Find(dlg, "GetValue")->isEnabled());
      QVERIFY(f.fakes.ui.WaitCursorOn());
      QVERIFY(ThreadCount() > threadsBefore);
      QElapsedTimer timer;
      timer.start();
      dlg.reject();
      QVERIFY2(timer.elapsed() < kPromptMs, qPrintable(QString::number(timer.elapsed())));
    }
    QTRY_COMPARE_WITH_TIMEOUT(ThreadCount(), threadsBefore, 2000);
  }
};

}  // namespace

std::unique_ptr<QObject> MakeUserSetupCloseTest() { return std::make_unique<UserSetupCloseTest>(); }

}  // namespace torva::test

#include "user_setup_close_test.moc"
