#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string_view>

#include "core/common/ascii.h"
#include "core/common/numbers.h"

namespace quorvex::test {

namespace {

constexpr std::chrono::milliseconds kDrain{2000};
constexpr std::chrono::milliseconds kForever{-1};
constexpr size_t kLongestRequest = size_t{256} * 1024 * 1024;

sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

int ListenOnLoopback(int backlog, uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address = LoopbackAddress(0);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, backlog) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// poll() again after a signal; the number of ready descriptors, 0 at the time-out (negative: none).
int Poll(pollfd* fds, nfds_t count, std::chrono::milliseconds timeOut) {
  int ready = -1;
  while ((ready = ::poll(fds, count, static_cast<int>(timeOut.count()))) < 0 && errno == EINTR) {
  }
  return ready;
}

// Length of the body a request announces in its header block.
size_t AnnouncedBody(std::string_view head) {
  const size_t at = FindIgnoreCase(head, "\r\nContent-Length:");
  if (at == std::string_view::npos) return 0;
  const size_t start = at + 17;
  const size_t end = head.find("\r\n", start);
  const long long length = ParseInt64Or(TrimControls(head.substr(start, end - start)), 0);
  return length > 0 ? static_cast<size_t>(length) : 0;
}

}  // namespace

uint16_t FreeLoopbackPort() {
  uint16_t port = 0;
  ::close(ListenOnLoopback(1, port));
  return port;
}

bool AcceptsOnLoopback(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const sockaddr_in address = LoopbackAddress(port);
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

ScriptedReply Sends(std::string bytes, int delayMs) { return {true, delayMs, std::move(bytes), false}; }

std::string Answer(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body) {
  std::string text(statusLine);
  text += "\r\n";
  for (const std::string& header : headers) text.append(header).append("\r\n");
  return text.append("\r\n").append(body);
}

ScriptedReply Reply(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body) {
  return Sends(Answer(statusLine, headers, body));
}

ScriptedReply Redirect(const std::string& location, const std::string& statusLine) {
  return Reply(statusLine, {"Location: " + location}, "moved");
}

ScriptedReply Stall() { return {true, 0, "", true}; }

LoopbackServer::LoopbackServer(Responder responder, int receiveBufferBytes)
    : responder_(std::move(responder)), stopFd_(::eventfd(0, EFD_CLOEXEC)) {
  listener_ = ListenOnLoopback(64, port_);
  if (receiveBufferBytes > 0) {
    ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
  }
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::LoopbackServer(std::vector<ScriptedReply> replies, int receiveBufferBytes)
    : LoopbackServer(
          [replies = std::move(replies)](size_t connection) {
            if (replies.empty()) return ScriptedReply{};
            return replies[std::min(connection, replies.size() - 1)];
          },
          receiveBufferBytes) {}

// Ends delays and stalls, closes every connection and waits for the server's threads; no connection
// thread starts once the accept loop has ended.
LoopbackServer::~LoopbackServer() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
  acceptThread_.join();
  for (std::thread& thread : connectionThreads_) thread.join();
  ::close(listener_);
  ::close(stopFd_);
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

size_t LoopbackServer::Connections() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

bool LoopbackServer::WaitReadable(int fd, std::chrono::milliseconds timeOut) const {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  return Poll(fds, 2, timeOut) > 0 && fds[1].revents == 0;
}

bool LoopbackServer::Stopping(std::chrono::milliseconds timeOut) const {
  pollfd stop{stopFd_, POLLIN, 0};
  return Poll(&stop, 1, timeOut) > 0;
}

void LoopbackServer::AcceptLoop() {
  while (WaitReadable(listener_, kForever)) {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard lock(mutex_);
    const size_t index = requests_.size();
    requests_.emplace_back();
    connectionThreads_.emplace_back([this, connection, index] { Serve(connection, responder_(index), index); });
  }
}

void LoopbackServer::Serve(int connection, const ScriptedReply& reply, size_t index) {
  if (reply.readRequest) {
    std::string request = ReadRequest(connection);
    std::lock_guard lock(mutex_);
    requests_[index] = std::move(request);
  }
  const bool goOn = reply.delayMs <= 0 || !Stopping(std::chrono::milliseconds(reply.delayMs));
  if (goOn && SendAll(connection, reply.bytes) && reply.stall) Stopping(kForever);
  CloseGracefully(connection);
}

std::string LoopbackServer::ReadRequest(int connection) const {
  std::string request;
  char chunk[65536];
  size_t wanted = kLongestRequest;
  while (request.size() < wanted && WaitReadable(connection, kForever)) {
    const ssize_t got = ::recv(connection, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
    const size_t headEnd = request.find("\r\n\r\n");
    if (headEnd != std::string::npos)
      wanted = headEnd + 4 + AnnouncedBody(std::string_view(request).substr(0, headEnd));
  }
  return request;
}

bool LoopbackServer::SendAll(int connection, const std::string& bytes) const {
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const ssize_t sent = ::send(connection, rest.data(), rest.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    rest.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void LoopbackServer::CloseGracefully(int connection) const {
  // Closing with unread bytes would reset the connection and could destroy the answer in flight, so
  // end the sending side and read until the client has closed.
  ::shutdown(connection, SHUT_WR);
  char chunk[4096];
  while (WaitReadable(connection, kDrain) && ::recv(connection, chunk, sizeof chunk, 0) > 0) {
  }
  ::close(connection);
}

UnansweredPort::UnansweredPort() {
  listener_ = ListenOnLoopback(0, port_);
  const sockaddr_in address = LoopbackAddress(port_);
  // Queue connections that are never accepted until one is left without an answer.
  for (int attempt = 0; attempt < 64; ++attempt) {
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (filler < 0) break;
    fillers_.push_back(filler);
    if (::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) continue;
    pollfd fds{filler, POLLOUT, 0};
    if (::poll(&fds, 1, 200) == 0) return;
  }
  for (const int filler : fillers_) ::close(filler);
  ::close(listener_);
  throw std::runtime_error("cannot fill the listening queue");
}

UnansweredPort::~UnansweredPort() {
  for (const int filler : fillers_) ::close(filler);
  ::close(listener_);
}

}  // namespace quorvex::test
