#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvex {

// One tag or text of a page as the template matcher sees it, reduced to what a learner compares.
struct TPageItem {
  bool isTag = false;
  std::string name;   // lower case; "/div" for a closing tag
  std::string text;   // of a text item
  std::string klass;  // the class attribute
  std::string href;
  std::vector<std::pair<std::string, std::string>> dataLinks;  // data- attributes that hold an address
};

// The page's tags and texts in document order, cut as the extraction cuts them.
std::vector<TPageItem> ScanPageItems(const std::string& page);

// The blank-separated words of a class attribute, lower case.
std::vector<std::string> ClassWords(std::string_view klass);

}  // namespace quorvex
