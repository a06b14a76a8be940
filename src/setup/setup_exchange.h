// CSetupExchange: the user setup's traffic with the printer. It opens the connection when the
// User Setup dialog (or the command line) starts, sends the asks of Get Value, the write
// stream of Set Value and the test print, turns the printer's replies into one decoded
// setting each on its worker thread (RcvDataProcess), and closes the connection at the end.
// Serial, USB and file traffic goes through a CPorts (thePort in the program), parallel
// traffic through the engine's own ParPortCtl, network printers through the printer socket.
//
// Threads. The driver's thread (the dialog's, or the command line's) calls every public
// member. The worker hands each decoded setting to the sink and waits until it was applied;
// the sink must give up when the stop flag it is given becomes true (the driver sets it
// before it joins the worker), so that closing never waits on a hand-over.
//
// Timers. After GetValue (and after each OnReadTimer) ReadTimerMs() is the period before the
// next OnReadTimer, 0 when no timer is to run: the dialog starts a single-shot timer with it,
// the command line calls RunReadTimer. On a parallel port that timer is the read-completion
// check (3000 ms, then 2000 ms rounds, at most kParallelRounds of them); on the other ports
// it watches the replies settle, for ReadStatus().
//
// Every fixed pause goes through the services seam's clock; messages go through its user
// interface. Failures are booleans; after a failed Get Value, Set Value or test print the
// exchange is in its failure state (Failed()), in which only leaving remains useful.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ports/byte_queue.h"
#include "ports/par_port_ctl.h"
#include "setup/reply_parser.h"

namespace torva {

class CPorts;
class CPrinterSocket;
class CSettingModel;

// How the exchange reaches the printer.
enum class ExchangeLink { Serial, Usb, File, Parallel, Network };

// The link a port name denotes ("LPT1", /dev/lp0 -> Parallel; "ETHERNET_II" -> Network; a
// USB printer by identifier or node -> Usb; "FILE" -> File; any other device -> Serial).
ExchangeLink ExchangeLinkOfPort(const std::string& portName);

struct SetupConnection {
  ExchangeLink eLink = ExchangeLink::Serial;
  // Serial, USB and file: the port object with its settings (m_strPortName and the line
  // parameters); the exchange sets its m_fnNotify and m_nFunction and opens and closes it.
  CPorts* pPort = nullptr;
  // Parallel: the device ParPortCtl opens (any path; the command line's lpt:PATH).
  std::string strParallelPath;
  // Network: the printer socket, the printer's address and TCP port.
  CPrinterSocket* pSocket = nullptr;
  std::string strIpAddress;
  int nTcpPort = 6001;
};

// Enabled states of the dialog's five buttons as the exchange leaves them.
struct SetupButtons {
  bool bGetValue = true;
  bool bSetValue = true;
  bool bTest = true;
  bool bExit = true;
  bool bDefault = true;
  bool operator==(const SetupButtons&) const = default;
};

// What the last Get Value read: the settings asked, those applied, and whether the replies
// have settled (every asked setting applied, the parallel read ended, or no reply for
// kSettleQuietMs).
struct SetupReadStatus {
  bool bStarted = false;  // a Get Value has sent its asks
  bool bSettled = false;
  std::vector<int> anAsked;
  std::vector<int> anMissing;  // asked, not (yet) applied, in asking order
  int Read() const { return static_cast<int>(anAsked.size() - anMissing.size()); }
  // "17 of 18 settings read"
  std::string Text() const;
};

// The receiving side of the exchange: the dialog or the command line.
class ISetupSink {
 public:
  virtual ~ISetupSink() = default;
  // Called on the worker thread for each decoded reply, in arrival order. Returns true after
  // the receiver applied it (CSettingModel::ApplyValue and whatever shows it); the worker
  // waits for that. While the receiver is not yet handling it, the call must give up as soon
  // as stop becomes true, and return false without applying it then or later. The dialog
  // runs the application on its own thread (RunOnUiThread of the services seam); the
  // command line applies it at once.
  virtual bool ApplySetupValue(const SetupValue& value, const std::atomic<bool>& stop) = 0;
  // The driver's thread: the buttons' enabled states changed.
  virtual void ButtonsChanged(const SetupButtons& /*buttons*/) {}
  // The driver's thread: the failure state began (the model's setting group is disabled,
  // image number 1 and lines 0 on the non-parallel ports); refresh the controls.
  virtual void FailureStateEntered() {}
  // The driver's thread: the read status changed (a Get Value started, or settled).
  virtual void ReadStatusChanged(const SetupReadStatus& /*status*/) {}
};

class CSetupExchange {
 public:
  // Fixed pauses (through the clock).
  static constexpr int kProbes = 10;
  static constexpr int kProbeWaitMs = 50;
  static constexpr int kNetworkAskWaitMs = 10;
  static constexpr int kFirstReadTimerMs = 3000;
  static constexpr int kNextReadTimerMs = 2000;
  static constexpr int kParallelReopenWaitMs = 4000;
  static constexpr int kRestartWaitMs = 3000;  // the printer restarts after the leave command
  static constexpr int kReopenAttempts = 5;
  static constexpr int kFirstRetryWaitMs = 500;  // then 400, 300, 200, 100
  static constexpr int kNetworkSetWaitMs = 3000;
  static constexpr int kTestPrintWaitMs = 800;
  static constexpr int kCustomCodeWaitMs = 800;  // after setting 255 over the network
  static constexpr int kExitWaitMs = 300;
  // A parallel read asks at most this many rounds before it ends with the missing names.
  static constexpr int kParallelRounds = 5;
  // The worker looks at its source (and its stop request) this often.
  static constexpr int kWorkerPollMs = 10;
  // Replies count as settled after this long without a byte (real time: a bound on the
  // printer, not a pause of ours); the settle watch ticks every kSettlePollMs.
  static constexpr int kSettleQuietMs = 1500;
  static constexpr int kSettlePollMs = 250;

