#include "setup/setup_exchange.h"

#include <system_error>

#include "app/error_log.h"
#include "app/messages.h"
#include "app/services.h"
#include "network/printer_socket.h"
#include "ports/port_kind.h"
#include "ports/ports.h"
#include "setup/code_page_949.h"
#include "setup/setting_keys.h"
#include "setup/setting_model.h"
#include "setup/setting_numbers.h"
#include "setup/setup_commands.h"

namespace torva {
namespace {

using Bytes = std::vector<uint8_t>;

// Waits after a failed reopen attempt, one per attempt.
constexpr int kRetryWaitsMs[CSetupExchange::kReopenAttempts] = {500, 400, 300, 200, 100};

const char* const kTestTitle = "USER SETUP UTILITY TEST PRINT!\n";
const char* const kKoreanTestLine = "한글출력테스트 漢子 한글 0123456789\n";

Bytes TextWithNul(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0x00);
  return bytes;
}

}  // namespace

ExchangeLink ExchangeLinkOfPort(const std::string& portName) {
  switch (ClassifyPortName(portName)) {
    case PortNameKind::Parallel:
      return ExchangeLink::Parallel;
    case PortNameKind::UsbPrinter:
    case PortNameKind::UsbNode:
      return ExchangeLink::Usb;
    case PortNameKind::File:
      return ExchangeLink::File;
    case PortNameKind::Network:
      return ExchangeLink::Network;
    case PortNameKind::Serial:
      break;
  }
  return ExchangeLink::Serial;
}

std::string SetupReadStatus::Text() const {
  return std::to_string(Read()) + " of " + std::to_string(anAsked.size()) + " settings read";
}

std::vector<Bytes> CSetupExchange::TestPrintPieces(bool bKorean) {
  const Bytes lfNul = {0x0A, 0x00};
  const Bytes digits = TextWithNul("0123456789");
  std::vector<Bytes> pieces;
  pieces.push_back({0x1B, 0x40});
  pieces.push_back(TextWithNul(kTestTitle));
  for (int i = 0; i < 5; ++i) {
    pieces.push_back({0x1D, 0x28, 0x4E, 0x02, 0x00, 0x30, 0x32});  // second colour
    pieces.push_back(digits);
    pieces.push_back({0x1D, 0x28, 0x4E, 0x02, 0x00, 0x30, 0x31});  // first colour
    pieces.push_back(digits);
  }
  pieces.push_back(lfNul);
  Bytes high;
  for (int b = 0x80; b <= 0xFF; ++b) high.push_back(static_cast<uint8_t>(b));
  pieces.push_back(high);
  pieces.push_back(lfNul);
  pieces.push_back({0x1B, 0x40});
  pieces.push_back(lfNul);
  if (bKorean) {
    std::string line;
    if (!Utf8ToCp949(kKoreanTestLine, line)) {
      theLog.WriteLog("Test print: the Korean line could not be converted to code page 949\r\n");
    }
    pieces.push_back(TextWithNul(line));
  }
  for (int i = 0; i < 3; ++i) pieces.push_back(lfNul);
  pieces.push_back({0x1B, 0x69});
  return pieces;
}

CSetupExchange::CSetupExchange(CSettingModel& model, ISetupSink& sink, SetupConnection connection)
    : m_model(model), m_sink(sink), m_connection(std::move(connection)) {
  if (m_connection.eLink == ExchangeLink::Parallel && m_connection.strParallelPath.empty() &&
      m_connection.pPort != nullptr) {
    m_connection.strParallelPath = m_connection.pPort->m_strPortName;
  }
  m_lastActivity = std::chrono::steady_clock::now();
}

CSetupExchange::~CSetupExchange() { CloseExchange(); }

// ---- Buttons, cursor, failure state ------------------------------------------------------

void CSetupExchange::SetButtons(const SetupButtons& buttons) {
  {
    std::lock_guard lock(m_buttonsMutex);
    if (m_buttons == buttons) return;
    m_buttons = buttons;
  }
  m_sink.ButtonsChanged(buttons);
}

void CSetupExchange::EnableAfterExchange() {
  SetupButtons b = Buttons();
  b.bGetValue = !(IsParallel() && m_Parallel.m_bNoReadBack) && !m_bFailed;
  b.bSetValue = !m_bFailed;
  b.bTest = !m_bFailed;
  b.bExit = true;
  b.bDefault = true;
  SetButtons(b);
}

void CSetupExchange::SetWaitCursor(bool on) {
  if (m_bWaitCursor == on) return;
  m_bWaitCursor = on;
  Ui().SetWaitCursor(on);
}

