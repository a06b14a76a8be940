// The operating system's socket calls used by the network engines, as small hooks so that
// the engines hold no platform code. One file per platform implements them
// (socket_hooks_posix.cpp here).
//
// Every hook is bounded in time: a receive waits at most its time-out, a connect at most its
// wait. Sends never raise SIGPIPE. Failures return a negative value; LastSocketError() tells
// why, for the log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace torva::net {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// The platform's socket framework (nothing to do on POSIX). False when it cannot start.
bool StartSockets();
void StopSockets();
void CloseSocket(SocketHandle socket);
// The reason of the last failed call, e.g. "Network is unreachable".
std::string LastSocketError();
// The system's code of that failure (0 after ClearSocketError when nothing failed since).
int LastSocketErrorCode();
void ClearSocketError();

// --- UDP ---------------------------------------------------------------------------------
SocketHandle UdpCreate();
bool UdpEnableBroadcast(SocketHandle socket);
// Binds to any local address (0.0.0.0) and the port; port 0 takes a free one.
bool UdpBindAny(SocketHandle socket, int port);
// The local port the socket is bound to, or -1.
int UdpLocalPort(SocketHandle socket);
bool UdpSetReceiveTimeout(SocketHandle socket, int timeoutMs);
// One datagram to the dotted address and port. Bytes sent, or -1.
int UdpSendTo(SocketHandle socket, const std::string& address, int port, const uint8_t* data,
              size_t length);

enum class UdpReceiveResult { Datagram, TimedOut, Failed };
struct UdpDatagram {
  std::vector<uint8_t> m_bytes;  // at most the buffer given, the rest cut off
  size_t m_nLength = 0;          // the datagram's real length, also when it was cut off
  std::string m_strSource;       // the source address as dotted text
};
// One datagram, waiting at most the socket's receive time-out.
UdpReceiveResult UdpReceive(SocketHandle socket, size_t capacity, UdpDatagram& datagram);

// The IPv4 addresses of every interface of this machine (up or down), as dotted text.
// Empty when they cannot be listed.
std::vector<std::string> LocalAddresses();

// --- TCP ---------------------------------------------------------------------------------
// Creates a non-blocking stream socket and starts the connect to the dotted address; waits at
// most waitMs for the connect to complete or fail. The socket is returned even when the
// connect is still pending or has failed (the probe tells); kNoSocket when no socket could
// be made or the address is not a dotted IPv4 address.
SocketHandle TcpConnect(const std::string& address, int port, int waitMs);
// Sends at most length bytes without blocking. Bytes sent (0 for length 0 on a connected
// socket), -1 on error, -2 when the socket cannot take bytes now.
int TcpSendSome(SocketHandle socket, const void* data, size_t length);
// Waits at most timeoutMs until the socket is readable (1) or writable (2 with forWrite);
// 0 on time-out, -1 on error.
int TcpWait(SocketHandle socket, bool forWrite, int timeoutMs);
// Receives at most capacity bytes without blocking: count, 0 when the far end closed, -1 on
// error, -2 when nothing is waiting.
int TcpReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity);

}  // namespace torva::net
