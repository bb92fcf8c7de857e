#include "core/view/result_order.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/common/ascii.h"
#include "core/store/TOneResult.h"

namespace quorvex {
namespace {

template <typename T>
int Descending(T a, T b) {
  return a > b ? -1 : a < b ? 1 : 0;
}

// A date that is no number sorts as the oldest, so that the order stays a strict weak ordering.
double SortableDate(double date) { return std::isnan(date) ? -std::numeric_limits<double>::infinity() : date; }

// A result decorated for sorting: the method's own key, ascending, then its tie-break text folded into
// one shared buffer, where a plain byte comparison agrees with CompareFolded. Head and next pack the
// first sixteen folded bytes after the prefix all texts share, so most ties are settled by integer
// comparisons (a text that ends early packs zeros, which never sorts it later).
struct SortEntry {
  double primary;
  std::uint64_t head;
  std::uint64_t next;
  size_t textStart;
  size_t textSize;
  TOneResult* result;
};

constexpr int kByTitle = 3;
constexpr int kByEngines = 5;

double PrimaryKey(const TOneResult& result, int sortMethod) {
  switch (sortMethod) {
    case 1:
      return -static_cast<double>(result.Score);
    case 4:
      return -SortableDate(result.Found);
    case kByEngines:
      return -static_cast<double>(result.Engines.size());
    case 6:
      return -static_cast<double>(result.PageState);
    case 7:
      return -static_cast<double>(result.Visited);
    default:
      return 0;
  }
}

std::string_view TieText(const TOneResult& result, int sortMethod) {
  return sortMethod == kByTitle ? result.Title : result.Url;
}

// Kept between rebuilds, since a view is rebuilt at every paint.
struct SortScratch {
  std::vector<SortEntry> entries;
  std::vector<std::string_view> texts;
  std::string folded;

  std::string_view TextOf(const SortEntry& entry) const {
    return std::string_view(folded).substr(entry.textStart, entry.textSize);
  }
};

// Upper-cases a to z of src into dst, eight bytes at a time: the sort folds every text of a view at
// every paint. A byte is a lower-case letter when adding (0x80 - 'a') to its low seven bits sets bit 7,
// adding (0x80 - 'z' - 1) does not, and its own bit 7 is clear; such a byte loses 0x20.
void FoldInto(char* dst, std::string_view src) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  size_t i = 0;
  for (; i + 8 <= src.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, src.data() + i, 8);
    const std::uint64_t low = word & (0x7F * kOnes);
    const std::uint64_t lower =
        ((low + (0x80 - 'a') * kOnes) ^ (low + (0x80 - 'z' - 1) * kOnes)) & ~word & (0x80 * kOnes);
    word ^= lower >> 2;
    std::memcpy(dst + i, &word, 8);
  }
  for (; i < src.size(); ++i) dst[i] = AsciiToUpper(src[i]);
}

// Two passes, so that the loads of the records and then of their texts overlap instead of waiting for
// each other: the results of a large view rarely sit in the cache.
void Decorate(const std::vector<TOneResult*>& view, int sortMethod, SortScratch& scratch) {
  scratch.entries.clear();
  scratch.texts.clear();
  size_t total = 0;
  for (TOneResult* result : view) {
    const std::string_view text = sortMethod == kByEngines ? std::string_view() : TieText(*result, sortMethod);
    scratch.entries.push_back({PrimaryKey(*result, sortMethod), 0, 0, total, text.size(), result});
    scratch.texts.push_back(text);
    total += text.size();
  }
  constexpr size_t kLookAhead = 8;
  scratch.folded.resize(total);
  for (size_t i = 0; i < scratch.texts.size(); ++i) {
    if (i + kLookAhead < scratch.texts.size()) __builtin_prefetch(scratch.texts[i + kLookAhead].data());
    FoldInto(scratch.folded.data() + scratch.entries[i].textStart, scratch.texts[i]);
  }
}

size_t SharedPrefix(const SortScratch& scratch) {
  if (scratch.entries.empty()) return 0;
  std::string_view shared = scratch.TextOf(scratch.entries.front());
  for (const SortEntry& entry : scratch.entries) {
    const std::string_view text = scratch.TextOf(entry);
    const size_t common = std::min(shared.size(), text.size());
    shared = shared.substr(
        0, static_cast<size_t>(std::mismatch(shared.begin(), shared.begin() + common, text.begin()).first -
                               shared.begin()));
  }
  return shared.size();
}

std::uint64_t PackedHead(std::string_view text) {
  std::uint64_t head = 0;
  for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
  return head;
}

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  size_t i = 0;
  for (;;) {
    // Equal bytes are equal folded too: skip them in bulk and fold only where the texts differ.
    i = static_cast<size_t>(std::mismatch(a.begin() + i, a.begin() + common, b.begin() + i).first - a.begin());
    if (i == common) break;
    const auto x = static_cast<unsigned char>(AsciiToUpper(a[i]));
    const auto y = static_cast<unsigned char>(AsciiToUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareResults(const TOneResult& a, const TOneResult& b, int sortMethod) {
  int order = 0;
  switch (sortMethod) {
    case 1:
      order = Descending(a.Score, b.Score);
      break;
    case 3:
      return CompareFolded(a.Title, b.Title);
    case 4:
      order = Descending(SortableDate(a.Found), SortableDate(b.Found));
      break;
    case 5:
      return Descending(a.Engines.size(), b.Engines.size());
    case 6:
      order = Descending(a.PageState, b.PageState);
      break;
    case 7:
      order = Descending(a.Visited, b.Visited);
      break;
    default:
      break;
  }
  return order != 0 ? order : CompareFolded(a.Url, b.Url);
}

void SortView(std::vector<TOneResult*>& view, int sortMethod) {
  thread_local SortScratch scratch;
  Decorate(view, sortMethod, scratch);
  const size_t shared = SharedPrefix(scratch);
  for (SortEntry& entry : scratch.entries) {
    const std::string_view rest = scratch.TextOf(entry).substr(shared);
    entry.head = PackedHead(rest);
    entry.next = PackedHead(rest.substr(std::min<size_t>(8, rest.size())));
  }
  std::sort(scratch.entries.begin(), scratch.entries.end(), [sortMethod](const SortEntry& a, const SortEntry& b) {
    if (a.primary != b.primary) return a.primary < b.primary;
    if (sortMethod == kByEngines) return false;
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    return scratch.TextOf(a).compare(scratch.TextOf(b)) < 0;
  });
  for (size_t i = 0; i < view.size(); ++i) view[i] = scratch.entries[i].result;
}

}  // namespace quorvex
