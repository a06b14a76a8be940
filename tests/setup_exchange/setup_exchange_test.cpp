// The setup exchange against the simulated printer over a pseudo-terminal (serial, and as a
// parallel port) and loopback TCP; what the printer received is read from its capture.
#include "setup/setup_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "app/messages.h"
#include "network/printer_socket.h"
#include "ports/ports.h"
#include "setup/setting_model.h"
#include "setup/setup_commands.h"
#include "setup/setup_lists.h"
#include "support/fake_services.h"
#include "support/log_capture.h"
#include "support/serial_settings.h"
#include "support/sim_process.h"

namespace torva::test {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// Records every prescribed wait and really waits a twentieth of it, so that the printer's
// answers and restarts keep their order against the waits; a hook may act during a wait.
class CScaledClock final : public IClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
  void SleepMs(int ms) override {
    std::function<void(int)> hook;
    {
      std::lock_guard lock(m_mutex);
      m_waits.push_back(ms);
      hook = m_hook;
    }
    if (hook) hook(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms / 20));
  }
  std::vector<int> Waits() const {
    std::lock_guard lock(m_mutex);
    return m_waits;
  }
  void Clear() {
    std::lock_guard lock(m_mutex);
    m_waits.clear();
  }
  void OnWait(std::function<void(int)> hook) {
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<int> m_waits;
  std::function<void(int)> m_hook;
};

// The command line's sink: applies each value at once on the worker.
class CDirectSink : public ISetupSink {
 public:
  explicit CDirectSink(CSettingModel& model) : m_model(model) {}
  bool ApplySetupValue(const SetupValue& value, const std::atomic<bool>&) override {
    std::lock_guard lock(m_mutex);
    m_model.ApplyValue(value);
    ++m_nApplied;
    return true;
  }
  int Applied() {
    std::lock_guard lock(m_mutex);
    return m_nApplied;
  }

 protected:
  std::mutex m_mutex;
  CSettingModel& m_model;
  int m_nApplied = 0;
};

enum class Link { Serial, Tcp, Parallel };

class SetupExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallServices(nullptr, &clock, nullptr); }
  void TearDown() override {
    exchange.reset();
    thePort.Close();
    thePort.JoinWatchThread();
  }

  // Starts the simulator (capture on) and an exchange over link; false when it failed.
  void Start(Link link, std::vector<std::string> args = {}) {
    args.insert(args.end(), {"--capture", dir.File("capture.bin"), "--setup-restart-ms", "20"});
    if (link == Link::Tcp) args.insert(args.end(), {"--tcp-port", "0"});
    if (link == Link::Parallel) args.push_back("--parallel");
    sim = std::make_unique<CSimProcess>();
    clock.Clear();
    std::remove(dir.File("capture.bin").c_str());
    ASSERT_TRUE(sim->Start(args)) << sim->Error();
    SetupConnection c;
    if (link == Link::Tcp) {
      c.eLink = ExchangeLink::Network;
      c.pSocket = &socket;
      c.strIpAddress = "127.0.0.1";
      c.nTcpPort = sim->TcpPort();
    } else if (link == Link::Parallel) {
      c.eLink = ExchangeLink::Parallel;
      c.strParallelPath = sim->SerialPath();
    } else {
      SetSerialSettings(thePort, sim->SerialPath());
      c.eLink = ExchangeLink::Serial;
      c.pPort = &thePort;
    }
    exchange = std::make_unique<CSetupExchange>(model, *sink, c);
    ASSERT_TRUE(exchange->OpenExchange()) << ::testing::PrintToString(services.ui.MessageTexts());
  }
  // The ask commands the printer received, as setting numbers in order.
  std::vector<int> Asks() const {
    const std::string bytes = ReadFileBytes(dir.File("capture.bin"));
    std::vector<int> asks;
    for (size_t i = 0; i + 6 < bytes.size(); ++i) {
      if (bytes.compare(i, 6, "\x1D\x28\x45\x02\x00\x06", 6) == 0) {
        asks.push_back(static_cast<uint8_t>(bytes[i + 6]));
      }
    }
    return asks;
  }
  Bytes Captured() const {
    const std::string bytes = ReadFileBytes(dir.File("capture.bin"));
    return Bytes(bytes.begin(), bytes.end());
  }

  ScopedFakeServices services;
  CScaledClock clock;
  ScopedTempDir dir{true};
  CLogCapture log{dir.File("error.log")};
  std::unique_ptr<CSimProcess> sim;
  CPrinterSocket socket;
  CSettingModel model{6, false, BuiltInCodePageTexts(), {"64", "32", "20", "4"}};
  std::unique_ptr<ISetupSink> sink = std::make_unique<CDirectSink>(model);
  std::unique_ptr<CSetupExchange> exchange;
};

