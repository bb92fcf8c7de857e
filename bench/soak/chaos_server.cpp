#include "chaos_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string_view>

#include "core/common/numbers.h"

namespace quorvex::soak {
namespace {

constexpr int kDocuments = 400;  // hits of every engine point into this many documents
constexpr int kPagesPerEngine = 10;
constexpr int kHitsPerPage = 10;
constexpr int kThreads = 24;  // connections are served one at a time per thread, delays included
constexpr size_t kLongestRequest = size_t{64} * 1024;
constexpr std::chrono::milliseconds kRequestTimeOut{5000};

in_addr_t HostAddress(int host) { return htonl(INADDR_LOOPBACK + static_cast<in_addr_t>(host)); }

// Listens on host's address and port (0: any free one, which port then holds); -1 when it cannot.
int Listen(int host, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = HostAddress(host);
  address.sin_port = htons(port);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 256) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Closes with a TCP reset instead of an orderly end.
void Reset(int connection) {
  const linger abort{1, 0};
  ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  ::close(connection);
}

void SendAll(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
}

std::string HttpAnswer(std::string_view statusLine, std::string_view extraHeaders, std::string_view body) {
  return "HTTP/1.0 " + std::string(statusLine) + "\r\nContent-Type: text/html\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n" + std::string(extraHeaders) + "\r\n" + std::string(body);
}

// The value of name in the query of target ("/e3/s?q=a&p=20", "p" gives "20").
std::string QueryValue(std::string_view target, std::string_view name) {
  const size_t query = target.find('?');
  if (query == std::string_view::npos) return {};
  for (size_t from = query + 1; from < target.size();) {
    size_t end = target.find('&', from);
    if (end == std::string_view::npos) end = target.size();
    const std::string_view pair = target.substr(from, end - from);
    if (pair.size() > name.size() && pair.substr(0, name.size()) == name && pair[name.size()] == '=') {
      return std::string(pair.substr(name.size() + 1));
    }
    from = end + 1;
  }
  return {};
}

}  // namespace

ChaosServer::ChaosServer(std::uint32_t seed) : stopFd_(::eventfd(0, EFD_CLOEXEC)) {
  // Every host listens on the same port, which must be free on all of them.
  for (int attempt = 0; attempt < 20 && listeners_.size() < kHosts; ++attempt) {
    for (const int listener : listeners_) ::close(listener);
    listeners_.clear();
    port_ = 0;
    for (int host = 0; host < kHosts; ++host) {
      const int listener = Listen(host, port_);
      if (listener < 0) break;
      listeners_.push_back(listener);
    }
  }
  if (stopFd_ < 0 || listeners_.size() < kHosts) throw std::runtime_error("cannot listen on the loopback hosts");
  for (int thread = 0; thread < kThreads; ++thread) {
    threads_.emplace_back([this, seed, thread] { Run(seed + static_cast<std::uint32_t>(thread) * 7919U); });
  }
}

ChaosServer::~ChaosServer() {
  Stop();
  for (const int listener : listeners_) ::close(listener);
  ::close(stopFd_);
}

void ChaosServer::Stop() {
  // The stop stays readable for every thread; a write can only fail once it is readable already.
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

std::string ChaosServer::Origin(int host) const {
  return "http://127.0.0." + std::to_string(host + 1) + ":" + std::to_string(port_);
}

std::string ChaosServer::DocumentUrl(int document) const {
  return Origin(document % kHosts) + "/doc/" + std::to_string(document);
}

std::string ChaosServer::EngineDefinition(int engine) const {
  return "url=" + Origin(engine % kHosts) + "/e" + std::to_string(engine) +
         "/s?q=$key$&p=$page$\r\n"
         "Score=" + std::to_string(50 + engine) +
         "\r\n"
         "Page=0," + std::to_string(kHitsPerPage) +
         "\r\n"
         "Head=\"\",\"\",\"\"\r\nUniqe=$1\r\n---\r\n"
         "div,class=r\r\na,href=$1\r\n$2\r\n/a\r\nspan\r\n$3\r\n/span\r\n"
         "---\r\nL,$4,ENG\r\n";
}

void ChaosServer::Run(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<pollfd> fds{{stopFd_, POLLIN, 0}};
  for (const int listener : listeners_) fds.push_back({listener, POLLIN, 0});
  for (;;) {
    if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
    if (fds[0].revents != 0) return;
    for (size_t i = 1; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      // Another thread may have taken the connection already: the listener does not block.
      const int connection = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) continue;
      ++connections_;
      Serve(connection, random);
    }
  }
}

void ChaosServer::Serve(int connection, std::mt19937& random) {
  const std::uint32_t fate = random();
  const std::uint32_t kind = fate % 100;
  const int delayMs = static_cast<int>(random() % 201);
  if (kind < 3) return Reset(connection);  // before a word
  std::string request;
  pollfd stop{stopFd_, POLLIN, 0};
  if (!ReadRequest(connection, request) || ::poll(&stop, 1, delayMs) != 0) {
    return Reset(connection);
  }
  if (kind < 9) return Reset(connection);  // the request read, never answered
  const std::string answer = AnswerTo(request);
  if (kind < 18) {
    // Cut short, anywhere, even inside the header block; then reset or closed in order.
    SendAll(connection, std::string_view(answer).substr(0, (fate / 100) % answer.size()));
    if (kind < 13) return Reset(connection);
  } else {
    SendAll(connection, answer);
  }
  // An orderly end: the client reads up to the close and then closes its side.
  ::shutdown(connection, SHUT_WR);
  char sink[512];
  while (WaitReadable(connection, kRequestTimeOut) && ::recv(connection, sink, sizeof sink, 0) > 0) {
  }
  ::close(connection);
}

bool ChaosServer::WaitReadable(int fd, std::chrono::milliseconds timeOut) const {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  return ::poll(fds, 2, static_cast<int>(timeOut.count())) > 0 && fds[1].revents == 0;
}

bool ChaosServer::ReadRequest(int connection, std::string& request) const {
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    if (request.size() > kLongestRequest || !WaitReadable(connection, kRequestTimeOut)) return false;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    request.append(buffer, static_cast<size_t>(got));
  }
  return true;
}

