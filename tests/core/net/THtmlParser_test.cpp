#include "core/net/THtmlParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "html_scan_recorder.h"

namespace quorvex::test {
namespace {

using namespace std::string_literals;

TEST(THtmlParserText, SegmentsFollowEveryTagAndCommentButOnlyRealTextComesFirst) {
  EXPECT_EQ(ScanEvents("hello <b>world</b>"), "[hello ]<b>[world]</b>[]");
  EXPECT_EQ(ScanEvents("<a><b>"), "<a>[]<b>[]");
  EXPECT_EQ(ScanEvents("plain text only"), "[plain text only]");
  EXPECT_EQ(ScanEvents(""), "");
  // Text after a comment that stands before the first tag is an ordinary segment, empty or not.
  EXPECT_EQ(ScanEvents("<!-- c -->"), "[]");
  EXPECT_EQ(ScanEvents("<!-- c -->x<p>"), "[x]<p>[]");
  EXPECT_EQ(ScanEvents("x<!--a--><!--b-->y"), "[x][][y]");
}

TEST(THtmlParserComments, AreDroppedAndAnUnterminatedOneDropsTheRest) {
  EXPECT_EQ(ScanEvents("a<!-- <b> -->c"), "[a][c]");
  EXPECT_EQ(ScanEvents("a<!---->b"), "[a][b]");
  // The closing "-->" is looked for after the opening "<!--", so "<!-->" does not close itself.
  EXPECT_EQ(ScanEvents("a<!-->b-->c"), "[a][c]");
  EXPECT_EQ(ScanEvents("a<p>b<!-- never closed <i>x</i>"), "[a]<p>[b]");
  EXPECT_EQ(Rebuilt("<p>a<!-- x -->b<!-- open"), "<p>ab");
}

TEST(THtmlParserTags, EndAtTheFirstGreaterThanWhateverTheQuotes) {
  EXPECT_EQ(ScanEvents(R"(<a title="x>y">z)"), "<a|title=x>[y\">z]");
  EXPECT_EQ(ScanEvents("<a<b>c"), "<a<b>[c]");
  EXPECT_EQ(ScanEvents("a<p>b<i never closed"), "[a]<p>[b]");
  EXPECT_EQ(ScanEvents("x<"), "[x]");
  // Nameless tags and declarations are not reported, but they end a piece like any tag.
  EXPECT_EQ(ScanEvents("<>a< >b<!DOCTYPE html>c"), "[a][b][c]");
}

TEST(THtmlParserTags, ScanXIsTheOneBasedPositionOfTheOpeningBracketInContent) {
  THtmlParser parser;
  parser.Content = "ab<c>d<!-- x --><e f=1>";
  std::vector<size_t> positions;
  parser.OnHtmlTag = [&positions](THtmlParser& sender, std::string&, NameValueList&, size_t scanX) {
    EXPECT_EQ(sender.Content[scanX - 1], '<');
    positions.push_back(scanX);
  };
  parser.Parse();
  EXPECT_EQ(positions, (std::vector<size_t>{3, 17}));
}

TEST(THtmlParserTokens, BlanksAroundEqualsVanishAndQuotesGroupAndDisappear) {
  EXPECT_EQ(ScanEvents("<td width = 5 align= left>"), "<td|width=5|align=left>[]");
  EXPECT_EQ(ScanEvents(R"(<a href = "x y" id='p q'>)"), "<a|href=x y|id=p q>[]");
  EXPECT_EQ(ScanEvents(R"(<div data='{"a":"b c"}' t="it's">)"), R"(<div|data={"a":"b c"}|t=it's>[])");
  // A quote ends neither the value nor the token: what follows without a blank belongs to it.
  EXPECT_EQ(ScanEvents(R"(<a href="u"target="_blank">)"), "<a|href=utarget=_blank>[]");
  EXPECT_EQ(ScanEvents(R"(<a b=x"y z"w c=1>)"), "<a|b=xy zw|c=1>[]");
}

TEST(THtmlParserTokens, AnAttributeWithoutValueRunsIntoTheNextOne) {
  EXPECT_EQ(ScanEvents("<td nowrap width=5>"), "<td|nowrapwidth=5>[]");
  EXPECT_EQ(ScanEvents("<input x=1 checked>"), "<input|x=1|checked>[]");
}

TEST(THtmlParserTokens, CrAndLfSeparateButTabsDoNot) {
  EXPECT_EQ(ScanEvents("<a\r\nhref=1\nid=2\r>"), "<a|href=1|id=2>[]");
  // The tab stays inside the token; the name loses it to SqueezeBlanks, a value keeps it.
  EXPECT_EQ(ScanEvents("<a\thref=1>"), "<ahref=1>[]");
  EXPECT_EQ(ScanEvents("<a x=1\ty=2>"), "<a|x=1\ty=2>[]");
  EXPECT_EQ(ScanEvents("<a x=\"1\n2\">"), "<a|x=1\n2>[]");
  EXPECT_EQ(ScanEvents("<a x=\r\n 1>"), "<a|x=\r\n1>[]");
}

TEST(THtmlParserTokens, UnbalancedQuotesRunToTheEndOfTheTag) {
  EXPECT_EQ(ScanEvents(R"(<a href="x y z>t)"), "<a|href=x y z>[t]");
  EXPECT_EQ(ScanEvents("<a b='x \"y\" z c=1>"), "<a|b=x \"y\" z c=1>[]");
  EXPECT_EQ(ScanEvents(R"(<a return false;">)"), "<a|returnfalse;>[]");
  EXPECT_EQ(ScanEvents(R"(<"a b" c=1>)"), "<a b|c=1>[]");
}

TEST(THtmlParserNames, AreSqueezedAndKeepTheirSlashAndHighBytes) {
  EXPECT_EQ(ScanEvents("</A>"), "</A>[]");
  EXPECT_EQ(ScanEvents("<'a  \x01 b'>"), "<a b>[]");
  EXPECT_EQ(ScanEvents("<\xB1\xEA\xCC\xE2 \xB1\xEA=\xCC\xE2>"), "<\xB1\xEA\xCC\xE2|\xB1\xEA=\xCC\xE2>[]");
  EXPECT_EQ(Rebuilt("<!DOCTYPE  html\r\n  PUBLIC \"-//W3C//DTD\">"), "<!DOCTYPE html PUBLIC \"-//W3C//DTD\">");
  EXPECT_EQ(Rebuilt("<! a \t b>"), "<! a b>");
}

TEST(THtmlParserScript, TextInsideAClosedScriptIsNeverDelivered) {
  EXPECT_EQ(ScanEvents("a<script>if (a<b && c>d) x='<p>';</script>b"), "[a]<script></script>[b]");
  EXPECT_EQ(ScanEvents("<SCRIPT type=x><!-- no comment here </SCRIPT>z"), "<SCRIPT|type=x></SCRIPT>[z]");
  // Only the exact nine characters close it.
  EXPECT_EQ(ScanEvents("<script>a</script >b</script>c"), "<script></script>[c]");
  EXPECT_EQ(Rebuilt("<script>a<b>c</script><p>"), "<script>a<b>c</script><p>");
}

TEST(THtmlParserScript, AnUnclosedScriptEndsAsOneTextSegmentAndCarriesOver) {
  THtmlParser parser;
  EXPECT_EQ(ScanEvents(parser, "<p><script>var a = '<b>';<!-- x"), "<p>[]<script>[var a = '<b>';<!-- x]");
  EXPECT_TRUE(parser.InScript());
  EXPECT_EQ(ScanEvents(parser, "more <i> code</script><p>after"), "</script>[]<p>[after]");
  EXPECT_FALSE(parser.InScript());
}

TEST(THtmlParserTitle, IsTheSegmentAfterTheLastTitleTagAndOutlivesParse) {
  THtmlParser parser;  // no handlers at all: the title is read all the same
  parser.Content = "<TITLE>first</TITLE><title>second &amp; last</title><p>body";
  parser.Parse();
  EXPECT_EQ(parser.Title(), "second &amp; last");
  parser.Content = "<p>no title here";
  parser.Parse();
  EXPECT_EQ(parser.Title(), "second &amp; last");
  parser.Content = "<title><b>bold</b>";
  parser.Parse();
  EXPECT_EQ(parser.Title(), "");
}

TEST(THtmlParserRebuild, WritesEveryValueInDoubleQuotesAndDropsWhatHasNoValue) {
  EXPECT_EQ(Rebuilt("<td nowrap width=5>"), "<td nowrapwidth=\"5\">");
  EXPECT_EQ(Rebuilt("<input type=checkbox checked><a href = 'x y'>t</a>"),
            "<input type=\"checkbox\"><a href=\"x y\">t</a>");
  EXPECT_EQ(Rebuilt("text\r\n<p class=x\r\n>\r\nmore"), "text\r\n<p class=\"x\">\r\nmore");
  EXPECT_EQ(Rebuilt("<a x=>"), "<a x=\"\">");
  EXPECT_EQ(Rebuilt("<>< >"), "<><>");
}

TEST(THtmlParserRebuild, ASingleQuotedValueKeepsItsDoubleQuotesRaw) {
  EXPECT_EQ(Rebuilt(R"(<div data-tools='{"t":"a b"}' id=1>)"), R"(<div data-tools="{"t":"a b"}" id="1">)");
}

TEST(THtmlParserRebuild, UsesWhatTheHandlersLeft) {
  THtmlParser parser;
  parser.OnHtmlTag = [](THtmlParser&, std::string& name, NameValueList& param, size_t) {
    if (name == "img") {
      param.SetValue("src", "1.gif");
      param.SetValue("alt", "");
      param.SetValue("border", "0");
    }
    if (name == "font") name = "span";
  };
  parser.OnHtmlText = [](THtmlParser&, std::string& text) {
    if (text == "old") text = "new";
  };
  parser.Content = "<img src=\"http://x/a.gif\" alt=pic><font>old</font>";
  parser.SaveChange = true;
  parser.Parse();
  EXPECT_EQ(parser.Content, "<img src=\"1.gif\" border=\"0\"><span>new</font>");
}

TEST(THtmlParserState, EntriesOfOneTagNeverLeakIntoTheNext) {
  EXPECT_EQ(ScanEvents("<a one=1 two=2 three=3><b><c x=y>"), "<a|one=1|two=2|three=3>[]<b>[]<c|x=y>[]");
  THtmlParser parser;
  EXPECT_EQ(ScanEvents(parser, "<a p=1 q=2>"), "<a|p=1|q=2>[]");
  EXPECT_EQ(ScanEvents(parser, "<b r=3>"), "<b|r=3>[]");
}

TEST(THtmlParserState, AHandlerExceptionLeavesTheDocumentAndTheParserUsable) {
  THtmlParser parser;
  parser.Content = "<p a=1>one<stop b=2>two";
  parser.SaveChange = true;
  int tags = 0;
  parser.OnHtmlTag = [&tags](THtmlParser&, std::string& name, NameValueList&, size_t) {
    ++tags;
    if (name == "stop") throw std::runtime_error("stop");
  };
  EXPECT_THROW(parser.Parse(), std::runtime_error);
  EXPECT_EQ(tags, 2);
  EXPECT_EQ(parser.Content, "<p a=1>one<stop b=2>two");

  EXPECT_EQ(ScanEvents(parser, "<q c=3>x", true), "<q|c=3>[x]");
  EXPECT_EQ(parser.Content, "<q c=\"3\">x");
}

TEST(THtmlParserState, AHandlerMayReplaceContentWhileTheScanRuns) {
  THtmlParser parser;
  parser.Content = "<a>1<b>2<c>3";
  std::string names;
  parser.OnHtmlTag = [&names](THtmlParser& sender, std::string& name, NameValueList&, size_t) {
    names += name;
    sender.Content = std::string(100000, 'z');
  };
  parser.Parse();
  EXPECT_EQ(names, "abc");
}

TEST(THtmlParserHostile, BrokenInputEndsCleanly) {
  EXPECT_EQ(ScanEvents("a\0b<p x=\"\0\">\0"s), "[a\0b]<p|x=\0>[\0]"s);
  EXPECT_EQ(ScanEvents("<\0p\0>"s), "<p>[]");
  std::string high;
  for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
  EXPECT_EQ(ScanEvents("<p t=" + high + ">" + high), "<p|t=" + high + ">[" + high + "]");
  EXPECT_EQ(ScanEvents("\"'<a \"'=\"'>"), "[\"']<a|'=>[]");
  EXPECT_EQ(ScanEvents("<<<<>>>>"), "<<<<>[>>>]");
  EXPECT_EQ(ScanEvents("<!--"), "");
  EXPECT_EQ(ScanEvents("<script>"), "<script>[]");
}

TEST(THtmlParserHostile, AMegabyteAttributeValueSurvivesWhole) {
  const std::string value(1 << 20, 'v');
  THtmlParser parser;
  std::string seen;
  parser.OnHtmlTag = [&seen](THtmlParser&, std::string&, NameValueList& param, size_t) { seen = param.Value("src"); };
  parser.Content = "<img src=\"" + value + "\" alt='" + value + ">";
  parser.SaveChange = true;
  parser.Parse();
  EXPECT_EQ(seen, value);
  EXPECT_EQ(parser.Content, "<img src=\"" + value + "\" alt=\"" + value + "\">");
}

}  // namespace
}  // namespace quorvex::test
