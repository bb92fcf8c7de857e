#include "core/engines/page_keyword.h"

#include <algorithm>
#include <cctype>

#include "core/common/ascii.h"
#include "core/common/utf8.h"
#include "core/engines/page_items.h"

namespace quorvex {

std::string DeclaredCharsetName(std::string_view page) {
  const std::string_view head = page.substr(0, 4096);
  // The first declaration names the page's code page; "big5" or "gb" elsewhere (a title, a language
  // link) says nothing about it.
  const size_t declared = AsciiLowered(head).find("charset");
  if (declared == std::string::npos) return {};
  size_t at = declared + 7;
  while (at < head.size() && (head[at] == ' ' || head[at] == '=' || head[at] == '"' || head[at] == '\'')) ++at;
  size_t end = at;
  while (end < head.size() && (std::isalnum(static_cast<unsigned char>(head[end])) != 0 || head[end] == '-' ||
                               head[end] == '_' || head[end] == '.' || head[end] == ':'))
    ++end;
  return std::string(head.substr(at, end - at));
}

TPageCharset CharsetOfName(std::string_view name) {
  const std::string lowered = AsciiLowered(name);
  if (lowered.starts_with("gb")) return TPageCharset::Gb;
  if (lowered.starts_with("big5")) return TPageCharset::Big5;
  return lowered.empty() || IsUtf8Name(lowered) ? TPageCharset::Utf8 : TPageCharset::Other;
}

std::string KeywordAsPageWrites(std::string_view keyword, TPageCharset charset) {
  switch (charset) {
    case TPageCharset::Gb:
      return Utf8ToGb18030(keyword);
    case TPageCharset::Big5:
      return Utf8ToBig5(keyword);
    case TPageCharset::Utf8:
    case TPageCharset::Other:
      break;
  }
  return std::string(keyword);
}

std::vector<std::string> KeywordWords(std::string_view keyword, TPageCharset charset) {
  std::vector<std::string> words;
  const auto add = [&](std::string_view word) {
    std::string written = AsciiLowered(KeywordAsPageWrites(word, charset));
    if (written.size() >= 2 && std::find(words.begin(), words.end(), written) == words.end()) {
      words.push_back(std::move(written));
    }
  };
  const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  for (const std::string& word : ClassWords(keyword)) {
    add(word);
    // Runs of Latin letters and of another script, each on its own: "lof可以" is "lof" and "可以".
    for (size_t from = 0; from < word.size();) {
      const bool ascii = isAscii(word[from]);
      size_t to = from;
      while (to < word.size() && isAscii(word[to]) == ascii) ++to;
      const std::string_view run = std::string_view(word).substr(from, to - from);
      from = to;
      if (run.size() < word.size()) add(run);
      if (ascii) {
        // A longer word also without its ending, so that "bananas" finds "banana".
        if (run.size() >= 5) add(run.substr(0, run.size() - 2));
        continue;
      }
      size_t cut = 0;
      for (int characters = 0; characters < 2 && cut < run.size(); ++characters) {
        do ++cut;
        while (cut < run.size() && (static_cast<unsigned char>(run[cut]) & 0xC0) == 0x80);
      }
      if (cut < run.size()) add(run.substr(0, cut));
    }
  }
  return words;
}

}  // namespace quorvex
