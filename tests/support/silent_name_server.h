#pragma once
#include <cstdint>
#include <string>

namespace quorvex::test {

// A UDP port on 127.0.0.1 that takes DNS queries and answers them only when told to, installed as the
// only name server of every lookup while it lives: for tests of lookups that must end by a time-out or
// an abort, or that find no such name.
class SilentNameServer {
 public:
  SilentNameServer();
  ~SilentNameServer();  // the system's name servers again

  // Waits until a query has arrived (and leaves it unanswered); false when none came within timeOut.
  bool WaitForQuery(int timeOutMs = 30000) const;
  // Waits up to timeOut for a query and answers that the name does not exist; false when none came.
  bool AnswerNoSuchName(int timeOutMs) const;
  SilentNameServer(const SilentNameServer&) = delete;
  SilentNameServer& operator=(const SilentNameServer&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace quorvex::test
