#include "net_responder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace torva::sim {

namespace {

// The datagram as the printers know it (decoded here on its own, not with the tool's code,
// so that the two sides check each other).
constexpr size_t kPacket = 35;
constexpr size_t kMaxHeard = 4096;

bool IsLoopback(const std::string& address) { return address.rfind("127.", 0) == 0; }

int BoundUdpSocket(const std::string& address, int port, std::string& error) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
    error = "not an IPv4 address: " + address;
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    error = "bind " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return -1;
  }
  return fd;
}

std::string Quad(const std::array<uint8_t, 4>& a) {
  return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
         std::to_string(a[3]);
}

std::vector<uint8_t> Encode(const NetSimPrinter& p, uint8_t command) {
  std::vector<uint8_t> b(kPacket, 0);
  b[0] = b[1] = 0xAA;
  b[2] = command;
  for (size_t i = 0; i < 4; ++i) {
    b[3 + i] = p.m_ip[i];
    b[7 + i] = p.m_mask[i];
    b[11 + i] = p.m_gateway[i];
  }
  for (size_t i = 0; i < 6; ++i) b[15 + i] = p.m_mac[i];
  b[21] = p.m_bDhcp ? 1 : 0;
  b[22] = static_cast<uint8_t>(p.m_nPort >> 8);
  b[23] = static_cast<uint8_t>(p.m_nPort & 0xFF);
  b[33] = b[34] = 0x55;
  b.resize(static_cast<size_t>(p.m_nReplyLength), 0);
  return b;
}

void Apply(NetSimPrinter& p, const std::vector<uint8_t>& b) {
  for (size_t i = 0; i < 4; ++i) {
    p.m_ip[i] = b[3 + i];
    p.m_mask[i] = b[7 + i];
    p.m_gateway[i] = b[11 + i];
  }
  p.m_bDhcp = b[21] != 0;
  p.m_nPort = static_cast<uint16_t>(b[22] << 8 | b[23]);
}

}  // namespace

bool InPrivateNetworkNamespace() {
  struct stat self {};
  if (stat("/proc/self/ns/net", &self) != 0) return false;
  // Process 1's namespace, where it may be read: any other one is private.
  struct stat init {};
  if (stat("/proc/1/ns/net", &init) == 0) {
    return self.st_dev != init.st_dev || self.st_ino != init.st_ino;
  }
  // Otherwise a namespace made with "ip netns add" (and entered with "ip netns exec").
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ec)) {
    struct stat named {};
    if (stat(entry.path().c_str(), &named) == 0 && named.st_dev == self.st_dev &&
        named.st_ino == self.st_ino) {
      return true;
    }
  }
  return false;
}

CNetResponder::~CNetResponder() { Stop(); }

bool CNetResponder::OpenReplySockets(std::string& error) {
  const bool loopback = IsLoopback(m_options.m_strListenAddress);
  for (size_t i = 0; i < m_printers.size(); ++i) {
    const NetSimPrinter& p = m_printers[i];
    std::string ignored;
    int fd = -1;
    if (!p.m_strSource.empty()) {
      if (loopback != IsLoopback(p.m_strSource)) {
        error = "src=" + p.m_strSource + " does not match the listen address";
        return false;
      }
      fd = BoundUdpSocket(p.m_strSource, 0, error);
      if (fd < 0) return false;
    } else if (loopback == IsLoopback(Quad(p.m_ip)) && Quad(p.m_ip) != "127.0.0.1") {
      fd = BoundUdpSocket(Quad(p.m_ip), 0, ignored);  // its own address, when this machine has it
    }
    if (fd < 0 && loopback) {
      // On loopback 127.0.0.1 is the tool's own address too; answer from one of our own.
      fd = BoundUdpSocket("127.0.0." + std::to_string(2 + i % 250), 0, error);
      if (fd < 0) return false;
    }
    m_replySockets.push_back(fd);
  }
  return true;
}