void CSetupExchange::EnterFailureState() {
  if (IsParallel()) {
    m_bLinkConnected = false;
  } else {
    if (IsNetwork()) {
      if (m_connection.pSocket != nullptr) m_connection.pSocket->Close();
      m_bLinkConnected = false;
    } else if (m_connection.pPort != nullptr) {
      m_connection.pPort->Close();
    }
    m_model.m_nImageNo = 1;
    m_model.m_nCutLines = 0;
  }
  m_bFailed = true;
  m_model.m_bSettingGroupEnabled = false;
  SetupButtons b = Buttons();
  b.bGetValue = b.bSetValue = b.bTest = false;
  SetButtons(b);
  m_sink.FailureStateEntered();
}

// ---- Link ---------------------------------------------------------------------------------

bool CSetupExchange::Send(const Bytes& bytes) {
  const int length = static_cast<int>(bytes.size());
  if (length == 0) return true;
  if (IsParallel()) return m_Parallel.Write(bytes.data(), length) == length;
  if (IsNetwork()) {
    return m_connection.pSocket != nullptr &&
           m_connection.pSocket->Send(bytes.data(), length) == length;
  }
  return m_connection.pPort != nullptr && m_connection.pPort->Write(bytes) == length;
}

bool CSetupExchange::Probe() {
  CPrinterSocket* socket = m_connection.pSocket;
  if (socket == nullptr) return false;
  if (!socket->ConnectPrinter(m_connection.strIpAddress, m_connection.nTcpPort)) {
    m_bLinkConnected = false;
    return false;
  }
  // The printer's replies are queued by the socket's own reader, the worker's source.
  socket->StartReader();
  m_bLinkConnected = true;
  return true;
}

bool CSetupExchange::LinkConnected() const {
  if (UsesPort()) return m_connection.pPort != nullptr && m_connection.pPort->m_bConnected;
  if (IsParallel()) return m_bLinkConnected;
  return true;  // the network worker ends only on a stop
}

void CSetupExchange::Notify() {
  CPorts* port = m_connection.pPort;
  // On the watch thread the bytes are moved by the driver's thread, as the dialog's handler
  // does; the hand-over gives up once closing has begun, so that a join never waits on it.
  RunOnUiThread([this] { OnReceived(); },
                [this, port] { return m_bStop || !port->m_bWatchRun || !port->m_bConnected; });
}

int CSetupExchange::OnReceived() {
  CPorts* port = m_connection.pPort;
  if (port == nullptr) return 1;
  while (!port->m_QueueRead.IsEmpty()) {
    const uint8_t byte = port->m_QueueRead.Get();
    if (!m_QueueSetup.Fits(1)) {
      theLog.WriteLog("Setup receive queue full: a reply byte was dropped\r\n");
      continue;
    }
    m_QueueSetup.Put(byte);
  }
  return 1;
}

// ---- Worker -------------------------------------------------------------------------------

bool CSetupExchange::StartWorker() {
  std::lock_guard lock(m_workerMutex);
  if (m_bWorkerAlive) return true;
  if (m_hWorker.joinable()) m_hWorker.join();  // one that ended when its link closed
  m_bStop = false;
  m_bWorkerAlive = true;
  try {
    m_hWorker = std::thread([this] { RcvDataProcess(); });
  } catch (const std::system_error&) {
    m_bWorkerAlive = false;
    ShowMessage(theMsg[MsgId::CannotCreateThread], MsgIcon::Error);
    return false;
  }
  return true;
}

void CSetupExchange::StopWorker() {
  m_bStop = true;
  m_progressCv.notify_all();
  if (m_hWorker.joinable()) m_hWorker.join();
}

bool CSetupExchange::WaitForStop(int ms) {
  std::unique_lock lock(m_progressMutex);
  return m_progressCv.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return m_bStop.load(); });
}

void CSetupExchange::NoteActivity() {
  {
    std::lock_guard lock(m_progressMutex);
    m_lastActivity = std::chrono::steady_clock::now();
  }
  m_progressCv.notify_all();
}

bool CSetupExchange::TakeByte(uint8_t& byte) {
  if (IsParallel()) {
    // Looked at first, so that the component's last error text stays what it was.
    if (m_Parallel.m_Queue.IsEmpty()) return false;
    int status = 0;
    byte = m_Parallel.GetByte(status);
    return status == 1;
  }
  ByteQueue& queue = IsNetwork() ? m_connection.pSocket->m_QueueSocket : m_QueueSetup;
  if (queue.IsEmpty()) return false;
  byte = queue.Get();
  return true;
}

