#include "core/net/http_message.h"

#include "core/common/ascii.h"
#include "core/common/numbers.h"
#include "core/net/TSHttp.h"

namespace quorvex {

std::string BuildRequestText(int method, std::string_view target, const RequestHeaderValues& values) {
  std::string_view postBody;
  std::string text;
  if (method == TSHttp::kPost) {
    const size_t query = target.find('?');
    postBody = query == std::string_view::npos ? target : target.substr(query + 1);
    target = query == std::string_view::npos ? std::string_view() : target.substr(0, query);
    text = "POST ";
  } else {
    text = method == TSHttp::kHead ? "HEAD " : "GET ";
  }
  text.append(WithoutLineBreaks(target)).append(" HTTP/1.0\r\n");
  const std::string_view agent = values.userAgent.empty() ? std::string_view(kUserAgent) : values.userAgent;
  text.append("User-Agent: ").append(WithoutLineBreaks(agent)).append("\r\n");
  text.append("Host: ").append(WithoutLineBreaks(values.host)).append("\r\n");
  if (!values.acceptLanguage.empty()) {
    text.append("Accept-Language: ").append(WithoutLineBreaks(values.acceptLanguage)).append("\r\n");
  }
  if (!values.cookie.empty()) text.append("Cookie: ").append(WithoutLineBreaks(values.cookie)).append("\r\n");
  if (!values.referer.empty()) text.append("Referer: ").append(WithoutLineBreaks(values.referer)).append("\r\n");
  if (method == TSHttp::kPost) text.append("Content-Length: ").append(std::to_string(postBody.size())).append("\r\n");
  text.append("\r\n");
  text.append(postBody);
  return text;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n' && c != '\0') kept += c;
  }
  return kept;
}

size_t FindHeaderEnd(std::string_view raw, size_t from) { return raw.find("\r\n\r\n", from); }

std::vector<std::string> SplitHeaderLines(std::string_view block) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < block.size()) {
    const size_t end = block.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(block.substr(pos));
      break;
    }
    lines.emplace_back(block.substr(pos, end - pos));
    pos = end + 1;
    if (block[end] == '\r' && pos < block.size() && block[pos] == '\n') ++pos;
  }
  return lines;
}

int StatusOfLine(std::string_view statusLine) {
  const size_t blank = statusLine.find(' ');
  const size_t start = blank == std::string_view::npos ? 0 : blank + 1;
  if (start >= statusLine.size()) return TSHttp::kStatusBadStatusLine;
  return ParseIntOr(statusLine.substr(start, 3), TSHttp::kStatusBadStatusLine);
}

std::string FindHeaderValue(const std::vector<std::string>& headers, std::string_view name) {
  for (size_t i = 1; i < headers.size(); ++i) {
    const std::string_view line = headers[i];
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoreCase(line.substr(0, colon), name)) {
      return TrimControls(line.substr(colon + 1));
    }
  }
  return {};
}

}  // namespace quorvex
