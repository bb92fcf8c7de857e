#include "core/view/result_view.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <functional>
#include <set>

#include "core/common/file_io.h"
#include "core/common/utf8.h"
#include "core/store/TOneKey.h"
#include "core/store/TOneResult.h"
#include "core/view/TFilter.h"
#include "core/view/html_export.h"
#include "core/view/keyword_hits.h"
#include "core/view/list_input.h"
#include "core/view/list_look.h"
#include "core/view/result_layout.h"
#include "core/view/result_order.h"
#include "core/view/score_text.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the fields in the order of a result's line
void Add(TOneKey& key, const std::string& url, const std::string& title, const std::string& summary, int score,
         const std::string& engines, std::uint8_t pageState = kPageNone, std::uint8_t visited = 0, double found = 0) {
  TOneResult& result = key.Results.Add(TResultList::KeyOf(url), TOneResult{});
  result = {title, url, summary, 0, engines, score, "", visited, pageState, found, 0, 0};
}

class ResultView : public ::testing::Test {
 protected:
  void SetUp() override {
    // url, title, summary, score, engines, page state, visited, found. Download order: a B c d e.
    Add(key_, "http://a.com/x", "Zeta abc", "summary of http://a.com/x", 50, "Alpha", kPageNone, 0, 45000.5);
    Add(key_, "http://B.com", "alpha ABC", "s", 50, "Alpha;Beta;Gamma", kPageFailed, 1, 45002.5);
    Add(key_, "http://c.com", "Mid", "summary of http://c.com", 90, "Beta", kPageVerified, 0, 45001.5);
    Add(key_, "http://d.com/\xB0\xA1", "\xB0\xA1 title", "s", 10, "AlphaBet", kPageDownloaded, 1, 45003.5);
    Add(key_, "http://e.com", "end", "s", 50, "Gamma;Be", kPageNone, 0, 45001.5);
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

TEST_F(ResultView, TypedGbTextFindsAndFiltersResultsOfUtf8EnginesToo) {
  key_.Results[4].Title = "\xE5\x95\x8A end";  // the GB character B0 A1 in UTF-8
  key_.Results[2].Title = "\xE5\xAD\xA6";      // GB D1 A7, whose bytes are valid UTF-8 as well
  TFilter filter;
  filter.Contains = "\xB0\xA1";
  EXPECT_EQ(Shown(filter, 0), "de");
  filter.Contains = "\xD1\xA7";
  EXPECT_EQ(Shown(filter, 0), "c");
  filter.Contains = "\x80";  // no character at all: nothing beyond the bytes themselves
  EXPECT_EQ(Shown(filter, 0), "");
  Shown(TFilter(), 0);
  EXPECT_TRUE(Find(&key_, "\xB0\xA1", true, true, cursor_) && cursor_.SelectedIndex == 3);
  EXPECT_TRUE(Find(&key_, "\xB0\xA1", false, true, cursor_) && cursor_.SelectedIndex == 4);
  EXPECT_FALSE(Find(&key_, "\x80", true, true, cursor_));
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
  EXPECT_TRUE(byEngines[0] == 'B' && byEngines.substr(3) == "ac");  // "AlphaBet" and "Gamma;Be" tie: either order
  // 'z' folds to 'Z' (0x5A), before '_' (0x5F); only a to z fold.
  EXPECT_TRUE(CompareFolded("z", "_") < 0 && CompareFolded("\xC1", "\xE1") < 0 && CompareFolded("ab", "AB!") < 0);
}

TEST_F(ResultView, CursorStaysInsideTheViewAndFindMovesItWithoutWrapping) {
  const auto at = [this](int row, int top) { return cursor_.SelectedIndex == row && cursor_.TopIndex == top; };
  cursor_ = {9, -7};
  Shown(TFilter(), 0);
  EXPECT_TRUE(at(4, 0));
  EXPECT_TRUE(!Find(&key_, "ABC", false, false, cursor_) && cursor_.SelectedIndex == 4);  // the last is selected
  EXPECT_TRUE(Find(&key_, "abc", true, false, cursor_) && cursor_.SelectedIndex == 0);
  EXPECT_TRUE(Find(&key_, "ABC", false, false, cursor_) && at(1, 1));
  EXPECT_FALSE(Find(&key_, "ABC", false, false, cursor_));
  EXPECT_TRUE(Find(&key_, "E.COM", false, true, cursor_) && cursor_.SelectedIndex == 4);  // folded, in a URL
  EXPECT_FALSE(Find(&key_, "", true, false, cursor_) || Find(nullptr, "abc", true, false, cursor_));
  cursor_ = {INT_MAX, 0};
  EXPECT_FALSE(Find(&key_, "Zeta", false, false, cursor_));

  TFilter nothing;
  nothing.Contains = "no such text";
  EXPECT_EQ(Shown(nothing, 1), "");
  EXPECT_TRUE(at(0, 0));
}

TEST(ListKeys, DownScrollsOnlyPastTheLastFullyVisibleResultAndUpKeepsTheSelectionShown) {
  TListCursor cursor{3, 0, 4};
  HandleListKey(TListKey::Down, false, false, true, 10, cursor);
  EXPECT_TRUE(cursor.SelectedIndex == 4 && cursor.TopIndex == 0);  // the last fully visible result: no scroll yet
  HandleListKey(TListKey::Down, false, false, true, 10, cursor);
  EXPECT_TRUE(cursor.SelectedIndex == 5 && cursor.TopIndex == 1);
  cursor = {1, 1, 5};
  HandleListKey(TListKey::Up, false, false, true, 10, cursor);
  EXPECT_EQ(cursor.TopIndex, 0);
  EXPECT_FALSE(HandleListKey(TListKey::Down, false, false, false, 0, cursor).Handled);
}

TEST(ScoreText, PercentageOfTheArcTangentWithAFloorOfTen) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed: the separator must stay a point
  EXPECT_TRUE(ScoreText(7) == "10.00%" && ScoreText(INT_MIN) == "10.00%");
  EXPECT_TRUE(ScoreText(8) == "20.83%" && ScoreText(INT_MAX) == "100.00%");
  std::setlocale(LC_ALL, "C");
}

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
    return role == TListRole::Hilight ? 20 : role == TListRole::Summary ? 8 : 16;
  }
};

