#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "support/local_servers.h"

namespace quorvex::test {

inline constexpr const char* kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)\r\n";

// A whole HTTP/1.0 answer: the status line and the header lines, each ended by CR LF, an empty line and
// the body.
std::string Answer(std::string_view statusLine, const std::vector<std::string>& headers, std::string_view body);

// A scripted reply sending an answer built as above.
ScriptedReply Reply(std::string_view statusLine, const std::vector<std::string>& headers = {},
                    std::string_view body = "");

// A redirect answer to location, with a small body of its own.
ScriptedReply Redirect(const std::string& location, const std::string& statusLine = "HTTP/1.0 302 Found");

// size deterministic pseudo-random bytes (every byte value occurs).
std::string PatternBytes(size_t size);

}  // namespace quorvex::test
