#include "core/engines/TEngineDefinition.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/engines/EngineIndex.h"
#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;
using Records = std::vector<TRecord>;

// The records a fresh definition read from text finds on one page.
static Records Extract(std::string_view text, std::string_view page) {
  TEngineDefinition definition = DefinitionFromText(text);
  return RunPage(definition, page).records;
}

TEST(LoadDefinition, MarkerLinesCutTheSectionsAndPagingItemsHaveDefaults) {
  TEngineDefinition definition = DefinitionFromText(
      "key=from file\nHead=h1,h2,h3\n--- template follows\n  \t\nb\n$1\n---\nL,$4,ENG\n---\nurl=ignored\n", "a b+\xB0");
  EXPECT_EQ(definition.HeadRecord(), (TRecord{"h1", "h2", "h3"}));
  EXPECT_EQ(definition.HeaderValue("url"), "");     // after the second marker nothing is header
  EXPECT_EQ(definition.EncodedKey(), "a+b%2B%B0");  // the inserted key line wins
  EXPECT_EQ(RunPage(definition, "<b>text</b><i>").records, (Records{{"text", "", "", "ENG"}}));

  TEngineDefinition allHeader = DefinitionFromText("url=x\na\n$1\nL,$1,y");
  EXPECT_EQ(allHeader.HeaderValue("url"), "x");
  EXPECT_TRUE(RunPage(allHeader, "<a>t</a><a>u</a>").records.empty());

  TEngineDefinition none = DefinitionFromText("Page=7");
  EXPECT_TRUE(!none.PagingOn() && none.Step() == 20);
  TEngineDefinition full = DefinitionFromText("Page=1,10,\"Page $page$\"");
  EXPECT_TRUE(full.FirstStart() == 1 && full.NextLinkText(1, full.Step()) == "Page 11");
  EXPECT_EQ(full.NextLinkText(2147483647, 10), "Page 2147483657");  // no overflow
}

TEST(BuildPageUrl, FirstPlaceholdersOrThePreviousPagesNextLink) {
  TEngineDefinition definition =
      DefinitionFromText("url=HTTP://e/dir/s?q=$key$&again=$key$&s=$page$&t=$page$\nPage=0,10,$page$", "a b");
  const auto first = definition.BuildPageUrl(0, 10, "");
  EXPECT_TRUE(first.isHttp && first.nextLinkText == "10");
  EXPECT_EQ(first.url, "HTTP://e/dir/s?q=a+b&again=$key$&s=0&t=$page$");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "/s?start=10").url, "HTTP://e/s?start=10");
  EXPECT_EQ(definition.BuildPageUrl(10, 10, "s2.html").url, "HTTP://e/dir/s2.html");
  // "$key" marks five characters, whatever the fifth is.
  EXPECT_EQ(DefinitionFromText("url=http://e/?q=$keyX&p=1", "k").BuildPageUrl(0, 20, "").url, "http://e/?q=k&p=1");

  const auto local = DefinitionFromText("url=pages/$key$.html\nPage=0,10,$page$", "k").BuildPageUrl(0, 10, "n");
  EXPECT_TRUE(!local.isHttp && local.url == "pages/$key$.html" && local.nextLinkText == "$page$");
}

TEST(CutResultArea, StartMarkerKeptEndMarkerCutFallbacksOnlyWhenAbsent) {
  const std::string page = "head <ol> one </ol> two <hr> tail";
  EXPECT_EQ(DefinitionFromText("start=<ol>\nend=</ol>").CutResultArea(page), "<ol> one ");
  EXPECT_EQ(DefinitionFromText("start=<ul>\nstartno=two\nend=<p>\nendno=<hr>").CutResultArea(page), "two ");
  EXPECT_EQ(DefinitionFromText("start=two\nend=head").CutResultArea(page), "two <hr> tail");  // end before start
  EXPECT_EQ(DefinitionFromText("start=<OL>\nend=TAIL").CutResultArea(page), page);
}

