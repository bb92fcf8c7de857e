// Page text: the parser's events and rebuilt documents, entities and URLs, and the tags command.
#include "core/net/THtmlParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/net/entities.h"
#include "core/net/url.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

using namespace std::string_literals;

// Scans html and writes every event compactly: a tag as <name|entry|entry>, a text segment as [text].
// With rebuild set, the rebuilt document is left in parser.Content.
std::string ScanEvents(THtmlParser& parser, std::string_view html, bool rebuild = false) {
  std::string events;
  parser.OnHtmlTag = [&events](THtmlParser&, std::string& name, NameValueList& param, size_t) {
    events += '<' + name;
    for (const std::string& entry : param.Lines()) events += '|' + entry;
    events += '>';
  };
  parser.OnHtmlText = [&events](THtmlParser&, std::string& text) { events += '[' + text + ']'; };
  parser.Content = html;
  parser.SaveChange = rebuild;
  parser.Parse();
  // The handlers write to events, which is gone once this returns.
  parser.OnHtmlTag = nullptr;
  parser.OnHtmlText = nullptr;
  return events;
}

std::string ScanEvents(std::string_view html) {
  THtmlParser parser;
  return ScanEvents(parser, html);
}

std::string Rebuilt(std::string_view html) {
  THtmlParser parser;
  ScanEvents(parser, html, true);
  return parser.Content;
}

TEST(THtmlParser, EventsOfOddAndHostileMarkup) {
  std::string high;
  for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Text segments follow every tag and comment, but only real text comes first.
      {"hello <b>world</b>", "[hello ]<b>[world]</b>[]"},
      {"x<!--a--><!--b-->y", "[x][][y]"},
      // Comments are dropped; "<!-->" does not close itself; an unterminated one drops the rest.
      {"a<!-->b-->c", "[a][c]"},
      {"a<p>b<!-- never closed <i>x</i>", "[a]<p>[b]"},
      // A tag ends at the first ">" whatever the quotes; nameless tags and declarations are not
      // reported but end a piece.
      {R"(<a title="x>y">z)", "<a|title=x>[y\">z]"},
      {"<>a< >b<!DOCTYPE html>c", "[a][b][c]"},
      // Blanks around "=" vanish, quotes group and disappear but end neither the value nor the token.
      {"<td width = 5 align= left>", "<td|width=5|align=left>[]"},
      {R"(<a b=x"y z"w c=1>)", "<a|b=xy zw|c=1>[]"},
      {"<td nowrap width=5>", "<td|nowrapwidth=5>[]"},  // an attribute without value runs on
      // CR and LF separate, tabs do not: the name loses them, a value keeps them.
      {"<a\r\nhref=1\nid=2\r>", "<a|href=1|id=2>[]"},
      {"<a x=1\ty=2>", "<a|x=1\ty=2>[]"},
      // Unbalanced quotes run to the end of the tag.
      {"<a b='x \"y\" z c=1>", "<a|b=x \"y\" z c=1>[]"},
      {"<\xB1\xEA\xCC\xE2 \xB1\xEA=\xCC\xE2>", "<\xB1\xEA\xCC\xE2|\xB1\xEA=\xCC\xE2>[]"},
      // Text inside a closed script is never delivered; only the exact nine characters close it.
      {"a<script>if (a<b && c>d) x='<p>';</script>b", "[a]<script></script>[b]"},
      {"<script>a</script >b</script>c", "<script></script>[c]"},
      // Broken input ends cleanly.
      {"a\0b<p x=\"\0\">\0"s, "[a\0b]<p|x=\0>[\0]"s},
      {"<p t=" + high + ">" + high, "<p|t=" + high + ">[" + high + "]"},
      {"<<<<>>>>", "<<<<>[>>>]"},
      {"<!--", ""},
      {"x<", "[x]"},
  };
  for (const auto& [html, events] : cases) EXPECT_EQ(ScanEvents(html), events) << html;
}

TEST(THtmlParser, RebuildWritesEveryValueInDoubleQuotesAndDropsWhatHasNoValue) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<input type=checkbox checked><a href = 'x y'>t</a>", "<input type=\"checkbox\"><a href=\"x y\">t</a>"},
      {"text\r\n<p class=x\r\n>\r\nmore", "text\r\n<p class=\"x\">\r\nmore"},
      {R"(<div data-tools='{"t":"a b"}' id=1>)", R"(<div data-tools="{"t":"a b"}" id="1">)"},  // quotes stay raw
      {"<p>a<!-- x -->b<!-- open", "<p>ab"},
      {"<script>a<b>c</script><p>", "<script>a<b>c</script><p>"},
  };
  for (const auto& [html, rebuilt] : cases) EXPECT_EQ(Rebuilt(html), rebuilt) << html;

  // Rebuilding real pages while scanning them changes none of the events.
  for (const char* page : {"serp/sogou-aql-1.html", "serp/naver-aql-1.html"}) {
    THtmlParser plain;
    THtmlParser rebuilding;
    EXPECT_EQ(ScanEvents(plain, ReadFixture(page)), ScanEvents(rebuilding, ReadFixture(page), true)) << page;
  }
}