void CSetupExchange::HandleReply(const SetupReply& reply) {
  const std::optional<SetupValue> value = DecodeReply(reply);
  if (!value) return;
  if (!m_sink.ApplySetupValue(*value, m_bStop)) return;
  m_abReceived[static_cast<size_t>(value->nSetting & 0xFF)] = true;
  NoteActivity();
  if (value->nSetting == kSetCustomCode && IsNetwork()) {
    // The printer needs a moment after its last reply before it takes the next command.
    const auto stop = [this] { return m_bStop.load(); };
    RunOnUiThread(
        [this] {
          SetupButtons b = Buttons();
          b.bDefault = b.bGetValue = b.bSetValue = false;
          SetButtons(b);
        },
        stop);
    Clock().SleepMs(kCustomCodeWaitMs);
    RunOnUiThread(
        [this] {
          if (!m_bFailed) EnableAfterExchange();
        },
        stop);
  }
}

void CSetupExchange::RcvDataProcess() {
  CReplyParser parser;
  for (;;) {
    if (m_bStop || !LinkConnected()) {
      // Decided under the lock, so that a start that finds this worker alive can rely on
      // it: a link opened again in the meantime keeps it going.
      std::lock_guard lock(m_workerMutex);
      if (m_bStop || !LinkConnected()) {
        m_bWorkerAlive = false;
        break;
      }
    }
    bool bAny = false;
    uint8_t byte = 0;
    while (!m_bStop && TakeByte(byte)) {
      bAny = true;
      if (const std::optional<SetupReply> reply = parser.Feed(byte)) HandleReply(*reply);
    }
    if (bAny) NoteActivity();
    WaitForStop(kWorkerPollMs);
  }
  m_progressCv.notify_all();
}

// ---- Open and close -----------------------------------------------------------------------

bool CSetupExchange::OpenExchange() {
  m_bFailed = false;
  if (IsParallel()) {
    if (!m_Parallel.Open(m_connection.strParallelPath)) {
      ShowMessage(std::string(theMsg[MsgId::InitFail]) + "\n" + m_Parallel.Error(), MsgIcon::Error);
      return false;
    }
    m_bLinkConnected = true;
    m_bStop = false;
    if (!Send(DisableStatusBackCmd())) {
      ShowMessage(theMsg[MsgId::PrinterCheckAtStart], MsgIcon::Error);
      m_bLinkConnected = false;
      m_Parallel.Close();
      return false;
    }
    m_bOpen = true;
    EnableAfterExchange();
    return true;
  }
  if (IsNetwork()) {
    if (!Probe()) {
      ShowMessage(theMsg[MsgId::PrinterCheck], MsgIcon::Error);
      return false;
    }
    m_connection.pSocket->Close();
    if (!StartWorker()) return false;
    m_bOpen = true;
    return true;
  }
  CPorts* port = m_connection.pPort;
  if (port == nullptr) {
    ShowMessage(theMsg[MsgId::InitFail], MsgIcon::Error);
    return false;
  }
  port->m_nFunction = kFunctionUserSetup;
  port->m_fnNotify = [this] { Notify(); };
  if (port->m_bConnected) port->Close();
  if (!port->Open()) {
    port->JoinWatchThread();
    port->m_fnNotify = nullptr;
    ShowMessage(theMsg[MsgId::InitFail], MsgIcon::Error);
    return false;
  }
  if (m_connection.eLink != ExchangeLink::File && !StartWorker()) {
    port->Close();
    port->JoinWatchThread();
    port->m_fnNotify = nullptr;
    return false;
  }
  m_bOpen = true;
  return true;
}

void CSetupExchange::CloseExchange() {
  if (!m_bOpen && !m_hWorker.joinable() && !m_Parallel.IsOpen()) return;
  m_bStop = true;
  m_progressCv.notify_all();
  m_nTimerMs = 0;
  Clock().SleepMs(kExitWaitMs);
  // Nothing the worker uses goes before it has ended; a hand-over it is waiting in gives up.
  StopWorker();
  SetWaitCursor(false);
  if (IsParallel()) {
    m_bLinkConnected = false;
    m_Parallel.Close();
  } else if (IsNetwork()) {
    if (m_connection.pSocket != nullptr) m_connection.pSocket->Close();
    m_bLinkConnected = false;
  } else if (CPorts* port = m_connection.pPort) {
    if (port->m_bConnected) port->Close();
    port->JoinWatchThread();
    port->m_fnNotify = nullptr;
  }
  m_bOpen = false;
}

// ---- Get Value ----------------------------------------------------------------------------

