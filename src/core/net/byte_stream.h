#pragma once
#include <cstddef>
#include <string_view>

namespace quorvex {

// A connected byte stream an HTTP exchange talks over: a plain socket or TLS on top of one.
class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Sends every byte; false when the stream failed, timed out or was interrupted.
  virtual bool SendAll(std::string_view bytes) = 0;
  // Reads up to size bytes (size > 0) into buffer: the count read, 0 at the end of the stream, or -1
  // when the stream failed, timed out or was interrupted.
  virtual long ReceiveSome(char* buffer, size_t size) = 0;
};

}  // namespace quorvex
