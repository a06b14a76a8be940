#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace torva::test {

CPtyPair::CPtyPair() {
  m_nMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_nMaster < 0 || ::grantpt(m_nMaster) != 0 || ::unlockpt(m_nMaster) != 0) {
    throw std::runtime_error("posix_openpt failed");
  }
  char name[128] = {};
  if (::ptsname_r(m_nMaster, name, sizeof name) != 0) throw std::runtime_error("ptsname failed");
  m_strSlave = name;
  m_nSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (m_nSlave < 0) throw std::runtime_error("pty slave open failed");
  MakeSlaveRaw();
  ::fcntl(m_nMaster, F_SETFL, ::fcntl(m_nMaster, F_GETFL) | O_NONBLOCK);
}

CPtyPair::~CPtyPair() {
  if (m_nSlave >= 0) ::close(m_nSlave);
  CloseMaster();
}

void CPtyPair::MakeSlaveRaw() {
  termios t{};
  if (::tcgetattr(m_nSlave, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(m_nSlave, TCSANOW, &t);
  }
}

void CPtyPair::Send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(m_nMaster, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{m_nMaster, POLLOUT, 0};
      ::poll(&p, 1, 100);
    } else {
      throw std::runtime_error("pty master write failed");
    }
  }
}

std::vector<uint8_t> CPtyPair::Receive(size_t count, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<uint8_t> got;
  while (got.size() < count) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{m_nMaster, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    uint8_t buf[4096];
    const ssize_t n = ::read(m_nMaster, buf, sizeof buf);
    if (n > 0) got.insert(got.end(), buf, buf + n);
  }
  return got;
}

void CPtyPair::CloseMaster() {
  if (m_nMaster >= 0) ::close(m_nMaster);
  m_nMaster = -1;
}

}  // namespace torva::test
