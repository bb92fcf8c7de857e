#pragma once
#include <string>
#include <string_view>

namespace quorvex::cli {

// The escaping of every tab-separated output line: "\" as "\\", TAB "\t", CR "\r", LF "\n", any other
// byte below 0x20 and 0x7F as "\x" with two lower-case hex digits; all other bytes (0x80-0xFF too) raw.
std::string Escape(std::string_view bytes);

}  // namespace quorvex::cli
