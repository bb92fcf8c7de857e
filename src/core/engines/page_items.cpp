#include "core/engines/page_items.h"

#include "core/common/ascii.h"
#include "core/net/THtmlParser.h"

namespace quorvex {

std::vector<TPageItem> ScanPageItems(const std::string& page) {
  std::vector<TPageItem> items;
  THtmlParser parser;
  parser.Content = page;
  parser.OnHtmlTag = [&](THtmlParser&, std::string& name, NameValueList& params, size_t) {
    TPageItem item;
    item.isTag = true;
    item.name = AsciiLowered(name);
    for (size_t i = 0; i < params.Count(); ++i) {
      const std::string attribute = AsciiLowered(NameValueList::NameOf(params[i]));
      const std::string_view value = NameValueList::ValueOf(params[i]);
      if (attribute == "class") item.klass = value;
      if (attribute == "href") item.href = value;
      if (attribute.starts_with("data-") && (value.starts_with("http") || value.starts_with("//"))) {
        item.dataLinks.emplace_back(attribute, value);
      }
    }
    items.push_back(std::move(item));
  };
  parser.OnHtmlText = [&](THtmlParser& sender, std::string& text) {
    if (sender.InScript()) return;
    TPageItem item;
    item.text = text;
    items.push_back(std::move(item));
  };
  parser.Parse();
  return items;
}

std::vector<std::string> ClassWords(std::string_view klass) {
  std::vector<std::string> words;
  size_t at = 0;
  for (std::string_view word = NextBlankWord(klass, at); !word.empty(); word = NextBlankWord(klass, at)) {
    words.push_back(AsciiLowered(word));
  }
  return words;
}

}  // namespace quorvex