TOneResult Result(std::string title, std::string summary = "s") {
  return TOneResult{std::move(title), "http://a.com", std::move(summary), 0, "Alpha", 0, ""};
}

struct Fixture {
  FixedMeasure measure;
  std::vector<std::string> words;
  TLayoutParams Params(int drawWidth, int summaryLines = 5) { return {drawWidth, summaryLines, &words, &measure}; }
};

// The runs of one field, in order.
std::vector<TTextRun> RunsOf(const TResultLayout& layout, TListField field) {
  std::vector<TTextRun> runs;
  std::copy_if(layout.Runs.begin(), layout.Runs.end(), std::back_inserter(runs),
               [field](const TTextRun& run) { return run.Field == field; });
  return runs;
}

// The runs of the field cover the text in order, each starting where isStart says a character starts,
// on more than two rows.
void ExpectWholeCharacters(const TResultLayout& layout, TListField field, const std::string& text,
                           const std::function<bool(size_t)>& isStart) {
  size_t covered = 0;
  std::set<int> rows;
  for (const TTextRun& run : RunsOf(layout, field)) {
    EXPECT_TRUE(run.Begin == covered && isStart(run.Begin)) << run.Begin;
    covered = run.End;
    rows.insert(run.Y);
  }
  EXPECT_TRUE(covered == text.size() && rows.size() > 2u);
}

}  // namespace

