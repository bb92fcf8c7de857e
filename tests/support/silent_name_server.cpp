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

bool SilentNameServer::AnswerNoSuchName(int timeOutMs) const {
  if (!WaitForQuery(timeOutMs)) return false;
  char packet[512];
  sockaddr_in from{};
  socklen_t length = sizeof from;
  const ssize_t got = ::recvfrom(fd_, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &length);
  if (got < 12) return false;
  packet[2] = static_cast<char>(packet[2] | 0x80);  // a response, to the question as asked
  packet[3] = static_cast<char>(0x83);              // recursion available; no such name
  return ::sendto(fd_, packet, static_cast<size_t>(got), 0, reinterpret_cast<sockaddr*>(&from), length) == got;
}

SilentNameServer::~SilentNameServer() {
  UseNameServers({});
  ::close(fd_);
}

}  // namespace quorvex::test
