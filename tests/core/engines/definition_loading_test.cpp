#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;

TEST(LoadDefinition, MarkerLinesCutTheSections) {
  TEngineDefinition definition = DefinitionFromText(
      "key=from file\nHead=h1,h2,h3\n--- template follows\n  \t\nb\n$1\n---\nL,$4,ENG\n---\nurl=ignored\n", "a b+\xB0");
  EXPECT_EQ(definition.HeadRecord(), (TRecord{"h1", "h2", "h3"}));
  EXPECT_EQ(definition.HeaderValue("url"), "");     // after the second marker nothing is header
  EXPECT_EQ(definition.EncodedKey(), "a+b%2B%B0");  // the inserted key line wins
  EXPECT_EQ(RunPage(definition, "<b>text</b><i>").records, (std::vector<TRecord>{{"text", "", "", "ENG"}}));

  TEngineDefinition allHeader = DefinitionFromText("url=x\na\n$1\nL,$1,y");
  EXPECT_EQ(allHeader.HeaderValue("url"), "x");
  EXPECT_TRUE(RunPage(allHeader, "<a>t</a><a>u</a>").records.empty());
}

TEST(LoadDefinition, PagingItemsAndTheirDefaults) {
  TEngineDefinition none = DefinitionFromText("Page=7");
  EXPECT_FALSE(none.PagingOn());
  EXPECT_EQ(none.Step(), 20);
  TEngineDefinition junk = DefinitionFromText("Page=x,y");
  EXPECT_TRUE(junk.PagingOn());
  EXPECT_EQ(junk.FirstStart(), 0);
  EXPECT_EQ(junk.Step(), 20);
  TEngineDefinition full = DefinitionFromText("Page=1,10,\"Page $page$\"");
  EXPECT_EQ(full.FirstStart(), 1);
  EXPECT_EQ(full.NextLinkText(1, full.Step()), "Page 11");
  EXPECT_EQ(full.NextLinkText(2147483647, 10), "Page 2147483657");  // no overflow
}

TEST(BuildPageUrl, FirstPlaceholdersOrThePreviousPagesNextLink) {
  TEngineDefinition definition =
      DefinitionFromText("url=HTTP://e/dir/s?q=$key$&again=$key$&s=$page$&t=$page$\nPage=0,10,$page$", "a b");
  const auto first = definition.BuildPageUrl(0, 10, "");
  EXPECT_TRUE(first.isHttp);
  EXPECT_EQ(first.url, "HTTP://e/dir/s?q=a+b&again=$key$&s=0&t=$page$");
  EXPECT_EQ(first.nextLinkText, "10");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "/s?start=10").url, "HTTP://e/s?start=10");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "s2.html").url, "HTTP://e/dir/s2.html");
  // "$key" marks five characters, whatever the fifth is.
  EXPECT_EQ(DefinitionFromText("url=http://e/?q=$keyX&p=1", "k").BuildPageUrl(0, 20, "").url, "http://e/?q=k&p=1");

  const auto local = DefinitionFromText("url=pages/$key$.html\nPage=0,10,$page$", "k").BuildPageUrl(0, 10, "n");
  EXPECT_FALSE(local.isHttp);
  EXPECT_EQ(local.url, "pages/$key$.html");
  EXPECT_EQ(local.nextLinkText, "$page$");
}

TEST(CutResultArea, StartMarkerKeptEndMarkerCutFallbacksOnlyWhenAbsent) {
  const std::string page = "head <ol> one </ol> two <hr> tail";
  EXPECT_EQ(DefinitionFromText("start=<ol>\nend=</ol>").CutResultArea(page), "<ol> one ");
  EXPECT_EQ(DefinitionFromText("start=<ul>\nstartno=two\nend=<p>\nendno=<hr>").CutResultArea(page), "two ");
  EXPECT_EQ(DefinitionFromText("start=one\nstartno=head\nend=zzz\nendno=tail").CutResultArea(page),
            "one </ol> two <hr> ");
  EXPECT_EQ(DefinitionFromText("start=two\nend=head").CutResultArea(page), "two <hr> tail");  // end before start
  EXPECT_EQ(DefinitionFromText("start=\nend=").CutResultArea(page), page);
  EXPECT_EQ(DefinitionFromText("start=<OL>\nend=TAIL").CutResultArea(page), page);
}