TEST(ResultLayout, TitlesWrapByWholeCharactersAFullRowDoesNotWrapAndHitsCoverWholeCharacters) {
  Fixture fixture;
  // GB: an ASCII letter first, so that every two-byte character starts at an odd byte position; rows
  // of many widths, so that a byte-wise wrap would split a character somewhere. 0x40 is the lowest
  // trail byte.
  std::string gb = "a";
  for (int i = 0; i < 40; ++i) gb += i % 2 == 0 ? "\xD6\xD0" : "\x81\x40";
  for (int width = 200; width < 240; ++width) {
    ExpectWholeCharacters(LayoutResult(Result(gb), 0, fixture.Params(width)), TListField::Title, gb,
                          [](size_t at) { return at == 0 || at % 2 == 1; });
  }

  std::string utf8 = "b";
  for (int i = 0; i < 30; ++i) utf8 += i % 2 == 0 ? "\xE4\xB8\xAD" : "\xF0\x9F\x98\x80";
  const TResultLayout layout = LayoutResult(Result(utf8), 0, fixture.Params(215));
  EXPECT_EQ(layout.TitleCoding, TTextCoding::Utf8);
  ExpectWholeCharacters(layout, TListField::Title, utf8,
                        [&utf8](size_t at) { return (static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80; });

  // 180 pixels of title after the number's 20 fill a row of 200 exactly; one pixel less wraps.
  const std::string title(18, 't');
  EXPECT_EQ(RunsOf(LayoutResult(Result(title), 0, fixture.Params(kListLeft + 200)), TListField::Title).size(), 1u);
  EXPECT_EQ(RunsOf(LayoutResult(Result(title), 0, fixture.Params(kListLeft + 199)), TListField::Title).size(), 2u);

  fixture.words = HighlightWords("net");
  const TResultLayout dotnet = LayoutResult(Result("DOTNET NEWS"), 0, fixture.Params(1000));
  std::vector<TTextRun> hits = RunsOf(dotnet, TListField::Title);
  std::erase_if(hits, [](const TTextRun& run) { return !run.Hit; });
  ASSERT_EQ(hits.size(), 1U);
  EXPECT_TRUE(hits[0].Begin == 3U && hits[0].End == 6U && hits[0].Role == TListRole::Hilight);
  // The hit row takes the keyword font's height.
  EXPECT_EQ(dotnet.TitleBottom, 2 + 20 + 2);

  // A hit on the second byte of a GBK character colours that whole character.
  fixture.words = {"A"};
  const TResultLayout inside = LayoutResult(Result(std::string("x\x81") + "Ay"), 0, fixture.Params(1000));
  const std::vector<TTextRun> runs = RunsOf(inside, TListField::Title);
  ASSERT_EQ(runs.size(), 3U);
  EXPECT_TRUE(runs[1].Hit && runs[1].Begin == 1U && runs[1].End == 3U);
}

TEST(ResultLayout, PageMarksAreDrawnInsideTheResultAfterACutOrFullSummary) {
  Fixture fixture;
  // Cut by the summary-lines setting, and ending just short of the right edge.
  for (const size_t length : {size_t{200}, size_t{39}}) {
    const TOneResult result{"t", "u", std::string(length, 'x'), kLanguageGB | kLanguageEnglish, "A", 0, "", 0,
                            kPageVerified};
    const TResultLayout layout = LayoutResult(result, 0, fixture.Params(400, 2));
    ASSERT_EQ(layout.Icons.size(), 3U);
    const int lastSummaryRow = RunsOf(layout, TListField::Summary).back().Y;
    for (const TIconPlace& icon : layout.Icons) {
      EXPECT_LE(icon.X + kIconSize, 400) << length;
      EXPECT_GE(icon.Y, lastSummaryRow) << length;
      EXPECT_LE(icon.Y + kIconSize, RunsOf(layout, TListField::Url).front().Y) << length;
    }
  }
}

namespace {

// A keyword whose second result a page made hostile.
std::unique_ptr<TOneKey> FreeMp3() {
  auto key = std::make_unique<TOneKey>("free mp3", 45000.0, 0, 0);
  Add(*key, "http://a.com/", "Low", "Free MP3 players", 10, "Alpha");
  Add(*key, "http://b.com/?a=1&b=\"2\"", "<script>x()</script> mp3", "Tom & Jerry", 100, "Beta;<i>");
  Add(*key, "http://c.com/", "Other", "nothing", 20, "Gamma");
  return key;
}

const std::string kHead =
    "<html>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
    "<title>Result created by Quorvex</title>\r\n<body>\r\n"
    "<font face=Tahoma><font color=FF0000>Result created by Quorvex</font><br>\r\n"
    "Keyword:free mp3<br>\r\n";
const std::string kFoot =
    "<br>\r\n<font color=FF0000>Welcome to the homepage</font> <a href=https://www.quorvex.org/>"
    "https://www.quorvex.org/</a><br>\r\n</body>\r\n</html>\r\n";

}  // namespace

TEST(HtmlExport, FilteredReorderedKeywordByteForByte) {
  const std::unique_ptr<TOneKey> key = FreeMp3();
  TFilter filter;
  filter.Contains = "3";  // in the texts of a.com and b.com, not of c.com
  filter.Engine = "a";    // Alpha, Beta and Gamma all hold it
  ViewCursor cursor;
  RebuildView(key.get(), filter, 1, cursor);  // by score: b, then a (c.com has no "m")
  const std::string expected =
      kHead + "Total:2<br>\r\nFound date:" + KeywordDateText(45000.0) + "<br>\r\n" +
      "<br><font color=804000><B><I>1</I></B></font>.<a href=\"http://b.com/?a=1&amp;b=&quot;2&quot;\">"
      "&lt;script&gt;x()&lt;/script&gt; <font color=FF0000>mp3</font></a> - \r\n"
      "Tom &amp; Jerry<br>\r\n"
      "<i>http://b.com/?a=1&amp;b=&quot;2&quot;</i> <font color=004000 size=-1>Beta;&lt;i&gt; 93.63%</font><br>\r\n"
      "<br><font color=804000><B><I>2</I></B></font>.<a href=\"http://a.com/\">Low</a> - \r\n"
      "<font color=FF0000>Free</font> <font color=FF0000>MP3</font> players<br>\r\n"
      "<i>http://a.com/</i> <font color=004000 size=-1>Alpha 36.55%</font><br>\r\n" +
      kFoot;
  test::TempDir dir;
  ASSERT_TRUE(WriteExportHtml(*key, HighlightWords(key->Keyword), dir / "Key.html"));
  EXPECT_EQ(ReadWholeFile(dir / "Key.html").value_or(""), expected);

  // Everything filtered away: the header with a total of 0, then the footer.
  filter.Contains = "absent";
  RebuildView(key.get(), filter, 1, cursor);
  EXPECT_EQ(ExportHtml(*key, {}), kHead + "Total:0<br>\r\nFound date:" + KeywordDateText(45000.0) + "<br>\r\n" + kFoot);
  EXPECT_FALSE(WriteExportHtml(*key, {}, dir / "missing" / "Key.html"));

  // The found date shows the time of day unless that is midnight.
  const std::string midnight = KeywordDateText(45000.0);
  EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
  EXPECT_TRUE(KeywordDateText(45000.4375).starts_with(midnight + " ")) << KeywordDateText(45000.4375);  // 10:30:00
}

TEST(HtmlExport, CliExportsAKeptKeyword) {
  test::TempDir dir;
  const std::unique_ptr<TOneKey> key = FreeMp3();
  // The CLI reads results from SearchResult/ beside itself.
  const std::filesystem::path results = std::filesystem::path(QUORVEX_CLI_PATH).parent_path() / "SearchResult";
  std::filesystem::create_directories(results);
  ASSERT_TRUE(key->SaveResults(results));
  // A keyword that differs in letter case only comes first; the exact one is still preferred.
  const TOneKey other("Free MP3", 45000.5, 0, 0);
  dir.Write("AllKey.txt", other.ToLine({}) + "\r\n" + key->ToLine({}) + "\r\n");

  const test::CliResult result = test::RunCli({"export", "--order", "2", "free mp3", "out.html"}, dir.Path());
  std::filesystem::remove(key->ResultFile(results));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ViewCursor cursor;
  RebuildView(key.get(), TFilter{}, 2, cursor);
  EXPECT_EQ(ReadWholeFile(dir / "out.html").value_or(""), ExportHtml(*key, HighlightWords(key->Keyword)));
  // Without an exact match the first one ignoring case is taken.
  ASSERT_EQ(test::RunCli({"export", "FREE MP3", "out.html"}, dir.Path()).exitCode, 0);
  EXPECT_NE(ReadWholeFile(dir / "out.html").value_or("").find("Keyword:Free MP3<br>"), std::string::npos);

  EXPECT_TRUE(test::RunCli({"export", "nothing", "out.html"}, dir.Path()).exitCode == 2 &&
              test::RunCli({"export", "--order", "8", "free mp3", "out.html"}, dir.Path()).exitCode == 2);
}

TEST(HtmlExport, HighlightsTheKeywordInGbAndInUtf8Results) {
  const std::vector<std::string> words = HighlightWords("mp3 \xD6\xD0,, ");
  EXPECT_EQ(words, (std::vector<std::string>{"mp3", "\xD6\xD0", "\xE4\xB8\xAD"}));
  EXPECT_EQ(HighlightHtml("a\xD6\xD0 \xE4\xB8\xAD MP3", words),
            "a<font color=FF0000>\xD6\xD0</font> <font color=FF0000>\xE4\xB8\xAD</font> <font color=FF0000>MP3</font>");

  // A GB keyword over GB and UTF-8 results: one page, all of it UTF-8, every text escaped.
  TOneKey key("<\xD6\xD0>", 45000.0, 0, 0);
  Add(key, "http://g.com/\xD6\xD0", "\xD6\xD0 gb", "s", 10, "A");
  Add(key, "http://u.com/", "\xE4\xB8\xAD utf8", "s", 10, "B");
  ViewCursor cursor;
  RebuildView(&key, TFilter{}, 0, cursor);
  // The GB word B8 AD is the tail of the UTF-8 character E4 B8 AD: it must not be marked there.
  const std::string page = ExportHtml(key, HighlightWords("\xD6\xD0 \xB8\xAD"));
  EXPECT_TRUE(IsValidUtf8(page));
  EXPECT_NE(page.find("<a href=\"http://g.com/%D6%D0\">"), std::string::npos) << page;
  EXPECT_NE(page.find("Keyword:&lt;\xE4\xB8\xAD&gt;<br>"), std::string::npos) << page;
  EXPECT_NE(page.find("<font color=FF0000>\xE4\xB8\xAD</font> gb"), std::string::npos) << page;
  EXPECT_NE(page.find("<font color=FF0000>\xE4\xB8\xAD</font> utf8"), std::string::npos) << page;
}