// "Skip" pairs take stretches out of the area: every first text up to the second (kept), or to the end
// when the second is empty or absent; a lone first text does nothing.
TEST(CutResultArea, SkipPairsLeaveOutTheStretchesTheyName) {
  const auto urls = [](const std::string& skip) {
    std::vector<std::string> found;
    for (const TRecord& record : Extract(skip + "\n---\na,href=$1\n$2\n/a\n---\nL,$3,\"\"",
                                         "<a href=x1>x</a><b><a href=ad1>a</a></b><a href=x2>y</a><hr>"
                                         "<i><a href=ad2>b</a><B><a href=x3>z</a><p>")) {
      found.push_back(record[0]);
    }
    return found;
  };
  EXPECT_EQ(urls("Skip=<b>,</b>"), (std::vector<std::string>{"x1", "x2", "ad2", "x3"}));
  EXPECT_EQ(urls("Skip=<b>,</b>,<i>,<B>"), (std::vector<std::string>{"x1", "x2", "x3"}));
  EXPECT_EQ(urls("Skip=<i>,\"\""), (std::vector<std::string>{"x1", "ad1", "x2"}));
  EXPECT_EQ(urls("Skip=<i>").size(), 5u);  // a first text without a second does nothing
  EXPECT_EQ(urls("Skip=<b>,</nowhere>").size(), 5u);  // nor one whose end is not found
}

TEST(TemplateMatching, RecordCompletesOnlyAtTheTagAfterItsLastLine) {
  const std::string row = "<table><tr><td class=\"title\"><a href=\"http://x/1\">The <b>first</b></a></td>";
  TEngineDefinition definition = DefinitionFromText("---\ntr\ntd,class=title\na,href=$1\n$2\n/td\n");
  EXPECT_TRUE(RunPage(definition, row).records.empty());
  // The record left open is dropped when the next page starts.
  EXPECT_TRUE(RunPage(definition, "</tr>").records.empty());
  // Tags that match nothing leave the capture running.
  EXPECT_EQ(RunPage(definition, row + "</tr></table>").records, (Records{{"http://x/1", "The first"}}));
}

TEST(TemplateMatching, ConditionsIgnoreCaseAlternativesAreTriedInOrderAndClassWordsMatchOneWord) {
  // The first alternative captured the link before its condition failed; the capture stays. An absent
  // attribute captures an empty field.
  EXPECT_EQ(Extract("---\nLI,CLASS=Hit\na,href=$1,class=no;a,class=yes,title=$3\n$2\n/A\n",
                    "<li class=HIT><a href=u1 class=yes>one</a><p><li class=miss><a href=u2 class=yes>two</a><p>"),
            (Records{{"u1", "one", ""}}));

  EXPECT_EQ(Extract("---\ndiv,class~=Snippet\na,href=$1\n$2\n/a\n",
                    "<div class=\"snippet fdb  \"><a href=1>a</a>"              // trailing blanks
                    "<div class=\"x\tsnippet\nsvelte-jmfu5f\"><a href=2>b</a>"  // other blanks, hashes
                    "<div class=\"snippets snip\"><a href=3>c</a>"              // only whole words
                    "<div id=snippet><a href=4>d</a><div class=\"\"><a href=5>e</a>"
                    "<div data-v class=snippet><a href=6>f</a><p>"),  // after an attribute without value
            (Records{{"1", "a"}, {"2", "b"}, {"6", "f"}}));
  // Without "~" the whole value is compared; an empty word never occurs.
  EXPECT_TRUE(Extract("---\ndiv,class=snippet\na,href=$1\n", "<div class=\"snippet fdb\"><a href=1><p>").empty());
}

TEST(TemplateMatching, StrictModeRestartsTheTemplateAndDropsWhatTheBlockCaptured) {
  const std::string page =
      "<div class=r><span>sponsored</span><a href=ad>ad</a></div><p>"
      "<div class=r><a href=u>title</a></div><p>";
  const std::string lines = "div,class=r\na,href=$1\n$2\n/a\n";
  EXPECT_EQ(Extract("---\n" + lines, page).size(), 2u);
  // With "&" the span after the first div breaks the sequence: that block is dropped.
  TEngineDefinition strict = DefinitionFromText("---\n&" + lines);
  EXPECT_EQ(RunPage(strict, page).records, (Records{{"u", "title"}}));
  // A block aborted while it captured its title: no part of it reaches the next record.
  EXPECT_EQ(RunPage(strict, "<div class=r><a href=ad>Ad <i>x</i> text</a><div class=r><a href=v>t</a><p>").records,
            (Records{{"v", "t"}}));
  // "|" on the next line switches strict mode off before that line's tag is looked for.
  EXPECT_EQ(Extract("---\n&div,class=r\n|a,href=$1\n$2\n/a\n", "<div class=r><span>x</span><a href=v>t</a><p>"),
            (Records{{"v", "t"}}));
  // Strict mode that a page turned on ends with that page.
  TEngineDefinition late = DefinitionFromText("---\ndiv,class=r\na,href=$1\n$2\n&/a\n");
  EXPECT_EQ(RunPage(late, "<div class=r><a href=u>t</a><p>").records.size(), 1u);
  EXPECT_EQ(RunPage(late, "<div class=r><span>x</span><a href=v>t</a><p>").records, (Records{{"v", "t"}}));
}

