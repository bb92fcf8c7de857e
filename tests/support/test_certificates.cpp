#include "support/test_certificates.h"

#include <arpa/inet.h>

#include <cstdlib>

#include "core/common/file_io.h"
#include "support/child_process.h"

namespace quorvex::test {

TestCertificates::TestCertificates() : caFile_(dir_ / "ca.pem"), caKey_(dir_ / "ca.key") {
  ready_ = Openssl({"-keyout", caKey_, "-out", caFile_, "-subj", "/CN=Quorvex Test CA", "-addext",
                    "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"});
}

TestCertificates::KeyPair TestCertificates::Issue(const std::string& host) {
  const std::string stem = (dir_ / ("server" + std::to_string(++issued_))).string();
  const KeyPair pair{stem + ".pem", stem + ".key"};
  in_addr ignored{};
  const std::string name = (::inet_pton(AF_INET, host.c_str(), &ignored) == 1 ? "IP:" : "DNS:") + host;
  const bool made = ready_ && Openssl({"-keyout", pair.key, "-out", pair.certificate, "-CA", caFile_, "-CAkey", caKey_,
                                       "-subj", "/CN=" + host, "-addext", "subjectAltName=" + name, "-addext",
                                       "basicConstraints=CA:FALSE", "-addext", "extendedKeyUsage=serverAuth"});
  return made ? pair : KeyPair{};
}

std::string TestCertificates::Log() const { return ReadWholeFile(dir_ / "openssl.log").value_or(""); }

bool TestCertificates::Openssl(const std::vector<std::string>& args) {
  static const std::string program = FindProgram("openssl");
  std::vector<std::string> command{program, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                                   "-noenc", "-days", "3"};
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
