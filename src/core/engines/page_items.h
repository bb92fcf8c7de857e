#pragma once
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvex {

inline constexpr size_t kNoClose = std::numeric_limits<size_t>::max();

// One tag or text of a page as the template matcher sees it, reduced to what a learner compares.
struct TPageItem {
  bool isTag = false;
  std::string name;   // lower case; "/div" for a closing tag
  std::string text;   // of a text item
  std::string klass;  // the class attribute
  std::string href;
  std::string title;                                           // the title attribute
  std::vector<std::pair<std::string, std::string>> dataLinks;  // data- attributes that hold an address
  // The other attributes a template line can compare as they stand (name lower case): what may tell
  // result blocks from blocks that look like them.
  std::vector<std::pair<std::string, std::string>> attributes;
  // Of an opening tag: where the element ends, as a browser nests elements (its closing tag, or the tag
  // that closes or ends it implicitly); kNoClose when it never does.
  size_t close = kNoClose;
  size_t parent = kNoClose;  // the element the item is in; kNoClose at the top
  size_t offset = 0;         // of a tag: where its "<" is in the page
};

// The page's tags and texts in document order, cut as the extraction cuts them; at most maxItems of
// them, so that a hostile page costs bounded memory: the rest of the page is then left out, and
// readBytes tells how much of the page the items cover.
std::vector<TPageItem> ScanPageItems(const std::string& page, size_t maxItems, size_t& readBytes);

// Bytes of text that are no blank, summed over the items before each position (one entry more than
// there are items): the text an element holds is the difference at its two ends. With outsideLinks,
// only text that is in no link counts.
std::vector<size_t> TextBytesBefore(const std::vector<TPageItem>& items, bool outsideLinks = false);

// Elements that never have a closing tag (and so hold nothing).
bool IsVoidElement(std::string_view name);

// The blank-separated words of a class attribute, lower case.
std::vector<std::string> ClassWords(std::string_view klass);

// Whether a template line can compare text as a word or value: not empty, no blank, and none of the
// characters that separate its items and alternatives, quote them or name a field.
bool FitsTemplateLine(std::string_view text);

}  // namespace quorvex
