#include "core/engines/definition_learner.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "core/common/ascii.h"
#include "core/common/name_value_list.h"
#include "core/engines/TEngineDefinition.h"
#include "core/engines/page_items.h"
#include "core/engines/query_text.h"
#include "core/net/THtmlParser.h"
#include "core/net/url.h"

namespace quorvex {
namespace {

constexpr size_t kMinBlocks = 3;

// Redirect shapes an engine wraps result addresses in: the marker before the wrapped address, what ends
// it, and whether it is base64url text.
struct TRedirectShape {
  const char* marker;
  const char* end;
  bool base64;
};
constexpr TRedirectShape kRedirectShapes[] = {
    {"/url?q=", "&", false}, {"uddg=", "&", false}, {"u=a1", "&", true}, {"/RU=", "/RK=", false}};

// The engine's own domain (its last two host labels), to tell its links from outbound ones.
std::string EngineDomain(const std::string& url) {
  if (url.empty()) return {};
  std::string host = AsciiLowered(SplitUrl(url).host);
  const size_t last = host.rfind('.');
  const size_t before = last == std::string::npos || last == 0 ? std::string::npos : host.rfind('.', last - 1);
  return before == std::string::npos ? host : host.substr(before + 1);
}

bool IsRedirect(std::string_view href) {
  return std::any_of(std::begin(kRedirectShapes), std::end(kRedirectShapes),
                     [&](const TRedirectShape& shape) { return href.find(shape.marker) != std::string_view::npos; });
}

// Link shapes of adverts, which are no results.
constexpr const char* kAdvertShapes[] = {"aclick", "/aclk?", "/cbclk", "y.js?ad"};

bool IsAdvert(std::string_view href) {
  return std::any_of(std::begin(kAdvertShapes), std::end(kAdvertShapes),
                     [&](const char* shape) { return href.find(shape) != std::string_view::npos; });
}

bool IsOutbound(const TPageItem& link, const std::string& domain) {
  if (IsAdvert(link.href)) return false;
  if (IsRedirect(link.href) || !link.dataLinks.empty()) return true;
  if (!link.href.starts_with("http") && !link.href.starts_with("//")) return false;
  return domain.empty() || AsciiLowered(SplitUrl(link.href.starts_with("//") ? "http:" + link.href : link.href).host)
                                   .find(domain) == std::string::npos;
}

// Elements without a closing tag hold no summary.
bool IsVoidElement(std::string_view name) {
  for (const char* element : {"img", "br", "hr", "input", "meta", "link", "source", "wbr", "col", "area"}) {
    if (name == element) return true;
  }
  return false;
}

// The text between items[from] and the closing tag of its name (or end), blanks squeezed.
std::string TextUntilClose(const std::vector<TPageItem>& items, size_t from, size_t end) {
  const std::string closing = "/" + items[from].name;
  std::string text;
  for (size_t i = from + 1; i < end && items[i].name != closing; ++i) {
    if (!items[i].isTag) text += items[i].text;
  }
  return TrimControls(text);
}

// The keyword's words; a long word in a script without blanks also by its first two characters, since
// such pages split and mark it up.
std::vector<std::string> KeywordWords(const std::string& keyword) {
  std::vector<std::string> words;
  for (const std::string& word : ClassWords(keyword)) {
    if (word.size() >= 2) words.push_back(word);
    size_t cut = 0;
    for (int characters = 0; characters < 2 && cut < word.size(); ++characters) {
      do ++cut;
      while (cut < word.size() && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80);
    }
    if (cut > 3 && cut < word.size()) words.push_back(word.substr(0, cut));
  }
  return words;
}

// One occurrence of a candidate block and what was found in it.
struct TBlock {
  size_t start = 0;
  size_t end = 0;
  size_t titleLink = 0;  // 0: none
  std::string heading;   // the heading the title link is in or holds; empty when none
  bool inHeading = false;
};

struct TCandidate {
  std::string tag;
  std::string word;
  std::vector<TBlock> blocks;  // the qualifying ones
  size_t occurrences = 0;
  double titleDistance = 0;
};

class TLearner {
 public:
  TLearner(const TLearnInput& input, std::vector<TPageItem> items)
      : input_(input), items_(std::move(items)), domain_(EngineDomain(input.url)), words_(KeywordWords(input.keyword)) {}