std::string ChaosServer::AnswerTo(const std::string& request) const {
  const size_t from = request.find(' ') + 1;
  const std::string target = request.substr(from, request.find(' ', from) - from);
  const std::string_view path = std::string_view(target).substr(0, target.find('?'));
  static const std::string kNotFound = HttpAnswer("404 Not Found", {}, "<html><body>no such page</body></html>");
  if (path.starts_with("/doc/")) {
    const int document = static_cast<int>(ParseInt64Or(path.substr(5), -1));
    if (document < 0) return kNotFound;
    // A few documents have moved, and a few are gone.
    if (document % 17 == 3) return HttpAnswer("302 Found", "Location: /doc/" + std::to_string(document + 1) + "\r\n", {});
    if (document % 23 == 5) return kNotFound;
    const std::string number = std::to_string(document);
    return HttpAnswer("200 OK", {},
                      "<html><head><title>document " + number + "</title></head><body><p>text of document " +
                          number + "</p></body></html>");
  }
  if (!path.starts_with("/e") || !path.ends_with("/s")) return kNotFound;
  const int engine = static_cast<int>(ParseInt64Or(path.substr(2, path.size() - 4), -1));
  const long long start = ParseInt64Or(QueryValue(target, "p"), -1);
  if (engine < 0 || start < 0) return kNotFound;
  return HttpAnswer("200 OK", {}, ResultPage(engine, target));
}

std::string ChaosServer::ResultPage(int engine, const std::string& target) const {
  const std::string keyword = QueryValue(target, "q");
  const long long page = ParseInt64Or(QueryValue(target, "p"), 0) / kHitsPerPage;
  std::string body = "<html><body>\n";
  for (int hit = 0; page < kPagesPerEngine && hit < kHitsPerPage; ++hit) {
    const int document = static_cast<int>((engine * 13LL + page * kHitsPerPage + hit) % kDocuments);
    body += "<div class=\"r\"><a href=\"" + DocumentUrl(document) + "\">document " + std::to_string(document) +
            "</a><span>hit " + std::to_string(hit) + " of page " + std::to_string(page) + " for " + keyword +
            "</span></div>\n";
  }
  return body + "</body></html>\n";
}

}  // namespace quorvex::soak
