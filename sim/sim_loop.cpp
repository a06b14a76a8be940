#include "sim_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace torva::sim {
namespace {

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char c = 1;
  // Nothing to do when it fails: the pipe is full, the loop is woken already.
  [[maybe_unused]] ssize_t rc = ::write(g_stopPipe[1], &c, 1);
}

}  // namespace

CSimLoop::CSimLoop() = default;
CSimLoop::~CSimLoop() = default;

void CSimLoop::InstallSignalHandlers() {
  if (g_stopPipe[0] < 0 && ::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

void CSimLoop::Add(std::unique_ptr<ISimEndpoint> endpoint) { m_added.push_back(std::move(endpoint)); }

int CSimLoop::Run() {
  std::vector<pollfd> pfds;
  while (!m_bStop) {
    for (auto& e : m_added) m_endpoints.push_back(std::move(e));
    m_added.clear();
    std::erase_if(m_endpoints, [](const auto& e) { return e->Fd() < 0; });

    pfds.clear();
    pfds.push_back({g_stopPipe[0], POLLIN, 0});
    for (const auto& e : m_endpoints) {
      pfds.push_back({e->Fd(), static_cast<short>(POLLIN | (e->WantsWrite() ? POLLOUT : 0)), 0});
    }
    int timeout = 1000;
    for (const auto& e : m_endpoints) {
      const int t = e->TimerMs();
      if (t >= 0 && t < timeout) timeout = t;
    }
    const int rc = ::poll(pfds.data(), pfds.size(), timeout);
    if (rc < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if ((pfds[0].revents & POLLIN) != 0) break;
    // Endpoints added by callbacks wait for the next round; the indices stay valid.
    const size_t count = m_endpoints.size();
    for (size_t i = 0; i < count && !m_bStop; ++i) {
      ISimEndpoint& e = *m_endpoints[i];
      const short revents = pfds[i + 1].revents;
      if (e.Fd() < 0 || revents == 0) continue;
      if ((revents & POLLOUT) != 0) e.OnWritable(*this);
      if (e.Fd() >= 0 && (revents & (POLLIN | POLLHUP | POLLERR)) != 0) e.OnReadable(*this);
    }
    for (size_t i = 0; i < count && !m_bStop; ++i) {
      if (m_endpoints[i]->Fd() >= 0 && m_endpoints[i]->TimerMs() == 0)
        m_endpoints[i]->OnTimer(*this);
    }
  }
  return 0;
}

}  // namespace torva::sim
