#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The pieces of HTTP/1.0 messages as TSHttp writes and reads them.

inline constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)";

// The request text of one exchange, byte for byte. method is TSHttp::kGet, kPost or kHead. For POST the
// target ends at its first "?" and what follows that "?" is the body (all of target when it has none).
// Nothing is escaped; CR, LF and NUL are left out of every header line (WithoutLineBreaks).
struct RequestHeaderValues {
  std::string_view host;
  std::string_view cookie;          // empty leaves the Cookie line out
  std::string_view referer;         // empty leaves the Referer line out
  std::string_view userAgent;       // empty sends kUserAgent
  std::string_view acceptLanguage;  // empty leaves the Accept-Language line out
};
std::string BuildRequestText(int method, std::string_view target, const RequestHeaderValues& values);

// text without CR, LF and NUL bytes: a URL or a header value taken from a page can never split a
// request line or add a header line of its own.
std::string WithoutLineBreaks(std::string_view text);

// Position of the first CR LF CR LF at or after from, or npos.
size_t FindHeaderEnd(std::string_view raw, size_t from = 0);

// The header block split into lines at CR LF, CR or LF; an empty block has no lines.
std::vector<std::string> SplitHeaderLines(std::string_view block);

// The three characters after the first blank of a status line (from its start when it has no blank)
// read as a decimal number, or 500 when they are not one.
int StatusOfLine(std::string_view statusLine);

// Value of the first header (entries 1 on; entry 0 is the status line) whose name, the text before
// its first colon, equals name ignoring case; trimmed of blanks and control characters. Empty when
// there is none.
std::string FindHeaderValue(const std::vector<std::string>& headers, std::string_view name);

}  // namespace quorvex