bool Contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

// Get Value asks every readable setting (the stop bit not over the network) and the
// printer's answers fill the model; a setting it leaves unanswered shows in the status.
TEST_F(SetupExchangeTest, GetValueFillsEverySettingAndCountsTheMissing) {
  struct Case {
    Link link;
    std::vector<std::string> args;
    std::vector<int> missing;
  };
  for (const Case& c : std::vector<Case>{{Link::Serial, {}, {}},
                                         {Link::Tcp, {}, {}},
                                         {Link::Serial, {"--setup-no-reply", "246"}, {246}},
                                         {Link::Tcp, {"--setup-reply-split", "3"}, {}}}) {
    SCOPED_TRACE(c.link == Link::Tcp ? "tcp" : "serial");
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--settings", TORVA_SOURCE_DIR "/tests/setup_exchange/settings.json"});
    Start(c.link, args);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(exchange->GetValue());
    const SetupReadStatus status = exchange->RunReadTimer();
    exchange->CloseExchange();
    const bool network = c.link == Link::Tcp;
    EXPECT_EQ(Asks(), GetValueOrder(!network));
    EXPECT_EQ(status.anMissing, c.missing);
    EXPECT_EQ(status.Text(), std::to_string(status.anAsked.size() - c.missing.size()) + " of " +
                                 std::to_string(network ? 17 : 18) + " settings read");
    // The state file's values, as the model shows them.
    EXPECT_EQ(model.m_nPaperWidth, 1);
    EXPECT_EQ(model.m_nColumns, 0);
    EXPECT_EQ(model.m_nLeftMargin, 300);
    EXPECT_EQ(model.m_nMaxSpeed, 2);  // 180 mm/s
    EXPECT_EQ(model.m_strCustomCode, "1A2B");
    EXPECT_EQ(model.m_nStopBit, network ? -1 : 1);
    EXPECT_EQ(model.m_nCodePage, c.missing.empty() ? model.ChangeCodePage(16, false) : -1);
    if (network) {
      // Ten probes at most, 10 ms after each ask.
      const std::vector<int> waits = clock.Waits();
      EXPECT_EQ(std::count(waits.begin(), waits.end(), 10), 17);
    }
    sim->Stop();
    model = CSettingModel{6, false, BuiltInCodePageTexts(), {"64", "32", "20", "4"}};
  }
}

// A write on a serial line, then a read on the same line without leaving: the line is
// opened again after the printer's restart, so the read sees what was written.
TEST_F(SetupExchangeTest, SetValueThenGetValueOnTheSameSerialLine) {
  Start(Link::Serial);
  ASSERT_FALSE(HasFatalFailure());
  model.ClickPaperWidth(1);  // 58mm, 32 columns
  model.m_nLeftMargin = 300;
  model.m_nCodePage = model.ChangeCodePage(16, false);
  model.m_strCustomCode = "BEEF";
  ASSERT_TRUE(exchange->SetValue());
  EXPECT_EQ(exchange->Buttons(), SetupButtons{});
  const std::vector<int> waits = clock.Waits();
  EXPECT_NE(std::find(waits.begin(), waits.end(), CSetupExchange::kRestartWaitMs), waits.end());

  CSettingModel fresh{6, false, BuiltInCodePageTexts(), {"64", "32", "20", "4"}};
  model = fresh;
  ASSERT_TRUE(exchange->GetValue());
  const SetupReadStatus status = exchange->RunReadTimer();
  exchange->CloseExchange();
  EXPECT_TRUE(status.anMissing.empty()) << status.Text();
  EXPECT_EQ(model.m_nPaperWidth, 1);
  EXPECT_EQ(model.m_nColumns, 1);
  EXPECT_EQ(model.m_nLeftMargin, 300);
  EXPECT_EQ(model.m_nCodePage, fresh.ChangeCodePage(16, false));
  EXPECT_EQ(model.m_strCustomCode, "BEEF");
  const Bytes captured = Captured();
  EXPECT_TRUE(Contains(captured, EnterSetupCmd()));
  EXPECT_TRUE(Contains(captured, LeaveSetupCmd()));
}

