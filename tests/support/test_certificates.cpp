#include "support/test_certificates.h"

#include <arpa/inet.h>

#include <cstdlib>

#include "core/common/file_io.h"
#include "support/child_process.h"

namespace quorvex::test {

namespace {

constexpr const char* kCaConfig =
    "[req]\ndistinguished_name = dn\nprompt = no\n[dn]\nCN = Quorvex Test CA\n[ca]\n"
    "basicConstraints = critical,CA:TRUE\nkeyUsage = critical,keyCertSign,cRLSign\nsubjectKeyIdentifier = hash\n";

std::string ServerExtensions(const std::string& host) {
  in_addr ignored{};
  return std::string("subjectAltName = ") + (::inet_pton(AF_INET, host.c_str(), &ignored) == 1 ? "IP:" : "DNS:") +
         host + "\nbasicConstraints = CA:FALSE\nkeyUsage = critical,digitalSignature,keyEncipherment\n"
         "extendedKeyUsage = serverAuth\nauthorityKeyIdentifier = keyid\n";
}

}  // namespace

TestCertificates::TestCertificates() : caFile_(dir_ / "ca.pem"), caKey_(dir_ / "ca.key") {
  const std::string config = dir_.Write("ca.cnf", kCaConfig).string();
  ready_ = Openssl({"genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", caKey_}) &&
           Openssl({"req", "-x509", "-new", "-key", caKey_, "-out", caFile_, "-days", "3", "-config", config,
                    "-extensions", "ca"});
}

TestCertificates::KeyPair TestCertificates::Issue(const std::string& host) {
  const std::string stem = (dir_ / ("server" + std::to_string(++issued_))).string();
  const KeyPair pair{stem + ".pem", stem + ".key"};
  const std::string extensions = dir_.Write("server" + std::to_string(issued_) + ".ext", ServerExtensions(host));
  const bool made =
      ready_ && Openssl({"genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", pair.key}) &&
      Openssl({"req", "-new", "-key", pair.key, "-subj", "/CN=" + host, "-config", (dir_ / "ca.cnf").string(), "-out",
               stem + ".csr"}) &&
      Openssl({"x509", "-req", "-in", stem + ".csr", "-CA", caFile_, "-CAkey", caKey_, "-set_serial",
               std::to_string(1000 + issued_), "-days", "3", "-extfile", extensions, "-out", pair.certificate});
  return made ? pair : KeyPair{};
}

std::string TestCertificates::Log() const { return ReadWholeFile(dir_ / "openssl.log").value_or(""); }

bool TestCertificates::Openssl(const std::vector<std::string>& args) {
  static const std::string program = FindProgram("openssl");
  std::vector<std::string> command{program};
  command.insert(command.end(), args.begin(), args.end());
  return !program.empty() && RunProgram(command, dir_ / "openssl.log") == 0;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::string& name, const std::string& value) : name_(name) {
  const char* old = ::getenv(name.c_str());
  hadValue_ = old != nullptr;
  if (hadValue_) oldValue_ = old;
  ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  if (hadValue_) {
    ::setenv(name_.c_str(), oldValue_.c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace quorvex::test
