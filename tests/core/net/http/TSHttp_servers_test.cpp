#include <gtest/gtest.h>

#include <memory>

#include "core/common/file_io.h"
#include "core/net/TSHttp.h"
#include "support/local_servers.h"

namespace quorvex::test {
namespace {

// Deterministic pseudo-random bytes, so that a dropped or repeated piece shows.
std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 11);
  return bytes;
}

constexpr const char* kMovedConfig =
    "location = /to-tls { return 301 https://localhost:{TLS_PORT}/new.html; }\n"
    "location = /to-plain { return 301 http://127.0.0.1:{PORT}/new.html; }\n";

// nginx with HTTPS on a certificate for host from a fresh test CA, which is the only one trusted, serving
// a 5 MB file, a page and redirects between the schemes.
class SecureServedFiles : public ::testing::Test {
 protected:
  void SetUp() override { QUORVEX_REQUIRE_PROGRAM("nginx"); }

  void StartSecureNginx(const std::string& host) {
    ASSERT_TRUE(certificates_.Ready()) << certificates_.Log();
    const TestCertificates::KeyPair pair = certificates_.Issue(host);
    ASSERT_FALSE(pair.certificate.empty()) << certificates_.Log();
    trust_ = std::make_unique<ScopedEnvironmentVariable>("SSL_CERT_FILE", certificates_.CaFile().string());
    nginx_ = std::make_unique<NginxServer>(NginxSettings{kMovedConfig, pair.certificate, pair.key});
    ASSERT_TRUE(nginx_->Started()) << nginx_->Log();
    ASSERT_TRUE(WriteFileAtomically(nginx_->Root() / "big.bin", big_));
    ASSERT_TRUE(WriteFileAtomically(nginx_->Root() / "new.html", "<html>new page</html>"));
  }

  std::string SecureUrl(const std::string& host, const std::string& path) const {
    return "https://" + host + ":" + std::to_string(nginx_->TlsPort()) + path;
  }

  const std::string big_ = PatternBytes(size_t{5} << 20);
  TestCertificates certificates_;
  std::unique_ptr<ScopedEnvironmentVariable> trust_;
  std::unique_ptr<NginxServer> nginx_;
};

TEST_F(SecureServedFiles, HttpsWithAVerifiedCertificateAndRedirectsBetweenSchemes) {
  StartSecureNginx("localhost");
  TSHttp http;
  http.Request(SecureUrl("localhost", "/big.bin"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == big_);
  for (const auto& [url, protocol] : {std::pair{nginx_->Url("/to-tls"), "https"},
                                      std::pair{SecureUrl("localhost", "/to-plain"), "http"}}) {
    http.Request(url, TSHttp::kGet);
    EXPECT_TRUE(http.Body == "<html>new page</html>" && http.Protocol == protocol) << url;
  }
}

TEST_F(SecureServedFiles, RefusesACertificateForAnotherHostOrFromAnUnknownCa) {
  StartSecureNginx("127.0.0.1");
  TSHttp http;
  http.Request(SecureUrl("127.0.0.1", "/new.html"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 200);

  http.Request(SecureUrl("localhost", "/new.html"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 510 && http.Body.empty());

  // Through a redirect from plain http too: never a silent downgrade.
  http.Request(nginx_->Url("/to-tls"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 510);

  trust_.reset();
  ScopedEnvironmentVariable emptyStore("SSL_CERT_DIR", certificates_.CaFile().parent_path().string() + "/none");
  TSHttp untrusting;
  untrusting.Request(SecureUrl("127.0.0.1", "/new.html"), TSHttp::kGet);
  EXPECT_EQ(untrusting.Status, 510);
}

TEST_F(SecureServedFiles, HttpsThroughTinyproxyWithConnect) {
  QUORVEX_REQUIRE_PROGRAM("tinyproxy");
  StartSecureNginx("localhost");
  TinyproxyServer tinyproxy;
  ASSERT_TRUE(tinyproxy.Started()) << tinyproxy.Log();
  TSHttp http;
  http.Proxy = tinyproxy.Address();
  http.Request(SecureUrl("localhost", "/big.bin"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == big_);
  EXPECT_NE(tinyproxy.Log().find("CONNECT localhost:" + std::to_string(nginx_->TlsPort())), std::string::npos)
      << tinyproxy.Log();
}

}  // namespace
}  // namespace quorvex::test
