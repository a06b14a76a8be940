// POSIX sockets behind the hooks of socket_hooks.h.
#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "network/socket_hooks.h"

namespace torva::net {

namespace {

thread_local int t_nLastErrno = 0;

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

void Remember() { t_nLastErrno = errno; }

bool MakeAddress(const std::string& address, int port, sockaddr_in& out) {
  std::memset(&out, 0, sizeof out);
  out.sin_family = AF_INET;
  out.sin_port = htons(static_cast<uint16_t>(port));
  return port >= 0 && port <= 65535 && inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

std::string DottedText(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

int PollOne(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int n = poll(&p, 1, timeoutMs);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Remember();
    if (n <= 0) return n;
    return p.revents;
  }
}

}  // namespace

bool StartSockets() { return true; }
void StopSockets() {}

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) ::close(Fd(socket));
}

std::string LastSocketError() {
  return t_nLastErrno == 0 ? std::string("no error") : std::string(std::strerror(t_nLastErrno));
}

int LastSocketErrorCode() { return t_nLastErrno; }

void ClearSocketError() { t_nLastErrno = 0; }

SocketHandle UdpCreate() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Remember();
  return fd < 0 ? kNoSocket : fd;
}

bool UdpEnableBroadcast(SocketHandle socket) {
  const int on = 1;
  if (setsockopt(Fd(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0) return true;
  Remember();
  return false;
}

bool UdpBindAny(SocketHandle socket, int port) {
  sockaddr_in local{};
  if (!MakeAddress("0.0.0.0", port, local)) {
    t_nLastErrno = EINVAL;
    return false;
  }
  if (bind(Fd(socket), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0) return true;
  Remember();
  return false;
}

int UdpLocalPort(SocketHandle socket) {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&local), &size) != 0) return -1;
  return ntohs(local.sin_port);
}

bool UdpSetReceiveTimeout(SocketHandle socket, int timeoutMs) {
  timeval tv{};
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  if (setsockopt(Fd(socket), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0) return true;
  Remember();
  return false;
}

int UdpSendTo(SocketHandle socket, const std::string& address, int port, const uint8_t* data,
              size_t length) {
  sockaddr_in to{};
  if (!MakeAddress(address, port, to)) {
    t_nLastErrno = EINVAL;
    return -1;
  }
  const ssize_t n = sendto(Fd(socket), data, length, MSG_NOSIGNAL,
                           reinterpret_cast<sockaddr*>(&to), sizeof to);
  if (n < 0) Remember();
  return n < 0 ? -1 : static_cast<int>(n);
}

UdpReceiveResult UdpReceive(SocketHandle socket, size_t capacity, UdpDatagram& datagram) {
  datagram.m_bytes.assign(capacity, 0);
  sockaddr_in from{};
  socklen_t size = sizeof from;
  for (;;) {
    // MSG_TRUNC makes the result the datagram's real length, so that a longer one is seen
    // for what it is rather than taken as its first bytes.
    const ssize_t n = recvfrom(Fd(socket), datagram.m_bytes.data(), capacity, MSG_TRUNC,
                               reinterpret_cast<sockaddr*>(&from), &size);
    if (n >= 0) {
      datagram.m_nLength = static_cast<size_t>(n);
      datagram.m_bytes.resize(std::min(capacity, datagram.m_nLength));
      datagram.m_strSource = DottedText(from.sin_addr);
      return UdpReceiveResult::Datagram;
    }
    if (errno == EINTR) continue;
    Remember();
    datagram.m_bytes.clear();
    datagram.m_nLength = 0;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? UdpReceiveResult::TimedOut
                                                     : UdpReceiveResult::Failed;
  }
}

std::vector<std::string> LocalAddresses() {
  std::vector<std::string> addresses;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) {
    Remember();
    return addresses;
  }
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    const std::string text = DottedText(in->sin_addr);
    if (std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
      addresses.push_back(text);
    }
  }
  freeifaddrs(list);
  return addresses;
}

SocketHandle TcpConnect(const std::string& address, int port, int waitMs) {
  sockaddr_in to{};
  if (!MakeAddress(address, port, to)) {
    t_nLastErrno = EINVAL;
    return kNoSocket;
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    Remember();
    return kNoSocket;
  }
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    if (errno == EINPROGRESS) {
      PollOne(fd, POLLOUT, waitMs);
    } else {
      Remember();  // refused at once: the probe reports it
    }
  }
  return fd;
}

int TcpSendSome(SocketHandle socket, const void* data, size_t length) {
  static const char kNothing = 0;
  const ssize_t n =
      send(Fd(socket), data != nullptr ? data : &kNothing, length, MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n >= 0) return static_cast<int>(n);
  Remember();
  return (errno == EAGAIN || errno == EWOULDBLOCK) ? -2 : -1;
}

int TcpWait(SocketHandle socket, bool forWrite, int timeoutMs) {
  const int revents = PollOne(Fd(socket), forWrite ? POLLOUT : POLLIN, timeoutMs);
  if (revents < 0) return -1;
  if (revents == 0) return 0;
  if (forWrite) {
    if (revents & POLLOUT) return 2;
    t_nLastErrno = EPIPE;
    return -1;
  }
  // A closed or failed connection is readable: the receive tells which.
  return 1;
}

int TcpReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  for (;;) {
    const ssize_t n = recv(Fd(socket), buffer, capacity, MSG_DONTWAIT);
    if (n >= 0) return static_cast<int>(n);
    if (errno == EINTR) continue;
    Remember();
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? -2 : -1;
  }
}

}  // namespace torva::net
