#pragma once
// Debian's nginx and tinyproxy on free loopback ports, with their own configuration and files in a
// temporary folder, stopped by the destructor. A test that needs one starts with
// QUORVEX_REQUIRE_PROGRAM("nginx") (child_process.h): skipped where it is missing, failed under CI.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/loopback_server.h"
#include "support/test_certificates.h"
#include "support/test_support.h"

namespace quorvex::test {

struct NginxSettings {
  // Directives added inside the server block, e.g. "location = /old { return 301 /new; }"; the texts
  // {PORT} and {TLS_PORT} in them stand for the ports chosen at start.
  std::string serverDirectives;
  // With both set, the server also listens with TLS on TlsPort(), using this certificate and key.
  std::filesystem::path certificate;
  std::filesystem::path key;
  // Directives inside the http block (e.g. "log_format ...;"), with the same {PORT} replacement.
  std::string httpDirectives{};
};

// nginx serving the folder Root() over HTTP on Port() (and HTTPS on TlsPort() when configured).
// Files put below Root() are served as they are; Last-Modified is their modification time.
class NginxServer {
 public:
  explicit NginxServer(const NginxSettings& settings = {});
  // False when nginx did not come up; Log() tells why.
  bool Started() const { return started_; }
  uint16_t Port() const { return port_; }
  uint16_t TlsPort() const { return tlsPort_; }
  const std::filesystem::path& Root() const { return root_; }
  // "http://127.0.0.1:PORT" + path.
  std::string Url(const std::string& path) const;
  std::string Log() const;

 private:
  bool StartOnFreePorts(const NginxSettings& settings);

  TempDir dir_;
  std::filesystem::path root_;
  ChildProcess process_;
  uint16_t port_ = 0;
  uint16_t tlsPort_ = 0;
  bool started_ = false;
};

// tinyproxy accepting clients from 127.0.0.1 on Port(), CONNECT allowed to every port.
class TinyproxyServer {
 public:
  TinyproxyServer();
  bool Started() const { return started_; }
  uint16_t Port() const { return port_; }
  // "127.0.0.1:PORT", as TSHttp::Proxy takes it.
  std::string Address() const;
  std::string Log() const;

 private:
  TempDir dir_;
  ChildProcess process_;
  uint16_t port_ = 0;
  bool started_ = false;
};

}  // namespace quorvex::test
