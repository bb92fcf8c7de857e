// A server's answer on arbitrary bytes, delivered in chunks of a size the input chooses: reading never
// fails below the size cap, splits at the first CR LF CR LF, keeps every byte, and the header lines and
// status code can always be worked out, and a redirect cannot add a line to the next request.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/byte_stream.h"
#include "core/net/http_message.h"
#include "core/net/response_reader.h"
#include "core/net/url.h"

namespace {

class ChunkedBytes : public quorvex::ByteStream {
 public:
  ChunkedBytes(std::string_view bytes, size_t chunk) : rest_(bytes), chunk_(chunk) {}
  bool SendAll(std::string_view) override { return true; }
  long ReceiveSome(char* buffer, size_t size) override {
    const size_t count = std::min({size, chunk_, rest_.size()});
    std::memcpy(buffer, rest_.data(), count);
    rest_.remove_prefix(count);
    return static_cast<long>(count);
  }

 private:
  std::string_view rest_;
  size_t chunk_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);

  quorvex::RawResponse response;
  ChunkedBytes whole(answer, chunk);
  // Generous for the line bookkeeping, so that only a real fault fails the read.
  if (!quorvex::ReadWholeResponse(whole, response, answer.size() * sizeof(std::string) + 64, true)) std::abort();
  if (response.headerFound != (answer.find("\r\n\r\n") != std::string_view::npos)) std::abort();
  if (response.headerFound && answer.find("\r\n\r\n") != response.head.size()) std::abort();
  const std::vector<std::string> lines = quorvex::SplitHeaderLines(response.head);
  if (!lines.empty()) (void)quorvex::StatusOfLine(lines.front());
  // A redirect: the next request, built from the Location as the client builds it, has exactly its own
  // header lines and no line the server slipped in.
  const std::string location = quorvex::FindHeaderValue(lines, "Location");
  if (!location.empty()) {
    const quorvex::UrlParts next = quorvex::SplitUrl(quorvex::JoinUrl("http://example.test/a/b?c", location));
    const std::string request = quorvex::BuildRequestText(0, next.path, {next.host, "", ""});
    if (std::count(request.begin(), request.end(), '\n') != 4 || std::count(request.begin(), request.end(), '\r') != 4) {
      std::abort();
    }
  }
  if (response.TakeJoined() != answer) std::abort();

  if (!answer.empty()) {
    ChunkedBytes tooLong(answer, chunk);
    if (quorvex::ReadWholeResponse(tooLong, response, answer.size() - 1, false)) std::abort();
  }
  return 0;
}
