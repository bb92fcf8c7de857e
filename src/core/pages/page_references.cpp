#include "core/pages/page_references.h"

#include <array>

#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

constexpr std::array<std::string_view, 9> kImageExtensions = {".gif", ".jpg", ".jpeg", ".png", ".webp",
                                                              ".bmp", ".ico", ".svg",  ".avif"};

bool IsAnyOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (const std::string_view candidate : names) {
    if (EqualsIgnoreCase(name, candidate)) return true;
  }
  return false;
}

// The value of the entry at index, with the entry's own spelling of its name kept on rewriting.
std::string ValueAt(const NameValueList& param, int index) {
  return std::string(NameValueList::ValueOf(param[static_cast<size_t>(index)]));
}

void SetValueAt(NameValueList& param, int index, std::string_view value) {
  std::string& entry = param[static_cast<size_t>(index)];
  entry = std::string(NameValueList::NameOf(entry)) + "=" + std::string(value);
}

// Items joined back into a comma list; an item holding a blank, a comma or a quote is quoted.
std::string JoinCommaList(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) {
    if (!joined.empty()) joined += ',';
    if (item.find_first_of(" ,\"\t") == std::string::npos) {
      joined += item;
      continue;
    }
    joined += '"';
    for (const char c : item) joined += c == '"' ? std::string("\"\"") : std::string(1, c);
    joined += '"';
  }
  return joined;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): from, then to, as every replace reads
std::string Replaced(std::string text, char from, char to) {
  for (char& c : text) {
    if (c == from) c = to;
  }
  return text;
}

}  // namespace

std::string ImageExtensionOfUrl(std::string_view url) {
  const std::string_view path = url.substr(0, url.find_first_of("?#"));
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return ".gif";
  const std::string_view extension = path.substr(dot);
  for (const std::string_view known : kImageExtensions) {
    if (EqualsIgnoreCase(extension, known)) return std::string(extension);
  }
  return ".gif";
}

void TPageReferences::Reset() {
  pending_.clear();
  fileNo_ = 1;
}

void TPageReferences::SetPage(std::string url, int depth) {
  pageUrl_ = std::move(url);
  depth_ = depth;
}

bool TPageReferences::TakeNext(TPendingReference& next) {
  if (pending_.empty()) return false;
  next = std::move(pending_.front());
  pending_.pop_front();
  return true;
}

void TPageReferences::TagFound(const std::string& tagName, NameValueList& param) {
  if (EqualsIgnoreCase(tagName, "meta")) {
    if (EqualsIgnoreCase(param.Value("http-equiv"), "refresh")) QueueRefresh(param, param.IndexOfName("content"));
    return;
  }
  if (IsAnyOf(tagName, {"a", "link"})) {
    const int href = param.IndexOfName("href");
    if (href >= 0 && !ValueAt(param, href).empty()) SetValueAt(param, href, JoinUrl(pageUrl_, ValueAt(param, href)));
    if (LinksInNewWindow) param.SetValue("target", "_blank");
    return;
  }
  if (IsAnyOf(tagName, {"frame", "iframe", "img", "input"})) {
    QueueFollowed(tagName, param, param.IndexOfName("src"), false);
  } else if (IsAnyOf(tagName, {"body", "table", "tr", "td"})) {
    QueueFollowed(tagName, param, param.IndexOfName("background"), true);
  }
}

void TPageReferences::QueueRefresh(NameValueList& param, int index) {
  if (index < 0) return;
  std::vector<std::string> items = SplitCommaList(Replaced(ValueAt(param, index), ';', ','));
  for (std::string& item : items) {
    if (!EqualsIgnoreCase(NameValueList::NameOf(item), "url")) continue;
    const std::string target(NameValueList::ValueOf(item));
    if (target.empty()) return;
    item = std::string(NameValueList::NameOf(item)) + "=" + Queue(JoinUrl(pageUrl_, target), ".htm");
    SetValueAt(param, index, Replaced(JoinCommaList(items), ',', ';'));
    return;
  }
}

void TPageReferences::QueueFollowed(const std::string& tagName, NameValueList& param, int index, bool isBackground) {
  if (index < 0 || ValueAt(param, index).empty()) return;
  std::string absolute = JoinUrl(pageUrl_, ValueAt(param, index));
  for (const TPendingReference& queued : pending_) {
    if (EqualsIgnoreCase(queued.url, absolute)) {
      SetValueAt(param, index, queued.fileName);
      return;
    }
  }
  const bool isImage = isBackground || IsAnyOf(tagName, {"img", "input"});
  const std::string extension = isImage ? ImageExtensionOfUrl(absolute) : ".htm";
  SetValueAt(param, index, Queue(std::move(absolute), extension));
}

std::string TPageReferences::Queue(std::string url, std::string_view extension) {
  std::string fileName = std::to_string(fileNo_++) + std::string(extension);
  pending_.push_back({std::move(url), fileName, depth_ + 1});
  return fileName;
}

}  // namespace quorvex
