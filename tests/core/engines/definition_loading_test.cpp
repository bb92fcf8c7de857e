#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;

TEST(LoadDefinition, MarkerLinesCutHeaderTemplateAndRules) {
  TEngineDefinition definition = DefinitionFromText(
      "Head=h1,h2,h3\n"
      "--- template follows\n"
      "  \t\n"
      "b\n"
      "$1\n"
      "---\n"
      "L,$4,ENG\n"
      "---\n"
      "url=ignored\n",
      "kw");
  EXPECT_EQ(definition.HeadRecord(), (TRecord{"h1", "h2", "h3"}));
  EXPECT_EQ(definition.HeaderValue("url"), "");  // after the second marker nothing is header
  const auto run = RunPage(definition, "<b>text</b><i>");
  ASSERT_EQ(run.records.size(), 1u);
  EXPECT_EQ(run.records[0], (TRecord{"text", "", "", "ENG"}));
}

TEST(LoadDefinition, InsertedKeyLineWinsAndIsEncoded) {
  TEngineDefinition definition = DefinitionFromText("key=from file\nurl=http://e/?q=$key$", "a b+\xB0");
  EXPECT_EQ(definition.EncodedKey(), "a+b%2B%B0");
  EXPECT_EQ(definition.BuildPageUrl(0, 20, "").url, "http://e/?q=a+b%2B%B0");
}

TEST(LoadDefinition, WithoutMarkersEverythingIsHeaderAndNothingIsFound) {
  TEngineDefinition definition = DefinitionFromText("url=x\na\n$1\nL,$1,y");
  EXPECT_EQ(definition.HeaderValue("url"), "x");
  EXPECT_TRUE(RunPage(definition, "<a>t</a><a>u</a>").records.empty());
  EXPECT_EQ(definition.KeptRecords().size(), 1u);  // the head record alone
}

TEST(LoadDefinition, PagingItemsAndTheirDefaults) {
  TEngineDefinition none = DefinitionFromText("Page=7");
  EXPECT_FALSE(none.PagingOn());
  EXPECT_EQ(none.FirstStart(), 0);
  EXPECT_EQ(none.Step(), 20);

  TEngineDefinition junk = DefinitionFromText("Page=x,y");
  EXPECT_TRUE(junk.PagingOn());
  EXPECT_EQ(junk.FirstStart(), 0);
  EXPECT_EQ(junk.Step(), 20);

  TEngineDefinition full = DefinitionFromText("Page=1,10,\"Page $page$\"");
  EXPECT_EQ(full.FirstStart(), 1);
  EXPECT_EQ(full.Step(), 10);
  EXPECT_EQ(full.NextLinkText(1, 10), "Page 11");
  // Near the top of the int range the sum must neither overflow nor wrap.
  EXPECT_EQ(full.NextLinkText(2147483647, 10), "Page 2147483657");
}

TEST(BuildPageUrl, FillsFirstPlaceholdersOnly) {
  TEngineDefinition definition =
      DefinitionFromText("url=HTTP://e/s?q=$key$&again=$key$&s=$page$&t=$page$\nPage=0,10,$page$", "a b");
  const auto request = definition.BuildPageUrl(0, 10, "");
  EXPECT_TRUE(request.isHttp);
  EXPECT_EQ(request.url, "HTTP://e/s?q=a+b&again=$key$&s=0&t=$page$");
  EXPECT_EQ(request.nextLinkText, "10");

  // "$key" marks five characters, whatever the fifth is.
  TEngineDefinition odd = DefinitionFromText("url=http://e/?q=$keyX&p=1", "k");
  EXPECT_EQ(odd.BuildPageUrl(0, 20, "").url, "http://e/?q=k&p=1");
  TEngineDefinition atEnd = DefinitionFromText("url=http://e/?q=$key", "k");
  EXPECT_EQ(atEnd.BuildPageUrl(0, 20, "").url, "http://e/?q=k");
}

TEST(BuildPageUrl, FollowsTheNextLinkOfThePreviousPage) {
  TEngineDefinition definition = DefinitionFromText("url=http://e/dir/s?q=$key$&s=$page$\nPage=0,10,Next", "k");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "/s?q=k&start=10").url, "http://e/s?q=k&start=10");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "s2.html").url, "http://e/dir/s2.html");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "http://other/p").url, "http://other/p");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "").url, "http://e/dir/s?q=k&s=10");
}

TEST(BuildPageUrl, AnythingButHttpIsALocalFileTakenAsWritten) {
  TEngineDefinition definition = DefinitionFromText("url=pages/$key$.html\nPage=0,10,$page$", "k");
  const auto request = definition.BuildPageUrl(0, 10, "next.html");
  EXPECT_FALSE(request.isHttp);
  EXPECT_EQ(request.url, "pages/$key$.html");
  EXPECT_EQ(request.nextLinkText, "$page$");
  EXPECT_FALSE(DefinitionFromText("").BuildPageUrl(0, 20, "").isHttp);
}

TEST(CutResultArea, StartMarkerKeptEndMarkerCut) {
  const std::string page = "head <ol> one </ol> two <hr> tail";
  EXPECT_EQ(DefinitionFromText("start=<ol>\nend=</ol>").CutResultArea(page), "<ol> one ");
  // The fallbacks apply only when the first marker does not occur.
  EXPECT_EQ(DefinitionFromText("start=<ul>\nstartno=two\nend=<p>\nendno=<hr>").CutResultArea(page), "two ");
  EXPECT_EQ(DefinitionFromText("start=one\nstartno=head\nend=zzz\nendno=tail").CutResultArea(page),
            "one </ol> two <hr> ");
  // The end marker is looked for only after the start: here it occurs before it.
  EXPECT_EQ(DefinitionFromText("start=two\nend=head").CutResultArea(page), "two <hr> tail");
  // Empty markers never occur; nothing found keeps the page whole; markers respect case.
  EXPECT_EQ(DefinitionFromText("start=\nend=").CutResultArea(page), page);
  EXPECT_EQ(DefinitionFromText("start=<OL>\nend=TAIL").CutResultArea(page), page);
}
