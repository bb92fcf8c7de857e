#include "http_test_helpers.h"

namespace quorvex::test {

std::string Answer(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body) {
  std::string text(statusLine);
  text += "\r\n";
  for (const std::string& header : headers) text.append(header).append("\r\n");
  return text.append("\r\n").append(body);
}

ScriptedReply Reply(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body) {
  ScriptedReply reply;
  reply.bytes = Answer(statusLine, headers, body);
  return reply;
}

ScriptedReply Redirect(const std::string& location, const std::string& statusLine) {
  return Reply(statusLine, {"Location: " + location}, "moved");
}

std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 2463534242u;
  for (char& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<char>(state & 0xFF);
  }
  return bytes;
}

}  // namespace quorvex::test
