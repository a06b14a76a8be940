#include "firmware/legacy_link.h"

#include <chrono>

#include "app/connection_settings.h"
#include "ports/port_kind.h"
#include "ports/ports.h"

namespace torva {

namespace {
constexpr int kFlowNone = 3;
}

CLegacyPortLink::CLegacyPortLink(CPorts& port, std::function<void()> onAnswer)
    : m_port(port), m_fnOnAnswer(std::move(onAnswer)) {}

CLegacyPortLink::~CLegacyPortLink() { Close(); }

LegacyPacing CLegacyPortLink::Pacing() const {
  const PortNameKind kind = ClassifyPortName(m_port.m_strPortName);
  return kind == PortNameKind::Parallel || kind == PortNameKind::File ? LegacyPacing::BackToBack
                                                                      : LegacyPacing::Answered;
}

bool CLegacyPortLink::Open() {
  m_port.m_nFlowControl = kFlowNone;
  // The watch thread of a serial line runs for the firmware job of this line.
  m_port.m_nFunction = kFunctionFirmware;
  {
    std::lock_guard lock(m_mutex);
    m_bSignalled = false;
  }
  m_port.m_fnNotify = [this] { Notify(); };
  if (!m_port.Open()) {
    m_port.m_fnNotify = nullptr;
    return false;
  }
  m_bOpened = true;
  return true;
}

void CLegacyPortLink::Notify() {
  {
    std::lock_guard lock(m_mutex);
    m_bSignalled = true;
  }
  m_cv.notify_all();
  if (m_fnOnAnswer) m_fnOnAnswer();
}

bool CLegacyPortLink::Receiving() const { return m_port.IsWatchThreadRunning(); }

bool CLegacyPortLink::Write(const uint8_t* data, int length) {
  return m_port.Write(data, length) == length;
}

std::vector<uint8_t> CLegacyPortLink::TakeAnswers() {
  {
    std::lock_guard lock(m_mutex);
    m_bSignalled = false;
  }
  std::vector<uint8_t> bytes;
  for (int n = m_port.m_QueueRead.GetCount(); n > 0 && !m_port.m_QueueRead.IsEmpty(); --n) {
    bytes.push_back(m_port.m_QueueRead.Get());
  }
  return bytes;
}

bool CLegacyPortLink::AwaitAnswers(int timeoutMs) {
  std::unique_lock lock(m_mutex);
  m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                [this] { return m_bSignalled || !m_port.m_QueueRead.IsEmpty(); });
  return !m_port.m_QueueRead.IsEmpty();
}

void CLegacyPortLink::Close() {
  if (!m_bOpened) return;
  m_bOpened = false;
  if (m_port.m_bConnected) m_port.Close();
  m_port.JoinWatchThread();
  m_port.m_fnNotify = nullptr;
}

}  // namespace torva
