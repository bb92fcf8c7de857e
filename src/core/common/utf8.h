#pragma once
#include <optional>
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

// The keyword (UTF-8) holds nothing to search for: only controls and blanks, Unicode's too (no-break
// and ideographic spaces, the typographic spaces, zero-width space, byte order mark). A byte that
// starts no UTF-8 character counts as text.
bool IsBlankKeyword(std::string_view utf8);

// The charset name is read as UTF-8: "UTF-8", "utf8", any letter case, and the UTF-16 and UTF-32
// labels, which browsers read so on a page.
bool IsUtf8Name(std::string_view charset);

// The charset name is a label of an encoding CharsetToUtf8 reads.
bool IsKnownCharset(std::string_view charset);

// Text in a charset a page or a definition names (the labels of the encodings browsers know: EUC-KR,
// Shift_JIS, EUC-JP, ISO-2022-JP, GBK, GB18030, Big5, ISO-8859-x, windows-125x, KOI8-R, ...;
// ISO-8859-1 and ASCII read as windows-1252, EUC-KR as windows-949, as browsers do) as UTF-8: a byte
// sequence that is no character of it becomes U+FFFD and the rest still converts. Nothing when the
// charset is unknown (any other label).
std::optional<std::string> CharsetToUtf8(std::string_view text, std::string_view charset);

// UTF-8 text in that charset: a character it cannot hold, or a byte that starts no UTF-8 character,
// becomes "?". Nothing when the charset is unknown.
std::optional<std::string> Utf8ToCharset(std::string_view text, std::string_view charset);

// The keyword as an engine that answers in UTF-8 wants it. The program's own text is GB, but a keyword
// typed on a UTF-8 command line or terminal arrives as UTF-8 already, and converting it again would
// garble it; so valid UTF-8 passes unchanged. (A short GB keyword can look like valid UTF-8 only when
// every character has its lead byte in 0xC2-0xDF and its trail byte in 0xA1-0xBF: rare in practice.)
std::string Utf8Keyword(std::string_view keyword);

}  // namespace quorvex