SetupReadStatus CSetupExchange::ReadStatus() const {
  SetupReadStatus status;
  status.bStarted = m_bReadStarted;
  status.bSettled = m_bSettled;
  status.anAsked = m_anAsked;
  for (int a : m_anAsked) {
    if (!m_abReceived[static_cast<size_t>(a)]) status.anMissing.push_back(a);
  }
  return status;
}

bool CSetupExchange::GetValue() {
  m_nTimerMs = 0;
  for (auto& flag : m_abReceived) flag = false;
  m_bSettled = false;
  m_nRound = 0;

  if (IsParallel()) {
    m_anAsked = ParallelGetList();
    m_bReadStarted = true;
    if (!Send(DisableStatusBackCmd())) {
      ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
      EnterFailureState();
      return false;
    }
    SetButtons({false, false, false, false, false});
    SetWaitCursor(true);
    for (int a : m_anAsked) {
      if (!Send(GetValueCmd(a))) {
        ShowMessage(theMsg[MsgId::WriteToPort], MsgIcon::Error);
        ParallelReadEnded(false);
        EnterFailureState();
        return false;
      }
      m_Parallel.RequestRead();
    }
    if (!m_Parallel.StartThread()) {
      theLog.WriteLog("%s\r\n", m_Parallel.Error().c_str());
      ShowMessage(theMsg[MsgId::CannotCreateThread], MsgIcon::Error);
      ParallelReadEnded(false);
      EnterFailureState();
      return false;
    }
    if (m_hWorker.joinable()) StopWorker();
    if (!StartWorker()) {
      ParallelReadEnded(false);
      EnterFailureState();
      return false;
    }
    NoteActivity();
    m_nTimerMs = kFirstReadTimerMs;
    m_sink.ReadStatusChanged(ReadStatus());
    return true;
  }

  m_anAsked = GetValueOrder(!IsNetwork());
  m_bReadStarted = true;
  if (IsNetwork()) {
    if (!Probe()) {
      ShowMessage(theMsg[MsgId::ReadFail], MsgIcon::Error);
      EnterFailureState();
      return false;
    }
  }
  if (m_connection.eLink != ExchangeLink::File && !m_bFailed && !StartWorker()) {
    EnterFailureState();
    return false;
  }
  NoteActivity();
  for (int a : m_anAsked) {
    if (!Send(GetValueCmd(a))) {
      ShowMessage(theMsg[MsgId::ReadFail], MsgIcon::Error);
      EnterFailureState();
      return false;
    }
    if (IsNetwork()) Clock().SleepMs(kNetworkAskWaitMs);
  }
  if (m_connection.eLink == ExchangeLink::Usb) m_connection.pPort->ReadUsbReply();
  NoteActivity();
  m_nTimerMs = kSettlePollMs;
  m_sink.ReadStatusChanged(ReadStatus());
  return true;
}

void CSetupExchange::OnReadTimer() {
  if (m_nTimerMs == 0) return;
  m_nTimerMs = 0;
  if (IsParallel()) {
    ParallelTick();
  } else {
    SettleTick();
  }
}

void CSetupExchange::SettleTick() {
  const SetupReadStatus status = ReadStatus();
  std::chrono::steady_clock::time_point last;
  {
    std::lock_guard lock(m_progressMutex);
    last = m_lastActivity;
  }
  const bool bQuiet =
      std::chrono::steady_clock::now() - last >= std::chrono::milliseconds(kSettleQuietMs);
  if (!status.anMissing.empty() && !bQuiet && m_bWorkerAlive) {
    m_nTimerMs = kSettlePollMs;
    return;
  }
  m_bSettled = true;
  m_sink.ReadStatusChanged(ReadStatus());
}

void CSetupExchange::ParallelTick() {
  const bool bBusy = !m_Parallel.m_Queue.IsEmpty();
  const std::vector<int> missing = ReadStatus().anMissing;
  if (!bBusy && missing.empty()) {
    ParallelReadEnded(true);
    return;
  }
  if (m_nRound >= kParallelRounds) {
    // The printer does not answer some settings: end the read instead of asking forever.
    ParallelReadEnded(true);
    std::string names;
    for (int a : missing) names += "\n" + SettingLabel(a);
    ShowMessage(std::string(theMsg[MsgId::ReadFail]) + names, MsgIcon::Error);
    return;
  }
  ++m_nRound;
  if (!bBusy) {
    for (int a : missing) {
      if (!Send(GetValueCmd(a))) {
        ParallelReadEnded(false);
        ShowMessage("GetValueCmd Fail!", MsgIcon::Error);
        EnterFailureState();
        return;
      }
      m_Parallel.RequestRead();
    }
  }
  m_nTimerMs = kNextReadTimerMs;
}

