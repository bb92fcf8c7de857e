#include "core/view/list_input.h"

#include <gtest/gtest.h>

using namespace quorvex;

namespace {

TListCursor Press(TListKey key, int count, TListCursor cursor, bool ctrl = false) {
  HandleListKey(key, ctrl, false, true, count, cursor);
  return cursor;
}

void ExpectCursor(const TListCursor& cursor, int selected, int top) {
  EXPECT_EQ(cursor.SelectedIndex, selected);
  EXPECT_EQ(cursor.TopIndex, top);
}

}  // namespace

TEST(ListInput, KeyTableOnEmptyThreeAndTenResults) {
  // No keyword: nothing is handled. An empty view: moves stay at 0.
  TListCursor none;
  EXPECT_FALSE(HandleListKey(TListKey::Down, false, false, false, 0, none).Handled);
  for (const TListKey key : {TListKey::Down, TListKey::Up, TListKey::Home, TListKey::End, TListKey::PageDown}) {
    ExpectCursor(Press(key, 0, {}), 0, 0);
  }
  EXPECT_FALSE(HandleListKey(TListKey::Other, false, false, true, 0, none).Handled);

  ExpectCursor(Press(TListKey::End, 3, {0, 0, 2}), 2, 0);
  ExpectCursor(Press(TListKey::Down, 3, {2, 0, 2}), 2, 0);
  ExpectCursor(Press(TListKey::Up, 3, {0, 0, 2}), 0, 0);
  ExpectCursor(Press(TListKey::PageDown, 3, {1, 0, 2}), 2, 2);

  ExpectCursor(Press(TListKey::PageDown, 10, {8, 6, 9}), 9, 9);
  ExpectCursor(Press(TListKey::PageUp, 10, {3, 7, 9}), 0, 2);
  ExpectCursor(Press(TListKey::End, 10, {0, 0, 3}), 9, 5);
  ExpectCursor(Press(TListKey::Home, 10, {9, 5, 9}), 0, 0);
  // Down past the last visible result scrolls by one; Up above the top makes it the top.
  ExpectCursor(Press(TListKey::Down, 10, {3, 0, 3}), 4, 1);
  ExpectCursor(Press(TListKey::Up, 10, {5, 5, 8}), 4, 4);

  TListCursor cursor{2, 1, 4};
  EXPECT_EQ(HandleListKey(TListKey::Right, true, false, true, 10, cursor).Action, TListAction::EnlargeFont);
  EXPECT_EQ(HandleListKey(TListKey::Left, false, false, true, 10, cursor).Action, TListAction::PreviousOrder);
  EXPECT_EQ(HandleListKey(TListKey::Enter, false, true, true, 10, cursor).Action, TListAction::Property);
  EXPECT_EQ(HandleListKey(TListKey::Enter, true, false, true, 10, cursor).Action, TListAction::OpenNewWindow);
  EXPECT_EQ(HandleListKey(TListKey::N, false, false, true, 10, cursor).Action, TListAction::OpenNewWindow);
  EXPECT_EQ(HandleListKey(TListKey::Delete, false, false, true, 10, cursor).Action, TListAction::Delete);
  ExpectCursor(cursor, 2, 1);
}

TEST(ListInput, FontOrderAndWheelSteps) {
  EXPECT_EQ(EnlargedFontDelta(0), -2);
  EXPECT_EQ(EnlargedFontDelta(EnlargedFontDelta(-2)), -6);
  EXPECT_EQ(EnlargedFontDelta(-6), -6);
  EXPECT_EQ(DiminishedFontDelta(0), 2);
  EXPECT_EQ(DiminishedFontDelta(2), 2);

  EXPECT_EQ(SteppedSortMethod(7, 1), 7);
  EXPECT_EQ(SteppedSortMethod(0, -1), 0);
  EXPECT_EQ(SteppedSortMethod(3, 1), 4);

  EXPECT_EQ(WheeledTopIndex(0, -1, 10), 0);
  EXPECT_EQ(WheeledTopIndex(9, 1, 10), 9);
  EXPECT_EQ(WheeledTopIndex(4, 1, 10), 5);
  EXPECT_EQ(WheeledTopIndex(0, 1, 0), 0);
}
