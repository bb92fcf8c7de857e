#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// A keyword hit in a text: bytes [Begin, End).
struct THitSpan {
  size_t Begin = 0;
  size_t End = 0;
  bool operator==(const THitSpan&) const = default;
};

// The words of a keyword text to highlight: blanks act as commas, the comma list is split, and items
// that are blank after trimming are dropped (the others stay as they are). Words with GB characters
// are followed, at the end of the list, by their UTF-8 form.
std::vector<std::string> HighlightWords(std::string_view keywordText);

// Hits of the words in text, tested at every byte position ignoring a-z case; at one position the first
// word in list order wins and hits never overlap.
std::vector<THitSpan> FindHits(std::string_view text, const std::vector<std::string>& words);

// text with every hit wrapped in the red font tags. Before is applied to the bytes between and inside
// the hits (the export passes its HTML escaping; the identity keeps the text as it is).
std::string HighlightHtml(std::string_view text, const std::vector<std::string>& words,
                          std::string (*before)(std::string_view) = nullptr);

}  // namespace quorvex
