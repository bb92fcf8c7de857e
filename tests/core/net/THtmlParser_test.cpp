#include "core/net/THtmlParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

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
  EXPECT_EQ(ScanEvents(parser, "<p><script>var a = '<b>';<!-- x"), "<p>[]<script>[var a = '<b>';<!-- x]");
  EXPECT_TRUE(parser.InScript());
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

}  // namespace
}  // namespace quorvex::test
