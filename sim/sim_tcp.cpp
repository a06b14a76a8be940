#include "sim_tcp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim_stream.h"

namespace torva::sim {

std::unique_ptr<CSimTcpListener> CSimTcpListener::Create(CSimPrinter& printer, int port,
                                                         uint64_t closeAfter) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    std::fprintf(stderr, "torva-printer-sim: socket: %s\n", std::strerror(errno));
    return nullptr;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  // Loopback only: the simulator never listens on a real network.
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
    std::fprintf(stderr, "torva-printer-sim: tcp port %d: %s\n", port, std::strerror(errno));
    ::close(fd);
    return nullptr;
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return std::unique_ptr<CSimTcpListener>(
      new CSimTcpListener(fd, ntohs(addr.sin_port), printer, closeAfter));
}

CSimTcpListener::~CSimTcpListener() {
  if (m_fd >= 0) ::close(m_fd);
}

void CSimTcpListener::OnReadable(CSimLoop& loop) {
  for (;;) {
    const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return;
    const int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    loop.Add(std::make_unique<CSimStream>(client, m_printer, m_nCloseAfter,
                                          "tcp client " + std::to_string(client)));
  }
}

}  // namespace torva::sim
