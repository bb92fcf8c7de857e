#include "core/net/entities.h"

#include <gtest/gtest.h>

#include "core/net/url.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

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
  EXPECT_EQ(DecodeNumericReferences(kept, TTextEncoding::Utf8), kept);
  EXPECT_EQ(DecodeNumericReferences(kept, TTextEncoding::Gb18030), kept);
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


using namespace std::string_literals;

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
