#include "core/net/socket_connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

namespace quorvex {

namespace {

constexpr uint32_t kNoAddress = 0xFFFFFFFFu;

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

SocketConnection::SocketConnection() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SocketConnection::~SocketConnection() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void SocketConnection::SetTimeOut(int seconds) {
  timeOutMs_ = seconds <= 0 ? -1 : (seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000);
}

void SocketConnection::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

void SocketConnection::Interrupt() {
  const uint64_t one = 1;
  // A full counter still reads as signalled, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void SocketConnection::ResetInterrupt() {
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
}

TLookupOutcome SocketConnection::LookUp(const std::string& name) const {
  return LookupHostIPv4(name, std::chrono::milliseconds(timeOutMs_), wakeFd_);
}

bool SocketConnection::Fail(std::string problem) {
  problem_ = std::move(problem);
  return false;
}

bool SocketConnection::FailWithErrno(int error) { return Fail(std::strerror(error)); }

bool SocketConnection::WaitFor(short events) {
  // poll() skips a negative descriptor, so a missing wake-up descriptor only costs promptness.
  pollfd fds[2] = {{fd_, events, 0}, {wakeFd_, POLLIN, 0}};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeOutMs_ < 0 ? 0 : timeOutMs_);
  for (;;) {
    const int ready = ::poll(fds, 2, timeOutMs_ < 0 ? -1 : RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return FailWithErrno(errno);
    if (fds[1].revents != 0) return Fail("aborted");
    if (ready == 0) return Fail("time-out after " + std::to_string(timeOutMs_ / 1000) + " s");
    return fds[0].revents != 0;
  }
}

bool SocketConnection::Connect(uint32_t address, uint16_t port) {
  Close();
  problem_.clear();
  if (address == kNoAddress) return Fail("the host has no address");
  if (port == 0) return Fail("no such port");
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return FailWithErrno(errno);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return true;
  const int error = errno;
  if ((error == EINPROGRESS || error == EINTR) && FinishConnect()) return true;
  if (error != EINPROGRESS && error != EINTR) FailWithErrno(error);
  Close();
  return false;
}

bool SocketConnection::FinishConnect() {
  if (!WaitFor(POLLOUT)) return false;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return FailWithErrno(errno);
  return error == 0 || FailWithErrno(error);
}

bool SocketConnection::SendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    if (fd_ < 0 || !WaitFor(POLLOUT)) return false;
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      return FailWithErrno(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

long SocketConnection::ReceiveSome(char* buffer, size_t size) {
  for (;;) {
    if (fd_ < 0 || !WaitFor(POLLIN)) return -1;
    const ssize_t got = ::recv(fd_, buffer, size, 0);
    if (got >= 0) return got;
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      FailWithErrno(errno);
      return -1;
    }
  }
}

}  // namespace quorvex
