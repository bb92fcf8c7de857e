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
