#pragma once
#include <cstdint>
#include <string>

namespace quorvex::test {

// A UDP port on 127.0.0.1 that takes DNS queries and never answers them, installed as the only name
// server of every lookup while it lives: for tests of lookups that must end by a time-out or an abort.
class SilentNameServer {
 public:
  SilentNameServer();
  ~SilentNameServer();  // the system's name servers again

  // Waits until a query has arrived (and leaves it unanswered); false when none came within timeOut.
  bool WaitForQuery(int timeOutMs = 30000) const;
  SilentNameServer(const SilentNameServer&) = delete;
  SilentNameServer& operator=(const SilentNameServer&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace quorvex::test
