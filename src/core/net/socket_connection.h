#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/net/byte_stream.h"

namespace quorvex {

// One TCP connection over IPv4, made for a request thread that another thread may have to stop.
// The socket is non-blocking and every wait is a poll() on it together with a wake-up descriptor,
// so Interrupt (from any thread) ends a connect, send or receive at once without ever closing a
// descriptor: only the owning thread closes its socket, so a descriptor number is never reused
// under its feet. No operation raises SIGPIPE.
class SocketConnection : public ByteStream {
 public:
  SocketConnection();
  ~SocketConnection() override;
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  // Bounds every later wait (the connect, each wait to send or for data); 0 or less waits for ever.
  void SetTimeOut(int seconds);

  // Closes any open socket and connects to address (IPv4, network byte order) at port. The all-ones
  // address (an unresolved host) never connects.
  bool Connect(uint32_t address, uint16_t port);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  bool SendAll(std::string_view bytes) override;
  long ReceiveSome(char* buffer, size_t size) override;

  // Thread-safe. Makes the wait in progress and every later one fail until ResetInterrupt.
  void Interrupt();
  // Called by the owning thread before it starts a new request.
  void ResetInterrupt();

 private:
  // True when the socket is ready for events; false on time-out, interrupt or a poll failure.
  bool WaitFor(short events);
  bool FinishConnect();

  int fd_ = -1;
  int wakeFd_ = -1;
  int timeOutMs_ = -1;
};

// Sets address to the IPv4 address (network byte order) of a host name or dotted address, or to all
// ones when the name has none. False when the look-up itself broke down (out of memory, system error).
// A name with a NUL byte has no address: the look-up would see only its first part.
bool LookupHostIPv4(const std::string& name, uint32_t& address);

}  // namespace quorvex