void CSetupExchange::ParallelReadEnded(bool bComplete) {
  m_nTimerMs = 0;
  StopWorker();
  SetWaitCursor(false);
  m_Parallel.StopThread();
  if (bComplete) {
    // Reset the printer's parser after the asks.
    Send(Bytes(5, 0x00));
  }
  EnableAfterExchange();
  m_bSettled = true;
  m_sink.ReadStatusChanged(ReadStatus());
}

SetupReadStatus CSetupExchange::RunReadTimer() {
  while (m_nTimerMs > 0) {
    if (IsParallel()) {
      Clock().SleepMs(m_nTimerMs);
    } else {
      // Not a prescribed pause: a bound on the printer's replies, in real time, cut short
      // when the worker makes progress.
      std::unique_lock lock(m_progressMutex);
      m_progressCv.wait_for(lock, std::chrono::milliseconds(m_nTimerMs));
    }
    OnReadTimer();
  }
  return ReadStatus();
}

// ---- Set Value and TEST -------------------------------------------------------------------

void CSetupExchange::ReopenAfterRestart() {
  CPorts* port = m_connection.pPort;
  if (port == nullptr) return;
  if (port->m_bConnected) port->Close();
  Clock().SleepMs(kRestartWaitMs);
  for (int attempt = 0; attempt < kReopenAttempts; ++attempt) {
    if (port->Open()) {
      if (m_connection.eLink == ExchangeLink::Serial) StartWorker();
      return;
    }
    Clock().SleepMs(kRetryWaitsMs[attempt]);
    port->Close();
  }
  theLog.WriteLog("User setup: the port could not be opened again after the printer's restart\r\n");
}

bool CSetupExchange::SetValue() {
  if (CheckSetValue(m_model, true) != SetCheck::Ready) return true;
  SetButtons({false, false, false, false, false});
  const auto fail = [this] {
    ShowMessage(theMsg[MsgId::WriteFail], MsgIcon::Error);
    SetupButtons b = Buttons();
    b.bExit = b.bDefault = true;
    SetButtons(b);
    EnterFailureState();
    return false;
  };
  if (IsNetwork() && !Probe()) return fail();
  if (!Send(EnterSetupCmd())) return fail();
  // The receive watch ends here: the printer restarts after the leave command.
  if (UsesPort() && m_connection.pPort != nullptr) m_connection.pPort->m_bWatchRun = false;
  const std::optional<SetCommand> command = BuildSetCommand(m_model);
  if (command && !Send(command->bytes)) return fail();
  if (!Send(LeaveSetupCmd())) return fail();
  if (IsParallel()) {
    Clock().SleepMs(kParallelReopenWaitMs);
    m_Parallel.Close();
    if (!m_Parallel.Open(m_connection.strParallelPath)) return fail();
    if (!Send(DisableStatusBackCmd())) return fail();
  }
  if (command && command->bCarriesUsbMode) {
    // The printer changes its USB interface: the connection is gone.
    if (IsParallel()) {
      m_bLinkConnected = false;
      m_Parallel.Close();
    } else if (IsNetwork()) {
      m_connection.pSocket->Close();
    } else if (m_connection.pPort->m_bConnected) {
      m_connection.pPort->Close();
    }
  } else if (m_connection.eLink == ExchangeLink::Usb ||
             m_connection.eLink == ExchangeLink::Serial) {
    ReopenAfterRestart();
  } else if (IsNetwork()) {
    Clock().SleepMs(kNetworkSetWaitMs);
    m_connection.pSocket->Close();
  }
  EnableAfterExchange();
  return true;
}

bool CSetupExchange::TestPrint() {
  {
    SetupButtons b = Buttons();
    b.bDefault = b.bGetValue = b.bSetValue = false;
    SetButtons(b);
  }
  const auto fail = [this] {
    ShowMessage(theMsg[MsgId::WriteFail], MsgIcon::Error);
    SetupButtons b = Buttons();
    b.bDefault = true;
    SetButtons(b);
    EnterFailureState();
    return false;
  };
  if (IsNetwork() && !Probe()) return fail();
  for (const Bytes& piece : TestPrintPieces(System().DefaultLanguageId() == kLangKorean)) {
    if (!Send(piece)) return fail();
  }
  Clock().SleepMs(kTestPrintWaitMs);
  EnableAfterExchange();
  if (IsNetwork()) m_connection.pSocket->Close();
  return true;
}

}  // namespace torva