TEST(TemplateMatching, RepeatingAlternativesEndAResultEarlyAndNeverLoop) {
  EXPECT_EQ(Extract("---\n@a,href=$1\na,title=$2\n$3\n/a\n", "<a href=u title=T>text</a><br>"),
            (Records{{"u", "T", "text"}}));
  // A result without a summary ends at its closing tag and leaves the next one whole.
  EXPECT_EQ(Extract("---\nli\na,href=$1\n$2\n/a\np;@/li\n$3\n/p;@/li\n",
                    "<li><a href=1>a</a></li><li><a href=2>b</a><p>s<b>!</b></p></li><hr>"),
            (Records{{"1", "a"}, {"2", "b", "s!"}}));
}

TEST(NextPageLink, TheLinkWhoseTrimmedTextIsTheNextLinkTextIsFollowed) {
  TEngineDefinition numbered = DefinitionFromText("Page=0,10,$page$\n---\nb\n");
  EXPECT_EQ(RunPage(numbered, "<a href=p1> 1 </a><a href=/p10>\r\n 10 \t</a><a href=p20>20</a>").nextPageTarget,
            "/p10");
  TEngineDefinition worded = DefinitionFromText("Page=0,10,Next\n---\nb\n");
  EXPECT_EQ(RunPage(worded, "<a href=n1><b>NEXT</b></a>").nextPageTarget, "n1");
  // Without a template the page is not scanned at all.
  TEngineDefinition bare = DefinitionFromText("Page=0,10,Next");
  EXPECT_EQ(RunPage(bare, "<a href=n5>Next</a>").nextPageTarget, "");
}

constexpr const char* kPage =
    "<html><body><div class=r><a href=\"http://a/1\">one</a><p>first</p></div>"
    "<div class=r><a href=\"http://a/2\">two</a><p>second</p></div><!-- x --><a href=n>Next</a></body></html>";

TEST(HostileDefinitions, DegenerateFilesFindNothingAndAnErrorEndsThePageOnly) {
  for (const char* text : {"", "---", "---\n---", "\n\n\n", "=\n==\n---\n \n---\n", "---\n@\n&\n|\n;;;\n,,,\n---"}) {
    TEngineDefinition definition = DefinitionFromText(text);
    EXPECT_FALSE(definition.BuildPageUrl(0, 20, "").isHttp) << text;
    const auto run = RunPage(definition, kPage);
    EXPECT_TRUE(run.records.empty() && !run.error) << text;
  }
  TEngineDefinition shortRules = DefinitionFromText(
      "---\ndiv,class=r\na,href=$1\n$2\n/a\n---\nS\nS,$1\nS,$1,/\nR,$1\nR\nC,$1\nC\nL,$1\nL\n+\nT\nU\nD\nA\nB\n");
  const auto run = RunPage(shortRules, kPage);
  EXPECT_TRUE(!run.error && run.records == Records({{"http://a/1", "one"}, {"http://a/2", "two"}}));

  TEngineDefinition zero = DefinitionFromText("---\na,href=$0\n$0\n/a\n---\nT,$1,$0\n");
  const auto first = RunPage(zero, kPage);
  EXPECT_TRUE(first.records.empty() && first.error.value_or("").find("T,$1,$0") != std::string::npos);

  TEngineDefinition doubling = DefinitionFromText("---\na,href=$1\n$2\n/a\n---\n+,$1,$1,$1\n");
  const std::string page = "<a href=small>x</a><a href=" + std::string(3 << 20, 'h') + ">y</a><a href=late>z</a><p>";
  const auto cut = RunPage(doubling, page);
  EXPECT_TRUE(cut.error && cut.records == Records({{"smallsmall", "x"}}));
  const auto next = RunPage(doubling, "<a href=again>w</a><p>");
  EXPECT_TRUE(!next.error && next.records == Records({{"againagain", "w"}}));
}

