// The serial receive watch thread of CPorts.
#include <system_error>

#include "app/messages.h"
#include "app/services.h"
#include "ports/port_io.h"
#include "ports/port_trace.h"
#include "ports/ports.h"

namespace torva {

// What one watch thread uses besides the CPorts object: its own handle on the line (so
// that Close can release the port's handle at once), the wake-up that Close signals, the
// callback of the time it started, and its own stop request.
struct CPorts::WatchRun {
  portio::PortHandle hLine = portio::kNoHandle;
  portio::PortHandle hWake = portio::kNoHandle;
  std::function<void()> notify;
  std::atomic<bool> bStop{false};

  WatchRun() = default;
  WatchRun(const WatchRun&) = delete;
  WatchRun& operator=(const WatchRun&) = delete;
  ~WatchRun() {
    portio::CloseHandle(hLine);
    portio::CloseHandle(hWake);
  }
};

bool CPorts::StartWatchThread() {
  auto run = std::make_shared<WatchRun>();
  run->hLine = portio::DuplicateHandle(m_hComm);
  run->hWake = portio::CreateWakeEvent();
  if (run->hLine == portio::kNoHandle || run->hWake == portio::kNoHandle) {
    // Watching cannot start; the port stays open for writing.
    ShowMessage(std::string(theMsg[MsgId::CreateWatchThread]) + m_strPortName, MsgIcon::Error);
    return true;
  }
  run->notify = m_fnNotify;
  m_pWatchRun = run;
  m_bWatchAlive = true;
  try {
    m_hWatchThread = std::thread([this, run] { ThreadWatchComm(run); });
  } catch (const std::system_error&) {
    m_bWatchAlive = false;
    m_pWatchRun.reset();
    return false;
  }
  m_dwWatchThreadId = m_hWatchThread.get_id();
  return true;
}

void CPorts::SignalWatchStop() {
  if (!m_pWatchRun) return;
  m_pWatchRun->bStop = true;
  portio::SignalWakeEvent(m_pWatchRun->hWake);
}

void CPorts::StopWatchThread() {
  SignalWatchStop();
  if (m_hWatchThread.joinable() && std::this_thread::get_id() == m_hWatchThread.get_id()) {
    // Called from inside the notification: the thread ends by itself once the callback
    // returns, keeping what it uses alive through its WatchRun.
    m_hWatchThread.detach();
    m_pWatchRun.reset();
    return;
  }
  JoinWatchThread();
}

void CPorts::JoinWatchThread() {
  if (!m_hWatchThread.joinable()) return;
  if (std::this_thread::get_id() == m_hWatchThread.get_id()) return;
  m_hWatchThread.join();
  m_pWatchRun.reset();
  m_dwWatchThreadId = {};
}

void CPorts::QueueBurst(const uint8_t* data, int count) {
  if (count <= 0) return;
  // A read that does not fit is dropped whole; what is queued stays as it was.
  if (!m_QueueRead.Fits(count)) {
    ShowMessage(theMsg[MsgId::QueueReadFull], MsgIcon::Error);
    return;
  }
  for (int i = 0; i < count; ++i) m_QueueRead.Put(data[i]);
}

int CPorts::ThreadWatchComm(std::shared_ptr<WatchRun> run) {
  uint8_t buffer[kWatchReadSize];
  const auto keepGoing = [&] { return m_bConnected && m_bWatchRun && !run->bStop; };
  while (keepGoing()) {
    const portio::ReceiveResult got =
        portio::ReceiveWithin(run->hLine, run->hWake, buffer, sizeof buffer, kWatchPollMs);
    if (got.status == portio::ReceiveStatus::Woken) break;
    if (got.status == portio::ReceiveStatus::TimedOut) continue;
    if (got.status == portio::ReceiveStatus::Data) {
      TraceBytes("RX", buffer, static_cast<size_t>(got.nRead));
      QueueBurst(buffer, static_cast<int>(got.nRead));
      // The rest of the burst, as long as the line has more at once.
      while (keepGoing()) {
        const long n = portio::ReadAvailable(run->hLine, buffer, sizeof buffer);
        if (n <= 0) break;
        TraceBytes("RX", buffer, static_cast<size_t>(n));
        QueueBurst(buffer, static_cast<int>(n));
      }
      if (run->notify && keepGoing()) run->notify();
    } else {
      // The line reports input or a hang-up but yields nothing (its far end is gone):
      // pause instead of spinning, still waking at once for a stop.
      portio::WaitReadable(portio::kNoHandle, run->hWake, kWatchPollMs);
    }
  }
  // The line is let go as soon as watching ends, not when the thread is joined.
  portio::CloseHandle(run->hLine);
  run->hLine = portio::kNoHandle;
  m_bWatchAlive = false;
  return 1;
}

}  // namespace torva
