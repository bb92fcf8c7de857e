#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace quorvex::soak {

// An HTTP server on a few loopback addresses that misbehaves on purpose: every answer comes after a
// random delay of up to 200 ms, and some connections are reset or cut short instead of answered. It
// serves two kinds of pages:
//   /eENGINE/s?q=KEYWORD&p=START  ten hits for engine ENGINE, page START / 10; from the tenth page on
//                                 an empty list, which ends the engine's paging
//   /doc/N                        a small page: the target of every hit
class ChaosServer {
 public:
  // The server listens on 127.0.0.1 up to 127.0.0.kHosts: hosts that a verification run tells apart.
  static constexpr int kHosts = 4;

  explicit ChaosServer(std::uint32_t seed);
  ~ChaosServer();
  ChaosServer(const ChaosServer&) = delete;
  ChaosServer& operator=(const ChaosServer&) = delete;

  // "http://127.0.0.H:PORT" of host h, from 0.
  std::string Origin(int host) const;
  std::string DocumentUrl(int document) const;
  // The definition of engine number engine: its pages sit on one of the hosts.
  std::string EngineDefinition(int engine) const;
  std::uint64_t Connections() const { return connections_.load(); }

  // Ends delays, drops connections being served and joins the threads.
  void Stop();

 private:
  void Run(std::uint32_t seed);
  // Answers, resets or cuts short one connection, after a delay, as random decides.
  void Serve(int connection, std::mt19937& random);
  // Waits until fd is readable; false at the time-out or when the server stops.
  bool WaitReadable(int fd, std::chrono::milliseconds timeOut) const;
  bool ReadRequest(int connection, std::string& request) const;
  std::string AnswerTo(const std::string& request) const;
  // The result page of engine for the request target "/eENGINE/s?q=KEYWORD&p=START".
  std::string ResultPage(int engine, const std::string& target) const;

  std::vector<int> listeners_;
  int stopFd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<std::uint64_t> connections_{0};
  std::vector<std::thread> threads_;
};

}  // namespace quorvex::soak
