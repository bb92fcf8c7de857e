#include "core/view/list_input.h"

#include <algorithm>

#include "core/view/result_order.h"

namespace quorvex {

TKeyOutcome HandleListKey(TListKey key, bool ctrl, bool alt, bool hasView, int count, TListCursor& cursor) {
  if (!hasView) return {};
  const int last = std::max(count - 1, 0);
  switch (key) {
    case TListKey::Down:
      if (cursor.SelectedIndex < count - 1) ++cursor.SelectedIndex;
      if (cursor.SelectedIndex > cursor.LastVisible) ++cursor.TopIndex;
      return {true};
    case TListKey::Up:
      if (cursor.SelectedIndex > 0) --cursor.SelectedIndex;
      cursor.TopIndex = std::min(cursor.TopIndex, cursor.SelectedIndex);
      return {true};
    case TListKey::PageDown:
      cursor.TopIndex = std::min(cursor.TopIndex + 5, last);
      cursor.SelectedIndex = std::min(cursor.SelectedIndex + 5, last);
      return {true};
    case TListKey::PageUp:
      cursor.TopIndex = std::max(cursor.TopIndex - 5, 0);
      cursor.SelectedIndex = std::max(cursor.SelectedIndex - 5, 0);
      return {true};
    case TListKey::Home:
      cursor.TopIndex = cursor.SelectedIndex = 0;
      return {true};
    case TListKey::End:
      cursor.TopIndex = std::max(count - 5, 0);
      cursor.SelectedIndex = last;
      return {true};
    case TListKey::Right:
      return {true, ctrl ? TListAction::EnlargeFont : TListAction::NextOrder};
    case TListKey::Left:
      return {true, ctrl ? TListAction::DiminishFont : TListAction::PreviousOrder};
    case TListKey::Enter:
      if (alt) return {true, TListAction::Property};
      return {true, ctrl ? TListAction::OpenNewWindow : TListAction::Open};
    case TListKey::N:
      return {true, TListAction::OpenNewWindow};
    case TListKey::Delete:
      return {true, TListAction::Delete};
    case TListKey::Other:
      break;
  }
  return {};
}

int EnlargedFontDelta(int delta) { return delta > kFontDeltaMin ? delta - 2 : delta; }
int DiminishedFontDelta(int delta) { return delta < kFontDeltaMax ? delta + 2 : delta; }

int SteppedSortMethod(int sortMethod, int step) {
  const int last = static_cast<int>(SortMethodNames.size()) - 1;
  return std::clamp(sortMethod + step, 0, last);
}

int WheeledTopIndex(int topIndex, int step, int count) {
  return std::clamp(topIndex + step, 0, std::max(count - 1, 0));
}

}  // namespace quorvex
