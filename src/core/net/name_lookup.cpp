#include "core/net/name_lookup.h"

#include <ares.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

std::mutex serversMutex;
std::string nameServers;  // guarded by serversMutex

std::string NameServers() {
  std::lock_guard lock(serversMutex);
  return nameServers;
}

// What the resolver's callback hands back.
struct TAnswer {
  bool done = false;
  int status = ARES_SUCCESS;
  uint32_t address = 0xFFFFFFFFu;
};

void OnHostFound(void* arg, int status, int /*timeouts*/, hostent* host) {
  auto& answer = *static_cast<TAnswer*>(arg);
  answer.done = true;
  answer.status = status;
  if (status == ARES_SUCCESS && host != nullptr && host->h_addrtype == AF_INET && host->h_length == 4 &&
      host->h_addr_list != nullptr && host->h_addr_list[0] != nullptr) {
    std::memcpy(&answer.address, host->h_addr_list[0], sizeof answer.address);
  }
}

bool NameHasNoAddress(int status) {
  return status == ARES_ENOTFOUND || status == ARES_ENODATA || status == ARES_ENONAME;
}

// One resolver channel for one lookup, so that nothing is shared between the threads that look up.
class Channel {
 public:
  Channel() {
    static std::once_flag libraryStarted;
    std::call_once(libraryStarted, [] { ares_library_init(ARES_LIB_INIT_ALL); });
    status_ = ares_init(&channel_);
    if (status_ != ARES_SUCCESS) return;
    const std::string servers = NameServers();
    if (!servers.empty()) status_ = ares_set_servers_ports_csv(channel_, servers.c_str());
  }
  ~Channel() {
    if (channel_ != nullptr) ares_destroy(channel_);
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  int Status() const { return status_; }
  ares_channel Get() const { return channel_; }

  // Waits for the resolver's sockets, the wake-up descriptor or the resolver's next retry, at most
  // wait; then lets the resolver handle what happened. False when the wake-up descriptor fired.
  bool Step(std::chrono::milliseconds wait, int wakeFd) {
    std::array<ares_socket_t, ARES_GETSOCK_MAXNUM> sockets{};
    const int bits = ares_getsock(channel_, sockets.data(), ARES_GETSOCK_MAXNUM);
    std::array<pollfd, ARES_GETSOCK_MAXNUM + 1> fds{};
    nfds_t count = 0;
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
      short events = 0;
      if (ARES_GETSOCK_READABLE(bits, i)) events |= POLLIN;
      if (ARES_GETSOCK_WRITABLE(bits, i)) events |= POLLOUT;
      if (events != 0) fds[count++] = pollfd{sockets[static_cast<size_t>(i)], events, 0};
    }
    const nfds_t resolverFds = count;
    fds[count++] = pollfd{wakeFd, POLLIN, 0};
    timeval next{};
    if (ares_timeout(channel_, nullptr, &next) != nullptr) {
      wait = std::min(wait, std::chrono::seconds(next.tv_sec) +
                                std::chrono::ceil<std::chrono::milliseconds>(std::chrono::microseconds(next.tv_usec)));
    }
    const int ready = ::poll(fds.data(), count, static_cast<int>(std::max<long long>(wait.count(), 0)));
    if (ready > 0 && fds[resolverFds].revents != 0) return false;
    bool handled = false;
    for (nfds_t i = 0; ready > 0 && i < resolverFds; ++i) {
      if (fds[i].revents == 0) continue;
      const bool readable = (fds[i].revents & (POLLIN | POLLERR | POLLHUP)) != 0;
      const bool writable = (fds[i].revents & POLLOUT) != 0;
      ares_process_fd(channel_, readable ? fds[i].fd : ARES_SOCKET_BAD, writable ? fds[i].fd : ARES_SOCKET_BAD);
      handled = true;
    }
    // Nothing arrived: the resolver retries or gives up on its own schedule.
    if (!handled) ares_process_fd(channel_, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
    return true;
  }

 private:
  ares_channel channel_ = nullptr;
  int status_ = ARES_SUCCESS;
};

std::chrono::milliseconds Remaining(Clock::time_point deadline) {
  return std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
}

TLookupOutcome Broken(std::string problem) { return TLookupOutcome{false, 0xFFFFFFFFu, std::move(problem)}; }

}  // namespace

TLookupOutcome LookupHostIPv4(const std::string& name, std::chrono::milliseconds timeOut, int wakeFd) {
  if (name.empty() || name.find('\0') != std::string::npos) return {};
  in_addr dotted{};
  if (::inet_aton(name.c_str(), &dotted) != 0) return TLookupOutcome{true, dotted.s_addr, {}};

  TAnswer answer;  // before the channel: destroying the channel still calls back into it
  Channel channel;
  if (channel.Status() != ARES_SUCCESS) return Broken(ares_strerror(channel.Status()));
  ares_gethostbyname(channel.Get(), name.c_str(), AF_INET, OnHostFound, &answer);
  const bool bounded = timeOut.count() > 0;
  const Clock::time_point deadline = Clock::now() + timeOut;
  constexpr std::chrono::milliseconds kUnboundedStep{1000};
  while (!answer.done) {
    if (bounded && Clock::now() >= deadline) {
      const auto seconds = std::chrono::ceil<std::chrono::seconds>(timeOut).count();
      return Broken("no answer for " + name + " within " + std::to_string(seconds) + " s");
    }
    if (!channel.Step(bounded ? Remaining(deadline) : kUnboundedStep, wakeFd)) return Broken("aborted");
  }
  if (answer.status == ARES_SUCCESS || NameHasNoAddress(answer.status)) return TLookupOutcome{true, answer.address, {}};
  return Broken(std::string(ares_strerror(answer.status)) + " for " + name);
}

void UseNameServers(std::string servers) {
  std::lock_guard lock(serversMutex);
  nameServers = std::move(servers);
}

}  // namespace quorvex
