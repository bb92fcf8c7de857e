#include <gtest/gtest.h>

#include <string>

#include "core/net/THtmlParser.h"
#include "html_scan_recorder.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

// Real result pages: rebuilding the document while scanning it changes none of the events, and the
// title of a GB page keeps its bytes.
TEST(THtmlParserPages, RebuildingRealPagesKeepsTheirEventsAndTitle) {
  for (const char* page : {"serp/sogou-aql-1.html", "serp/yahoo-googlescraper-1.html",
                           "serp/baidu-googlescraper-1.html", "serp/naver-aql-1.html"}) {
    const std::string html = ReadFixture(page);
    THtmlParser plain;
    THtmlParser rebuilding;
    EXPECT_EQ(ScanEvents(plain, html), ScanEvents(rebuilding, html, true)) << page;
  }
  THtmlParser parser;
  parser.Content = ReadFixture("serp/sogou-aql-1.html");
  parser.Parse();
  EXPECT_EQ(parser.Title(),
            "lof\xBF\xC9\xD2\xD4\xBF\xE7\xCA\xD0\xB3\xA1\xC2\xF2\xC2\xF4&nbsp;-&nbsp;\xCB\xD1\xB9\xB7\xCB\xD1\xCB\xF7");
}

}  // namespace
}  // namespace quorvex::test
