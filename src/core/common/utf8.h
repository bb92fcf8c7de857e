#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Well-formed UTF-8: no stray continuation bytes, no over-long forms, no surrogates, nothing past
// U+10FFFF.
bool IsValidUtf8(std::string_view text);

// GB18030 text in UTF-8. A byte that starts no GB18030 character is dropped.
std::string Gb18030ToUtf8(std::string_view text);

// UTF-8 text in GB18030 or BIG5, as a page in that code page writes it. A character the code page
// cannot hold, and a byte that starts no UTF-8 character, is dropped.
std::string Utf8ToGb18030(std::string_view text);
std::string Utf8ToBig5(std::string_view text);

// The keyword as an engine that answers in UTF-8 wants it. The program's own text is GB, but a keyword
// typed on a UTF-8 command line or terminal arrives as UTF-8 already, and converting it again would
// garble it; so valid UTF-8 passes unchanged. (A short GB keyword can look like valid UTF-8 only when
// every character has its lead byte in 0xC2-0xDF and its trail byte in 0xA1-0xBF: rare in practice.)
std::string Utf8Keyword(std::string_view keyword);

}  // namespace quorvex