TEST_F(SetupExchangeTest, TestPrintSendsTheStreamAndWaits) {
  Start(Link::Serial);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(exchange->TestPrint());
  exchange->CloseExchange();
  Bytes stream;
  for (const Bytes& piece : CSetupExchange::TestPrintPieces(false)) {
    stream.insert(stream.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(Captured(), stream);
  EXPECT_EQ(stream.size(), 2u + 32 + 5 * 36 + 2 + 128 + 2 + 2 + 2 + 6 + 2);
  EXPECT_EQ(clock.Waits(),
            (std::vector<int>{CSetupExchange::kTestPrintWaitMs, CSetupExchange::kExitWaitMs}));

  // On a Korean system the line in code page 949 comes before the three line feeds.
  const std::vector<Bytes> korean = CSetupExchange::TestPrintPieces(true);
  const Bytes line = {0xC7, 0xD1, 0xB1, 0xDB, 0xC3, 0xE2, 0xB7, 0xC2, 0xC5, 0xD7, 0xBD, 0xBA, 0xC6,
                      0xAE, 0x20, 0xF9, 0xD3, 0xED, 0xAD, 0x20, 0xC7, 0xD1, 0xB1, 0xDB, 0x20, '0',
                      '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',  0x0A, 0x00};
  ASSERT_EQ(korean.size(), CSetupExchange::TestPrintPieces(false).size() + 1);
  EXPECT_EQ(korean[korean.size() - 5], line);
}

// The parallel read: status-back blocks are kept apart, the completion check asks again
// for what is missing every 2000 ms, and ends after five rounds naming what never came.
TEST_F(SetupExchangeTest, ParallelReadCompletesOrEndsBoundedWithTheMissingNames) {
  struct Case {
    std::vector<std::string> args;
    std::vector<int> missing;
  };
  for (const Case& c : std::vector<Case>{{{}, {}}, {{"--setup-no-reply", "246"}, {246}}}) {
    Start(Link::Parallel, c.args);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(exchange->GetValue());
    EXPECT_EQ(exchange->Buttons(), (SetupButtons{false, false, false, false, false}));
    const SetupReadStatus status = exchange->RunReadTimer();
    EXPECT_EQ(status.anMissing, c.missing);
    EXPECT_EQ(exchange->Buttons(), SetupButtons{});
    EXPECT_FALSE(services.ui.WaitCursorOn());
    EXPECT_EQ(exchange->Parallel().Asb(), (std::array<uint8_t, 4>{0x14, 0x00, 0x00, 0x0F}));
    exchange->CloseExchange();
    const std::vector<int> waits = clock.Waits();
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.front(), CSetupExchange::kFirstReadTimerMs);
    if (c.missing.empty()) {
      EXPECT_TRUE(services.ui.MessageTexts().empty());
      EXPECT_LE(std::count(waits.begin(), waits.end(), CSetupExchange::kNextReadTimerMs), 2);
    } else {
      // 3000 ms, then five rounds of 2000 ms, each asking for the code page again.
      EXPECT_EQ(std::vector<int>(waits.begin(), waits.begin() + 6),
                (std::vector<int>{3000, 2000, 2000, 2000, 2000, 2000}));
      const std::vector<int> asks = Asks();
      EXPECT_EQ(std::count(asks.begin(), asks.end(), 246), 1 + CSetupExchange::kParallelRounds);
      EXPECT_EQ(
          services.ui.MessageTexts(),
          std::vector<std::string>{std::string(theMsg[MsgId::ReadFail]) + "\nDefault Code Page"});
    }
    // The read ends with the status back off and five NULs.
    const Bytes captured = Captured();
    EXPECT_EQ(Bytes(captured.begin(), captured.begin() + 3), DisableStatusBackCmd());
    EXPECT_EQ(Bytes(captured.end() - 5, captured.end()), Bytes(5, 0x00));
    sim->Stop();
    services.ui.Clear();
  }
}

// A printer that is gone when the exchange writes: message 48, the failure state (setting
// group off, image number 1 and lines 0 off the parallel port, Get/Set/TEST disabled).
TEST_F(SetupExchangeTest, PrinterVanishingGivesWriteFailAndTheFailureState) {
  for (const Link link : {Link::Serial, Link::Tcp, Link::Parallel}) {
    SCOPED_TRACE(static_cast<int>(link));
    Start(link);
    if (HasFatalFailure()) return;
    model.m_nImageNo = 7;
    model.m_nCutLines = 9;
    model.m_nLeftMargin = 100;
    bool ok = true;
    if (link == Link::Parallel) {
      // Gone while Set Value waits for the printer's restart, before the reopen.
      clock.OnWait([this](int ms) {
        if (ms == CSetupExchange::kParallelReopenWaitMs) sim->Stop();
      });
      ok = exchange->SetValue();
    } else {
      sim->Stop();
      ok = exchange->TestPrint();
    }
    clock.OnWait({});
    EXPECT_FALSE(ok);
    EXPECT_TRUE(exchange->Failed());
    EXPECT_EQ(services.ui.MessageTexts(), std::vector<std::string>{theMsg[MsgId::WriteFail]});
    EXPECT_FALSE(model.m_bSettingGroupEnabled);
    EXPECT_EQ(model.m_nImageNo, link == Link::Parallel ? 7 : 1);
    EXPECT_EQ(model.m_nCutLines, link == Link::Parallel ? 9 : 0);
    const SetupButtons b = exchange->Buttons();
    EXPECT_FALSE(b.bGetValue || b.bSetValue || b.bTest);
    EXPECT_TRUE(b.bExit);
    exchange.reset();
    services.ui.Clear();
    model = CSettingModel{6, false, BuiltInCodePageTexts(), {"64", "32", "20", "4"}};
  }
}

// A user-interface thread that runs what is posted to it only when the test pumps it: the
// worker's hand-overs stay in flight while the test (as that thread) closes the exchange.
class CPumpedUiThread final : public IUiThread {
 public:
  bool IsUiThread() override { return std::this_thread::get_id() == m_owner; }
  void Post(std::function<void()> task) override {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
  }
  void Pump() {
    std::deque<std::function<void()>> tasks;
    {
      std::lock_guard lock(m_mutex);
      tasks.swap(m_tasks);
    }
    for (auto& t : tasks) t();
  }

 private:
  std::thread::id m_owner = std::this_thread::get_id();
  std::mutex m_mutex;
  std::deque<std::function<void()>> m_tasks;
};

// The dialog's sink: applies on the user-interface thread and gives up on a stop.
class CQueuedSink final : public CDirectSink {
 public:
  using CDirectSink::CDirectSink;
  bool ApplySetupValue(const SetupValue& value, const std::atomic<bool>& stop) override {
    m_nOffered++;
    return RunOnUiThread([this, value] { CDirectSink::ApplySetupValue(value, m_never); },
                         [&stop] { return stop.load(); });
  }
  std::atomic<int> m_nOffered{0};

 private:
  std::atomic<bool> m_never{false};
};

TEST_F(SetupExchangeTest, ClosingWithAHandOverInFlightNeverHangs) {
  for (const Link link : {Link::Serial, Link::Tcp}) {
    SCOPED_TRACE(link == Link::Tcp ? "tcp" : "serial");
    CPumpedUiThread ui;
    InstallUiThread(&ui);
    auto* queued = new CQueuedSink(model);
    sink.reset(queued);
    Start(link);
    if (HasFatalFailure()) break;
    ASSERT_TRUE(exchange->GetValue());
    // Let replies through until the worker waits inside a hand-over of a setting.
    for (int i = 0; i < 500 && queued->m_nOffered < 3; ++i) {
      ui.Pump();
      std::this_thread::sleep_for(5ms);
    }
    ASSERT_GE(queued->m_nOffered.load(), 3);
    const int applied = queued->Applied();
    const auto start = std::chrono::steady_clock::now();
    exchange->CloseExchange();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    ui.Pump();  // what was abandoned never runs
    EXPECT_EQ(queued->Applied(), applied);
    InstallUiThread(nullptr);
    exchange.reset();
    sim->Stop();
    model = CSettingModel{6, false, BuiltInCodePageTexts(), {"64", "32", "20", "4"}};
  }
}

}  // namespace
}  // namespace torva::test
