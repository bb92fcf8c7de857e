#include "support/local_servers.h"

#include <chrono>
#include <thread>

#include "core/common/file_io.h"

namespace quorvex::test {

namespace {

constexpr int kStartAttempts = 3;
constexpr std::chrono::seconds kStartTimeOut{10};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string NginxConfig(const std::filesystem::path& dir, uint16_t port, uint16_t tlsPort,
                        const NginxSettings& settings) {
  std::string tls;
  if (tlsPort != 0) {
    tls = "listen 127.0.0.1:{TLS_PORT} ssl; ssl_certificate " + settings.certificate.string() +
          "; ssl_certificate_key " + settings.key.string() + ";";
  }
  std::string config = R"(daemon off; master_process off; pid {DIR}/nginx.pid; error_log {DIR}/error.log warn;
events { worker_connections 256; }
http {
  access_log off; sendfile on; default_type application/octet-stream;
  client_body_temp_path {DIR}/temp/body; proxy_temp_path {DIR}/temp/proxy; fastcgi_temp_path {DIR}/temp/fastcgi;
  uwsgi_temp_path {DIR}/temp/uwsgi; scgi_temp_path {DIR}/temp/scgi;
  {HTTP}
  server { listen 127.0.0.1:{PORT}; {TLS} server_name localhost; root {DIR}/www;
  {SERVER}
  }
}
)";
  config = ReplaceAll(ReplaceAll(ReplaceAll(config, "{HTTP}", settings.httpDirectives), "{SERVER}",
                                 settings.serverDirectives), "{TLS}", tls);
  return ReplaceAll(ReplaceAll(ReplaceAll(config, "{DIR}", dir.string()), "{PORT}", std::to_string(port)),
                    "{TLS_PORT}", std::to_string(tlsPort));
}

// True once something accepts connections on 127.0.0.1:port, false after the time-out.
bool WaitUntilAccepting(uint16_t port, std::chrono::milliseconds timeOut) {
  const auto deadline = std::chrono::steady_clock::now() + timeOut;
  while (!AcceptsOnLoopback(port)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Starts a server program and waits until it accepts on every port; false when it did not.
bool StartServer(ChildProcess& process, const std::vector<std::string>& args, const std::filesystem::path& log,
                 std::initializer_list<uint16_t> ports) {
  if (!process.Start(args, log)) return false;
  for (const uint16_t port : ports) {
    if (port != 0 && !WaitUntilAccepting(port, kStartTimeOut)) {
      process.Stop();
      return false;
    }
  }
  return process.Running();
}

}  // namespace

NginxServer::NginxServer(const NginxSettings& settings) : root_(dir_ / "www") {
  std::filesystem::create_directories(root_);
  std::filesystem::create_directories(dir_ / "temp");
  for (int attempt = 0; attempt < kStartAttempts && !started_; ++attempt) started_ = StartOnFreePorts(settings);
}

bool NginxServer::StartOnFreePorts(const NginxSettings& settings) {
  port_ = FreeLoopbackPort();
  tlsPort_ = settings.certificate.empty() ? 0 : FreeLoopbackPort();
  const std::filesystem::path config = dir_.Write("nginx.conf", NginxConfig(dir_.Path(), port_, tlsPort_, settings));
  const std::string dir = dir_.Path().string();
  return StartServer(process_, {FindProgram("nginx"), "-p", dir, "-c", config.string(), "-e", dir + "/error.log"},
                     dir_ / "nginx.out", {port_, tlsPort_});
}

std::string NginxServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string NginxServer::Log() const {
  return ReadWholeFile(dir_ / "nginx.out").value_or("") + ReadWholeFile(dir_ / "error.log").value_or("");
}

TinyproxyServer::TinyproxyServer() {
  for (int attempt = 0; attempt < kStartAttempts && !started_; ++attempt) {
    port_ = FreeLoopbackPort();
    const std::filesystem::path config =
        dir_.Write("tinyproxy.conf", "Port " + std::to_string(port_) +
                                         "\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\nMaxClients 64\n"
                                         "LogLevel Info\nLogFile \"" +
                                         (dir_ / "tinyproxy.log").string() + "\"\n");
    started_ =
        StartServer(process_, {FindProgram("tinyproxy"), "-d", "-c", config.string()}, dir_ / "tinyproxy.out", {port_});
  }
}

std::string TinyproxyServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string TinyproxyServer::Log() const {
  return ReadWholeFile(dir_ / "tinyproxy.out").value_or("") + ReadWholeFile(dir_ / "tinyproxy.log").value_or("");
}

}  // namespace quorvex::test
