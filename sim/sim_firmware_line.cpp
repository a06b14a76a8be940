#include "sim_firmware_line.h"

#include <algorithm>
#include <thread>

namespace torva::sim {

SimLineFaults& LineFaults() {
  static SimLineFaults faults;
  return faults;
}

size_t CLinePace::Allow(size_t bufferSize, uint64_t receivedSoFar) const {
  const SimLineFaults& f = LineFaults();
  size_t n = bufferSize;
  if (f.nBaud > 0) n = std::min<size_t>(n, 256);
  if (f.nStallAfter != 0 && receivedSoFar < f.nStallAfter) {
    n = std::min<size_t>(n, static_cast<size_t>(f.nStallAfter - receivedSoFar));
  }
  return n;
}

bool CLinePace::Stalled(uint64_t receivedSoFar) const {
  const SimLineFaults& f = LineFaults();
  return f.nStallAfter != 0 && receivedSoFar >= f.nStallAfter;
}

void CLinePace::StallPause() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

void CLinePace::Took(size_t n) {
  const int baud = LineFaults().nBaud;
  if (baud <= 0 || n == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!m_bStarted || now - m_start > std::chrono::seconds(1) +
                                         std::chrono::microseconds(m_nBytes * 10000000 / baud)) {
    // A new burst after a pause: the line was idle, start counting afresh.
    m_bStarted = true;
    m_start = now;
    m_nBytes = 0;
  }
  m_nBytes += n;
  std::this_thread::sleep_until(m_start + std::chrono::microseconds(m_nBytes * 10000000 / baud));
}

}  // namespace torva::sim
