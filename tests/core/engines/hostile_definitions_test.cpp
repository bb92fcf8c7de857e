#include <gtest/gtest.h>

#include <random>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;

namespace {

constexpr const char* kPage =
    "<html><body><div class=r><a href=\"http://a/1\">one</a><p>first</p></div>"
    "<div class=r><a href=\"http://a/2\">two</a><p>second</p></div><!-- x --><a href=n>Next</a></body></html>";

}  // namespace

TEST(HostileDefinitions, DegenerateFilesAndShortRulesFindNothingOrChangeNothing) {
  for (const char* text : {"", "---", "---\n---", "\n\n\n", "=\n==\n---\n \n---\n", "---\n@\n&\n|\n;;;\n,,,\n---"}) {
    TEngineDefinition definition = DefinitionFromText(text);
    EXPECT_FALSE(definition.BuildPageUrl(0, 20, "").isHttp) << text;
    const auto run = RunPage(definition, kPage);
    EXPECT_TRUE(run.records.empty() && !run.error) << text;
  }
  TEngineDefinition shortRules = DefinitionFromText(
      "---\ndiv,class=r\na,href=$1\n$2\n/a\n---\nS\nS,$1\nS,$1,/\nR,$1\nR\nC,$1\nC\nL,$1\nL\n+\nT\nU\nD\nA\nB\n");
  const auto run = RunPage(shortRules, kPage);
  EXPECT_FALSE(run.error);
  EXPECT_EQ(run.records, (std::vector<TRecord>{{"http://a/1", "one"}, {"http://a/2", "two"}}));
}

TEST(HostileDefinitions, AnErrorEndsThePageKeepsEarlierRecordsAndTheNextPageStartsClean) {
  TEngineDefinition zero = DefinitionFromText("---\na,href=$0\n$0\n/a\n---\nT,$1,$0\n");
  const auto first = RunPage(zero, kPage);
  EXPECT_TRUE(first.records.empty());
  EXPECT_NE(first.error.value_or("").find("T,$1,$0"), std::string::npos);

  TEngineDefinition doubling = DefinitionFromText("---\na,href=$1\n$2\n/a\n---\n+,$1,$1,$1\n");
  const std::string page = "<a href=small>x</a><a href=" + std::string(3 << 20, 'h') + ">y</a><a href=late>z</a><p>";
  const auto run = RunPage(doubling, page);
  EXPECT_TRUE(run.error);
  EXPECT_EQ(run.records, (std::vector<TRecord>{{"smallsmall", "x"}}));
  const auto next = RunPage(doubling, "<a href=again>w</a><p>");
  EXPECT_FALSE(next.error);
  EXPECT_EQ(next.records, (std::vector<TRecord>{{"againagain", "w"}}));
}

TEST(HostileDefinitions, HugeNumbersNeitherOverflowNorAllocate) {
  TEngineDefinition definition = DefinitionFromText(
      "Page=2147483647,2147483647,$page$\nUniqe=$2147483647,$-2147483648,$99999999999\n"
      "Head=\"\"\n---\n"
      "a,href=$2147483647,title=$1000000,id=$-2147483648\n$99999999999999999999\n/a\n---\n"
      "L,$2000000000,x\nS,$1,#99999999999999999999999,$2,$3\nC,$2147483647,x\nL,$1,u\n");
  EXPECT_EQ(definition.NextLinkText(definition.FirstStart(), definition.Step()), "4294967294");
  const auto run = RunPage(definition, "<a href=h title=t id=i>text</a><p>");
  EXPECT_FALSE(run.error);
  ASSERT_EQ(run.records.size(), 1u);
  EXPECT_EQ(run.records[0], TRecord{"u"});
}

TEST(HostileDefinitions, RepeatingEveryLineOverAWholePageEnds) {
  TEngineDefinition definition = DefinitionFromText("---\n@div;@a,href=$1;@p\n@a\n@div\n@/div;@/a\n@p\n");
  std::string page;
  for (int i = 0; i < 2000; ++i) page += kPage;
  const auto run = RunPage(definition, page);
  EXPECT_FALSE(run.error);
  EXPECT_LE(run.records.size(), 2000u * 16);
}

TEST(HostileDefinitions, RandomDefinitionsOverRandomPagesNeverMisbehave) {
  // Pieces that exercise every prefix, rule letter and reference form; the sanitizer builds judge.
  const std::vector<std::string> templatePieces = {
      "a,href=$1", "$2",           "/a",   "@div",       "&p", "|span", "@a,class=x,href=$3", "$0",
      "$",         "td;th;@tr",    "",     ";",          "@",  "a,=",   "img,src=$9999",      "\"b\",\"class=a b\"",
      "/div;@/p",  "div,class~=x", "a,~=", "p,class~=$1"};
  const std::vector<std::string> rulePieces = {
      "S,$1,#13#10,$2,$3", "R,$2,a=b,=c", "T,$1,$2,$3",   "A,$1,$2", "U,$1",       "D,$1,$2",   "C,$1,http", "C,$3,x,N",
      "L,$4,ENG",          "L,$5,$now$",  "+,$2,$1,-,$3", "T,$0",    "+,$1,$1,$1", "S,$1,#,$1", "R,$1",      "B,$1,$2"};
  const std::vector<std::string> pagePieces = {"<a href=x>", "</a>",  "<div class=x>",
                                               "</div>",     "<p>",   "text",
                                               "<!--",       "-->",   "<script>",
                                               "</script>",  "<",     ">",
                                               "\"",         "'",     std::string("\0", 1),
                                               "\xB0\xA1",   "&amp;", "Next",
                                               " ",          "<td>",  "<tr>",
                                               "<img src=q>"};
  std::mt19937 random(20240531);
  auto pick = [&random](const std::vector<std::string>& pieces) {
    return pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
  };
  for (int round = 0; round < 300; ++round) {
    std::string text = "Page=0,10,Next\nHead=\"\",\"\",\"\"\nUniqe=$1\n---\n";
    for (int i = 0; i < 6; ++i) text += pick(templatePieces) + "\n";
    text += "---\n";
    for (int i = 0; i < 4; ++i) text += pick(rulePieces) + "\n";
    std::string page;
    for (int i = 0; i < 200; ++i) page += pick(pagePieces);
    TEngineDefinition definition = DefinitionFromText(text, "k");
    const auto run = RunPage(definition, page, "http://e/d/p");
    for (const TRecord& record : run.records) EXPECT_LE(record.size(), static_cast<size_t>(kMaxRecordFields));
  }
}
