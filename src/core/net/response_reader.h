#pragma once
#include <cstddef>
#include <string>

namespace quorvex {

class ByteStream;

// An answer as read: the header block apart from the body, so that a large body is received in place
// and never moved.
struct RawResponse {
  bool headerFound = false;  // a CR LF CR LF was read
  std::string head;          // the text before the first CR LF CR LF
  std::string body;          // what follows it; everything read while there is none
  // The bytes as they came over the connection; leaves body empty.
  std::string TakeJoined();
};

// Reads a whole answer, until the other side ends the stream. The body's buffer grows geometrically,
// or at once to the announced size when useLengthHint is set and the header block carries a
// Content-Length (only a capacity hint: the end of the stream still ends the answer), so a large body
// is held about once. False when the stream fails, the answer grows past maxBytes, or its header block
// would take more than maxBytes once split into lines; response then holds what was read.
bool ReadWholeResponse(ByteStream& stream, RawResponse& response, size_t maxBytes, bool useLengthHint);

}  // namespace quorvex
