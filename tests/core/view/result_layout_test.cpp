#include "core/view/result_layout.h"

#include <gtest/gtest.h>

#include "core/store/TOneResult.h"
#include "core/view/keyword_hits.h"

using namespace quorvex;

namespace {

// ASCII 10 pixels wide, any other character 20; rows 16 high (the keyword font 20, the summary font 8).
class FixedMeasure : public TTextMeasure {
 public:
  int Width(TListRole /*role*/, std::string_view bytes, TTextCoding /*coding*/) const override {
    int width = 0;
    for (size_t i = 0; i < bytes.size(); ++i) width += static_cast<unsigned char>(bytes[i]) < 128 ? 10 : 0;
    return width > 0 ? width : 20;
  }
  int Height(TListRole role) const override {
    if (role == TListRole::Hilight) return 20;
    return role == TListRole::Summary ? 8 : 16;
  }
};

TOneResult Result(std::string title, std::string summary = "s", std::string url = "http://a.com") {
  TOneResult result;
  result.Title = std::move(title);
  result.Summary = std::move(summary);
  result.Url = std::move(url);
  result.Engines = "Alpha";
  return result;
}

struct Fixture {
  FixedMeasure measure;
  std::vector<std::string> words;
  TLayoutParams Params(int drawWidth, int summaryLines = 5) { return {drawWidth, summaryLines, &words, &measure}; }
};

// The runs of one field, in order.
std::vector<TTextRun> RunsOf(const TResultLayout& layout, TListField field) {
  std::vector<TTextRun> runs;
  for (const TTextRun& run : layout.Runs) {
    if (run.Field == field) runs.push_back(run);
  }
  return runs;
}

// Every run of the field starts and ends on a character boundary, the runs cover the text in order,
// and the text takes more than one row.
void ExpectWholeCharacters(const TResultLayout& layout, TListField field, const std::string& text) {
  const TTextCoding coding = CodingOf(text);
  size_t covered = 0;
  int rows = 0;
  int lastY = -1;
  for (const TTextRun& run : RunsOf(layout, field)) {
    EXPECT_EQ(run.Begin, covered);
    EXPECT_EQ(CharStartAtOrBefore(text, run.Begin, coding), run.Begin);
    if (run.End < text.size()) {
      EXPECT_EQ(CharStartAtOrBefore(text, run.End, coding), run.End);
    }
    if (run.Y != lastY) ++rows;
    lastY = run.Y;
    covered = run.End;
  }
  EXPECT_EQ(covered, text.size());
  EXPECT_GT(rows, 2);
}

}  // namespace

TEST(ResultLayout, LongTitlesWrapByWholeCharacters) {
  Fixture fixture;
  // GB: an ASCII letter first, so that every two-byte character starts at an odd byte position; the
  // width leaves room for an odd number of byte-columns, which a byte-wise wrap would split.
  std::string gb = "a";
  for (int i = 0; i < 40; ++i) gb += "\xD6\xD0";
  ExpectWholeCharacters(LayoutResult(Result(gb), 0, fixture.Params(215)), TListField::Title, gb);

  std::string utf8 = "b";
  for (int i = 0; i < 30; ++i) utf8 += i % 2 == 0 ? "\xE4\xB8\xAD" : "\xF0\x9F\x98\x80";
  const TResultLayout layout = LayoutResult(Result(utf8), 0, fixture.Params(215));
  EXPECT_EQ(layout.TitleCoding, TTextCoding::Utf8);
  ExpectWholeCharacters(layout, TListField::Title, utf8);
}

