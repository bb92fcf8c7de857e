#pragma once
#include <string>

namespace quorvex {

class SocketConnection;

// Asks the HTTP proxy at the other end of proxy for a tunnel to authority ("host:port") with CONNECT.
// True when the proxy answered 2xx and the connection now leads to the target.
bool OpenProxyTunnel(SocketConnection& proxy, const std::string& authority);

}  // namespace quorvex
