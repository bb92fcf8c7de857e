#include "core/engines/result_blocks.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/common/ascii.h"
#include "core/engines/result_links.h"
#include "core/net/entities.h"

namespace quorvex {
namespace {

// Bounds on what a page can make the learner weigh: class words (and attributes) per tag, different
// tags and class words, links tried as a block's title, bytes of a link's text, and items looked at
// over all candidates (times the page's items).
constexpr size_t kWordsPerTag = 16;
constexpr size_t kMaxKeys = 20000;
constexpr size_t kTitleLinksPerBlock = 8;
constexpr size_t kLinkTextBytes = 300;
constexpr size_t kWorkPerItem = 128;
// Sites one result links to: its own, a cached copy, a translation.
constexpr size_t kSitesPerResult = 3;
// Bytes of text beside its title that make a block a whole result.
constexpr size_t kSummaryBytes = 40;

bool IsHeading(std::string_view name) { return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6'; }

bool IsTitleWord(std::string_view word) {
  return word.find("title") != std::string_view::npos || word.find("headline") != std::string_view::npos ||
         word.find("heading") != std::string_view::npos;
}

// Link texts that show an address or a path of one (a breadcrumb) rather than a title.
bool LooksLikeAddress(std::string_view text) {
  if (text.starts_with("http://") || text.starts_with("https://") || text.starts_with("www.")) return true;
  if (text.find("\xE2\x80\xBA") != std::string_view::npos) return true;  // "›"
  return text.find(' ') == std::string_view::npos && text.find('.') != std::string_view::npos;
}

struct TCandidate {
  std::string tag;
  std::string key;      // "class~=word" or "name=value"
  std::string written;  // the word or value as the page writes it
  std::vector<TResultBlock> blocks;
  size_t occurrences = 0;
  std::pair<std::string, bool> shape;  // how the title sits in most blocks: heading, link in it
  size_t alike = 0;                    // blocks whose title sits so; the hosts are counted over these
  size_t fullHosts = 0;                // of blocks whose title holds a word of the keyword and that hold more text
  size_t titledHosts = 0;              // of blocks whose title holds a word of the keyword
  size_t hosts = 0;
  bool elements = true;  // blocks end at their closing tags, rather than running to the next one
  double fit = 0;        // elements: the text they hold; markers: how close before its title each starts

  auto Rank() const {
    return std::make_tuple(fullHosts, titledHosts, hosts, -static_cast<long>(occurrences - alike),
                           -static_cast<long>(occurrences), fit, !LooksHashed(written), written.size());
  }
};

class TBlockFinder {
 public:
  explicit TBlockFinder(const TBlockSearch& search)
      : items_(search.items), domain_(search.domain), words_(search.words) {
    budget_ = kWorkPerItem * (items_.size() + 1000);
    textBytes_ = TextBytesBefore(items_);
    linkText_.resize(items_.size());
    outbound_.resize(items_.size(), false);
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].name != "a") continue;
      outbound_[i] = IsOutbound(items_[i], domain_);
      if (outbound_[i]) linkText_[i] = LinkText(i);
    }
  }

  std::optional<TResultBlocks> Find();

 private:
  std::string LinkText(size_t link) const;
  std::vector<std::pair<size_t, size_t>> ElementSpans(const std::vector<size_t>& at) const;
  std::vector<std::pair<size_t, size_t>> MarkerSpans(const std::vector<size_t>& at) const;
  std::optional<TResultBlock> Block(size_t start, size_t end);
  TCandidate Evaluate(const std::pair<std::string, std::string>& tagAndKey, const std::vector<size_t>& at,
                      bool elements);
  TCandidate Weigh(TCandidate candidate, const std::vector<std::pair<size_t, size_t>>& spans);
  bool NearKeyword(size_t from, size_t to);
  bool HoldsKeyword(std::string_view text) const;
  TResultBlock HeadingOf(size_t start, size_t link, size_t end);
  std::string Condition(const TCandidate& chosen, const std::vector<size_t>& at) const;

  const std::vector<TPageItem>& items_;
  const std::string& domain_;
  const std::vector<std::string>& words_;
  std::vector<std::string> linkText_;  // of outbound links: their text, blanks squeezed, cut
  std::vector<bool> outbound_;
  std::vector<size_t> textBytes_;
  size_t budget_ = 0;
};

std::string TBlockFinder::LinkText(size_t link) const {
  std::string text;
  const size_t end = std::min(items_[link].close, items_.size());
  for (size_t i = link + 1; i < end && i < link + 256 && text.size() < kLinkTextBytes; ++i) {
    if (!items_[i].isTag) text += SqueezeBlanks(items_[i].text);
  }
  return TrimControls(text.substr(0, kLinkTextBytes));
}

