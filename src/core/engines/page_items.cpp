#include "core/engines/page_items.h"

#include <algorithm>
#include <unordered_map>

#include "core/common/ascii.h"
#include "core/net/THtmlParser.h"

namespace quorvex {
namespace {

// Attributes that say nothing about what a block is (or are read into their own fields).
bool IsComparable(std::string_view attribute, std::string_view value) {
  for (const char* skipped : {"class", "href", "title", "style", "id", "src", "alt", "lang", "dir"}) {
    if (attribute == skipped) return false;
  }
  return value.size() <= 40 && FitsTemplateLine(attribute) && FitsTemplateLine(value);
}

// The open elements of a page being scanned, nested as a browser nests them: a closing tag closes the
// latest open element of its name and every element opened inside it (one whose name is not open
// closes nothing), and an element that cannot hold the one that starts (a list item in a list item, a
// paragraph in a paragraph) ends there. Elements end at the item that ends them.
class TOpenElements {
 public:
  explicit TOpenElements(std::vector<TPageItem>& items) : items_(items) {}

  size_t Innermost() const { return nesting_.empty() ? kNoClose : nesting_.back(); }

  void Open(const std::string& name) {
    nesting_.push_back(items_.size() - 1);
    ++count_[name];
  }

  void Close(std::string_view name) {
    const auto open = count_.find(std::string(name));
    if (open == count_.end() || open->second == 0) return;
    while (!nesting_.empty()) {
      const bool found = items_[nesting_.back()].name == name;
      PopAt(items_.size());
      if (found) break;
    }
  }

  // Ends what the element that starts cannot be inside, looked for a few levels up and not past the
  // element that bounds it (a list, a table).
  void EndImplied(std::string_view name) {
    for (const TImplied& rule : kImplied) {
      if (!Names(rule.starts, name) || !AnyOpen(rule.ends)) continue;
      for (size_t level = 0; level < nesting_.size() && level < kLevels; ++level) {
        const std::string& open = items_[nesting_[nesting_.size() - 1 - level]].name;
        if (Names(rule.bounds, open)) break;
        if (Names(rule.ends, open)) {
          for (size_t pops = 0; pops <= level; ++pops) PopAt(items_.size());
          break;
        }
      }
    }
  }

 private:
  struct TImplied {
    const char* starts;  // blank-separated names
    const char* ends;
    const char* bounds;
  };
  static constexpr size_t kLevels = 16;
  static constexpr TImplied kImplied[] = {
      {"li", "li", "ul ol menu table"},
      {"dt dd", "dt dd", "dl table"},
      {"tr", "tr td th", "table tbody thead tfoot"},
      {"td th", "td th", "tr table"},
      {"option", "option", "select datalist"},
      {"p div ul ol dl table h1 h2 h3 h4 h5 h6 pre form blockquote section article header footer nav aside li dt dd hr",
       "p", "button table td th li dd"},
  };

  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the list, then the name looked for in it
  static bool Names(std::string_view list, std::string_view name) {
    size_t at = 0;
    for (std::string_view word = NextBlankWord(list, at); !word.empty(); word = NextBlankWord(list, at)) {
      if (word == name) return true;
    }
    return false;
  }

  bool AnyOpen(std::string_view list) const {
    size_t at = 0;
    for (std::string_view word = NextBlankWord(list, at); !word.empty(); word = NextBlankWord(list, at)) {
      const auto open = count_.find(std::string(word));
      if (open != count_.end() && open->second > 0) return true;
    }
    return false;
  }

  void PopAt(size_t end) {
    TPageItem& element = items_[nesting_.back()];
    element.close = end;
    --count_[element.name];
    nesting_.pop_back();
  }

  std::vector<TPageItem>& items_;
  std::vector<size_t> nesting_;
  std::unordered_map<std::string, size_t> count_;
};

}  // namespace

std::vector<TPageItem> ScanPageItems(const std::string& page, size_t maxItems, size_t& readBytes) {
  std::vector<TPageItem> items;
  readBytes = page.size();
  TOpenElements open(items);
  THtmlParser parser;
  parser.Content = page;
  parser.OnHtmlTag = [&](THtmlParser&, std::string& name, NameValueList& params, size_t scanX) {
    if (items.size() >= maxItems) {
      readBytes = std::min(readBytes, scanX > 0 ? scanX - 1 : 0);
      return;
    }
    TPageItem item;
    item.isTag = true;
    item.offset = scanX > 0 ? scanX - 1 : 0;
    item.name = AsciiLowered(name);
    for (size_t i = 0; i < params.Count(); ++i) {
      const std::string attribute = AsciiLowered(NameValueList::NameOf(params[i]));
      const std::string_view value = NameValueList::ValueOf(params[i]);
      if (attribute == "class") item.klass = value;
      if (attribute == "href") item.href = value;
      if (attribute == "title") item.title = value;
      if (attribute.starts_with("data-") && (value.starts_with("http") || value.starts_with("//"))) {
        item.dataLinks.emplace_back(attribute, value);
      } else if (IsComparable(attribute, value)) {
        item.attributes.emplace_back(attribute, value);
      }
    }
    if (item.name.starts_with('/')) {
      open.Close(std::string_view(item.name).substr(1));
    } else {
      open.EndImplied(item.name);
    }
    const bool opens = !item.name.starts_with('/') && !IsVoidElement(item.name);
    const std::string opened = opens ? item.name : std::string();
    item.parent = open.Innermost();
    items.push_back(std::move(item));
    if (opens) open.Open(opened);
  };
  parser.OnHtmlText = [&](THtmlParser& sender, std::string& text) {
    if (sender.InScript() || items.size() >= maxItems) return;
    TPageItem item;
    item.text = text;
    item.parent = open.Innermost();
    items.push_back(std::move(item));
  };
  parser.Parse();
  return items;
}

std::vector<size_t> TextBytesBefore(const std::vector<TPageItem>& items, bool outsideLinks) {
  std::vector<size_t> bytes(items.size() + 1, 0);
  size_t linkEnd = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (outsideLinks && items[i].name == "a" && items[i].close != kNoClose) linkEnd = std::max(linkEnd, items[i].close);
    const std::string& text = items[i].text;
    const auto counted = outsideLinks && i < linkEnd ? 0 : std::count_if(text.begin(), text.end(), [](char c) {
      return static_cast<unsigned char>(c) > ' ';
    });
    bytes[i + 1] = bytes[i] + static_cast<size_t>(counted);
  }
  return bytes;
}

bool IsVoidElement(std::string_view name) {
  for (const char* element : {"img", "br", "hr", "input", "meta", "link", "source", "wbr", "col", "area", "base",
                              "embed", "param", "track"}) {
    if (name == element) return true;
  }
  return false;
}

std::vector<std::string> ClassWords(std::string_view klass) {
  std::vector<std::string> words;
  size_t at = 0;
  for (std::string_view word = NextBlankWord(klass, at); !word.empty(); word = NextBlankWord(klass, at)) {
    words.push_back(AsciiLowered(word));
  }
  return words;
}

bool FitsTemplateLine(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == ';' || c == '"' || c == '$' || c == '=' || c == '~' ||
        c == '&' || c == '|' || c == '@') {
      return false;
    }
  }
  return true;
}

}  // namespace quorvex
