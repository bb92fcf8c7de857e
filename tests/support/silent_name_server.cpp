#include "support/silent_name_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "core/net/name_lookup.h"

namespace quorvex::test {

SilentNameServer::SilentNameServer() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("no UDP port for the silent name server");
  }
  UseNameServers("127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
}

bool SilentNameServer::WaitForQuery(int timeOutMs) const {
  pollfd query{fd_, POLLIN, 0};
  return ::poll(&query, 1, timeOutMs) == 1;
}

SilentNameServer::~SilentNameServer() {
  UseNameServers({});
  ::close(fd_);
}

}  // namespace quorvex::test
