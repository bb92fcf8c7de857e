#pragma once
#include <stdexcept>
#include <string>

namespace quorvex {

// A failed step of an HTTP exchange: the step's message, and what went wrong as detail. It never
// leaves TSHttp::Request, which turns it into status 510 and keeps both in TSHttp::Failure.
class ESocketError : public std::runtime_error {
 public:
  explicit ESocketError(const char* message, std::string detail = {})
      : std::runtime_error(message), Detail(std::move(detail)) {}
  std::string Detail;
};

// The messages of the four socket steps, byte for byte as the program shows them.
inline constexpr const char* kLookupHostError = "Lookup host error!";
inline constexpr const char* kConnectError = "Conncet_error";
inline constexpr const char* kSendError = "Send error";
inline constexpr const char* kReceiveError = "Receive error";

}  // namespace quorvex