bool TBlockFinder::HoldsKeyword(std::string_view text) const {
  const std::string lowered = AsciiLowered(text);
  return words_.empty() || std::any_of(words_.begin(), words_.end(), [&](const std::string& word) {
           return lowered.find(word) != std::string::npos;
         });
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): a range is written from, to
bool TBlockFinder::NearKeyword(size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to; ++i) {
    if (!items_[i].isTag) text += items_[i].text;
  }
  budget_ -= std::min(budget_, to - from);
  return HoldsKeyword(text);
}

// The spans of the elements at `at`, each up to its closing tag; those inside another one (parts of a
// result made the same way) left out. Nothing where the page leaves them open or nests them wrongly
// (more inside others than not).
std::vector<std::pair<size_t, size_t>> TBlockFinder::ElementSpans(const std::vector<size_t>& at) const {
  std::vector<std::pair<size_t, size_t>> spans;
  size_t inside = 0;
  for (const size_t start : at) {
    if (!spans.empty() && start < spans.back().second) {
      ++inside;
    } else if (items_[start].close != kNoClose) {
      spans.emplace_back(start, items_[start].close);
    }
  }
  if (inside > spans.size()) spans.clear();
  return spans;
}

// The elements at `at` as markers of where results start: each runs to the next one, the last as far as
// the one before it did.
std::vector<std::pair<size_t, size_t>> TBlockFinder::MarkerSpans(const std::vector<size_t>& at) const {
  std::vector<std::pair<size_t, size_t>> spans;
  for (size_t k = 0; k < at.size(); ++k) {
    const size_t length = spans.empty() ? 200 : spans.back().second - spans.back().first;
    spans.emplace_back(at[k], k + 1 < at.size() ? at[k + 1] : std::min(items_.size(), at[k] + length));
  }
  return spans;
}

// The title link's heading: the heading it is in or holds, or the element in it named a title.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the block's positions in page order
TResultBlock TBlockFinder::HeadingOf(size_t start, size_t link, size_t end) {
  budget_ -= std::min(budget_, link - start);
  for (size_t i = start + 1; i < link; ++i) {
    if (IsHeading(items_[i].name) && (items_[i].close == kNoClose || items_[i].close > link)) {
      return {start, end, link, items_[i].name, true, i, {}};
    }
  }
  const size_t linkEnd = std::min(items_[link].close, end);
  for (size_t i = link + 1; i < linkEnd && items_[i].name != "/a"; ++i) {
    if (IsHeading(items_[i].name)) return {start, end, link, items_[i].name, false, i, {}};
  }
  // A link that holds its title beside the site's name marks the title as such.
  for (size_t i = link + 1; i < linkEnd && items_[i].name != "/a"; ++i) {
    for (const std::string& word : ClassWords(items_[i].klass)) {
      if (IsTitleWord(word) && FitsTemplateLine(word) && FitsTemplateLine(items_[i].name)) {
        return {start, end, link, items_[i].name + ",class~=" + word, false, i, {}};
      }
    }
  }
  return {start, end, link, {}, false, kNoClose, {}};
}

// The block's title: of its first outbound links with text, the one in or holding a heading, else the
// one marked a title by its class, else the first; a link whose text is an address or a breadcrumb
// only when there is no other. Nothing when the block holds no such link or no word of the keyword.
std::optional<TResultBlock> TBlockFinder::Block(size_t start, size_t end) {
  std::optional<TResultBlock> best;
  int bestScore = 0;
  size_t tried = 0;
  std::set<std::string> sites;
  for (size_t i = start + 1; i < end; ++i) {
    if (!outbound_[i]) continue;
    // Links to many sites: a box of several results (news, pictures), not one result.
    sites.insert(SiteOf(items_[i]));
    if (sites.size() > kSitesPerResult) break;
    if (linkText_[i].empty() || tried == kTitleLinksPerBlock) continue;
    ++tried;
    TResultBlock block = HeadingOf(start, i, end);
    const std::vector<std::string> words = ClassWords(items_[i].klass);
    const bool titleClass =
        std::any_of(words.begin(), words.end(), [](const std::string& w) { return IsTitleWord(w); });
    const int score = (block.heading.empty() ? 0 : 4) + (titleClass ? 2 : 0) - (LooksLikeAddress(linkText_[i]) ? 3 : 0);
    if (!best || score > bestScore) {
      best = std::move(block);
      bestScore = score;
    }
  }
  budget_ -= std::min(budget_, end - start);
  if (!best || sites.size() > kSitesPerResult || !NearKeyword(start, end)) return std::nullopt;
  const TPageItem& link = items_[best->titleLink];
  best->site = HostOf(TargetAddress(link));
  if (HidesTarget(link)) {
    // The address the block shows tells where it leads: the engine's own pages are no results.
    best->site = SiteOf(link);
    for (size_t i = best->titleLink + 1; i < end; ++i) {
      const std::string shown = items_[i].isTag ? std::string() : ShownHost(items_[i].text);
      if (shown.empty()) continue;
      if (!domain_.empty() && shown.find(domain_) != std::string::npos) return std::nullopt;
      best->site = shown;
      break;
    }
  }
  return best;
}

