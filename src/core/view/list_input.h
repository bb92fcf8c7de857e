#pragma once

namespace quorvex {

// The keys the result list acts on; every other key passes through.
enum class TListKey { Down, Up, PageDown, PageUp, Home, End, Right, Left, Enter, N, Delete, Other };

// What a key asks of the list beyond moving the cursor.
enum class TListAction {
  None,
  EnlargeFont,
  DiminishFont,
  NextOrder,
  PreviousOrder,
  Open,           // the selected result online, default browser
  OpenNewWindow,  // the selected result online, new browser window
  Property,
  Delete
};

// The list's indexes into the view: selected result, first drawn result, last visible result.
struct TListCursor {
  int SelectedIndex = 0;
  int TopIndex = 0;
  int LastVisible = 0;
};

struct TKeyOutcome {
  bool Handled = false;
  TListAction Action = TListAction::None;
};

// Moves the cursor for a key over a view of count results. Nothing is handled without a view.
TKeyOutcome HandleListKey(TListKey key, bool ctrl, bool alt, bool hasView, int count, TListCursor& cursor);

// Font size steps: enlarging goes down to -6, diminishing up to +2, by 2.
inline constexpr int kFontDeltaMin = -6;
inline constexpr int kFontDeltaMax = 2;
int EnlargedFontDelta(int delta);
int DiminishedFontDelta(int delta);

// The order after Left (-1) or Right (+1) among the eight orders; stays at either end.
int SteppedSortMethod(int sortMethod, int step);

// One wheel step down (+1) or up (-1): the top index moves and stays inside the view.
int WheeledTopIndex(int topIndex, int step, int count);

}  // namespace quorvex