TEST(THtmlParser, AnUnclosedScriptCarriesOverAndAnExceptionOrNewContentLeavesTheParserUsable) {
  THtmlParser parser;
  EXPECT_TRUE(ScanEvents(parser, "<p><script>var a = '<b>';<!-- x") == "<p>[]<script>[var a = '<b>';<!-- x]" &&
              parser.InScript());
  EXPECT_TRUE(ScanEvents(parser, "more <i> code</script><p>after") == "</script>[]<p>[after]" && !parser.InScript());

  parser.Content = "<p a=1>one<stop b=2>two";
  parser.SaveChange = true;
  int tags = 0;
  parser.OnHtmlTag = [&tags](THtmlParser&, std::string& name, NameValueList&, size_t) {
    ++tags;
    if (name == "stop") throw std::runtime_error("stop");
  };
  EXPECT_THROW(parser.Parse(), std::runtime_error);
  EXPECT_TRUE(tags == 2 && parser.Content == "<p a=1>one<stop b=2>two");
  EXPECT_TRUE(ScanEvents(parser, "<q c=3>x", true) == "<q|c=3>[x]" && parser.Content == "<q c=\"3\">x");

  THtmlParser replacing;
  replacing.Content = "<a>1<b>2<c>3";
  std::string names;
  replacing.OnHtmlTag = [&names](THtmlParser& sender, std::string& name, NameValueList&, size_t) {
    names += name;
    sender.Content = std::string(100000, 'z');
  };
  replacing.Parse();
  EXPECT_EQ(names, "abc");
}

TEST(THtmlParser, AMegabyteAttributeValueSurvivesWhole) {
  const std::string value(1 << 20, 'v');
  THtmlParser parser;
  std::string seen;
  parser.OnHtmlTag = [&seen](THtmlParser&, std::string&, NameValueList& param, size_t) { seen = param.Value("src"); };
  parser.Content = "<img src=\"" + value + "\" alt='" + value + ">";
  parser.SaveChange = true;
  parser.Parse();
  EXPECT_TRUE(seen == value && parser.Content == "<img src=\"" + value + "\" alt=\"" + value + "\">");
}

TEST(PageText, NamedAndNumericReferencesDecodeOnceAndBlanksSqueeze) {
  EXPECT_EQ(DecodeEntities("a&nbsp;b &gt; c &lt; d &quot;e&quot; f&amp;g &middot; h"), "ab > c < d 'e' f&g . h");
  EXPECT_EQ(DecodeEntities("I&rsquo;m &ldquo;x&rdquo; 1&ndash;2&mdash;&hellip;&Rsquo;"), "I'm 'x' 1-2-...&Rsquo;");
  EXPECT_EQ(DecodeEntities("&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;"), "&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;");
  EXPECT_EQ(DecodeEntities("&amp;lt;"), "&lt;");
  // A later "&" moves the mark; a ";" without a mark is plain text.
  EXPECT_EQ(DecodeEntities("a&b&lt;c; d;&"), "a&b<c; d;&");
  const std::string bytes("\xB0\xD9\xB6\xC8\0&gt;\xFF", 10);
  EXPECT_EQ(DecodeEntities(bytes), std::string("\xB0\xD9\xB6\xC8\0>\xFF", 7));

  // Decimal and hexadecimal, as pages write apostrophes, middle dots and registered signs.
  EXPECT_EQ(DecodeNumericReferences("It&#x27;s &#0183;&#32;a&#174; &#X4E2D;&#20013;", TTextEncoding::Utf8),
            "It's \u00B7 a\u00AE \u4E2D\u4E2D");
  EXPECT_EQ(DecodeNumericReferences("&#20013;&#x27;&#183;&#x1F600;", TTextEncoding::Gb18030),
            "\xD6\xD0'\xA1\xA4\x94"
            "9\xFC"
            "6");
  // Controls become blanks; a decoded "&" must survive the named pass that follows unchanged.
  EXPECT_EQ(DecodeNumericReferences("a&#10;b&#0;c&#x85;d", TTextEncoding::Utf8), "a b c d");
  EXPECT_EQ(DecodeEntities(DecodeNumericReferences("&#38;lt; &amp;#60;", TTextEncoding::Utf8)), "&lt; &#60;");
  // What is no character stays as written.
  const std::string kept =
      "&#; &#x; &#12 &#xZZ; &# 1; &#55296; &#xDFFF; &#1114112; &#99999999999999999999999999; &#x110000; &#";
  EXPECT_TRUE(DecodeNumericReferences(kept, TTextEncoding::Utf8) == kept &&
              DecodeNumericReferences(kept, TTextEncoding::Gb18030) == kept);
  EXPECT_EQ(DecodeNumericReferences(std::string("\xB0\xA1\0&#66;", 8), TTextEncoding::Gb18030),
            std::string("\xB0\xA1\0B", 4));

  EXPECT_EQ(SqueezeBlanks("a\tb  \r\n c"), "ab c");
  EXPECT_EQ(SqueezeBlanks(std::string("\xB0\xA1 \0\xC4\xE3", 6)), "\xB0\xA1 \xC4\xE3");
}