  TLearnedDefinition Learn();

 private:
  std::optional<TCandidate> BestBlock() const;
  TCandidate Evaluate(const std::string& tag, const std::string& word, const std::vector<size_t>& at) const;
  bool NearKeyword(size_t from, size_t to) const;
  // The heading tag the link is in (true) or holds (false); empty when neither.
  std::pair<std::string, bool> HeadingOf(size_t start, size_t link, size_t end) const;
  std::vector<std::string> TitleLines(const TCandidate& block);
  std::vector<std::string> SummaryLines(const TCandidate& block, const std::string& blockLine);
  std::vector<std::string> Rules(const TCandidate& block);
  std::vector<std::string> Header();
  std::string PagingItem(std::string& url);
  void Note(std::string line) { result_.report.push_back(std::move(line)); }

  const TLearnInput& input_;
  std::vector<TPageItem> items_;
  std::string domain_;
  std::vector<std::string> words_;
  std::string dataAttribute_;
  std::string language_ = "ENG";
  TLearnedDefinition result_;
};

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): a range is written from, to
bool TLearner::NearKeyword(size_t from, size_t to) const {
  if (words_.empty()) return true;
  std::string text;
  for (size_t i = from; i < to; ++i) {
    if (!items_[i].isTag) text += AsciiLowered(items_[i].text);
  }
  return std::any_of(words_.begin(), words_.end(), [&](const std::string& word) { return text.find(word) != std::string::npos; });
}

TCandidate TLearner::Evaluate(const std::string& tag, const std::string& word, const std::vector<size_t>& at) const {
  TCandidate candidate{tag, word, {}, at.size(), 0};
  size_t total = 0;
  for (size_t k = 0; k < at.size(); ++k) {
    // A block runs to the next one; the last one as far as the one before it did.
    const size_t end = k + 1 < at.size() ? at[k + 1] : std::min(items_.size(), at[k] + (k > 0 ? at[k] - at[k - 1] : 200));
    // The title is the first outbound link with text that is in a heading or holds one; failing that,
    // the first outbound link with text.
    TBlock block{at[k], end, 0, {}, false};
    for (size_t i = at[k] + 1; i < end; ++i) {
      const TPageItem& item = items_[i];
      if (item.name != "a" || !IsOutbound(item, domain_) || TextUntilClose(items_, i, end).empty()) continue;
      const auto [heading, inside] = HeadingOf(at[k], i, end);
      if (block.titleLink == 0 || (!heading.empty() && block.heading.empty())) block = {at[k], end, i, heading, inside};
      if (!heading.empty()) break;
    }
    if (block.titleLink != 0 && NearKeyword(at[k], end)) {
      candidate.blocks.push_back(block);
      total += block.titleLink - at[k];
    }
  }
  if (!candidate.blocks.empty()) candidate.titleDistance = static_cast<double>(total) / static_cast<double>(candidate.blocks.size());
  return candidate;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the block's positions in page order
std::pair<std::string, bool> TLearner::HeadingOf(size_t start, size_t link, size_t end) const {
  const auto isHeading = [](const std::string& name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
  };
  std::string open;
  for (size_t i = start + 1; i < link; ++i) {
    if (isHeading(items_[i].name)) open = items_[i].name;
    if (!open.empty() && items_[i].name == "/" + open) open.clear();
  }
  if (!open.empty()) return {open, true};
  for (size_t i = link + 1; i < end && items_[i].name != "/a"; ++i) {
    if (isHeading(items_[i].name)) return {items_[i].name, false};
  }
  // A link that holds its title beside the site's name marks the title as such.
  for (size_t i = link + 1; i < end && items_[i].name != "/a"; ++i) {
    for (const std::string& word : ClassWords(items_[i].klass)) {
      if (word.find("title") != std::string::npos || word.find("headline") != std::string::npos) {
        return {items_[i].name + ",class~=" + word, false};
      }
    }
  }
  return {{}, false};
}

std::optional<TCandidate> TLearner::BestBlock() const {
  std::map<std::pair<std::string, std::string>, std::vector<size_t>> occurrences;
  for (size_t i = 0; i < items_.size(); ++i) {
    const TPageItem& item = items_[i];
    if (!item.isTag || item.name.starts_with('/') || item.name == "a") continue;
    std::vector<std::string> words = ClassWords(item.klass);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (const std::string& word : words) occurrences[{item.name, word}].push_back(i);
  }
  std::optional<TCandidate> best;
  for (const auto& [key, at] : occurrences) {
    if (at.size() < kMinBlocks) continue;
    TCandidate candidate = Evaluate(key.first, key.second, at);
    if (candidate.blocks.size() < kMinBlocks || candidate.blocks.size() * 2 < at.size()) continue;
    // Most results (told apart by their addresses: a block that repeats within a result is no result
    // block) first; then the fewest blocks that are no result (adverts, the engine's own); then the
    // block that starts closest before its title.
    const auto rank = [this](const TCandidate& c) {
      std::set<std::string> addresses;
      for (const TBlock& block : c.blocks) addresses.insert(items_[block.titleLink].href);
      return std::make_tuple(addresses.size(), -static_cast<long>(c.occurrences), -c.titleDistance);
    };
    if (!best || rank(candidate) > rank(*best)) best = std::move(candidate);
  }
  return best;
}

std::vector<std::string> TLearner::TitleLines(const TCandidate& block) {
  std::map<std::string, size_t> linkWords;
  std::map<std::string, size_t> dataNames;
  std::map<std::pair<std::string, bool>, size_t> headings;
  size_t firstLink = 0;
  for (const TBlock& b : block.blocks) {
    const TPageItem& link = items_[b.titleLink];
    for (const std::string& word : ClassWords(link.klass)) ++linkWords[word];
    for (const auto& data : link.dataLinks) ++dataNames[data.first];
    ++headings[{b.heading, b.inHeading}];
    bool earlier = false;
    for (size_t i = b.start + 1; i < b.titleLink; ++i) earlier = earlier || (items_[i].name == "a" && !items_[i].href.empty());
    if (!earlier) ++firstLink;
  }
  const size_t n = block.blocks.size();
  for (const auto& [name, count] : dataNames) {
    if (count * 2 >= n) {
      dataAttribute_ = name;
      Note("the title link's " + name + " attribute holds the target address");
      break;
    }
  }
  std::string link = "a,href=$1" + (dataAttribute_.empty() ? std::string() : "," + dataAttribute_ + "=$5");
  for (const auto& [word, count] : linkWords) {
    if (count * 10 >= n * 9) {
      Note("title: the link with class word '" + word + "'");
      link = "a,class~=" + word + link.substr(1);
      break;
    }
  }
  const auto& [heading, inside] =
      std::max_element(headings.begin(), headings.end(), [](const auto& a, const auto& b) { return a.second < b.second; })->first;
  if (!heading.empty() && inside) {
    Note("title: the link in the <" + heading + ">");
    return {heading, link, "$2", "/a"};
  }
  if (!heading.empty()) {
    Note("title: the <" + heading + "> in the link");
    return {link, heading, "$2", "/" + heading.substr(0, heading.find(','))};
  }
  if (link.starts_with("a,href")) {
    if (firstLink * 10 < n * 9) Note("could not decide: the title link is not always the block's first link; taking the first");
    else Note("title: the block's first link");
  }
  return {link, "$2", "/a"};
}

std::vector<std::string> TLearner::SummaryLines(const TCandidate& block, const std::string& blockLine) {
  // Per tag and class word after the title: in how many blocks it holds text of some length, and how much.
  std::map<std::pair<std::string, std::string>, std::pair<size_t, size_t>> seen;
  for (const TBlock& b : block.blocks) {
    size_t after = b.titleLink;
    while (after < b.end && items_[after].name != "/a") ++after;
    std::map<std::pair<std::string, std::string>, size_t> here;
    for (size_t i = after + 1; i < b.end; ++i) {
      const TPageItem& item = items_[i];
      if (!item.isTag || item.name.starts_with('/') || i == b.titleLink || item.name.starts_with('h') ||
          IsVoidElement(item.name)) {
        continue;
      }
      const size_t length = TextUntilClose(items_, i, b.end).size();
      if (length < 20) continue;
      std::vector<std::string> words = ClassWords(item.klass);
      if (words.empty()) words.emplace_back();
      for (const std::string& word : words) here[{item.name, word}] = std::max(here[{item.name, word}], length);
    }
    for (const auto& [key, length] : here) {
      ++seen[key].first;
      seen[key].second += length;
    }
  }
  const auto best = std::max_element(seen.begin(), seen.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  if (best == seen.end() || best->second.first * 2 < block.blocks.size()) {
    Note("could not decide: no summary element repeats in the blocks; records get an empty summary");
    return {};
  }
  const auto& [tag, word] = best->first;
  Note("summary: <" + tag + (word.empty() ? "" : "> with class word '" + word + "'") + " (in " +
       std::to_string(best->second.first) + " of " + std::to_string(block.blocks.size()) + " blocks)");
  const std::string open = word.empty() ? tag : tag + ",class~=" + word;
  // A result without a summary ends at the next block, which completes it with an empty one.
  return {open + ";@" + blockLine, "$3", "/" + tag + ";@" + blockLine};
}

std::vector<std::string> TLearner::Rules(const TCandidate& block) {
  std::vector<std::string> rules{"L,$9,\"\""};
  std::vector<const TRedirectShape*> shapes;
  for (const TRedirectShape& shape : kRedirectShapes) {
    for (const TBlock& b : block.blocks) {
      if (items_[b.titleLink].href.find(shape.marker) != std::string::npos) {
        shapes.push_back(&shape);
        break;
      }
    }
  }
  // Each shape: $6 = the wrapped address when the link has the marker; then $1 = $6 when $6 is not empty.
  const auto chooseSix = [&] {
    rules.insert(rules.end(), {"+,$7,^,$6,^,$1", "S,$7,^^,$8,$6", "+,$1,$6", "L,$6,\"\""});
  };
  if (!dataAttribute_.empty()) {
    rules.insert(rules.end(), {"+,$6,$5"});
    chooseSix();
  }
  for (const TRedirectShape* shape : shapes) {
    Note(std::string("links are wrapped as '") + shape->marker + "': unwrapped");
    rules.push_back(std::string("S,$1,") + shape->marker + ",$8,$6");
    rules.push_back("S,$6,&amp;,$6");
    rules.push_back(std::string("S,$6,") + shape->end + ",$6");
    rules.push_back("D,$6");
    if (shape->base64) rules.push_back("B,$6");
    chooseSix();
  }
  for (const char* shape : kAdvertShapes) {
    if (std::any_of(items_.begin(), items_.end(), [&](const TPageItem& item) { return item.href.find(shape) != std::string::npos; })) {
      Note(std::string("adverts link through '") + shape + "': left out");
      rules.push_back(std::string("S,$1,") + shape + ",$8,$9");
    }
  }
  if (!domain_.empty()) {
    // Links into the engine's own site (adverts, its verticals) are no results.
    rules.insert(rules.end(), {"S,$1," + domain_ + "/,$8,$9", "+,$7,^,$9,$1", "C,$7,^http"});
  } else {
    rules.insert(rules.end(), {"+,$7,^,$9,$1", "C,$7,^http"});
  }
  rules.insert(rules.end(), {"T,$2,$3", "L,$4," + language_, "L,$5,\"\"", "L,$6,\"\"", "L,$7,\"\"", "L,$8,\"\"",
                             "L,$9,\"\""});
  return rules;
}

// The query item whose decoded value is the keyword becomes $key$.
std::string KeyedUrl(const std::string& url, const std::string& keyword, bool& keyed) {
  keyed = false;
  const size_t query = url.find('?');
  if (query == std::string::npos) return url;
  std::string out = url.substr(0, query + 1);
  std::string_view rest = std::string_view(url).substr(query + 1);
  bool first = true;
  while (!rest.empty() || first) {
    const size_t amp = rest.find('&');
    const std::string_view item = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    const size_t equals = item.find('=');
    std::string piece(item);
    if (!keyed && equals != std::string_view::npos && EqualsIgnoreCase(DecodeQuery(item.substr(equals + 1)), keyword)) {
      piece = std::string(item.substr(0, equals + 1)) + "$key$";
      keyed = true;
    }
    out += (first ? "" : "&") + piece;
    first = false;
    if (amp == std::string_view::npos) break;
  }
  return out;
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

std::string TLearner::PagingItem(std::string& url) {
  static const char* const kNextTexts[] = {"Next", "Next page", "下一页", "下一頁", "다음페이지", "More results"};
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].name != "a" || items_[i].href.empty()) continue;
    const std::string text = TrimControls(TextUntilClose(items_, i, items_.size()));
    const auto named = std::find_if(std::begin(kNextTexts), std::end(kNextTexts), [&](const char* t) { return EqualsIgnoreCase(text, t); });
    if (named == std::end(kNextTexts)) continue;
    for (const char* name : {"first", "start", "s", "b", "pn", "page", "p", "offset", "o"}) {
      const std::optional<long> next = QueryNumber(items_[i].href, name);
      if (!next || *next <= 0) continue;
      const std::optional<long> now = QueryNumber(url, name);
      const long first = now ? *now : (*next == 2 || *next % 10 == 1 ? 1 : 0);
      if (*next <= first) continue;
      const std::string item = name + std::string("=") + (now ? std::to_string(*now) : std::string());
      const size_t at = now ? url.find(item) : std::string::npos;
      if (now && at == std::string::npos) continue;  // written another way ("b=01"): not ours to rewrite
      if (now) url.replace(at, item.size(), std::string(name) + "=$page$");
      else url += std::string(url.find('?') == std::string::npos ? "?" : "&") + name + "=$page$";
      Note("paging: '" + std::string(name) + "' from " + std::to_string(first) + " by " + std::to_string(*next - first) +
           ", following the link '" + text + "'");
      return "Page=" + std::to_string(first) + "," + std::to_string(*next - first) + "," + text;
    }
  }
  Note("no next-page link found: one page a search");
  return {};
}

std::vector<std::string> TLearner::Header() {
  // What the page declares: GB and BIG5 pages are read and asked in their own code page.
  const std::string head = AsciiLowered(std::string_view(input_.page).substr(0, 4096));
  std::vector<std::string> header;
  std::string url = input_.url;
  bool keyed = false;
  if (!url.empty()) url = KeyedUrl(url, input_.keyword, keyed);
  if (!keyed) Note("could not decide: the address holds no item with the keyword; write $key$ into url= by hand");
  const std::string paging = url.empty() ? std::string() : PagingItem(url);
  header.push_back("url=" + url);
  if (head.find("charset=gb") != std::string::npos || head.find("charset=\"gb") != std::string::npos) {
    header.push_back("Version=0");
    language_ = "GB";
  } else if (head.find("big5") != std::string::npos) {
    header.push_back("Version=1");
    language_ = "BIG5";
  } else {
    header.insert(header.end(), {"Version=2", "Charset=UTF-8"});
  }
  header.push_back("Score=100");
  if (!paging.empty()) header.push_back(paging);
  header.insert(header.end(), {"Head=\"\",\"\",\"\"", "Uniqe=$1"});
  return header;
}

TLearnedDefinition TLearner::Learn() {
  const std::optional<TCandidate> block = BestBlock();
  if (!block) {
    Note("no repeating result block: no tag and class word occurs " + std::to_string(kMinBlocks) +
         " times or more with an outbound link with text and a word of the keyword in each");
    return std::move(result_);
  }
  const std::string blockLine = block->tag + ",class~=" + block->word;
  Note("result block: <" + block->tag + "> with class word '" + block->word + "', " + std::to_string(block->blocks.size()) +
       " results in " + std::to_string(block->occurrences) + " blocks");
  std::vector<std::string> lines = Header();
  lines.push_back("---");
  lines.push_back(blockLine);
  for (std::string& line : TitleLines(*block)) lines.push_back(std::move(line));
  for (std::string& line : SummaryLines(*block, blockLine)) lines.push_back(std::move(line));
  lines.push_back("---");
  for (std::string& line : Rules(*block)) lines.push_back(std::move(line));

  result_.found = true;
  for (const std::string& line : lines) result_.definition += line + "\n";
  TEngineDefinition definition;
  definition.LoadDefinition(lines);
  definition.SetKey(EncodeQuery(input_.keyword));
  THtmlParser parser;
  definition.ExtractPage(parser, input_.page, input_.url, definition.NextLinkText(definition.FirstStart(), definition.Step()));
  result_.records.assign(definition.KeptRecords().begin() + 1, definition.KeptRecords().end());
  return std::move(result_);
}

}  // namespace

TLearnedDefinition LearnDefinition(const TLearnInput& input) {
  return TLearner(input, ScanPageItems(input.page)).Learn();
}

}  // namespace quorvex