bool CNetResponder::Start(const NetResponderOptions& options, std::string& error) {
  Stop();
  m_options = options;
  if (!IsLoopback(options.m_strListenAddress) && !InPrivateNetworkNamespace()) {
    error = "--net-listen " + options.m_strListenAddress +
            " refused: outside loopback the responder listens only inside a network "
            "namespace of its own (ip netns exec ...)";
    return false;
  }
  {
    std::lock_guard lock(m_mutex);
    m_printers = options.m_printers;
    m_heard.clear();
  }
  m_nListenSocket = BoundUdpSocket(options.m_strListenAddress, options.m_nListenPort, error);
  if (m_nListenSocket < 0 || !OpenReplySockets(error)) {
    Stop();
    return false;
  }
  sockaddr_in local{};
  socklen_t size = sizeof local;
  getsockname(m_nListenSocket, reinterpret_cast<sockaddr*>(&local), &size);
  m_nListenPort = ntohs(local.sin_port);
  m_bRun = true;
  m_thread = std::thread([this] { Run(); });
  return true;
}

void CNetResponder::Stop() {
  m_bRun = false;
  if (m_thread.joinable()) m_thread.join();
  for (int fd : m_replySockets) {
    if (fd >= 0) close(fd);
  }
  m_replySockets.clear();
  if (m_nListenSocket >= 0) close(m_nListenSocket);
  m_nListenSocket = -1;
}

std::vector<NetSimPrinter> CNetResponder::Printers() const {
  std::lock_guard lock(m_mutex);
  return m_printers;
}

std::vector<NetSimDatagram> CNetResponder::Heard() const {
  std::lock_guard lock(m_mutex);
  return m_heard;
}

void CNetResponder::Run() {
  uint8_t buffer[2048];
  while (m_bRun) {
    pollfd p{m_nListenSocket, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    sockaddr_in from{};
    socklen_t size = sizeof from;
    const ssize_t n = recvfrom(m_nListenSocket, buffer, sizeof buffer, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &size);
    if (n < 0) continue;
    NetSimDatagram datagram;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    datagram.m_strSource = text;
    datagram.m_nSourcePort = ntohs(from.sin_port);
    datagram.m_bytes.assign(buffer, buffer + n);
    Handle(datagram);
  }
}

void CNetResponder::Handle(const NetSimDatagram& datagram) {
  const std::vector<uint8_t>& b = datagram.m_bytes;
  {
    std::lock_guard lock(m_mutex);
    if (m_heard.size() < kMaxHeard) m_heard.push_back(datagram);
  }
  if (b.size() != kPacket || b[0] != 0xAA || b[1] != 0xAA || b[33] != 0x55 || b[34] != 0x55) {
    return;  // not a request of the tool
  }
  const uint8_t command = b[2];
  std::vector<size_t> answering;
  {
    std::lock_guard lock(m_mutex);
    for (size_t i = 0; i < m_printers.size(); ++i) {
      NetSimPrinter& p = m_printers[i];
      if (command == 0x00) {
        answering.push_back(i);
      } else if ((command == 0x02 || command == 0x04) &&
                 std::memcmp(p.m_mac.data(), &b[15], p.m_mac.size()) == 0) {
        Apply(p, b);
        if (command == 0x02) {
          answering.push_back(i);
          std::fprintf(stderr, "torva-printer-sim: network settings now %s\n",
                       FormatSimPrinter(p).c_str());
        }
      }
    }
  }
  for (size_t i : answering) Reply(i, datagram, command);
}

void CNetResponder::Reply(size_t index, const NetSimDatagram& request, uint8_t command) {
  std::vector<uint8_t> bytes;
  {
    std::lock_guard lock(m_mutex);
    bytes = Encode(m_printers[index], command);
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(m_options.m_nReplyPort));
  inet_pton(AF_INET, request.m_strSource.c_str(), &to.sin_addr);
  const int fd = m_replySockets[index] >= 0 ? m_replySockets[index] : m_nListenSocket;
  if (sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to),
             sizeof to) < 0) {
    std::fprintf(stderr, "torva-printer-sim: reply to %s:%d failed: %s\n",
                 request.m_strSource.c_str(), m_options.m_nReplyPort, std::strerror(errno));
  }
}

}  // namespace torva::sim
