// Windows Sockets 2.2 behind the hooks of socket_hooks.h.
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h:
#include <iphlpapi.h>

#include <algorithm>
#include <vector>

#include "app/win32_text.h"
#include "network/socket_hooks.h"

namespace torva::net {
namespace {

thread_local int t_nLastError = 0;

SOCKET S(SocketHandle socket) { return static_cast<SOCKET>(socket); }

void Remember() { t_nLastError = WSAGetLastError(); }

bool MakeAddress(const std::string& address, int port, sockaddr_in& out) {
  out = sockaddr_in{};
  out.sin_family = AF_INET;
  out.sin_port = htons(static_cast<u_short>(port));
  return port >= 0 && port <= 65535 && inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

std::string DottedText(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

// select() with one socket: the readable, writable or failed bits; 0 on time-out, -1 on an
// error. A connect that failed shows in the exception set.
int SelectOne(SOCKET s, bool forWrite, int timeoutMs, bool& failed) {
  fd_set set;
  fd_set except;
  FD_ZERO(&set);
  FD_ZERO(&except);
  FD_SET(s, &set);
  FD_SET(s, &except);
  timeval tv{};
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  const int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &except, &tv);
  if (n == SOCKET_ERROR) {
    Remember();
    return -1;
  }
  failed = FD_ISSET(s, &except) != 0;
  return n;
}

// The engines that only connect (the printer socket) never start the framework themselves:
// the first socket of the process does, once, and it stays up until the process ends.
bool EnsureStarted() {
  static const int rc = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  if (rc != 0) t_nLastError = rc;
  return rc == 0;
}

}  // namespace

bool StartSockets() {
  WSADATA data{};
  const int rc = WSAStartup(MAKEWORD(2, 2), &data);
  if (rc != 0) t_nLastError = rc;
  return rc == 0;
}

void StopSockets() { WSACleanup(); }

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) closesocket(S(socket));
}

std::string LastSocketError() {
  return t_nLastError == 0 ? std::string("no error")
                           : win32::ErrorText(static_cast<DWORD>(t_nLastError));
}

int LastSocketErrorCode() { return t_nLastError; }

void ClearSocketError() { t_nLastError = 0; }

SocketHandle UdpCreate() {
  if (!EnsureStarted()) return kNoSocket;
  const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) {
    Remember();
    return kNoSocket;
  }
  return static_cast<SocketHandle>(s);
}

bool UdpEnableBroadcast(SocketHandle socket) {
  const BOOL on = TRUE;
  if (setsockopt(S(socket), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                 sizeof on) == 0) {
    return true;
  }
  Remember();
  return false;
}

bool UdpBindAny(SocketHandle socket, int port) {
  sockaddr_in local{};
  if (!MakeAddress("0.0.0.0", port, local)) {
    t_nLastError = WSAEINVAL;
    return false;
  }
  if (bind(S(socket), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0) return true;
  Remember();
  return false;
}

int UdpLocalPort(SocketHandle socket) {
  sockaddr_in local{};
  int size = sizeof local;
  if (getsockname(S(socket), reinterpret_cast<sockaddr*>(&local), &size) != 0) return -1;
  return ntohs(local.sin_port);
}

bool UdpSetReceiveTimeout(SocketHandle socket, int timeoutMs) {
  const DWORD ms = static_cast<DWORD>(timeoutMs);
  if (setsockopt(S(socket), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms),
                 sizeof ms) == 0) {
    return true;
  }
  Remember();
  return false;
}

int UdpSendTo(SocketHandle socket, const std::string& address, int port, const uint8_t* data,
              size_t length) {
  sockaddr_in to{};
  if (!MakeAddress(address, port, to)) {
    t_nLastError = WSAEINVAL;
    return -1;
  }
  const int n = sendto(S(socket), reinterpret_cast<const char*>(data), static_cast<int>(length), 0,
                       reinterpret_cast<sockaddr*>(&to), sizeof to);
  if (n == SOCKET_ERROR) Remember();
  return n == SOCKET_ERROR ? -1 : n;
}

