#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/net/THtmlParser.h"
#include "html_scan_recorder.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

// The attribute lists of the tags of one name, in document order.
std::vector<NameValueList> TagsNamed(const std::string& fixture, std::string_view wanted) {
  std::vector<NameValueList> tags;
  THtmlParser parser;
  parser.OnHtmlTag = [&](THtmlParser&, std::string& name, NameValueList& param, size_t) {
    if (name == wanted) tags.push_back(param);
  };
  parser.Content = ReadFixture(fixture);
  parser.Parse();
  return tags;
}

const char* const kPages[] = {"serp/sogou-aql-1.html", "serp/yahoo-googlescraper-1.html",
                              "serp/baidu-googlescraper-1.html", "serp/naver-aql-1.html"};

// Markup inside an attribute value: the tag ends at the first ">" and the comment after it is a real one.
TEST(THtmlParserPages, SogouPreviewTitleIsCutAtTheFirstGreaterThan) {
  int previews = 0;
  std::vector<std::string> results;
  for (const NameValueList& a : TagsNamed("serp/sogou-aql-1.html", "a")) {
    if (a.Value("name") == "dttl") results.push_back(a.Value("href"));
    if (a.Value("name") != "sogou_preview_links") continue;
    ++previews;
    EXPECT_TRUE(a.Value("sogou_preview_title").ends_with("<em")) << a.ToText();
    EXPECT_EQ(a.Lines().back(), "sogou_preview_title=" + a.Value("sogou_preview_title"));
  }
  EXPECT_EQ(previews, 10);
  ASSERT_EQ(results.size(), 5u);
  EXPECT_EQ(results[0], "http://baike.china.alibaba.com/doc/history/view.html?eid=354042");

  THtmlParser parser;
  parser.Content = ReadFixture("serp/sogou-aql-1.html");
  parser.Parse();
  EXPECT_EQ(parser.Title(),
            "lof\xBF\xC9\xD2\xD4\xBF\xE7\xCA\xD0\xB3\xA1\xC2\xF2\xC2\xF4&nbsp;-&nbsp;\xCB\xD1\xB9\xB7\xCB\xD1\xCB\xF7");
}

TEST(THtmlParserPages, YahooAttributesWithoutABlankBetweenThemMerge) {
  std::vector<std::string> results;
  for (const NameValueList& a : TagsNamed("serp/yahoo-googlescraper-1.html", "a")) {
    if (a.Value("id").starts_with("link-")) results.push_back(a.Value("href"));
  }
  ASSERT_EQ(results.size(), 10u);
  for (const std::string& href : results) EXPECT_TRUE(href.ends_with("target=_blank")) << href;
  EXPECT_NE(results[0].find("RU=http%3a%2f%2fminecraft.gamepedia.com%2fSnow/RK=0/"), std::string::npos);
}

TEST(THtmlParserPages, BaiduBlanksAroundEqualsAndSingleQuotedJson) {
  int redirects = 0;
  for (const NameValueList& a : TagsNamed("serp/baidu-googlescraper-1.html", "a")) {
    redirects += !a.Value("data-click").empty() && a.Value("href").starts_with("http://www.baidu.com/link?url=") &&
                 a.Value("target") == "_blank";
  }
  EXPECT_EQ(redirects, 6);
  std::string tools;
  for (const NameValueList& div : TagsNamed("serp/baidu-googlescraper-1.html", "div")) {
    if (div.Value("id") == "tools_7096239273529691885_2") tools = div.Value("data-tools");
  }
  EXPECT_TRUE(tools.starts_with("{\"title\":\"number\xE7\x9A\x84")) << tools;
  EXPECT_TRUE(tools.ends_with("0rcdFq\"}")) << tools;
}

TEST(THtmlParserPages, NaverUnquotedValuesKeepTheirEightBitBytes) {
  const std::string wanted =
      "http://www.kra.co.kr/main1/sub/magazine/9907/\xB4\xEB\xC0\xFC\xC1\xF6\xC1\xA1\xB0\xB3\xC0\xE5.htm";
  int found = 0;
  for (const NameValueList& a : TagsNamed("serp/naver-aql-1.html", "a")) found += a.Value("href") == wanted;
  EXPECT_EQ(found, 2);
}

TEST(THtmlParserPages, RebuildingKeepsTheEvents) {
  for (const char* page : kPages) {
    const std::string html = ReadFixture(page);
    THtmlParser plain;
    THtmlParser rebuilding;
    EXPECT_EQ(ScanEvents(plain, html), ScanEvents(rebuilding, html, true)) << page;
  }
}

}  // namespace
}  // namespace quorvex::test
