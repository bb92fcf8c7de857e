#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/engines/page_items.h"

namespace quorvex {

inline constexpr size_t kMinBlocks = 3;

// One result block of a page and its title.
struct TResultBlock {
  size_t start = 0;             // the block's opening tag
  size_t end = 0;               // the block's closing tag, or where the next block starts
  size_t titleLink = 0;         // the title link
  std::string heading;          // as a template line: the heading the link is in or holds, or the element in
                                // the link named a title; empty when none
  bool inHeading = false;       // the link is in that heading (rather than holding it)
  size_t headingAt = kNoClose;  // that heading's opening tag
  std::string site;             // where the title leads: its host, or the one the block shows as the
                                // address where the link hides it
};

// The element that repeats once per result.
struct TResultBlocks {
  std::string tag;
  std::string key;                   // what tells it, as a template line writes it: "class~=word" or "name=value"
  std::string condition;             // "name=value" that tells result blocks from others of that tag and key; empty
                                     // when none is needed or none does
  std::vector<TResultBlock> blocks;  // one a result
  size_t occurrences = 0;            // elements of that tag and key on the page
  bool weighedAll = true;            // false when the page held more candidates than the learner weighs
};

// What the blocks are looked for in.
struct TBlockSearch {
  const std::vector<TPageItem>& items;
  const std::string& domain;              // the engine's domain; empty when not known
  const std::vector<std::string>& words;  // the keyword's words as the page writes them
};

// The tag and class word (or attribute value) that occur kMinBlocks times or more, at least half of
// them holding an outbound link with text and a word of the keyword: elements of their own, or, on a
// page where none are, marks where results start. Where several fit, the one whose results lead to the
// most different sites wins (results whose title holds a word of the keyword and that hold a summary
// first; boxes of several results and blocks whose title sits otherwise than in most do not count);
// then the one with the fewest elements that are no result, then the fewest elements; then the largest
// elements (the nearest marks before their titles); then a word that reads as a name rather than a hash.
// Blocks inside a block of the same kind are parts of a result, not results. Nothing when none fits.
std::optional<TResultBlocks> FindResultBlocks(const TBlockSearch& search);

// Whether a class word (as written, upper case kept) looks generated: a part (between "-" and "_") that
// mixes letters and digits, or a short one with several capitals. Such names change with each release
// of a page, while words that carry meaning stay.
bool LooksHashed(std::string_view word);

// The class word of klass (A-Z lower case, as ClassWords gives it) as klass writes it.
std::string_view AsWritten(std::string_view klass, std::string_view word);

}  // namespace quorvex
