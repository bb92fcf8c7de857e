#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The code page a result page is written in, as the learner reads it: Other is any further charset,
// which the learner reads converted to UTF-8.
enum class TPageCharset { Utf8, Gb, Big5, Other };

// The charset the page's first declaration in its first 4 KiB names, as written; "" when there is none.
std::string DeclaredCharsetName(std::string_view page);

// A name beginning "gb" (gb2312, gbk, gb18030) is GB, "big5" BIG5, UTF-8 or none UTF-8, any other Other.
TPageCharset CharsetOfName(std::string_view name);

// The keyword (UTF-8) as a page in that code page writes it (Other pages are read in UTF-8).
std::string KeywordAsPageWrites(std::string_view keyword, TPageCharset charset);

// The words the learner looks for near results, as the page writes them, A-Z lower-cased: the keyword's
// blank-separated words of two bytes or more, and in each its runs of Latin letters and of other
// scripts; a Latin run of five letters or more also without its last two (the page may use another form
// of it); a run of a script without blanks also by its first two characters, since such pages split and
// mark it up.
std::vector<std::string> KeywordWords(std::string_view keyword, TPageCharset charset);

}  // namespace quorvex
