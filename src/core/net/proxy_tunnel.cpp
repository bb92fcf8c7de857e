#include "core/net/proxy_tunnel.h"

#include <vector>

#include "core/net/http_message.h"
#include "core/net/socket_connection.h"

namespace quorvex {

namespace {
constexpr size_t kLongestProxyAnswer = size_t{16} * 1024;
}

bool OpenProxyTunnel(SocketConnection& proxy, const std::string& authority) {
  const std::string target = WithoutLineBreaks(authority);
  const std::string request =
      "CONNECT " + target + " HTTP/1.0\r\nHost: " + target + "\r\nUser-Agent: " + kUserAgent + "\r\n\r\n";
  if (!proxy.SendAll(request)) return false;
  std::string answer;
  char chunk[1024];
  size_t headerEnd = std::string::npos;
  while ((headerEnd = FindHeaderEnd(answer)) == std::string::npos) {
    if (answer.size() > kLongestProxyAnswer) return false;
    const long got = proxy.ReceiveSome(chunk, sizeof chunk);
    if (got <= 0) return false;
    answer.append(chunk, static_cast<size_t>(got));
  }
  // The target speaks only after the TLS client hello, so anything past the header block is a fault.
  if (answer.size() != headerEnd + 4) return false;
  const std::vector<std::string> lines = SplitHeaderLines(answer.substr(0, headerEnd));
  if (lines.empty()) return false;
  const int status = StatusOfLine(lines.front());
  return status >= 200 && status <= 299;
}

}  // namespace quorvex
