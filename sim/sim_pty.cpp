#include "sim_pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace torva::sim {

std::unique_ptr<CSimPty> CSimPty::Create(CSimPrinter& printer, uint64_t closeAfter,
                                         const std::string& linkPath) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    std::fprintf(stderr, "torva-printer-sim: openpty: %s\n", std::strerror(errno));
    return nullptr;
  }
  // Raw until the tool sets its own line: no echo of what it sends, no translation.
  termios t{};
  if (::tcgetattr(slave, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
  }
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  char name[256] = {};
  if (::ttyname_r(slave, name, sizeof name) != 0) {
    std::fprintf(stderr, "torva-printer-sim: ttyname: %s\n", std::strerror(errno));
    ::close(master);
    ::close(slave);
    return nullptr;
  }
  if (!linkPath.empty()) {
    ::unlink(linkPath.c_str());
    if (::symlink(name, linkPath.c_str()) != 0) {
      std::fprintf(stderr, "torva-printer-sim: symlink %s: %s\n", linkPath.c_str(),
                   std::strerror(errno));
      ::close(master);
      ::close(slave);
      return nullptr;
    }
  }
  return std::unique_ptr<CSimPty>(
      new CSimPty(master, slave, name, linkPath, printer, closeAfter));
}

CSimPty::CSimPty(int master, int slave, std::string slavePath, std::string linkPath,
                 CSimPrinter& printer, uint64_t closeAfter)
    : CSimStream(master, printer, closeAfter, "serial " + slavePath),
      m_nSlave(slave),
      m_strSlave(std::move(slavePath)),
      m_strLink(std::move(linkPath)) {}

CSimPty::~CSimPty() { Release(); }

void CSimPty::OnClosed() { Release(); }

void CSimPty::Release() {
  if (m_nSlave >= 0) ::close(m_nSlave);
  m_nSlave = -1;
  if (!m_strLink.empty()) {
    // Only our own link: another simulator may have taken the name since.
    char target[256] = {};
    const ssize_t n = ::readlink(m_strLink.c_str(), target, sizeof target - 1);
    if (n > 0 && m_strSlave == std::string(target, static_cast<size_t>(n))) {
      ::unlink(m_strLink.c_str());
    }
    m_strLink.clear();
  }
}

}  // namespace torva::sim
