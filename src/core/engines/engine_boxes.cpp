#include "core/engines/engine_boxes.h"

#include <algorithm>
#include <map>

#include "core/common/ascii.h"
#include "core/engines/result_blocks.h"
#include "core/net/entities.h"

namespace quorvex {
namespace {

// Levels looked up for the element that holds two blocks, items looked through for a box's heading and
// for what follows it, the bytes of a heading, and the groups of blocks weighed.
constexpr size_t kLevels = 64;
constexpr size_t kLookedAt = 400;
constexpr size_t kHeadingBytes = 80;
constexpr size_t kGroups = 16;

class TBoxFinder {
 public:
  TBoxFinder(const std::vector<TPageItem>& items, const std::string& page, const std::vector<TResultBlock>& blocks)
      : items_(items), page_(page), blocks_(blocks) {}

  std::optional<TEngineBox> Find();

 private:
  struct TGroup {
    size_t first = 0;  // blocks_[first, last] are the group's
    size_t last = 0;
    size_t box = kNoClose;
    size_t heading = kNoClose;
  };

  bool Holds(size_t element, size_t item) const {
    return element < item && item < std::min(items_[element].close, items_.size());
  }
  std::vector<size_t> Ancestors(size_t item) const;
  size_t Container(size_t block) const;
  size_t Box(const TGroup& group) const;
  size_t Heading(const TGroup& group) const;
  std::string ElementText(size_t element, size_t end) const;
  std::string WrittenWord(size_t tag, size_t from, size_t before) const;

  const std::vector<TPageItem>& items_;
  const std::string& page_;
  const std::vector<TResultBlock>& blocks_;
};

std::vector<size_t> TBoxFinder::Ancestors(size_t item) const {
  std::vector<size_t> above;
  for (size_t at = items_[item].parent; at != kNoClose && above.size() < kLevels; at = items_[at].parent) {
    above.push_back(at);
  }
  return above;
}

// The innermost element that holds the block and a neighbouring one.
size_t TBoxFinder::Container(size_t block) const {
  const size_t start = blocks_[block].start;
  for (const size_t above : Ancestors(start)) {
    if ((block > 0 && Holds(above, blocks_[block - 1].start)) ||
        (block + 1 < blocks_.size() && Holds(above, blocks_[block + 1].start))) {
      return above;
    }
  }
  return kNoClose;
}

// The outermost element around the group's container that holds no block of another group.
size_t TBoxFinder::Box(const TGroup& group) const {
  const auto others = [&](size_t element) {
    for (size_t k = 0; k < blocks_.size(); ++k) {
      if ((k < group.first || k > group.last) && Holds(element, blocks_[k].start)) return true;
    }
    return false;
  };
  size_t box = Container(group.first);
  for (size_t levels = 0; box != kNoClose && items_[box].parent != kNoClose && levels < kLevels; ++levels) {
    if (others(items_[box].parent)) break;
    box = items_[box].parent;
  }
  return box;
}

std::string TBoxFinder::ElementText(size_t element, size_t end) const {
  std::string text;
  for (size_t i = element + 1; i < std::min(items_[element].close, end) && text.size() <= kHeadingBytes; ++i) {
    if (items_[i].name == "a") return {};  // a link: no heading
    if (!items_[i].isTag) text += SqueezeBlanks(items_[i].text);
  }
  return TrimControls(text);
}

// The first element in the box that ends before the group's first block and holds a short text and no
// link.
size_t TBoxFinder::Heading(const TGroup& group) const {
  const size_t firstBlock = blocks_[group.first].start;
  for (size_t i = group.box + 1; i < firstBlock && i < group.box + kLookedAt; ++i) {
    const TPageItem& item = items_[i];
    if (!item.isTag || item.name.starts_with('/') || item.name == "a" || item.close >= firstBlock) continue;
    const std::string text = ElementText(i, firstBlock);
    if (!text.empty() && text.size() <= kHeadingBytes && !item.klass.empty()) return i;
  }
  return kNoClose;
}

// The longest class word of the tag, as the page writes it, whose first occurrence in the page from
// `from` on lies at the tag or after it, before `before`; empty when none does.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the tag, then the stretch of the page, in order
std::string TBoxFinder::WrittenWord(size_t tag, size_t from, size_t before) const {
  std::string longest;
  for (const std::string& word : ClassWords(items_[tag].klass)) {
    const std::string written(AsWritten(items_[tag].klass, word));
    if (!FitsTemplateLine(written) || written.size() <= longest.size()) continue;
    const size_t at = page_.find(written, from);
    if (at != std::string::npos && at >= items_[tag].offset && at < before) longest = written;
  }
  return longest;
}

std::optional<TEngineBox> TBoxFinder::Find() {
  std::vector<TGroup> groups;
  size_t container = kNoClose;
  for (size_t k = 0; k < blocks_.size(); ++k) {
    const size_t here = Container(k);
    if (groups.empty() || here != container) groups.push_back({k, k, kNoClose, kNoClose});
    groups.back().last = k;
    container = here;
  }
  // A list with a box or two beside it, not blocks scattered over the page one or two to an element.
  if (groups.size() < 2 || groups.size() > kGroups) return std::nullopt;
  size_t plain = 0;
  for (TGroup& group : groups) {
    group.box = Box(group);
    if (group.box != kNoClose) group.heading = Heading(group);
    if (group.heading == kNoClose) plain += group.last - group.first + 1;
  }
  for (size_t g = 0; g < groups.size(); ++g) {
    const TGroup& group = groups[g];
    const size_t size = group.last - group.first + 1;
    if (group.heading == kNoClose || plain <= size) continue;
    // From the heading's class word (found once in the page) to the longest class word of what follows
    // the box whose first occurrence after the heading is past the box and before the next group.
    const TPageItem& heading = items_[group.heading];
    const std::string from = WrittenWord(group.heading, 0, heading.offset + heading.klass.size() + 64);
    if (from.empty() || page_.find(from, page_.find(from) + 1) != std::string::npos) continue;
    const size_t boxEnd = std::min(items_[group.box].close, items_.size());
    const size_t next = g + 1 < groups.size() ? blocks_[groups[g + 1].first].start : items_.size();
    const size_t before = next < items_.size() ? items_[next].offset : page_.size();
    std::string to;
    for (size_t i = boxEnd; i < next && i < boxEnd + kLookedAt; ++i) {
      if (!items_[i].isTag || items_[i].name.starts_with('/')) continue;
      const std::string word = WrittenWord(i, page_.find(from) + from.size(), before);
      if (word.size() > to.size()) to = word;
    }
    if (!to.empty()) return TEngineBox{ElementText(group.heading, items_.size()), from, to, size};
  }
  return std::nullopt;
}

}  // namespace

std::optional<TEngineBox> FindEngineBox(const std::vector<TPageItem>& items, const std::string& page,
                                        const std::vector<TResultBlock>& blocks) {
  return TBoxFinder(items, page, blocks).Find();
}

}  // namespace quorvex