TCandidate TBlockFinder::Evaluate(const std::pair<std::string, std::string>& tagAndKey, const std::vector<size_t>& at,
                                  bool elements) {
  TCandidate candidate;
  candidate.tag = tagAndKey.first;
  candidate.key = tagAndKey.second;
  candidate.written = candidate.key.starts_with("class~=")
                          ? AsWritten(items_[at.front()].klass, std::string_view(candidate.key).substr(7))
                          : std::string_view(candidate.key).substr(candidate.key.find('=') + 1);
  candidate.occurrences = at.size();
  candidate.elements = elements;
  return Weigh(std::move(candidate), elements ? ElementSpans(at) : MarkerSpans(at));
}

TCandidate TBlockFinder::Weigh(TCandidate candidate, const std::vector<std::pair<size_t, size_t>>& spans) {
  for (const auto& [start, end] : spans) {
    if (budget_ == 0) break;
    std::optional<TResultBlock> block = Block(start, end);
    if (block) candidate.blocks.push_back(std::move(*block));
  }
  // Results look alike: blocks whose title sits otherwise than in most (a box of videos among results
  // with headings) do not count.
  std::map<std::pair<std::string, bool>, size_t> shapes;
  for (const TResultBlock& block : candidate.blocks) ++shapes[{block.heading, block.inHeading}];
  const auto shape =
      std::max_element(shapes.begin(), shapes.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  if (shape != shapes.end()) candidate.shape = shape->first;
  std::set<std::string> fullHosts;
  std::set<std::string> titledHosts;
  std::set<std::string> hosts;
  size_t fit = 0;
  for (const auto& [start, end, link, heading, inside, headingAt, site] : candidate.blocks) {
    if (heading != candidate.shape.first || inside != candidate.shape.second) continue;
    ++candidate.alike;
    const std::string& host = site;
    hosts.insert(host);
    if (HoldsKeyword(linkText_[link])) {
      titledHosts.insert(host);
      // A summary beside the title, longer than it: the whole result, not only the part of it that
      // holds the title (which the engine may show in boxes of its own as well).
      const size_t linkEnd = std::min(items_[link].close, end);
      const size_t title = textBytes_[linkEnd] - textBytes_[link];
      if ((textBytes_[end] - textBytes_[start]) - title >= std::max(title, kSummaryBytes)) fullHosts.insert(host);
    }
    fit += candidate.elements ? textBytes_[end] - textBytes_[start] : link - start;
  }
  candidate.fullHosts = fullHosts.size();
  candidate.titledHosts = titledHosts.size();
  candidate.hosts = hosts.size();
  if (candidate.alike > 0) {
    const double average = static_cast<double>(fit) / static_cast<double>(candidate.alike);
    candidate.fit = candidate.elements ? average : -average;
  }
  return candidate;
}

// A class word or attribute that every result block has (the blocks whose title sits as in most), and
// which leaves out the most other elements of the block's tag and key (parts of results made the same
// way, blocks of other kinds). Words and values that look generated are passed over: they change with
// the page's next release.
std::string TBlockFinder::Condition(const TCandidate& chosen, const std::vector<size_t>& at) const {
  std::set<size_t> results;
  for (const TResultBlock& block : chosen.blocks) {
    if (block.heading == chosen.shape.first && block.inHeading == chosen.shape.second) results.insert(block.start);
  }
  const auto holds = [&](size_t item, const std::string& name, const std::string& value) {
    if (name == "class") return HasBlankWord(items_[item].klass, value);
    return std::any_of(items_[item].attributes.begin(), items_[item].attributes.end(),
                       [&](const auto& a) { return a.first == name && EqualsIgnoreCase(a.second, value); });
  };
  std::vector<std::pair<std::string, std::string>> conditions = items_[*results.begin()].attributes;
  for (const std::string& word : ClassWords(items_[*results.begin()].klass)) {
    if (FitsTemplateLine(word) && !LooksHashed(AsWritten(items_[*results.begin()].klass, word)))
      conditions.emplace_back("class", word);
  }
  std::string condition;
  size_t mostLeftOut = 0;
  for (const auto& [name, value] : conditions) {
    const std::string text = name + (name == "class" ? "~=" : "=") + value;
    if (LooksHashed(value) || text == chosen.key || (name != "class" && chosen.key.starts_with(name + "="))) continue;
    const auto holdsIt = [&, &name = name, &value = value](size_t item) { return holds(item, name, value); };
    if (!std::all_of(results.begin(), results.end(), holdsIt)) continue;
    const auto leftOut = static_cast<size_t>(
        std::count_if(at.begin(), at.end(), [&](size_t item) { return !results.contains(item) && !holdsIt(item); }));
    if (leftOut > mostLeftOut) {
      mostLeftOut = leftOut;
      condition = text;
    }
  }
  return condition;
}

std::optional<TResultBlocks> TBlockFinder::Find() {
  bool weighedAll = true;
  std::map<std::pair<std::string, std::string>, std::vector<size_t>> occurrences;
  for (size_t i = 0; i < items_.size(); ++i) {
    const TPageItem& item = items_[i];
    if (!item.isTag || item.name.starts_with('/') || item.name == "a" || IsVoidElement(item.name) ||
        !FitsTemplateLine(item.name)) {
      continue;
    }
    std::vector<std::string> words = ClassWords(item.klass);
    if (words.size() > kWordsPerTag) words.resize(kWordsPerTag);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    // Attributes that name what an element is (data-testid=webResult) stay where class names are generated.
    std::vector<std::string> keys;
    for (const std::string& word : words) {
      if (FitsTemplateLine(word)) keys.push_back("class~=" + word);
    }
    for (size_t a = 0; a < item.attributes.size() && a < kWordsPerTag; ++a) {
      const auto& [name, value] = item.attributes[a];
      if (!LooksHashed(value)) keys.push_back(name + "=" + value);
    }
    for (std::string& key : keys) {
      auto found = occurrences.find({item.name, key});
      if (found == occurrences.end()) {
        if (occurrences.size() == kMaxKeys) {
          weighedAll = false;
          continue;
        }
        found = occurrences.emplace(std::make_pair(item.name, std::move(key)), std::vector<size_t>()).first;
      }
      found->second.push_back(i);
    }
  }
  // Blocks that are elements of their own first; only on a page where none fit, elements as markers of
  // where results start (such as the address line in each result's first link).
  std::optional<TCandidate> best;
  const std::vector<size_t>* bestAt = nullptr;
  for (const bool elements : {true, false}) {
    for (const auto& [key, at] : occurrences) {
      if (at.size() < kMinBlocks) continue;
      if (budget_ == 0) {
        weighedAll = false;
        break;
      }
      TCandidate candidate = Evaluate(key, at, elements);
      if (candidate.blocks.size() < kMinBlocks || candidate.blocks.size() * 2 < at.size()) continue;
      if (!best || candidate.Rank() > best->Rank()) {
        best = std::move(candidate);
        bestAt = &at;
      }
    }
    if (best) break;
  }
  if (!best) return std::nullopt;
  return TResultBlocks{best->tag,         best->key, Condition(*best, *bestAt), std::move(best->blocks),
                       best->occurrences, weighedAll};
}

}  // namespace

std::optional<TResultBlocks> FindResultBlocks(const TBlockSearch& search) { return TBlockFinder(search).Find(); }

bool LooksHashed(std::string_view word) {
  size_t from = 0;
  while (from <= word.size()) {
    const size_t to = std::min(word.find_first_of("-_", from), word.size());
    const std::string_view part = word.substr(from, to - from);
    const auto digits = std::count_if(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto capitals = std::count_if(part.begin(), part.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const bool letters = static_cast<size_t>(digits) < part.size();
    if ((digits > 0 && letters) || (part.size() <= 8 && capitals >= 2)) return true;
    from = to + 1;
  }
  return false;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the attribute, then the word looked for in it
std::string_view AsWritten(std::string_view klass, std::string_view word) {
  size_t at = 0;
  for (std::string_view written = NextBlankWord(klass, at); !written.empty(); written = NextBlankWord(klass, at)) {
    if (EqualsIgnoreCase(written, word)) return written;
  }
  return word;
}

}  // namespace quorvex
