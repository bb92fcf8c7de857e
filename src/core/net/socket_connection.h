#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/net/byte_stream.h"
#include "core/net/name_lookup.h"

namespace quorvex {

// One TCP connection over IPv4, made for a request thread that another thread may have to stop.
// The socket is non-blocking and every wait is a poll() on it together with a wake-up descriptor,
// so Interrupt (from any thread) ends a name lookup, connect, send or receive at once without ever
// closing a descriptor: only the owning thread closes its socket, so a descriptor number is never reused
// under its feet. No operation raises SIGPIPE.
class SocketConnection : public ByteStream {
 public:
  SocketConnection();
  ~SocketConnection() override;
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  // Bounds every later wait (a name lookup, the connect, each wait to send or for data); 0 or less
  // waits for ever (a lookup: until the resolver gives up).
  void SetTimeOut(int seconds);

  // The IPv4 address of a host name, looked up within the time-out and ended by Interrupt.
  TLookupOutcome LookUp(const std::string& name) const;

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

  // Why the last connect, send or receive failed: "time-out", "aborted" or the system's error text.
  const std::string& Problem() const { return problem_; }

 private:
  // True when the socket is ready for events; false on time-out, interrupt or a poll failure.
  bool WaitFor(short events);
  bool FinishConnect();
  bool Fail(std::string problem);
  bool FailWithErrno(int error);

  int fd_ = -1;
  int wakeFd_ = -1;
  int timeOutMs_ = -1;
  std::string problem_;
};

}  // namespace quorvex
