#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The code page a result page is written in, as the learner reads it.
enum class TPageCharset { Utf8, Gb, Big5 };

// What the page's first charset declaration in its first 4 KiB names: a name beginning "gb" (gb2312, gbk,
// gb18030) is GB, "big5" BIG5; anything else, or none, is read as UTF-8.
TPageCharset DeclaredCharset(std::string_view page);

// The keyword (UTF-8) as a page in that code page writes it.
std::string KeywordAsPageWrites(std::string_view keyword, TPageCharset charset);

// The words the learner looks for near results, as the page writes them, A-Z lower-cased: the keyword's
// blank-separated words of two bytes or more, and in each its runs of Latin letters and of other
// scripts; a Latin run of five letters or more also without its last two (the page may use another form
// of it); a run of a script without blanks also by its first two characters, since such pages split and
// mark it up.
std::vector<std::string> KeywordWords(std::string_view keyword, TPageCharset charset);

}  // namespace quorvex
