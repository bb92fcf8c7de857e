#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace quorvex {

// The outcome of looking up a host name.
struct TLookupOutcome {
  // False when the lookup broke down (no answer in time, aborted, resolver failure); problem says why.
  // A name that has no address is a lookup that worked: ok, with the all-ones address.
  bool ok = true;
  uint32_t address = 0xFFFFFFFFu;  // IPv4, network byte order; all ones when the name has none
  std::string problem;
};

// Looks a host name up as IPv4. Dotted addresses ("127.0.0.1") are read without asking anybody;
// other names go through the hosts file and then DNS, never blocking: the wait ends after timeOut
// (0 or less: the resolver's own retry limits) or as soon as wakeFd becomes readable (an abort from
// another thread). An empty name, or one holding a NUL byte, has no address.
TLookupOutcome LookupHostIPv4(const std::string& name, std::chrono::milliseconds timeOut, int wakeFd);

// The DNS servers every later lookup asks, as "host:port" items separated by commas; empty means the
// servers of the system's resolver configuration. For a program (or a test) that must not depend on
// that configuration.
void UseNameServers(std::string servers);

}  // namespace quorvex
