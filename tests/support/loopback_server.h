#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quorvex::test {

// What the loopback server does with one connection, in this order.
struct ScriptedReply {
  bool readRequest = true;  // read the request: up to its CR LF CR LF and a Content-Length body
  int delayMs = 0;          // then wait this long
  std::string bytes;        // then send these bytes exactly
  bool stall = false;       // then hold the connection open, silent, until the server stops
};
// Without stall the server closes its side after the bytes, waits for the client to close, and
// closes the connection.

// A port on 127.0.0.1 that was free a moment ago; whether something accepts connections on one.
uint16_t FreeLoopbackPort();
bool AcceptsOnLoopback(uint16_t port);

// Scripted replies: bytes sent after delayMs; an HTTP/1.0 answer of a status line, header lines (each
// ended by CR LF), an empty line and a body; a redirect to location with a small body; a connection read
// and then held open without a word.
ScriptedReply Sends(std::string bytes, int delayMs = 0);
std::string Answer(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body);
ScriptedReply Reply(std::string_view statusLine, const std::vector<std::string>& headers = {},
                    std::string_view body = "");
ScriptedReply Redirect(const std::string& location, const std::string& statusLine = "HTTP/1.0 302 Found");
ScriptedReply Stall();

// An HTTP server inside the test process on 127.0.0.1 and a free port, for unit tests of clients:
// it answers each connection by a script and records the exact bytes of every request. Each
// connection runs on its own thread, so parallel clients are served at once.
class LoopbackServer {
 public:
  // Chooses the script of a connection from its number (0 for the first accepted); called on the
  // connection's own thread, so possibly on several threads at once.
  using Responder = std::function<ScriptedReply(size_t connection)>;

  // receiveBufferBytes > 0 shrinks the kernel's receive buffer of accepted connections, so that a
  // client sending to a server that never reads blocks soon.
  explicit LoopbackServer(Responder responder, int receiveBufferBytes = 0);
  // Connection n gets replies[n]; connections past the end get the last one.
  explicit LoopbackServer(std::vector<ScriptedReply> replies, int receiveBufferBytes = 0);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by path.
  std::string Url(const std::string& path = "/") const;
  // The bytes read from each connection, in the order the connections were accepted.
  std::vector<std::string> Requests() const;
  size_t Connections() const;

 private:
  void AcceptLoop();
  void Serve(int connection, const ScriptedReply& reply, size_t index);
  // True when fd is readable within the time-out (negative: none); false at the time-out or a stop.
  bool WaitReadable(int fd, std::chrono::milliseconds timeOut) const;
  // True when the server is being destroyed within the time-out (negative: none).
  bool Stopping(std::chrono::milliseconds timeOut) const;
  std::string ReadRequest(int connection) const;
  bool SendAll(int connection, const std::string& bytes) const;
  void CloseGracefully(int connection) const;

  Responder responder_;
  int listener_ = -1;
  int stopFd_ = -1;
  uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connectionThreads_;
  std::thread acceptThread_;
};

// A loopback port whose listening queue is full, so that a connect to it is never answered: for
// tests of connect time-outs and aborts that must not leave the machine.
class UnansweredPort {
 public:
  UnansweredPort();
  ~UnansweredPort();
  UnansweredPort(const UnansweredPort&) = delete;
  UnansweredPort& operator=(const UnansweredPort&) = delete;
  uint16_t Port() const { return port_; }

 private:
  int listener_ = -1;
  std::vector<int> fillers_;
  uint16_t port_ = 0;
};

}  // namespace quorvex::test
