#pragma once
#include <stdexcept>

namespace quorvex {

// A failed step of an HTTP exchange. It never leaves TSHttp::Request, which turns it into status 510.
class ESocketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The messages of the four socket steps, byte for byte as the program shows them.
inline constexpr const char* kLookupHostError = "Lookup host error!";
inline constexpr const char* kConnectError = "Conncet_error";
inline constexpr const char* kSendError = "Send error";
inline constexpr const char* kReceiveError = "Receive error";

}  // namespace quorvex
