#include "core/net/TSHttp.h"

#include <stdexcept>

#include "core/common/ascii.h"
#include "core/common/file_io.h"
#include "core/common/numbers.h"
#include "core/net/ESocketError.h"
#include "core/net/entities.h"
#include "core/net/http_message.h"
#include "core/net/proxy_tunnel.h"
#include "core/net/response_reader.h"
#include "core/net/socket_connection.h"
#include "core/net/tls_connection.h"
#include "core/net/url.h"

namespace quorvex {

struct TSHttp::Target {
  std::string protocol;
  std::string host;
  std::string port;  // never empty: the scheme's default port when the URL names none
  std::string path;
};

namespace {

constexpr int kMaxExchanges = 10;
constexpr const char* kDefaultProxyPort = "8080";

bool IsHttps(std::string_view protocol) { return EqualsIgnoreCase(protocol, "https"); }

std::string DefaultPort(std::string_view protocol) { return IsHttps(protocol) ? "443" : "80"; }

// A port that is not a number means the default; one outside the port range never connects.
uint16_t PortNumber(const std::string& text, int fallback) {
  const int port = ParseIntOr(text, fallback);
  return port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
}

// A proxy needs the whole URL with its scheme as the target.
std::string WithScheme(const std::string& url) { return url.find("://") == std::string::npos ? "http://" + url : url; }

}  // namespace

TSHttp::TSHttp() : socket_(std::make_unique<SocketConnection>()) {}

TSHttp::~TSHttp() = default;

void TSHttp::Request(const std::string& url, int method) {
  Aborted = false;
  socket_->ResetInterrupt();
  // Read after the reset: AbortAll sets its flag before it interrupts, so either the flag is seen here
  // or its interrupt comes after the reset and ends the first wait.
  if (abortAll_) {
    Aborted = true;
    return;
  }
  socket_->SetTimeOut(TimeOutSeconds);
  Failure.clear();
  try {
    Body.clear();
    Url = DecodeEntities(url);
    RunExchanges(method);
  } catch (const ESocketError& error) {
    Status = kStatusFailed;
    Failure = error.Detail.empty() ? error.what() : std::string(error.what()) + ": " + error.Detail;
  } catch (const std::exception& error) {
    Status = kStatusFailed;
    Failure = error.what();
  } catch (...) {
    Status = kStatusFailed;
    Failure = "unknown failure";
  }
  CloseConnection();
}

std::string TSHttp::GetHeader(std::string_view name) const { return FindHeaderValue(Headers, name); }

void TSHttp::Abort() {
  Aborted = true;
  socket_->Interrupt();
}

void TSHttp::AbortAll() {
  abortAll_ = true;
  Abort();
}

void TSHttp::RunExchanges(int method) {
  // The Host line names the caller's host in every exchange, redirects to other hosts included.
  Target target = SetUpTarget();
  const std::string hostLine = target.host;
  for (int exchange = 1;; ++exchange) {
    LookUpHost();
    if (!Aborted) OpenConnection(target);
    if (Aborted || !socket_->IsOpen()) return;
    // Inside a CONNECT tunnel the request goes to the target itself, which wants the path only.
    const bool tunnelled = !Proxy.empty() && tls_ != nullptr;
    SendText(BuildRequestText(method, tunnelled ? target.path : Path, {hostLine, Cookie, Referer, UserAgent, AcceptLanguage}));
    Receive(method);
    CloseConnection();
    const std::string location = GetHeader("location");
    if (location.empty() || exchange == kMaxExchanges) return;
    // Relative locations are joined to the caller's URL, not to the previous exchange's.
    target = FollowLocation(JoinUrl(Url, location));
    method = kGet;
    if (Aborted) return;
  }
}

TSHttp::Target TSHttp::SetUpTarget() {
  const Target target = FollowLocation(Url);
  if (Proxy.empty()) return target;
  const UrlParts proxy = SplitUrl(Proxy);
  Protocol = proxy.protocol;
  Host = proxy.host;
  Port = proxy.port.empty() ? kDefaultProxyPort : proxy.port;
  return target;
}

TSHttp::Target TSHttp::FollowLocation(const std::string& location) {
  UrlParts parts = SplitUrl(location);
  Target target{std::move(parts.protocol), std::move(parts.host), std::move(parts.port), std::move(parts.path)};
  if (target.port.empty()) target.port = DefaultPort(target.protocol);
  if (Proxy.empty()) {
    AimAt(target);
  } else {
    Path = WithScheme(location);
  }
  return target;
}

void TSHttp::AimAt(const Target& target) {
  Protocol = target.protocol;
  Host = target.host;
  Port = target.port;
  Path = target.path;
}

void TSHttp::LookUpHost() {
  const TLookupOutcome outcome = socket_->LookUp(Host);
  HostAddr = outcome.address;
  if (!outcome.ok) throw ESocketError(kLookupHostError, outcome.problem);
}

void TSHttp::OpenConnection(const Target& target) {
  const bool secure = IsHttps(target.protocol);
  const int fallbackPort = secure && Proxy.empty() ? 443 : 80;
  if (!socket_->Connect(HostAddr, PortNumber(Port, fallbackPort))) {
    const std::string problem = socket_->Problem();
    CloseConnection();
    throw ESocketError(kConnectError, Host + ":" + Port + ": " + problem);
  }
  if (secure && !StartTls(target)) {
    const std::string problem = socket_->Problem();
    CloseConnection();
    throw ESocketError(kConnectError, problem.empty() ? "TLS handshake with " + target.host + " failed" : problem);
  }
}

bool TSHttp::StartTls(const Target& target) {
  if (!Proxy.empty() && !OpenProxyTunnel(*socket_, target.host + ":" + target.port)) return false;
  if (tlsContext_ == nullptr) tlsContext_ = std::make_unique<TlsContext>();
  tls_ = std::make_unique<TlsConnection>(*socket_);
  return tls_->Handshake(*tlsContext_, target.host);
}

ByteStream& TSHttp::Stream() {
  if (tls_ != nullptr) return *tls_;
  return *socket_;
}

void TSHttp::SendText(const std::string& text) {
  if (!Stream().SendAll(text)) throw ESocketError(kSendError, socket_->Problem());
}

void TSHttp::Receive(int method) {
  Body.clear();
  Headers.clear();
  RawResponse response;
  // The size a HEAD answer announces is that of a body it never sends.
  if (!ReadWholeResponse(Stream(), response, MaxResponseBytes, method != kHead)) {
    Body = response.TakeJoined();
    const std::string& problem = socket_->Problem();
    throw ESocketError(kReceiveError, problem.empty() ? "the answer is larger than " + std::to_string(MaxResponseBytes) +
                                                  " bytes or broke off"
                                            : problem);
  }
  if (response.headerFound) Headers = SplitHeaderLines(response.head);
  Status = Headers.empty() ? kStatusNoHeaderBlock : StatusOfLine(Headers.front());
  Body = std::move(response.body);
  if (!SaveFile.empty() && !Body.empty()) SaveBody();
}

void TSHttp::SaveBody() const {
  // A body that cannot be stored fails the request, so that no caller trusts a file it does not have.
  if (!WriteFileAtomically(SaveFile, Body)) throw std::runtime_error("cannot write " + SaveFile);
}

void TSHttp::CloseConnection() {
  tls_.reset();
  socket_->Close();
}

}  // namespace quorvex