std::string Parts(std::string_view url) {
  const UrlParts parts = SplitUrl(url);
  return parts.protocol + "|" + parts.host + "|" + parts.port + "|" + parts.path;
}

TEST(Url, SplitJoinAndSafeNames) {
  EXPECT_EQ(Parts("http://www.a.com:8080/x/y.htm?q=1"), "http|www.a.com|8080|/x/y.htm?q=1");
  EXPECT_EQ(Parts("a.com:81/p:q"), "http|a.com|81|/p:q");
  EXPECT_EQ(Parts("ftp://u@h:21:x/"), "ftp|u@h|21:x|/");
  EXPECT_EQ(Parts("a.com?x=http://b/"), "a.com?x=http|b||/");
  EXPECT_TRUE(UrlRoot("http://a.com/dir/page.htm") == "http://a.com" && UrlRoot("a.com/x/") == "a.com/x");

  EXPECT_TRUE(UrlDir("http://a.com/dir/page.htm") == "http://a.com/dir/" && UrlDir("http://a.com") == "http://a.com/");
  EXPECT_EQ(UrlDir(""), "/");

  EXPECT_EQ(JoinUrl("http://a.com/dir/", "page.htm"), "http://a.com/dir/page.htm");
  EXPECT_EQ(JoinUrl("http://a.com", "page.htm"), "http://a.com/page.htm");
  EXPECT_EQ(JoinUrl("http://a.com/dir/index.htm", "/top.htm"), "http://a.com/top.htm");
  EXPECT_EQ(JoinUrl("http://a.com/dir/", "HTTPS://b.com/x"), "HTTPS://b.com/x");
  // Nothing else is resolved: fragments, queries, dot segments and other schemes are plain relative links.
  EXPECT_EQ(JoinUrl("http://a.com/d/p.htm", "../up.htm"), "http://a.com/d/../up.htm");
  EXPECT_EQ(JoinUrl("http://a.com/d/p.htm", "?page=2"), "http://a.com/d/?page=2");

  EXPECT_EQ(SafeName("http://a.com/x.asp?a=1;b=$2%20"), "http___a.com_x.asp_a_1_b__2_20");
  EXPECT_EQ(SafeName("\xB0\xD9 \\x*"), "\xB0\xD9 \\x*");
  // Names the file system treats specially never come out.
  EXPECT_TRUE(SafeName("..") == "__" && SafeName(std::string("..\0/etc", 7)) == "..__etc" && SafeName("...") == "...");
}


TEST(TagsCommand, PrintsOneEscapedLinePerEventOrTheRebuiltDocument) {
  TempDir dir;
  const std::string page = "<!DOCTYPE html>\r\n<a href = \"x\\y\" nowrap\tid=1 on>t\x01\x7F\xB0\xA1</a>";
  const CliResult result = RunCli({"tags", dir.Write("p.html", page).string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "X\t\\r\\n\n"
            "T\ta\thref=x\\\\y\tnowrap\\tid=1\ton\n"
            "X\tt\\x01\\x7f\xB0\xA1\n"
            "T\t/a\n"
            "X\t\n");
  const CliResult rebuilt = RunCli({"tags", "--rebuild", dir.Write("q.html", "<p class=a checked>x\0end"s).string()});
  EXPECT_EQ(rebuilt.out, "<p class=\"a\">x\0end"s);
}

}  // namespace
}  // namespace quorvex::test
