#include "sim_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace torva::sim {

CSimStream::CSimStream(int fd, CSimPrinter& printer, uint64_t closeAfter, std::string name)
    : m_fd(fd), m_printer(printer), m_nCloseAfter(closeAfter), m_strName(std::move(name)) {}

CSimStream::~CSimStream() {
  if (m_fd >= 0) ::close(m_fd);
}

void CSimStream::CloseStream(const char* why) {
  if (m_fd < 0) return;
  ::close(m_fd);
  m_fd = -1;
  m_out.clear();
  if (m_printer.Options().bVerbose) std::fprintf(stderr, "sim: %s closed (%s)\n", m_strName.c_str(), why);
  OnClosed();
}

void CSimStream::OnReadable(CSimLoop& loop) {
  // What fell due before this input arrived goes out first (a status sent at power-on).
  if (TimerMs() == 0) OnTimer(loop);
  if (m_fd < 0) return;
  uint8_t buffer[4096];
  // A stalled line takes nothing more; a paced one reads in small pieces at its speed.
  if (m_pace.Stalled(m_nReceived)) {
    CLinePace::StallPause();
    return;
  }
  const ssize_t n = ::read(m_fd, buffer, m_pace.Allow(sizeof buffer, m_nReceived));
  if (n > 0) m_pace.Took(static_cast<size_t>(n));
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
    // A pty master reads EIO while no one has the line open; that is not the end.
    if (errno == EIO && !EndOnEmptyRead()) return;
    CloseStream("read error");
    return;
  }
  if (n == 0) {
    if (EndOnEmptyRead()) CloseStream("far end closed");
    return;
  }
  size_t take = static_cast<size_t>(n);
  bool bVanish = false;
  if (m_nCloseAfter != 0 && m_nReceived + take >= m_nCloseAfter) {
    take = static_cast<size_t>(m_nCloseAfter - m_nReceived);
    bVanish = true;
  }
  m_nReceived += take;
  std::vector<uint8_t> reply = m_printer.Receive(m_input, buffer, take);
  if (bVanish) {
    CloseStream("close-after reached");
    return;
  }
  m_out.insert(m_out.end(), reply.begin(), reply.end());
  OnTimer(loop);
}

void CSimStream::OnWritable(CSimLoop&) { Flush(); }

int CSimStream::TimerMs() const {
  if (m_next == SimClock::time_point::max()) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_next - SimClock::now());
  return left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1000));
}

void CSimStream::OnTimer(CSimLoop&) {
  const std::vector<uint8_t> due = m_printer.Poll(m_input, m_next);
  m_out.insert(m_out.end(), due.begin(), due.end());
  Flush();
}

void CSimStream::Flush() {
  while (!m_out.empty() && m_fd >= 0) {
    const ssize_t n = ::write(m_fd, m_out.data(), m_out.size());
    if (n > 0) {
      m_out.erase(m_out.begin(), m_out.begin() + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    CloseStream("write error");
    return;
  }
}

}  // namespace torva::sim
