#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class ByteStream;
class SocketConnection;
class TlsConnection;
class TlsContext;

// The program's HTTP/1.0 client. One worker thread owns a client and runs one request at a time on it;
// the only call another thread may make is Abort. A request reads the whole answer until the server
// closes the connection, follows "location" redirects and never throws: the outcome is left in Status,
// Headers and Body.
//
// Status holds the server's code or one of the client's own failure codes:
//   500  the status line has no number after its first blank
//   501  the answer has no header block (no CR LF CR LF)
//   510  the request failed on the way: lookup, connect, TLS, send, receive, time-out, size cap, abort;
//        Failure then says which step failed and why
class TSHttp {
 public:
  static constexpr int kGet = 0;
  static constexpr int kPost = 1;
  static constexpr int kHead = 2;

  static constexpr int kStatusBadStatusLine = 500;
  static constexpr int kStatusNoHeaderBlock = 501;
  static constexpr int kStatusFailed = 510;

  static constexpr size_t kDefaultMaxResponseBytes = size_t{64} << 20;

  TSHttp();
  ~TSHttp();
  TSHttp(const TSHttp&) = delete;
  TSHttp& operator=(const TSHttp&) = delete;

  // Fetches url (named entities are decoded first) with method kGet, kPost or kHead. For POST the part
  // of the target after its first "?" is sent as the body.
  void Request(const std::string& url, int method);

  // Value of the first response header (status line excluded) whose name equals name ignoring case,
  // trimmed of blanks and control characters; empty when there is none.
  std::string GetHeader(std::string_view name) const;

  // Ends a running request promptly, from any thread. The request ends with 510, or leaves Status
  // untouched when it had not started to talk to the server yet.
  void Abort();
  // Abort for a worker that is being stopped: also every later request ends at once, so an abort that
  // lands just before a request starts is never lost. Callable from any thread.
  void AbortAll();

  // Set by the caller before Request.
  std::string Cookie;      // "Cookie: " line; empty leaves it out
  std::string Referer;     // "Referer: " line; empty leaves it out
  std::string UserAgent;   // "User-Agent: " value; empty sends kUserAgent
  std::string AcceptLanguage;  // "Accept-Language: " line; empty leaves it out
  std::string SaveFile;    // when set, every non-empty response body is also written to this file
  std::string Proxy;       // "host:port" of an HTTP proxy; empty connects directly
  int TimeOutSeconds = 0;  // bounds the name lookup, the connect and every wait for data; 0 waits for ever
  size_t MaxResponseBytes = kDefaultMaxResponseBytes;  // a longer answer ends the request with 510

  // Set by Request.
  std::string Url;       // the caller's URL, entities decoded; kept through redirects
  std::string Protocol;  // scheme of the last URL split (the proxy's in proxy mode)
  std::string Host;      // host connected to: the target's, or the proxy's in proxy mode
  std::string Port = "80";
  std::string Path;                  // request target as written into the request line
  uint32_t HostAddr = 0xFFFFFFFFu;   // IPv4 address of Host, network byte order; all ones = unresolved
  std::vector<std::string> Headers;  // header lines of the last answer; entry 0 is the status line
  std::string Body;                  // the last answer after its header block, byte-exact
  int32_t Status = 0;
  // Why the request ended with 510: the socket step's message, ": " and what went wrong
  // ("Lookup host error!: no answer for example.com within 5 s"); empty otherwise.
  std::string Failure;
  std::atomic<bool> Aborted{false};

 private:
  struct Target;  // the URL being fetched in the current exchange

  void RunExchanges(int method);
  Target SetUpTarget();
  Target FollowLocation(const std::string& location);
  void AimAt(const Target& target);
  void LookUpHost();
  void OpenConnection(const Target& target);
  bool StartTls(const Target& target);
  void SendText(const std::string& text);
  void Receive(int method);
  void SaveBody() const;
  void CloseConnection();
  ByteStream& Stream();

  std::unique_ptr<SocketConnection> socket_;  // made once, so that Abort never races its replacement
  std::unique_ptr<TlsConnection> tls_;        // set while an https exchange runs
  std::unique_ptr<TlsContext> tlsContext_;    // made at the first https exchange
  std::atomic<bool> abortAll_{false};
};

}  // namespace quorvex
