#include "core/engines/definition_learner.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "core/common/ascii.h"
#include "core/common/utf8.h"
#include "core/engines/TEngineDefinition.h"
#include "core/engines/engine_boxes.h"
#include "core/engines/page_items.h"
#include "core/engines/page_keyword.h"
#include "core/engines/query_text.h"
#include "core/engines/result_blocks.h"
#include "core/engines/result_links.h"
#include "core/engines/saved_page.h"
#include "core/net/THtmlParser.h"
#include "core/net/entities.h"

namespace quorvex {
namespace {

// Tags and texts the learner reads of a page: about 7 times those of the largest result pages seen.
constexpr size_t kMaxItems = 100000;

// The text of the element at `from` up to its closing tag (at most to `end`), blanks squeezed.
std::string ElementText(const std::vector<TPageItem>& items, size_t from, size_t end) {
  std::string text;
  for (size_t i = from + 1; i < std::min(items[from].close, end); ++i) {
    if (!items[i].isTag) text += items[i].text;
  }
  return TrimControls(text);
}

// The address with $key$ in the query item that holds the keyword, as typed or as the page writes it.
struct TKeyedUrl {
  std::string url;
  std::string name;    // of the item that became $key$; "" when none holds the keyword
  size_t holders = 0;  // items that held the keyword
  bool usual = false;  // name is one engines usually give the query
};

// Where several items hold the keyword ("t=web&q=web"), the first with a name engines usually give the
// query takes $key$, else the first; the request fills in only one $key$, so the others are dropped
// rather than sent with the old keyword or a literal "$key$".
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the address, then the keyword's two forms
TKeyedUrl KeyedUrl(const std::string& url, const std::string& keyword, const std::string& written) {
  TKeyedUrl result;
  result.url = url;
  const size_t query = url.find('?');
  if (query == std::string::npos) return result;
  struct TItem {
    std::string_view text;
    size_t equals;
    bool holds;
  };
  std::vector<TItem> items;
  for (std::string_view rest = std::string_view(url).substr(query + 1);;) {
    const size_t amp = rest.find('&');
    const std::string_view item = rest.substr(0, amp);
    const size_t equals = item.find('=');
    bool holds = false;
    if (equals != std::string_view::npos) {
      const std::string value = DecodeQuery(item.substr(equals + 1));
      holds = EqualsIgnoreCase(value, keyword) || EqualsIgnoreCase(value, written);
    }
    items.push_back({item, equals, holds});
    result.holders += holds ? 1 : 0;
    if (amp == std::string_view::npos) break;
    rest = rest.substr(amp + 1);
  }
  if (result.holders == 0) return result;
  static constexpr std::string_view kUsual[] = {"q",   "p", "query",  "wd",      "word",
                                                "text", "k", "search", "keyword", "kw"};
  const TItem* chosen = nullptr;
  for (const TItem& item : items) {
    if (!item.holds) continue;
    const std::string name = AsciiLowered(item.text.substr(0, item.equals));
    const bool usual = std::find(std::begin(kUsual), std::end(kUsual), name) != std::end(kUsual);
    if (chosen == nullptr || (usual && !result.usual)) {
      chosen = &item;
      result.usual = usual;
    }
  }
  result.name = std::string(chosen->text.substr(0, chosen->equals));
  result.url = url.substr(0, query + 1);
  bool first = true;
  for (const TItem& item : items) {
    if (item.holds && &item != chosen) continue;
    result.url += first ? "" : "&";
    result.url += &item == chosen ? result.name + "=$key$" : std::string(item.text);
    first = false;
  }
  return result;
}

// Number of a query item in a link ("b=11" in "...&b=11&..."), the item's name given.
std::optional<long> QueryNumber(std::string_view link, const std::string& name) {
  for (const std::string& separator : {"?" + name + "=", "&" + name + "=", "&amp;" + name + "="}) {
    const size_t at = link.find(separator);
    if (at == std::string_view::npos) continue;
    size_t end = at + separator.size();
    long value = 0;
    bool digits = false;
    while (end < link.size() && link[end] >= '0' && link[end] <= '9' && value < 1000000) {
      value = value * 10 + (link[end++] - '0');
      digits = true;
    }
    if (digits) return value;
  }
  return std::nullopt;
}

// Where the query item ("s=1") stands in the address as an item of its own: after "?" or "&" and up
// to the next one, so that "pos=1" or "s=10" is not taken for it; npos when it does not.
size_t QueryItemAt(std::string_view url, std::string_view item) {
  for (size_t at = url.find(item); at != std::string_view::npos; at = url.find(item, at + 1)) {
    const size_t end = at + item.size();
    if (at > 0 && (url[at - 1] == '?' || url[at - 1] == '&') &&
        (end == url.size() || url[end] == '&' || url[end] == '#'))
      return at;
  }
  return std::string_view::npos;
}

// A comma-list item that reads back as the text: quoted where a blank, comma or quote would cut it
// short ("More results" unquoted reads as "More", the text of other links).
std::string CommaItem(std::string_view text) {
  const bool plain = std::none_of(text.begin(), text.end(),
                                  [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"'; });
  if (plain) return std::string(text);
  std::string item = "\"";
  for (const char c : text) item += c == '"' ? std::string("\"\"") : std::string(1, c);
  return item + '"';
}

// The charset the page is read in: the one it declares, or its kept request's when it declares none or
// one nobody knows (the server's header named it, and the page's own label may be a typo).
std::string PageCharsetName(const TLearnInput& input) {
  std::string declared = DeclaredCharsetName(input.page);
  if (!input.charset.empty() && (declared.empty() || !IsKnownCharset(declared))) return input.charset;
  return declared;
}

// How the title link and its heading follow one another in the blocks that have them.
enum class TAdjacency {
  None,        // other tags come between in some block
  Next,        // with no tag between, in every block
  NextOrBreak  // with no tag or one line break between, in every block
};

// What a template line can say of the title link and where the title ends.
struct TTitleShape {
  std::string heading;  // as TResultBlock::heading
  bool inHeading = false;
  TAdjacency adjacency = TAdjacency::None;
};

class TLearner {
 public:
  explicit TLearner(const TLearnInput& input)
      : input_(input),
        charsetName_(PageCharsetName(input)),
        charset_(CharsetOfName(charsetName_)),
        page_(ReadablePage()),
        items_(ScanPageItems(page_, kMaxItems, readBytes_)),
        domain_(EngineDomain(input.url)),
        words_(KeywordWords(input.keyword, charset_)) {}

  TLearnedDefinition Learn();

 private:
  std::vector<std::string> TitleLines(const TResultBlocks& found);
  std::string LinkWord(const TResultBlocks& found);
  bool TitleAttributeHolds(const TResultBlocks& found) const;
  std::vector<std::string> SummaryLines(const TResultBlocks& found, const std::string& blockLine);
  std::vector<std::string> Rules(const TResultBlocks& found);
  std::vector<std::string> Header();
  std::string NextLinkText(size_t at) const;
  std::string PagingItem(std::string& url);
  void Note(std::string line) { result_.report.push_back(std::move(line)); }

  std::string ReadablePage();
  // The page was converted from a charset other than UTF-8, GB and BIG5.
  bool OtherCharset() const {
    return charset_ == TPageCharset::Utf8 && !charsetName_.empty() && !IsUtf8Name(charsetName_);
  }

  const TLearnInput& input_;
  TLearnedDefinition result_;  // before what is read of the page, which notes how it was read
  std::string charsetName_;    // as the page declares it
  TPageCharset charset_;       // Utf8 once a page of another charset is converted
  std::string page_;           // as the learner reads it
  size_t readBytes_ = 0;       // of page_, as far as items_ reach
  std::vector<TPageItem> items_;
  std::string domain_;
  std::vector<std::string> words_;
  std::string dataAttribute_;
  bool titleAttribute_ = false;
  bool strict_ = false;  // the title lines turn strict matching on
  std::optional<TEngineBox> box_;
  std::string titleEnd_;  // the closing tag that ends the title
};

// A page of a charset other than UTF-8, GB or BIG5 is read converted to UTF-8; one of a charset nobody
// knows, as UTF-8.
std::string TLearner::ReadablePage() {
  // No more than a saved page is read to, whoever passes the page.
  const std::string_view page = std::string_view(input_.page).substr(0, kMaxSavedPageBytes);
  if (charset_ != TPageCharset::Other) return std::string(page);
  charset_ = TPageCharset::Utf8;
  std::optional<std::string> converted = CharsetToUtf8(page, charsetName_);
  if (converted) {
    Note("the page is written in " + charsetName_ + ": read in UTF-8, and the definition says so");
    return std::move(*converted);
  }
  Note("the page declares the unknown charset '" + charsetName_ + "': read as UTF-8");
  charsetName_.clear();
  return std::string(page);
}

// The class word of the title links that no link before the title in its block has, so that the line
// skips those: a word that names a title first, then one that reads as a name, then the longest. Empty
// when none does.
std::string TLearner::LinkWord(const TResultBlocks& found) {
  const size_t n = found.blocks.size();
  std::map<std::string, size_t> onTitle;
  std::map<std::string, size_t> before;
  std::map<std::string, std::string> written;
  size_t earlierLinks = 0;
  for (const TResultBlock& b : found.blocks) {
    const TPageItem& link = items_[b.titleLink];
    for (const std::string& word : ClassWords(link.klass)) {
      ++onTitle[word];
      written.emplace(word, AsWritten(link.klass, word));
    }
    std::set<std::string> here;
    bool earlier = false;
    for (size_t i = b.start + 1; i < b.titleLink; ++i) {
      if (items_[i].name != "a") continue;
      earlier = true;
      for (std::string& word : ClassWords(items_[i].klass)) here.insert(std::move(word));
    }
    if (earlier) ++earlierLinks;
    for (const std::string& word : here) ++before[word];
  }
  // Where the title is the first link anyway, the word only checks it: a generated one would break the
  // definition at the page's next release for nothing.
  const bool needed = earlierLinks * 10 > n;
  std::optional<std::tuple<bool, bool, size_t, std::string>> best;
  for (const auto& [word, count] : onTitle) {
    if (count * 10 < n * 9 || before[word] * 10 > n || !FitsTemplateLine(word)) continue;
    if (!needed && LooksHashed(written[word])) continue;
    const auto rank =
        std::make_tuple(word.find("title") != std::string::npos, !LooksHashed(written[word]), word.size(), word);
    if (!best || rank > *best) best = rank;
  }
  if (best) {
    Note("title: the link with class word '" + std::get<3>(*best) + "'");
    return std::get<3>(*best);
  }
  if (needed) Note("could not decide: the title link is not always the block's first link; taking the first");
  return {};
}

// A title attribute on most title links, different from block to block and beginning as the
// link's text does: the whole title where the text is cut short or carries the address beside it.
bool TLearner::TitleAttributeHolds(const TResultBlocks& found) const {
  std::set<std::string> titles;
  size_t holding = 0;
  for (const TResultBlock& b : found.blocks) {
    const TPageItem& link = items_[b.titleLink];
    if (link.title.empty()) continue;
    const std::string text = ElementText(items_, b.titleLink, b.end);
    if (text.find(TrimControls(link.title).substr(0, 16)) == std::string::npos) continue;
    ++holding;
    titles.insert(link.title);
  }
  const size_t n = found.blocks.size();
  return holding * 3 >= n * 2 && titles.size() * 10 >= holding * 9;
}

std::vector<std::string> TLearner::TitleLines(const TResultBlocks& found) {
  const size_t n = found.blocks.size();
  std::map<std::string, size_t> dataNames;
  std::map<std::pair<std::string, bool>, size_t> headings;
  for (const TResultBlock& b : found.blocks) {
    for (const auto& data : items_[b.titleLink].dataLinks) ++dataNames[data.first];
    ++headings[{b.heading, b.inHeading}];
  }
  for (const auto& [name, count] : dataNames) {
    if (count * 2 >= n && FitsTemplateLine(name)) {
      dataAttribute_ = name;
      Note("the title link's " + name + " attribute holds the target address");
      break;
    }
  }
  TTitleShape shape;
  std::tie(shape.heading, shape.inHeading) =
      std::max_element(headings.begin(), headings.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  if (!shape.heading.empty()) {
    // Adjacent in every block that has it: then nothing else may come between, and a block whose
    // heading holds no link (or whose link holds no heading) cannot lend its link to the next title.
    shape.adjacency = TAdjacency::Next;
    for (const TResultBlock& b : found.blocks) {
      if (b.heading != shape.heading || b.inHeading != shape.inHeading) continue;
      size_t tags = 0;
      size_t breaks = 0;
      for (size_t i = std::min(b.headingAt, b.titleLink) + 1; i < std::max(b.headingAt, b.titleLink); ++i) {
        tags += items_[i].isTag ? 1 : 0;
        breaks += items_[i].name == "br" ? 1 : 0;
      }
      if (tags > 1 || tags > breaks) shape.adjacency = TAdjacency::None;
      if (tags == 1 && breaks == 1 && shape.adjacency == TAdjacency::Next) shape.adjacency = TAdjacency::NextOrBreak;
      if (shape.adjacency == TAdjacency::None) break;
    }
  }
  titleAttribute_ = TitleAttributeHolds(found);
  if (titleAttribute_) Note("title: the link's title attribute, which holds the whole title");
  const std::string word = LinkWord(found);
  const std::string link = "a" + (word.empty() ? std::string() : ",class~=" + word) + ",href=$1" +
                           (dataAttribute_.empty() ? std::string() : "," + dataAttribute_ + "=$5") +
                           (titleAttribute_ ? ",title=$10" : "");
  if (shape.heading.empty()) {
    if (word.empty()) Note("title: the block's first link");
    titleEnd_ = "/a";
    return {link, "$2", "/a"};
  }
  Note(shape.inHeading ? "title: the link in the <" + shape.heading + ">"
                       : "title: the <" + shape.heading + "> in the link");
  const std::string first = shape.inHeading ? shape.heading : link;
  const std::string second = shape.inHeading ? link : shape.heading;
  titleEnd_ = shape.inHeading ? "/a" : "/" + shape.heading.substr(0, shape.heading.find(','));
  strict_ = shape.adjacency != TAdjacency::None;
  switch (shape.adjacency) {
    case TAdjacency::None:
      break;
    // Strict from the first tag after the first line on: any tag but the second ends the block's record.
    case TAdjacency::Next:
      return {first, "&" + second, "$2", "|" + titleEnd_};
    // The second line, or a line break that moves on to it; anything else ends the record.
    case TAdjacency::NextOrBreak:
      return {first, "@" + second + ";br;&", "|" + second, "$2", titleEnd_};
  }
  return {first, second, "$2", titleEnd_};
}

std::vector<std::string> TLearner::SummaryLines(const TResultBlocks& found, const std::string& blockLine) {
  // A summary is text of its own: the text of links in an element (a preview, a cached copy, the
  // address) does not count, but for an element that is a link itself.
  const std::vector<size_t> textBytes = TextBytesBefore(items_);
  const std::vector<size_t> plainBytes = TextBytesBefore(items_, true);
  // Per tag and class word ("" for the tag alone, as a line without a class word matches any): how
  // often the first element after the title that the line would match holds text of some length, and
  // how much.
  std::map<std::pair<std::string, std::string>, std::pair<size_t, size_t>> seen;
  for (const TResultBlock& b : found.blocks) {
    size_t after = b.titleLink;
    while (after < b.end && items_[after].name != titleEnd_) ++after;
    std::set<std::pair<std::string, std::string>> met;
    for (size_t i = after + 1; i < b.end; ++i) {
      const TPageItem& item = items_[i];
      if (!item.isTag || item.name.starts_with('/') || IsVoidElement(item.name) || item.name.starts_with('h') ||
          !FitsTemplateLine(item.name)) {
        continue;
      }
      const std::vector<size_t>& bytesBefore = item.name == "a" ? textBytes : plainBytes;
      const size_t length = bytesBefore[std::min({item.close, b.end, items_.size()})] - bytesBefore[i + 1];
      std::vector<std::string> words = ClassWords(item.klass);
      words.emplace_back();
      for (std::string& word : words) {
        if (!word.empty() && !FitsTemplateLine(word)) continue;
        if (!met.emplace(item.name, word).second) continue;
        auto& [often, bytes] = seen[{item.name, std::move(word)}];
        if (length >= 20) ++often;
        bytes += length;
      }
    }
  }
  // Most often, then the most text; of one element, a line with its class word (a bare tag matches
  // whatever element of that tag comes first), one that reads as a name rather than a hash.
  const auto rank = [](const auto& entry) {
    const std::string& word = entry.first.second;
    return std::make_tuple(entry.second.first, entry.second.second, !word.empty(), !LooksHashed(word));
  };
  const auto best =
      std::max_element(seen.begin(), seen.end(), [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
  if (best == seen.end() || best->second.first * 2 < found.blocks.size()) {
    Note("could not decide: no summary element repeats in the blocks; records get an empty summary");
    return {};
  }
  const auto& [tag, word] = best->first;
  Note("summary: <" + tag + (word.empty() ? "" : "> with class word '" + word + "'") + " (in " +
       std::to_string(best->second.first) + " of " + std::to_string(found.blocks.size()) + " blocks)");
  const std::string open = word.empty() ? tag : tag + ",class~=" + word;
  // A result without a summary ends at the next block, which completes it with an empty one.
  return {open + ";@" + blockLine, "$3", "/" + tag + ";@" + blockLine};
}

std::vector<std::string> TLearner::Rules(const TResultBlocks& found) {
  std::vector<std::string> rules{"L,$9,\"\""};
  // Each shape: $6 = the wrapped address when the link has the marker; then $1 = $6 when $6 is not empty.
  const auto chooseSix = [&] {
    rules.insert(rules.end(), {"+,$7,^,$6,^,$1", "S,$7,^^,$8,$6", "+,$1,$6", "L,$6,\"\""});
  };
  if (!dataAttribute_.empty()) {
    rules.insert(rules.end(), {"+,$6,$5"});
    chooseSix();
  }
  // Every shape, also one this page does not show: a link without its marker passes unchanged, and an
  // engine that starts to wrap its links in a later release is still read. $7 = "^" $1, so that a marker
  // can be anchored at the link's start; the unwrapped $6 replaces $1 only when it is an address.
  const std::string host = HostOf(input_.url);
  for (const TRedirectShape& shape : RedirectShapes()) {
    if (std::any_of(found.blocks.begin(), found.blocks.end(), [&](const TResultBlock& b) {
          return WrappedAt(items_[b.titleLink].href, shape) != std::string::npos;
        }))
      Note(std::string("links are wrapped as '") + shape.markers[0] + "': unwrapped");
    rules.emplace_back("+,$7,^,$1");
    std::vector<std::string> markers;
    if (shape.ownSite) {
      markers.push_back(std::string("^") + shape.markers[0]);
      if (!host.empty() && FitsTemplateLine(host)) {
        for (const char* scheme : {"^https://", "^http://", "^//"}) markers.push_back(scheme + host + shape.markers[0]);
      }
    } else {
      for (const char* marker : shape.markers) {
        if (*marker != '\0') markers.emplace_back(marker);
      }
    }
    for (const std::string& marker : markers) rules.push_back("S,$7," + marker + ",$8,$6");
    rules.emplace_back("S,$6,&amp;,$6");
    rules.push_back(std::string("S,$6,") + shape.end + ",$6");
    rules.emplace_back("D,$6");
    if (shape.base64) rules.emplace_back("B,$6");
    // $6 = "" unless it starts with "http": $8 begins "^^" only then.
    rules.insert(rules.end(), {"+,$7,^,$6", "S,$7,^http,$8,$7", "+,$8,^,$7", "S,$8,^^,$6"});
    chooseSix();
  }
  if (std::any_of(found.blocks.begin(), found.blocks.end(),
                  [&](const TResultBlock& b) { return !items_[b.titleLink].href.starts_with("http"); })) {
    // Links relative to the page (or to its scheme) are made absolute against it.
    rules.push_back("U,$1");
  }
  if (titleAttribute_) {
    // $2 = the title attribute, or the link's text where the attribute is missing.
    rules.insert(rules.end(), {"+,$7,^,$10,^,$2", "S,$7,^^,$8,$10", "+,$2,$10", "L,$10,\"\""});
  }
  for (const char* shape : AdvertShapes()) {
    if (std::any_of(items_.begin(), items_.end(),
                    [&](const TPageItem& item) { return item.href.find(shape) != std::string::npos; })) {
      Note(std::string("adverts link through '") + shape + "': left out");
      rules.push_back(std::string("S,$1,") + shape + ",$8,$9");
    }
  }
  if (!domain_.empty()) {
    // Links into the engine's own site (adverts, its verticals) are no results, but for the redirects
    // that hide their target: $9 = the part after the site's address, emptied for those.
    rules.push_back("S,$1," + domain_ + "/,$8,$9");
    for (const char* shape : OpaqueRedirectShapes()) {
      if (std::any_of(found.blocks.begin(), found.blocks.end(), [&](const TResultBlock& b) {
            return items_[b.titleLink].href.find(shape) != std::string::npos;
          })) {
        Note(std::string("links go through the engine's '") + shape + "', which hides the target: kept as they are");
        rules.push_back(std::string("S,$9,") + shape + ",$9");
      }
    }
    rules.insert(rules.end(), {"+,$7,^,$9,$1", "C,$7,^http"});
  } else {
    rules.insert(rules.end(), {"+,$7,^,$9,$1", "C,$7,^http"});
  }
  rules.insert(rules.end(), {"T,$2,$3",
                             "L,$4," + std::string(charset_ == TPageCharset::Gb     ? "GB"
                                                   : charset_ == TPageCharset::Big5 ? "BIG5"
                                                                                    : "ENG"),
                             "L,$5,\"\"", "L,$6,\"\"", "L,$7,\"\"", "L,$8,\"\"", "L,$9,\"\""});
  return rules;
}

// The text of the link at `at` that names the next page ("Next", "Next &gt;", "下一页 ›"), as the page
// writes it, blanks trimmed; empty when none does. The engine compares each text of a link on its own.
std::string TLearner::NextLinkText(size_t at) const {
  static const char* const kNextTexts[] = {"Next", "Next page", "下一页", "下一頁", "다음페이지", "More results"};
  const size_t end = std::min({items_[at].close, items_.size(), at + 64});
  for (size_t i = at + 1; i < end; ++i) {
    if (items_[i].isTag) continue;
    const std::string text = TrimControls(items_[i].text);
    // Without the arrow that follows the word, as an entity or as the character.
    std::string bare = DecodeEntities(text);
    for (bool cut = true; cut;) {
      cut = false;
      for (const std::string_view arrow : {">", "\xC2\xBB", "\xE2\x80\xBA", "&raquo;", "&rsaquo;", "&#187;"}) {
        if (bare.ends_with(arrow)) {
          bare = TrimControls(bare.substr(0, bare.size() - arrow.size()));
          cut = true;
        }
      }
    }
    if (std::any_of(std::begin(kNextTexts), std::end(kNextTexts),
                    [&](const char* t) { return EqualsIgnoreCase(bare, KeywordAsPageWrites(t, charset_)); }))
      return text;
  }
  return {};
}

std::string TLearner::PagingItem(std::string& url) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].name != "a" || items_[i].href.empty()) continue;
    const std::string text = NextLinkText(i);
    if (text.empty()) continue;
    for (const char* name : {"first", "start", "s", "b", "pn", "page", "p", "offset", "o"}) {
      const std::optional<long> next = QueryNumber(items_[i].href, name);
      if (!next || *next <= 0) continue;
      const std::optional<long> now = QueryNumber(url, name);
      if (now && *next <= *now) continue;
      // A page saved from further on (start=10, next 20) pages from its first one (start=0): what the
      // step leaves over, or page 1 where pages are counted one by one.
      const long first = !now                ? (*next == 2 || *next % 10 == 1 ? 1 : 0)
                         : *next - *now == 1 ? std::min(*now, 1L)
                                             : *now % (*next - *now);
      const long step = now ? *next - *now : *next - first;
      if (step <= 0) continue;
      const std::string item = name + std::string("=") + (now ? std::to_string(*now) : std::string());
      const size_t at = now ? QueryItemAt(url, item) : std::string::npos;
      if (now && at == std::string::npos) continue;  // written another way ("b=01"): not ours to rewrite
      if (now)
        url.replace(at, item.size(), std::string(name) + "=$page$");
      else
        url += std::string(url.find('?') == std::string::npos ? "?" : "&") + name + "=$page$";
      Note("paging: '" + std::string(name) + "' from " + std::to_string(first) + " by " + std::to_string(step) +
           ", following the link '" + text + "'");
      return "Page=" + std::to_string(first) + "," + std::to_string(step) + "," + CommaItem(text);
    }
  }
  Note("no next-page link found: one page a search");
  return {};
}

std::vector<std::string> TLearner::Header() {
  std::vector<std::string> header;
  std::string url = input_.url;
  const std::string written = OtherCharset() ? Utf8ToCharset(input_.keyword, charsetName_).value_or(input_.keyword)
                                             : KeywordAsPageWrites(input_.keyword, charset_);
  const TKeyedUrl keyed = KeyedUrl(url, input_.keyword, written);
  url = keyed.url;
  if (keyed.holders > 1)
    Note("the address holds the keyword in " + std::to_string(keyed.holders) + " query items: " + keyed.name +
         "= takes $key$ (" + (keyed.usual ? "a usual name for the query" : "the first") +
         "), the others are left out, as a search fills in only one");
  result_.keyed = !keyed.name.empty();
  const std::string paging = url.empty() ? std::string() : PagingItem(url);
  header.push_back("url=" + url);
  // GB and BIG5 pages are read and asked in their own code page.
  switch (charset_) {
    case TPageCharset::Gb:
      header.push_back("Version=0");
      break;
    case TPageCharset::Big5:
      header.push_back("Version=1");
      break;
    case TPageCharset::Utf8:
    case TPageCharset::Other:
      // Pages of another charset are searched and read in it, converted to UTF-8.
      header.insert(header.end(), {"Version=2", "Charset=" + (OtherCharset() ? charsetName_ : std::string("UTF-8"))});
      break;
  }
  header.push_back("Score=100");
  if (!paging.empty()) header.push_back(paging);
  if (box_) {
    Note("the blocks under '" + box_->heading + "' are the engine's own box: left out (" + std::to_string(box_->blocks) +
         " of them)");
    header.push_back("Skip=" + box_->from + "," + box_->to);
  }
  header.insert(header.end(), {"Head=\"\",\"\",\"\"", "Uniqe=$1"});
  return header;
}

TLearnedDefinition TLearner::Learn() {
  if (readBytes_ < page_.size()) {
    Note("the page holds more than " + std::to_string(kMaxItems) + " tags and texts: only those are read, " +
         std::to_string(readBytes_) + " of " + std::to_string(page_.size()) + " bytes");
  }
  const std::optional<TResultBlocks> found = FindResultBlocks({items_, domain_, words_});
  if (!found) {
    Note("no repeating result block: no tag and class word occurs " + std::to_string(kMinBlocks) +
         " times or more with an outbound link with text and a word of the keyword in each");
    return std::move(result_);
  }
  if (!found->weighedAll) Note("the page holds more repeating elements than are weighed: the first ones were");
  std::string blockLine = found->tag + "," + found->key;
  Note("result block: <" + found->tag + " " + found->key + ">, " + std::to_string(found->blocks.size()) +
       " results in " + std::to_string(found->occurrences) + " blocks");
  if (!found->condition.empty()) {
    blockLine += "," + found->condition;
    Note("result blocks told from the others by " + found->condition);
  }
  box_ = FindEngineBox(items_, page_, found->blocks);
  std::vector<std::string> lines = Header();
  lines.push_back("---");
  std::vector<std::string> title = TitleLines(*found);
  // Strict matching, once a title line turns it on, stays on until a line turns it off: each block
  // starts without it.
  lines.push_back((strict_ ? "|" : "") + blockLine);
  for (std::string& line : title) lines.push_back(std::move(line));
  for (std::string& line : SummaryLines(*found, blockLine)) lines.push_back(std::move(line));
  lines.push_back("---");
  for (std::string& line : Rules(*found)) lines.push_back(std::move(line));

  result_.found = true;
  for (const std::string& line : lines) result_.definition += line + "\n";
  TEngineDefinition definition;
  definition.LoadDefinition(lines);
  definition.SetKey(EncodeQuery(input_.keyword));
  THtmlParser parser;
  definition.ExtractPage(parser, page_.substr(0, readBytes_), input_.url,
                         definition.NextLinkText(definition.FirstStart(), definition.Step()));
  // Only records a search keeps as results: with an address and a title.
  std::copy_if(definition.KeptRecords().begin() + 1, definition.KeptRecords().end(),
               std::back_inserter(result_.records), [](const TRecord& record) {
                 return record.size() > 1 && !TrimControls(record[0]).empty() && !TrimControls(record[1]).empty();
               });
  if (result_.records.size() < kMinBlocks) {
    // Blocks that repeat but that the written lines and rules do not read (links the rules cannot make
    // absolute, a block the template loses its way in) give an engine that finds nothing.
    Note("the definition reads " + std::to_string(result_.records.size()) + " of the " +
         std::to_string(found->blocks.size()) + " result blocks on the page: none written");
    result_.found = false;
    result_.definition.clear();
  }
  return std::move(result_);
}

}  // namespace

TLearnedDefinition LearnDefinition(const TLearnInput& input) { return TLearner(input).Learn(); }

}  // namespace quorvex