  // model: the setting members Set Value writes and the failure state resets; it is touched
  // only on the driver's thread. sink: receives the decoded settings.
  CSetupExchange(CSettingModel& model, ISetupSink& sink, SetupConnection connection);
  // Runs CloseExchange when it has not run.
  ~CSetupExchange();
  CSetupExchange(const CSetupExchange&) = delete;
  CSetupExchange& operator=(const CSetupExchange&) = delete;

  // Opens the connection (and starts the worker on serial, USB and network links). False
  // after its message ("Init Fail", texts 2, 20, 24, 52): the dialog closes.
  bool OpenExchange();
  // Sends the asks. False after a failed write (texts 60 or 22, 52) and the failure state.
  bool GetValue();
  // Writes the model's settings (take them from the controls first): nothing when nothing
  // is set, text 61 for a margin above 512 (CheckSetValue tells which; the result is true
  // then); otherwise enter, write, leave, and the printer's restart, after which a serial or
  // USB port is opened again. False after text 48 and the failure state.
  bool SetValue();
  // The test print stream. False after text 48 and the failure state.
  bool TestPrint();
  // Stops and joins the worker (and the parallel reader), then closes the connection.
  void CloseExchange();
  // The port's receive notification: moves what the port queued into the exchange's own
  // queue. Returns 1.
  int OnReceived();

  int ReadTimerMs() const { return m_nTimerMs; }
  void OnReadTimer();
  // For the command line: runs the read timer until it stops (the prescribed periods
  // through the clock), and returns the read status.
  SetupReadStatus RunReadTimer();

  SetupButtons Buttons() const { return m_buttons; }
  bool Failed() const { return m_bFailed; }
  bool IsOpen() const { return m_bOpen; }
  ExchangeLink Link() const { return m_connection.eLink; }
  SetupReadStatus ReadStatus() const;
  ParPortCtl& Parallel() { return m_Parallel; }

  // The test print, piece by piece as it is sent; the Korean line (code page 949) only when
  // bKorean.
  static std::vector<std::vector<uint8_t>> TestPrintPieces(bool bKorean);

 private:
  bool IsParallel() const { return m_connection.eLink == ExchangeLink::Parallel; }
  bool IsNetwork() const { return m_connection.eLink == ExchangeLink::Network; }
  bool UsesPort() const { return !IsParallel() && !IsNetwork(); }
  // Writes every byte over the exchange's link; false on a short or failed write.
  bool Send(const std::vector<uint8_t>& bytes);
  // The connection probe of the printer socket; false after ten failed probes.
  bool Probe();
  // The port's receive notification, on whichever thread the port calls it.
  void Notify();
  // Starts the worker unless it runs; false (after message 52) when it cannot.
  bool StartWorker();
  void StopWorker();
  void RcvDataProcess();
  // One source byte of the worker; false when the source is empty.
  bool TakeByte(uint8_t& byte);
  // The worker's connection test: false once the link was closed.
  bool LinkConnected() const;
  void HandleReply(const SetupReply& reply);
  // Waits up to ms real time for the stop request; true when it came.
  bool WaitForStop(int ms);
  void NoteActivity();
  // After the leave command: the printer restarts, the port is opened again.
  void ReopenAfterRestart();
  void SetButtons(const SetupButtons& buttons);
  void EnableAfterExchange();
  void EnterFailureState();
  void ParallelReadEnded(bool bComplete);
  void SettleTick();
  void ParallelTick();
  void SetWaitCursor(bool on);

  CSettingModel& m_model;
  ISetupSink& m_sink;
  SetupConnection m_connection;
  ParPortCtl m_Parallel;
  ByteQueue m_QueueSetup;
  SetupButtons m_buttons;
  mutable std::mutex m_buttonsMutex;
  int m_nTimerMs = 0;
  int m_nRound = 0;
  bool m_bOpen = false;
  std::atomic<bool> m_bFailed{false};
  bool m_bWaitCursor = false;

  // The worker (RcvDataProcess), its stop request (set before every join) and whether it
  // still runs.
  std::thread m_hWorker;
  std::atomic<bool> m_bStop{false};
  std::atomic<bool> m_bWorkerAlive{false};
  // Orders a start against the worker's own decision to end (its link closed).
  std::mutex m_workerMutex;
  // The parallel and network links' own "connected" (the port object keeps its own).
  std::atomic<bool> m_bLinkConnected{false};
  std::array<std::atomic<bool>, 256> m_abReceived{};

  // The read status, and the worker's progress for the settle watch (real time).
  std::vector<int> m_anAsked;
  bool m_bReadStarted = false;
  bool m_bSettled = false;
  mutable std::mutex m_progressMutex;
  std::condition_variable m_progressCv;
  std::chrono::steady_clock::time_point m_lastActivity;
};

}  // namespace torva
