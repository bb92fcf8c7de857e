#include "core/net/tls_connection.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <climits>

#include "core/net/socket_connection.h"

namespace quorvex {

namespace {

constexpr size_t kInputChunk = size_t{64} * 1024;

bool IsIpAddress(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  return ::inet_pton(AF_INET, host.c_str(), &v4) == 1 || ::inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

}  // namespace

TlsContext::TlsContext() : context_(SSL_CTX_new(TLS_client_method())) {
  if (context_ == nullptr) return;
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  // HTTP/1.0 answers end when the server closes; many servers close without close_notify.
  SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
  if (SSL_CTX_set_default_verify_paths(context_) != 1) ERR_clear_error();
}

TlsContext::~TlsContext() { SSL_CTX_free(context_); }

TlsConnection::TlsConnection(SocketConnection& transport) : transport_(transport), buffer_(kInputChunk) {}

TlsConnection::~TlsConnection() { SSL_free(ssl_); }

bool TlsConnection::Handshake(const TlsContext& context, const std::string& host) {
  if (context.Get() == nullptr || host.empty()) return false;
  ssl_ = SSL_new(context.Get());
  input_ = BIO_new(BIO_s_mem());
  output_ = BIO_new(BIO_s_mem());
  if (ssl_ == nullptr || input_ == nullptr || output_ == nullptr) {
    BIO_free(input_);
    BIO_free(output_);
    input_ = output_ = nullptr;
    return false;
  }
  SSL_set_bio(ssl_, input_, output_);
  if (IsIpAddress(host)) {
    if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str()) != 1) return false;
  } else {
    SSL_set_hostflags(ssl_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (SSL_set1_host(ssl_, host.c_str()) != 1 || SSL_set_tlsext_host_name(ssl_, host.c_str()) != 1) return false;
  }
  return Drive(Step::kHandshake, nullptr, 0) > 0 && SSL_get_verify_result(ssl_) == X509_V_OK;
}

bool TlsConnection::SendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t chunk = bytes.size() < INT_MAX ? bytes.size() : INT_MAX;
    const int written = Drive(Step::kWrite, bytes.data(), chunk);
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

long TlsConnection::ReceiveSome(char* buffer, size_t size) {
  return Drive(Step::kRead, buffer, size < INT_MAX ? size : INT_MAX);
}

int TlsConnection::CallOpenSsl(Step step, const void* data, size_t size) {
  switch (step) {
    case Step::kHandshake:
      return SSL_connect(ssl_);
    case Step::kRead:
      return SSL_read(ssl_, const_cast<void*>(data), static_cast<int>(size));
    case Step::kWrite:
      return SSL_write(ssl_, data, static_cast<int>(size));
  }
  return -1;
}

int TlsConnection::Drive(Step step, const void* data, size_t size) {
  if (ssl_ == nullptr) return -1;
  for (;;) {
    ERR_clear_error();
    const int result = CallOpenSsl(step, data, size);
    const int error = result > 0 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
    if (!FlushOutput()) return -1;
    if (result > 0) return result;
    if (error == SSL_ERROR_ZERO_RETURN) return 0;
    if (error != SSL_ERROR_WANT_READ || inputEnded_ || !FillInput()) return -1;
  }
}

bool TlsConnection::FlushOutput() {
  char* data = nullptr;
  const long pending = BIO_get_mem_data(output_, &data);
  if (pending <= 0) return true;
  const bool sent = transport_.SendAll(std::string_view(data, static_cast<size_t>(pending)));
  (void)BIO_reset(output_);
  return sent;
}

bool TlsConnection::FillInput() {
  const long got = transport_.ReceiveSome(buffer_.data(), buffer_.size());
  if (got < 0) return false;
  if (got == 0) {
    // From now on OpenSSL reads an end of stream instead of "try again".
    BIO_set_mem_eof_return(input_, 0);
    inputEnded_ = true;
    return true;
  }
  return BIO_write(input_, buffer_.data(), static_cast<int>(got)) == got;
}

}  // namespace quorvex