UdpReceiveResult UdpReceive(SocketHandle socket, size_t capacity, UdpDatagram& datagram) {
  datagram.m_bytes.assign(capacity, 0);
  sockaddr_in from{};
  int size = sizeof from;
  const int n = recvfrom(S(socket), reinterpret_cast<char*>(datagram.m_bytes.data()),
                         static_cast<int>(capacity), 0, reinterpret_cast<sockaddr*>(&from), &size);
  if (n != SOCKET_ERROR) {
    datagram.m_nLength = static_cast<size_t>(n);
    datagram.m_bytes.resize(datagram.m_nLength);
    datagram.m_strSource = DottedText(from.sin_addr);
    return UdpReceiveResult::Datagram;
  }
  Remember();
  if (t_nLastError == WSAEMSGSIZE) {
    // Longer than the buffer: its first bytes are there; its real length is not told, so
    // it counts as one byte longer than the buffer, which no size check accepts.
    datagram.m_nLength = capacity + 1;
    datagram.m_strSource = DottedText(from.sin_addr);
    return UdpReceiveResult::Datagram;
  }
  datagram.m_bytes.clear();
  datagram.m_nLength = 0;
  // A datagram that a closed port sent back as "unreachable" is no answer either.
  if (t_nLastError == WSAETIMEDOUT || t_nLastError == WSAECONNRESET) {
    return UdpReceiveResult::TimedOut;
  }
  return UdpReceiveResult::Failed;
}

std::vector<std::string> LocalAddresses() {
  std::vector<std::string> addresses;
  ULONG size = 16 * 1024;
  std::vector<BYTE> buffer(size);
  ULONG rc = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size);
    rc = GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST, nullptr,
                              reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (rc != NO_ERROR) {
    t_nLastError = static_cast<int>(rc);
    return addresses;
  }
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr;
       a = a->Next) {
    for (auto* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
      if (u->Address.lpSockaddr == nullptr || u->Address.lpSockaddr->sa_family != AF_INET) continue;
      const auto* in = reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr);
      const std::string text = DottedText(in->sin_addr);
      if (std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
        addresses.push_back(text);
      }
    }
  }
  return addresses;
}

SocketHandle TcpConnect(const std::string& address, int port, int waitMs) {
  sockaddr_in to{};
  if (!MakeAddress(address, port, to)) {
    t_nLastError = WSAEINVAL;
    return kNoSocket;
  }
  if (!EnsureStarted()) return kNoSocket;
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    Remember();
    return kNoSocket;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    Remember();
    if (t_nLastError == WSAEWOULDBLOCK) {
      bool failed = false;
      if (SelectOne(s, true, waitMs, failed) > 0 && failed) {
        int error = 0;
        int length = sizeof error;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        t_nLastError = error;  // refused: the probe reports it
      }
    }
  }
  return static_cast<SocketHandle>(s);
}

int TcpSendSome(SocketHandle socket, const void* data, size_t length) {
  static const char kNothing = 0;
  const int n = send(S(socket), data != nullptr ? static_cast<const char*>(data) : &kNothing,
                     static_cast<int>(length), 0);
  if (n != SOCKET_ERROR) return n;
  Remember();
  return t_nLastError == WSAEWOULDBLOCK ? -2 : -1;
}

int TcpWait(SocketHandle socket, bool forWrite, int timeoutMs) {
  bool failed = false;
  const int n = SelectOne(S(socket), forWrite, timeoutMs, failed);
  if (n < 0) return -1;
  if (n == 0) return 0;
  if (forWrite) {
    if (!failed) return 2;
    t_nLastError = WSAECONNRESET;
    return -1;
  }
  // A closed or failed connection is readable: the receive tells which.
  return 1;
}

int TcpReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  const int n = recv(S(socket), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0);
  if (n != SOCKET_ERROR) return n;
  Remember();
  return t_nLastError == WSAEWOULDBLOCK ? -2 : -1;
}

}  // namespace torva::net
