#include "core/view/keyword_hits.h"

#include <algorithm>

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/utf8.h"

namespace quorvex {

std::vector<std::string> HighlightWords(std::string_view keywordText) {
  std::string commas(keywordText);
  std::replace(commas.begin(), commas.end(), ' ', ',');
  std::vector<std::string> words = SplitCommaList(commas);
  std::erase_if(words, [](const std::string& word) { return TrimControlsView(word).empty(); });
  // The keyword is kept in GB, but results of UTF-8 engines hold its characters in UTF-8: look for
  // that form too, after all the words as typed.
  const size_t typed = words.size();
  for (size_t i = 0; i < typed; ++i) {
    std::string utf8 = Utf8Keyword(words[i]);
    if (utf8 != words[i]) words.push_back(std::move(utf8));
  }
  return words;
}

std::vector<THitSpan> FindHits(std::string_view text, const std::vector<std::string>& words) {
  std::vector<THitSpan> hits;
  size_t next = 0;
  for (size_t p = 0; p < text.size(); ++p) {
    for (const std::string& word : words) {
      if (p >= next && !word.empty() && StartsWithIgnoreCase(text.substr(p), word)) {
        hits.push_back({p, p + word.size()});
        next = p + word.size();
      }
    }
  }
  return hits;
}

std::string HighlightHtml(std::string_view text, const std::vector<std::string>& words,
                          std::string (*before)(std::string_view)) {
  const auto pass = [before](std::string_view part) { return before != nullptr ? before(part) : std::string(part); };
  std::string out;
  size_t next = 0;
  for (const THitSpan& hit : FindHits(text, words)) {
    out += pass(text.substr(next, hit.Begin - next));
    out += "<font color=FF0000>";
    out += pass(text.substr(hit.Begin, hit.End - hit.Begin));
    out += "</font>";
    next = hit.End;
  }
  out += pass(text.substr(next));
  return out;
}

}  // namespace quorvex