TEST(ResultLayout, HitsAreFoundOnBytesAndCoverWholeCharacters) {
  Fixture fixture;
  fixture.words = HighlightWords("net");
  const TResultLayout layout = LayoutResult(Result("DOTNET NEWS"), 0, fixture.Params(1000));
  std::vector<TTextRun> hits;
  for (const TTextRun& run : RunsOf(layout, TListField::Title)) {
    if (run.Hit) hits.push_back(run);
  }
  ASSERT_EQ(hits.size(), 1U);
  EXPECT_EQ(hits[0].Begin, 3U);
  EXPECT_EQ(hits[0].End, 6U);
  EXPECT_EQ(hits[0].Role, TListRole::Hilight);
  // The hit row takes the keyword font's height.
  EXPECT_EQ(layout.TitleBottom, 2 + 20 + 2);

  // A hit on the second byte of a GBK character colours that whole character.
  fixture.words = {"A"};
  const std::string gbk =
      "x\x81"
      "Ay";
  const TResultLayout inside = LayoutResult(Result(gbk), 0, fixture.Params(1000));
  const std::vector<TTextRun> runs = RunsOf(inside, TListField::Title);
  ASSERT_EQ(runs.size(), 3U);
  EXPECT_TRUE(runs[1].Hit);
  EXPECT_EQ(runs[1].Begin, 1U);
  EXPECT_EQ(runs[1].End, 3U);
}

TEST(ResultLayout, SummaryRowsIconsAndLimits) {
  Fixture fixture;
  TOneResult result = Result("T", "short");
  result.Language = kLanguageGB | kLanguageEnglish;
  result.PageState = kPageFailed;
  const TResultLayout layout = LayoutResult(result, 4, fixture.Params(1000));
  EXPECT_EQ(layout.Number, "5.");
  ASSERT_EQ(layout.Icons.size(), 3U);
  EXPECT_EQ(layout.Icons[0].Cell, 3);
  EXPECT_EQ(layout.Icons[1].Cell, 5);
  EXPECT_EQ(layout.Icons[2].Cell, 2);
  // After "short" (50 pixels): 4 + 50 + 4, then a pitch of 19.
  EXPECT_EQ(layout.Icons[0].X, kListLeft + 54);
  EXPECT_EQ(layout.Icons[1].X, kListLeft + 73);
  // The summary font is 8 high but a row with icons is at least 12: title 2 + 16 + 2, summary 12 + 2,
  // URL 16 + 2, grid, 2.
  EXPECT_EQ(layout.GridY, 20 + 14 + 18);
  EXPECT_EQ(layout.Height, layout.GridY + 2);

  // Two summary rows at most; none at all with 0.
  const std::string longSummary(300, 'x');
  const TResultLayout limited = LayoutResult(Result("T", longSummary), 0, fixture.Params(500, 2));
  const std::vector<TTextRun> rows = RunsOf(limited, TListField::Summary);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_LT(rows[1].End, longSummary.size());
  EXPECT_TRUE(RunsOf(LayoutResult(Result("T", longSummary), 0, fixture.Params(500, 0)), TListField::Summary).empty());
}

TEST(ResultLayout, FrameAndHitTesting) {
  Fixture fixture;
  std::vector<TOneResult> results(10, Result("T"));
  std::vector<TOneResult*> view;
  for (TOneResult& result : results) view.push_back(&result);
  const int itemHeight = LayoutResult(results[0], 0, fixture.Params(500)).Height;

  // All three fit: clicks below the last one select it.
  std::vector<TOneResult*> three(view.begin(), view.begin() + 3);
  const TListFrame small = LayoutList(three, {0, 0}, 1000, fixture.Params(500));
  EXPECT_EQ(small.LastVisible, 2);
  EXPECT_EQ(ResultAt(small, 999), 2);
  EXPECT_EQ(ResultAt(small, itemHeight + 1), 1);
  EXPECT_EQ(ResultAt(small, 0), 0);

  // The fourth result's title is cut by the bottom: the third is the last visible, and a selection on
  // the fourth moves up to it.
  const TListFrame cut = LayoutList(view, {4, 1}, 3 * itemHeight + 5, fixture.Params(500));
  EXPECT_EQ(cut.LastVisible, 3);
  EXPECT_EQ(cut.SelectedIndex, 3);
  EXPECT_EQ(cut.ItemTops[1], 1);
  EXPECT_EQ(cut.ItemTops[2], itemHeight + 1);
  EXPECT_EQ(cut.Items.size(), 4U);
}