TEST(HostileDefinitions, HugeNumbersNeitherOverflowNorAllocate) {
  TEngineDefinition definition = DefinitionFromText(
      "Page=2147483647,2147483647,$page$\nUniqe=$2147483647,$-2147483648,$99999999999\n"
      "Head=\"\"\n---\n"
      "a,href=$2147483647,title=$1000000,id=$-2147483648\n$99999999999999999999\n/a\n---\n"
      "L,$2000000000,x\nS,$1,#99999999999999999999999,$2,$3\nC,$2147483647,x\nL,$1,u\n");
  EXPECT_EQ(definition.NextLinkText(definition.FirstStart(), definition.Step()), "4294967294");
  const auto run = RunPage(definition, "<a href=h title=t id=i>text</a><p>");
  EXPECT_TRUE(!run.error && run.records == Records({{"u"}}));
}

namespace {

const std::string kIndex =
    "; kept as it is\r\n[News,3]\r\nDaily Wire=daily.txt\r\nOld Press=oldpress.txt,0\r\nOn Again=on.txt,1\r\n"
    "Odd Flag=odd.txt,0,more\r\nSpaced=my engine.txt,0\r\nno equals sign\r\n\r\n[Web]\r\nAlpha=alpha.txt\r\n"
    "[Pictures,x]\r\n[Blank,3] \r\n[]\r\n[News,4]\r\nShadowed=shadow.txt\r\n";

class EngineIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(index_.Load(dir_.Write(EngineIndex::kFileName, kIndex))); }

  std::vector<std::string> CheckedNames(const EngineIndex& index) const {
    std::vector<std::string> names;
    for (const EngineRow& row : index.Engines("News")) {
      if (row.Checked) names.push_back(row.Name);
    }
    return names;
  }

  test::TempDir dir_;
  EngineIndex index_;
};

}  // namespace

TEST_F(EngineIndexTest, CategoriesTheirEnginesAndAFlagChangeThatRewritesOnlyItsLine) {
  EXPECT_EQ(index_.CategoryNames(), (std::vector<std::string>{"News", "Web", "Pictures", "Blank", "News"}));
  const std::vector<EngineCategory> categories = index_.Categories();
  // Without a number the row keeps its default picture; the blank in "[Blank,3] " was cut instead of the
  // bracket, leaving "3]".
  EXPECT_TRUE(categories[0].Picture == 3 && categories[1].Picture == std::nullopt && categories[3].Picture == 10);

  const std::vector<EngineRow> rows = index_.Engines("News");  // the first of two headers
  ASSERT_EQ(rows.size(), 6u);                                  // a blank line lists no engine
  EXPECT_EQ(rows[5].Name, "");  // no "=": no name
  EXPECT_EQ(CheckedNames(index_), (std::vector<std::string>{"Daily Wire", "On Again", "Odd Flag", ""}));
  EXPECT_TRUE(index_.Engines("news").empty());  // letter case counts

  // Further items after the flag go at the first rewrite.
  for (const auto& [line, checked] : {std::pair{3, true}, {4, false}, {5, true}, {6, true}}) {
    EXPECT_TRUE(index_.SetChecked(line, checked)) << line;
  }
  EXPECT_EQ(std::vector<std::string>(index_.Lines().begin() + 3, index_.Lines().begin() + 7),
            (std::vector<std::string>{"Old Press=oldpress.txt", "On Again=on.txt,0", "Odd Flag=odd.txt",
                                      "Spaced=my engine.txt"}));  // a blank in a file name survives
  const std::vector<std::string> lines = index_.Lines();
  for (size_t line : {0, 1, 7, 99}) EXPECT_FALSE(index_.SetChecked(line, false));  // no engine line there
  EXPECT_EQ(index_.Lines(), lines);

  ASSERT_TRUE(index_.Save(dir_ / EngineIndex::kFileName));
  EngineIndex reread;
  ASSERT_TRUE(reread.Load(dir_ / EngineIndex::kFileName));
  EXPECT_EQ(CheckedNames(reread), (std::vector<std::string>{"Daily Wire", "Old Press", "Odd Flag", "Spaced", ""}));
  EXPECT_EQ(ReadWholeFile(dir_ / EngineIndex::kFileName).value().substr(0, 25), "; kept as it is\r\n[News,3]");
  EXPECT_TRUE(!reread.Load(dir_ / "missing.txt") && reread.Lines() == lines);
}

TEST_F(EngineIndexTest, ASearchGetsTheCheckedEnginesCutBeforeTheFirstComma) {
  index_.SetChecked(2, false);
  EXPECT_EQ(index_.SearchEntries("News"),
            (std::vector<std::string>{"On Again=on.txt", "Odd Flag=odd.txt", "no equals sign"}));
  EXPECT_EQ(index_.SearchEntries("Web"), (std::vector<std::string>{"Alpha=alpha.txt"}));
}
