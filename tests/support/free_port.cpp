#include "support/free_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace torva::test {
namespace {

int BoundPort(int type, in_addr_t address) {
  const int fd = socket(AF_INET, type, 0);
  if (fd < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t size = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  close(fd);
  return ntohs(a.sin_port);
}

}  // namespace

int FreeUdpPort() { return BoundPort(SOCK_DGRAM, INADDR_ANY); }
int ClosedLoopbackPort() { return BoundPort(SOCK_STREAM, INADDR_LOOPBACK); }

}  // namespace torva::test
