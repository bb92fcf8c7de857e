#include "core/view/result_view.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "core/store/TOneKey.h"
#include "core/view/TFilter.h"
#include "core/view/list_look.h"
#include "core/view/result_order.h"
#include "core/view/score_text.h"

using namespace quorvex;

namespace {

class ResultView : public ::testing::Test {
 protected:
  void SetUp() override {
    // url, title, score, engines, page state, visited, found. Download order: a B c d e.
    Add("http://a.com/x", "Zeta abc", 50, "Alpha", kPageNone, 0, 45000.5);
    Add("http://B.com", "alpha ABC", 50, "Alpha;Beta;Gamma", kPageFailed, 1, 45002.5);
    Add("http://c.com", "Mid", 90, "Beta", kPageVerified, 0, 45001.5);
    Add("http://d.com/\xB0\xA1", "\xB0\xA1 title", 10, "AlphaBet", kPageDownloaded, 1, 45003.5);
    Add("http://e.com", "end", 50, "Gamma;Be", kPageNone, 0, 45001.5);
  }

  void Add(const std::string& url, const std::string& title, int score, const std::string& engines,
           std::uint8_t pageState, std::uint8_t visited, double found) {
    TOneResult& result = key_.Results.Add(TResultList::KeyOf(url), TOneResult{});
    result = {title, url, "summary of " + url, 0, engines, score, "", visited, pageState, found, 0, 0};
  }

  // The first letter of each shown result's host.
  std::string Shown(const TFilter& filter, int sortMethod) {
    RebuildView(&key_, filter, sortMethod, cursor_);
    std::string hosts;
    for (const TOneResult* result : key_.View) hosts += result->Url[7];
    return hosts;
  }

  TOneKey key_{"k", 45000, 0, 0};
  ViewCursor cursor_;
};

}  // namespace

TEST_F(ResultView, FilterRulesAreCaseSensitiveSubstringsAndFlags) {
  TFilter filter;
  EXPECT_EQ(Shown(filter, 0), "aBcde");
  EXPECT_EQ(Shown(filter, -1), "aBcde");
  filter.Contains = "abc";
  EXPECT_EQ(Shown(filter, 0), "a");  // found in a title only; "ABC" does not count
  filter.Contains = "of http://c";
  EXPECT_EQ(Shown(filter, 0), "c");
  filter.Contains = ".com";
  filter.Engine = "Alpha";  // a short name matches a longer one
  EXPECT_EQ(Shown(filter, 0), "aBd");
  filter.DownloadedOnly = true;  // failed pages count as downloaded
  EXPECT_EQ(Shown(filter, 0), "Bd");
  filter.Engine.clear();
  filter.VisitedOnly = true;
  EXPECT_EQ(Shown(filter, 0), "Bd");
}

TEST_F(ResultView, EightOrders) {
  const TFilter none;
  EXPECT_EQ(Shown(none, 1), "caBed");  // score, ties by URL with letters folded
  EXPECT_EQ(Shown(none, 2), "aBcde");
  EXPECT_EQ(Shown(none, 3), "Becad");  // high bytes after the letters
  EXPECT_EQ(Shown(none, 4), "dBcea");  // newest first, ties by URL
  EXPECT_EQ(Shown(none, 6), "Bcdae");  // failed, verified, downloaded, none
  EXPECT_EQ(Shown(none, 7), "Bdace");
  EXPECT_EQ(Shown(none, 42), "aBcde");  // any other method sorts by URL
  const std::string byEngines = Shown(none, 5);
  EXPECT_EQ(byEngines[0], 'B');
  EXPECT_EQ(byEngines.substr(3), "ac");   // "AlphaBet" and "Gamma;Be" tie: either order
  EXPECT_LT(CompareFolded("z", "_"), 0);  // 'z' folds to 'Z' (0x5A), before '_' (0x5F)
  EXPECT_LT(CompareFolded("\xC1", "\xE1"), 0);
  EXPECT_LT(CompareFolded("ab", "AB!"), 0);
}

TEST_F(ResultView, CursorStaysInsideTheViewAndFindMovesItWithoutWrapping) {
  cursor_ = {9, -7};
  Shown(TFilter(), 0);
  EXPECT_EQ(cursor_.SelectedIndex, 4);
  EXPECT_EQ(cursor_.TopIndex, 0);
  EXPECT_FALSE(Find(&key_, "ABC", false, false, cursor_));  // the last is selected: nothing changes
  EXPECT_EQ(cursor_.SelectedIndex, 4);
  EXPECT_TRUE(Find(&key_, "abc", true, false, cursor_));
  EXPECT_EQ(cursor_.SelectedIndex, 0);
  EXPECT_TRUE(Find(&key_, "ABC", false, false, cursor_));
  EXPECT_EQ(cursor_.SelectedIndex, 1);
  EXPECT_EQ(cursor_.TopIndex, 1);
  EXPECT_FALSE(Find(&key_, "ABC", false, false, cursor_));
  EXPECT_TRUE(Find(&key_, "E.COM", false, true, cursor_));  // folded, in a URL
  EXPECT_EQ(cursor_.SelectedIndex, 4);
  EXPECT_FALSE(Find(&key_, "", true, false, cursor_));
  EXPECT_FALSE(Find(nullptr, "abc", true, false, cursor_));
  cursor_ = {INT_MAX, 0};
  EXPECT_FALSE(Find(&key_, "Zeta", false, false, cursor_));

  TFilter nothing;
  nothing.Contains = "no such text";
  EXPECT_EQ(Shown(nothing, 1), "");
  EXPECT_EQ(cursor_.SelectedIndex, 0);
  EXPECT_EQ(cursor_.TopIndex, 0);
}

TEST(ScoreText, PercentageOfTheArcTangentWithAFloorOfTen) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed: the separator must stay a point
  EXPECT_EQ(ScoreText(7), "10.00%");
  EXPECT_EQ(ScoreText(INT_MIN), "10.00%");
  EXPECT_EQ(ScoreText(8), "20.83%");
  EXPECT_EQ(ScoreText(100), "93.63%");
  EXPECT_EQ(ScoreText(INT_MAX), "100.00%");
  std::setlocale(LC_ALL, "C");
}

// A face with a quote in it (read from an unquoted item) is saved so that it reads back.
TEST(FontText, FaceWithAQuoteReadsBack) {
  TFontSpec font;
  FontFromText("255,1,-12,3,tat\"x\"", font, kFontDefaults[0]);
  ASSERT_EQ(font.Face, "tat\"x\"");
  TFontSpec reread;
  FontFromText(FontToText(font), reread, kFontDefaults[0]);
  EXPECT_EQ(reread, font);
}
