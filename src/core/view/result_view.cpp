#include "core/view/result_view.h"

#include <algorithm>

#include "core/common/ascii.h"
#include "core/common/utf8.h"
#include "core/store/TOneKey.h"
#include "core/view/TFilter.h"
#include "core/view/result_order.h"

namespace quorvex {
namespace {

int ClampToView(int index, size_t count) {
  if (index >= 0 && static_cast<size_t>(index) >= count) index = static_cast<int>(count) - 1;
  return std::max(index, 0);
}

bool Occurs(std::string_view text, std::string_view part, bool foldCase) {
  return (foldCase ? FindIgnoreCase(text, part) : text.find(part)) != std::string_view::npos;
}

bool OccursInResult(const TOneResult& result, std::string_view part, bool foldCase) {
  return Occurs(result.Url, part, foldCase) || Occurs(result.Title, part, foldCase) ||
         Occurs(result.Summary, part, foldCase);
}

}  // namespace

void RebuildView(TOneKey* key, const TFilter& filter, int sortMethod, ViewCursor& cursor) {
  if (key == nullptr) return;
  std::vector<TOneResult*>& view = key->View;
  view.clear();
  for (size_t i = 0; i < key->Results.Count(); ++i) {
    if (filter.Passes(key->Results[i])) view.push_back(&key->Results[i]);
  }
  if (sortMethod >= 1) SortView(view, sortMethod);
  cursor.SelectedIndex = ClampToView(cursor.SelectedIndex, view.size());
  cursor.TopIndex = ClampToView(cursor.TopIndex, view.size());
}

bool Find(const TOneKey* key, std::string_view text, bool fromTop, bool foldCase, ViewCursor& cursor) {
  if (key == nullptr || text.empty()) return false;
  const std::vector<TOneResult*>& view = key->View;
  // Typed text is GB; results of UTF-8 engines hold the same characters in UTF-8.
  const std::string utf8 = Gb18030ToUtf8(text);
  // From the current position a cursor before the view starts at the top.
  const long long start = fromTop ? 0 : std::max(0LL, static_cast<long long>(cursor.SelectedIndex) + 1);
  for (size_t i = static_cast<size_t>(start); i < view.size(); ++i) {
    const TOneResult& result = *view[i];
    if (OccursInResult(result, text, foldCase) || (!utf8.empty() && OccursInResult(result, utf8, foldCase))) {
      cursor.SelectedIndex = cursor.TopIndex = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

}  // namespace quorvex
