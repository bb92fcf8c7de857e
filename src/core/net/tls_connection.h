#pragma once
#include <openssl/ssl.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/net/byte_stream.h"

namespace quorvex {

class SocketConnection;

// Client settings shared by the TLS connections of one HTTP client: TLS 1.2 or later, peer
// certificates verified against the system's trust store (SSL_CERT_FILE and SSL_CERT_DIR, when set,
// name another store).
class TlsContext {
 public:
  TlsContext();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;
  SSL_CTX* Get() const { return context_; }

 private:
  SSL_CTX* context_;
};

// TLS over an open SocketConnection. OpenSSL works on memory buffers and every byte goes in and out
// through the connection, so its time-out, its interrupt and its SIGPIPE-free sends hold for TLS too.
class TlsConnection : public ByteStream {
 public:
  explicit TlsConnection(SocketConnection& transport);
  ~TlsConnection() override;
  TlsConnection(const TlsConnection&) = delete;
  TlsConnection& operator=(const TlsConnection&) = delete;

  // Handshake with SNI for host; the certificate chain and the host name (or IP address) must verify.
  bool Handshake(const TlsContext& context, const std::string& host);

  bool SendAll(std::string_view bytes) override;
  long ReceiveSome(char* buffer, size_t size) override;

 private:
  enum class Step { kHandshake, kRead, kWrite };
  // Runs one OpenSSL call until it completes, moving bytes over the socket as it asks: the call's
  // result when positive, 0 at a clean end of the stream, -1 on failure.
  int Drive(Step step, const void* data, size_t size);
  int CallOpenSsl(Step step, const void* data, size_t size);
  bool FlushOutput();
  // Moves what the socket has into OpenSSL: false on failure; at the end of the socket's stream
  // OpenSSL is told so, and judges whether that end is clean.
  bool FillInput();

  SocketConnection& transport_;
  SSL* ssl_ = nullptr;
  BIO* input_ = nullptr;   // owned by ssl_
  BIO* output_ = nullptr;  // owned by ssl_
  bool inputEnded_ = false;
  std::vector<char> buffer_;
};

}  // namespace quorvex
