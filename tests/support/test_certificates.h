#pragma once
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace quorvex::test {

// A certificate authority made for one test with the openssl command, and server certificates it
// signs. Everything lives in a temporary folder removed at the end.
class TestCertificates {
 public:
  struct KeyPair {
    std::filesystem::path certificate;  // PEM
    std::filesystem::path key;          // PEM, unencrypted
  };

  TestCertificates();
  // False when the openssl command failed; Log() tells why.
  bool Ready() const { return ready_; }
  // The CA certificate (PEM): the trust store a client under test should use.
  const std::filesystem::path& CaFile() const { return caFile_; }
  // A server certificate whose subject alternative name is host (a DNS name, or an IP address),
  // signed by the CA; empty paths when openssl failed.
  KeyPair Issue(const std::string& host);
  std::string Log() const;

 private:
  // "openssl req" making a new P-256 key and its certificate, valid for three days, with args added:
  // self-signed, or signed with "-CA". False when it failed.
  bool Openssl(const std::vector<std::string>& args);

  TempDir dir_;
  std::filesystem::path caFile_;
  std::filesystem::path caKey_;
  int issued_ = 0;
  bool ready_ = false;
};

// Sets an environment variable for the life of the object and restores the old value after. Set it
// before any thread that reads the environment is started.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const std::string& name, const std::string& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  std::string oldValue_;
  bool hadValue_ = false;
};

}  // namespace quorvex::test
