#include "ports/par_port_ctl.h"

#include <cerrno>
#include <system_error>

#include "app/error_log.h"
#include "app/services.h"
#include "ports/port_io.h"
#include "ports/port_trace.h"

namespace torva {
namespace {

// After a wait that reported input, a read that still yields nothing (a device that cannot
// be polled, or a far end that is gone) waits this long before it asks again.
constexpr int kIdleRetryMs = 10;

// "[ParPortCtl] ... : %d" texts: the fixed part, the code, and what follows it.
std::string WithCode(const char* text, int code, const char* after = "") {
  return std::string(text) + std::to_string(code) + after;
}

}  // namespace

ParPortCtl::ParPortCtl() = default;

ParPortCtl::~ParPortCtl() {
  StopThread();
  portio::CloseHandle(m_hPort);
}

void ParPortCtl::SetEvent(bool& event) {
  {
    std::lock_guard lock(m_evMutex);
    event = true;
  }
  m_evCv.notify_all();
}

void ParPortCtl::ResetEvent(bool& event) {
  std::lock_guard lock(m_evMutex);
  event = false;
}

bool ParPortCtl::IsSet(const bool& event) const {
  std::lock_guard lock(m_evMutex);
  return event;
}

void ParPortCtl::SetError(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_strError = text;
}

std::string ParPortCtl::Error() const {
  std::lock_guard lock(m_mutex);
  return m_strError;
}

std::array<uint8_t, 4> ParPortCtl::Asb() const {
  std::lock_guard lock(m_mutex);
  return m_Asb;
}

bool ParPortCtl::IsStatusBack(const uint8_t* b) {
  return (b[0] & 0x93) == 0x10 && (b[1] & 0x90) == 0 && (b[2] & 0xF0) == 0 && b[3] == 0x0F;
}

bool ParPortCtl::Open(const std::string& portName) {
  portio::CloseHandle(m_hPort);
  m_hPort = portio::OpenReadWriteDevice(portName);
  if (m_hPort == portio::kNoHandle) {
    m_dwLastError = portio::PortLastError();
    SetError(WithCode("[ParPortCtl] CreateFile fail : ", m_dwLastError));
    return false;
  }
  // The port's time-outs of the old systems have no counterpart here: every wait is bounded
  // by the reads and writes themselves.
  m_dwLastError = 0;
  m_bOpen = true;
  return true;
}

int ParPortCtl::Write(const uint8_t* data, int length) {
  if (!m_bOpen || data == nullptr || length <= 0) return 0;
  const portio::WriteResult r =
      portio::WriteBounded(m_hPort, data, static_cast<size_t>(length), kWriteWaitMs);
  TraceBytes("LPT TX", data, r.nWritten);
  switch (r.status) {
    case portio::WriteStatus::Ok:
      return static_cast<int>(r.nWritten);
    case portio::WriteStatus::TimedOut:
      return 0;
    case portio::WriteStatus::Failed:
      break;
  }
  m_dwLastError = r.nError;
  SetError(WithCode("[ParPortCtl] Write fail : ", r.nError));
  return 0;
}

int ParPortCtl::Read(uint8_t* buffer, int length) {
  if (!m_bOpen || buffer == nullptr || length <= 0) return 0;
  const auto fail = [this] {
    m_dwLastError = portio::PortLastError();
    SetError(WithCode("[ParPortCtl] Read fail : ", m_dwLastError, "\r\n"));
    theLog.WriteLog("[ParPortCtl] Read fail : %d", m_dwLastError.load());
    return 0;
  };
  for (;;) {
    if (IsSet(m_hStopEvent)) return 0;
    const portio::ReceiveResult got =
        portio::ReceiveWithin(m_hPort, m_hWake, buffer, static_cast<size_t>(length), kStopPollMs);
    switch (got.status) {
      case portio::ReceiveStatus::Data:
        TraceBytes("LPT RX", buffer, static_cast<size_t>(got.nRead));
        return static_cast<int>(got.nRead);
      case portio::ReceiveStatus::Woken:
        return 0;
      case portio::ReceiveStatus::TimedOut:
        break;
      case portio::ReceiveStatus::HungUp:
        // The far end is gone: reads would only ever yield nothing.
        return fail();
      case portio::ReceiveStatus::Empty:
        // Readable by the system, yet nothing to read: wait a little instead of asking
        // again at once.
        if (portio::WaitReadable(portio::kNoHandle, m_hWake, kIdleRetryMs) ==
            portio::WaitResult::Woken) {
          return 0;
        }
        break;
      case portio::ReceiveStatus::Failed:
        return fail();
    }
  }
}

int ParPortCtl::ReadBounded(uint8_t* buffer, int length, int waitMs) {
  if (!m_bOpen) return 0;
  const portio::ReceiveResult got = portio::ReceiveWithin(m_hPort, portio::kNoHandle, buffer,
                                                          static_cast<size_t>(length), waitMs);
  return got.status == portio::ReceiveStatus::Data ? static_cast<int>(got.nRead) : 0;
}

void ParPortCtl::RequestRead() { SetEvent(m_hReadEvent); }

uint8_t ParPortCtl::GetByte(int& status) {
  if (m_Queue.IsEmpty()) {
    SetError("[ParPortCtl] Receive Queue is Empty");
    status = -1;
    return 0;
  }
  status = 1;
  return m_Queue.Get();
}

bool ParPortCtl::ScanBlock(const uint8_t* block, int length) {
  int i = 0;
  while (i < length) {
    if (i + 4 <= length && IsStatusBack(block + i)) {
      std::lock_guard lock(m_mutex);
      for (int k = 0; k < 4; ++k) m_Asb[static_cast<size_t>(k)] = block[i + k];
      i += 4;
      continue;
    }
    if (!m_Queue.Fits(1)) return false;
    m_Queue.Put(block[i]);
    ++i;
  }
  return true;
}

int ParPortCtl::ParaReadThread() {
  uint8_t block[kBlockSize];
  for (;;) {
    bool bStop = false;
    {
      std::unique_lock lock(m_evMutex);
      while (!m_hStopEvent && !m_hReadEvent) {
        m_evCv.wait_for(lock, std::chrono::milliseconds(kStopPollMs));
      }
      bStop = m_hStopEvent;
    }
    if (bStop) {
      // What the printer still sends is read and dropped, each read bounded.
      for (int i = 0; i < kDrainReads; ++i) ReadBounded(block, kBlockSize, kDrainWaitMs);
      ResetEvent(m_hStopEvent);
      break;
    }
    ResetEvent(m_hReadEvent);
    const int n = Read(block, kBlockSize);
    if (n > 0 && !ScanBlock(block, n)) {
      SetError("Receive Queue is FULL!");
      ResetEvent(m_hStopEvent);
      m_bReaderAlive = false;
      SetEvent(m_hEndEvent);
      return 0;
    }
  }
  m_bReaderAlive = false;
  SetEvent(m_hEndEvent);
  return 1;
}

bool ParPortCtl::StartThread() {
  if (m_bReaderAlive) return true;
  JoinReader();  // a reader that ended by itself (full queue)
  m_hWake = portio::CreateWakeEvent();
  if (m_hWake == portio::kNoHandle) {
    m_dwLastError = portio::PortLastError();
    SetError(WithCode("[ParPortCtl] CreateThread fail : ", m_dwLastError));
    return false;
  }
  ResetEvent(m_hStopEvent);
  ResetEvent(m_hEndEvent);
  m_bReaderAlive = true;
  try {
    m_hThread = std::thread([this] { ParaReadThread(); });
  } catch (const std::system_error& e) {
    m_bReaderAlive = false;
    m_dwLastError = e.code().value();
    SetError(WithCode("[ParPortCtl] CreateThread fail : ", m_dwLastError));
    portio::CloseHandle(m_hWake);
    m_hWake = portio::kNoHandle;
    return false;
  }
  m_dwThreadId = m_hThread.get_id();
  return true;
}

void ParPortCtl::StopThread() {
  if (!m_hThread.joinable()) return;
  SetEvent(m_hStopEvent);
  portio::SignalWakeEvent(m_hWake);
  JoinReader();
}

void ParPortCtl::JoinReader() {
  if (!m_hThread.joinable()) return;
  m_hThread.join();
  m_dwThreadId = {};
  portio::CloseHandle(m_hWake);
  m_hWake = portio::kNoHandle;
}

bool ParPortCtl::Close() {
  m_bOpen = false;
  StopThread();
  Clock().SleepMs(kCloseWaitMs);
  portio::CloseHandle(m_hPort);
  m_hPort = portio::kNoHandle;
  return true;
}

}  // namespace torva
