#pragma once
#include <string_view>

namespace quorvex {

class TFilter;
class TOneKey;

// The result list's selected and top index into a keyword's view list.
struct ViewCursor {
  int SelectedIndex = 0;
  int TopIndex = 0;
};

// Rebuilds key's View: the results that pass the filter, in stored order, then sorted by the sort
// method when it is 1 or more (not a stable sort). Then brings both cursor indexes inside the view
// (0 for an empty one). Without a key nothing happens.
void RebuildView(TOneKey* key, const TFilter& filter, int sortMethod, ViewCursor& cursor);

// Looks for text in the URL, title or summary of the view's results, from the top or from the result
// after the selected one, folding a to z when foldCase is set; the text as typed (GB) and in UTF-8. At the first match both cursor indexes
// become its index and the result is true; otherwise nothing changes. Empty text never matches; there
// is no wrap-around.
bool Find(const TOneKey* key, std::string_view text, bool fromTop, bool foldCase, ViewCursor& cursor);

}  // namespace quorvex
