#include "core/net/response_reader.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/common/numbers.h"
#include "core/net/byte_stream.h"
#include "core/net/http_message.h"

namespace quorvex {

namespace {

constexpr size_t kFirstBuffer = size_t{64} * 1024;
constexpr size_t kLargestRead = size_t{1024} * 1024;
constexpr size_t kSeparatorSize = 4;  // CR LF CR LF
constexpr uintptr_t kHugePage = uintptr_t{2} << 20;

// Reserves capacity for a body. A large buffer is offered huge pages, so that filling 50 MB costs a
// few dozen page faults instead of thousands; the kernel may ignore the advice.
void ReserveBody(std::string& body, size_t capacity) {
  body.reserve(capacity);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(body.data());
  const uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (begin + body.capacity()) & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// Body size announced by a header block, or 0 when unknown.
size_t AnnouncedBodySize(std::string_view head) {
  const long long size = ParseInt64Or(FindHeaderValue(SplitHeaderLines(head), "Content-Length"), -1);
  return size > 0 && static_cast<unsigned long long>(size) < SIZE_MAX ? static_cast<size_t>(size) : 0;
}

// A header block of bare line breaks would cost a string object per byte once split into lines, far
// beyond what the size cap allows for.
bool HeaderLinesFit(const std::string& head, size_t maxBytes) {
  const auto breaks =
      static_cast<size_t>(std::count_if(head.begin(), head.end(), [](char c) { return c == '\r' || c == '\n'; }));
  return breaks < maxBytes / sizeof(std::string);
}

// Makes room after the used bytes. The capacity grows geometrically (or at once to an announced size)
// while the size follows it a step at a time, so that zeroing fresh memory is spread over the
// transfer instead of stalling it.
void MakeRoom(std::string& buffer, size_t used) {
  if (buffer.capacity() <= used) ReserveBody(buffer, std::max(used * 2, kFirstBuffer));
  buffer.resize(std::min(buffer.capacity(), used + kLargestRead));
}

// Moves the header block out of the body once its end has arrived: received views the bytes read so
// far at the start of the body, searchFrom is where a CR LF CR LF may start that the last read made.
// True when it has.
bool SplitOffHead(RawResponse& response, std::string_view received, size_t searchFrom) {
  const size_t end = FindHeaderEnd(received, searchFrom);
  if (end == std::string::npos) return false;
  response.headerFound = true;
  response.head.assign(received.substr(0, end));
  response.body.resize(received.size());
  response.body.erase(0, end + kSeparatorSize);
  return true;
}

// Sizes the body's buffer for the Content-Length of the header block, when that fits the cap. One
// byte past the announced end leaves room to read the end of the stream without growing.
void ReserveAnnouncedBody(RawResponse& response, size_t maxBytes) {
  const size_t announced = AnnouncedBodySize(response.head);
  const size_t headSize = response.head.size() + kSeparatorSize;
  if (announced >= response.body.capacity() && headSize <= maxBytes && announced <= maxBytes - headSize) {
    ReserveBody(response.body, announced + 1);
  }
}

}  // namespace

std::string RawResponse::TakeJoined() {
  if (headerFound) body.insert(0, head + "\r\n\r\n");
  return std::move(body);
}

bool ReadWholeResponse(ByteStream& stream, RawResponse& response, size_t maxBytes, bool useLengthHint) {
  response.headerFound = false;
  response.head.clear();
  std::string& buffer = response.body;
  buffer.clear();
  size_t used = 0;
  for (;;) {
    if (buffer.size() == used) MakeRoom(buffer, used);
    const long got = stream.ReceiveSome(buffer.data() + used, std::min(buffer.size() - used, kLargestRead));
    if (got <= 0) {
      buffer.resize(used);
      return got == 0 && HeaderLinesFit(response.head, maxBytes);
    }
    used += static_cast<size_t>(got);
    const size_t total = used + (response.headerFound ? response.head.size() + kSeparatorSize : 0);
    if (total > maxBytes) {
      buffer.resize(used);
      return false;
    }
    const size_t before = used - static_cast<size_t>(got);
    const size_t searchFrom = before < kSeparatorSize ? 0 : before - (kSeparatorSize - 1);
    if (!response.headerFound && SplitOffHead(response, std::string_view(buffer.data(), used), searchFrom)) {
      used = buffer.size();
      if (useLengthHint) ReserveAnnouncedBody(response, maxBytes);
    }
  }
}

}  // namespace quorvex
