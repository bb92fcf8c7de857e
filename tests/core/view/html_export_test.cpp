#include "core/view/html_export.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/view/TFilter.h"
#include "core/view/keyword_hits.h"
#include "core/view/result_view.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

void Add(TOneKey& key, const std::string& url, const std::string& title, const std::string& summary, int score,
         const std::string& engines) {
  TOneResult result;
  result.Url = url;
  result.Title = title;
  result.Summary = summary;
  result.Score = score;
  result.Engines = engines;
  key.Results.Add(TResultList::KeyOf(url), std::move(result));
}

// A keyword whose second result a page made hostile.
std::unique_ptr<TOneKey> FreeMp3() {
  auto key = std::make_unique<TOneKey>("free mp3", 45000.0, 0, 0);
  Add(*key, "http://a.com/", "Low", "Free MP3 players", 10, "Alpha");
  Add(*key, "http://b.com/?a=1&b=\"2\"", "<script>x()</script> mp3", "Tom & Jerry", 100, "Beta;<i>");
  Add(*key, "http://c.com/", "Other", "nothing", 20, "Gamma");
  return key;
}

const std::string kHead =
    "<html>\r\n<title>Result created by Quorvex</title>\r\n<body>\r\n"
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
}

TEST(HtmlExport, CliExportsAKeptKeyword) {
  test::TempDir dir;
  const std::unique_ptr<TOneKey> key = FreeMp3();
  // The CLI reads results from SearchResult/ beside itself.
  const std::filesystem::path results = std::filesystem::path(QUORVEX_CLI_PATH).parent_path() / "SearchResult";
  std::filesystem::create_directories(results);
  ASSERT_TRUE(key->SaveResults(results));
  dir.Write("AllKey.txt", key->ToLine({}) + "\r\n");

  const test::CliResult result = test::RunCli({"export", "--order", "2", "FREE MP3", "out.html"}, dir.Path());
  std::filesystem::remove(key->ResultFile(results));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ViewCursor cursor;
  RebuildView(key.get(), TFilter{}, 2, cursor);
  EXPECT_EQ(ReadWholeFile(dir / "out.html").value_or(""), ExportHtml(*key, HighlightWords(key->Keyword)));

  EXPECT_EQ(test::RunCli({"export", "nothing", "out.html"}, dir.Path()).exitCode, 2);
  EXPECT_EQ(test::RunCli({"export", "--order", "8", "free mp3", "out.html"}, dir.Path()).exitCode, 2);
}

TEST(HtmlExport, HighlightsTheKeywordInGbAndInUtf8Results) {
  const std::vector<std::string> words = HighlightWords("mp3 \xD6\xD0,, ");
  EXPECT_EQ(words, (std::vector<std::string>{"mp3", "\xD6\xD0", "\xE4\xB8\xAD"}));
  EXPECT_EQ(HighlightHtml("a\xD6\xD0 \xE4\xB8\xAD MP3", words),
            "a<font color=FF0000>\xD6\xD0</font> <font color=FF0000>\xE4\xB8\xAD</font> <font color=FF0000>MP3</font>");
}
