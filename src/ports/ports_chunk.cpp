// CPorts::WriteChunk: the bounded write of long transfers, with a stop request looked at
// every few milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "app/error_log.h"
#include "ports/port_io.h"
#include "ports/port_trace.h"
#include "ports/ports.h"

namespace torva {
namespace {

constexpr int kSliceMs = 50;

bool StopSet(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(); }

}  // namespace

CPorts::ChunkWrite CPorts::WriteChunk(const void* data, int length, int limitMs,
                                      const std::atomic<bool>* stop) {
  ChunkWrite result;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (m_hComm == portio::kNoHandle || data == nullptr || length <= 0) {
    result.nError = portio::BadHandleError();
    portio::KeepLastError(result.nError);
    return result;
  }
  if (!IsDeviceKind(m_eOpenKind)) {
    if (portio::WriteAll(m_hComm, bytes, static_cast<size_t>(length))) {
      TraceBytes("TX", bytes, static_cast<size_t>(length));
      result.nWritten = length;
    } else {
      result.nError = portio::PortLastError();
    }
    return result;
  }
  using Clock = std::chrono::steady_clock;
  // A bound on the device, not a wait the tool prescribes: real time.
  const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  auto leftMs = [&] {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
  };
  while (result.nWritten < length) {
    if (StopSet(stop)) {
      result.bStopped = true;
      return result;
    }
    const int left = leftMs();
    if (left <= 0) {
      result.bTimedOut = true;
      theLog.WriteLog("WriteFile Time-out!");
      return result;
    }
    const portio::WriteResult r = portio::WriteBounded(
        m_hComm, bytes + result.nWritten, static_cast<size_t>(length - result.nWritten),
        std::min(left, kSliceMs));
    TraceBytes("TX", bytes + result.nWritten, r.nWritten);
    result.nWritten += static_cast<int>(r.nWritten);
    if (r.status == portio::WriteStatus::Failed) {
      result.nError = r.nError;
      theLog.WriteLog("WriteFile get error result [%d]", r.nError);
      return result;
    }
  }
  if (m_eOpenKind != PortNameKind::Serial) return result;
  // Taken by the driver is not yet on the line: wait, sleeping about as long as the
  // queued bytes take at the line's speed, until the driver holds none.
  const int baud = m_nBaudRate > 0 ? m_nBaudRate : 9600;
  for (int queued = portio::SerialOutputQueued(m_hComm); queued > 0;
       queued = portio::SerialOutputQueued(m_hComm)) {
    if (StopSet(stop)) {
      result.bStopped = true;
      return result;
    }
    const int left = leftMs();
    if (left <= 0) {
      result.bTimedOut = true;
      theLog.WriteLog("WriteFile Time-out!");
      return result;
    }
    const int lineMs = static_cast<int>(static_cast<long long>(queued) * 10 * 1000 / baud) + 1;
    (void)portio::WaitReadable(portio::kNoHandle, portio::kNoHandle,
                               std::min({lineMs, left, kSliceMs}));
  }
  return result;
}

bool CPorts::PurgeInput() {
  if (m_hComm == portio::kNoHandle) return false;
  if (m_eOpenKind != PortNameKind::Serial) return true;
  return portio::PurgeSerialInput(m_hComm);
}

}  // namespace torva
