#include "core/engines/TEngineDefinition.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/engines/EngineIndex.h"
#include "core/engines/query_text.h"
#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunCli;
using test::RunPage;
using test::TempDir;
using Records = std::vector<TRecord>;

namespace {

// The records a fresh definition read from text finds on one page.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the definition, then the page
Records Extract(std::string_view text, std::string_view page) {
  TEngineDefinition definition = DefinitionFromText(text);
  return RunPage(definition, page).records;
}

struct Applied {
  TRecord record;
  bool keep;
};

// Runs the rule lines over record as they run over a completed record of the page at pageUrl.
Applied Apply(const std::string& rules, TRecord record) {
  TEngineDefinition definition = DefinitionFromText("Prg=Quorvex test\n---\n---\n" + rules, "a b");
  definition.BeginPage("http://e/dir/page.html", "");
  const bool keep = definition.ApplyRules(record);
  return {record, keep};
}

}  // namespace

TEST(LoadDefinition, MarkerLinesCutTheSectionsAndPagingItemsHaveDefaults) {
  TEngineDefinition definition = DefinitionFromText(
      "key=from file\nHead=h1,h2,h3\n--- template follows\n  \t\nb\n$1\n---\nL,$4,ENG\n---\nurl=ignored\n", "a b+\xB0");
  EXPECT_EQ(definition.HeadRecord(), (TRecord{"h1", "h2", "h3"}));
  // After the second marker nothing is header; the inserted key line wins.
  EXPECT_TRUE(definition.HeaderValue("url").empty() && definition.EncodedKey() == "a+b%2B%B0");
  EXPECT_EQ(RunPage(definition, "<b>text</b><i>").records, (Records{{"text", "", "", "ENG"}}));

  TEngineDefinition allHeader = DefinitionFromText("url=x\na\n$1\nL,$1,y");
  EXPECT_TRUE(allHeader.HeaderValue("url") == "x" && RunPage(allHeader, "<a>t</a><a>u</a>").records.empty());

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
  EXPECT_TRUE(definition.BuildPageUrl(10, 10, "/s?start=10").url == "HTTP://e/s?start=10" &&
              definition.BuildPageUrl(10, 10, "s2.html").url == "HTTP://e/dir/s2.html");
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
  // A first text without a second does nothing, nor one whose end is not found.
  EXPECT_TRUE(urls("Skip=<i>").size() == 5u && urls("Skip=<b>,</nowhere>").size() == 5u);
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
  // No "=": no name; letter case counts.
  EXPECT_TRUE(rows[5].Name.empty() && index_.Engines("news").empty());
  EXPECT_EQ(CheckedNames(index_), (std::vector<std::string>{"Daily Wire", "On Again", "Odd Flag", ""}));

  // Further items after the flag go at the first rewrite.
  for (const auto& [line, checked] : {std::pair{3, true}, {4, false}, {5, true}, {6, true}})
    EXPECT_TRUE(index_.SetChecked(line, checked)) << line;
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

TEST(Rules, SplitReplaceListAndBase64RulesChangeTheirFields) {
  EXPECT_EQ(Apply("S,$1,#13#10,$2,$3", {"a\r\nb\r\nc", "", ""}).record, (TRecord{"a\r\nb\r\nc", "a", "b\r\nc"}));
  // Four items leave the second destination out; destinations are never created; no separator in the
  // field, an empty one, a missing source or too few items change nothing.
  EXPECT_EQ(Apply("S,$1,-,$2", {"x-y", "", ""}).record, (TRecord{"x-y", "x", ""}));
  for (const char* rule : {"S,$1,+,$2,$3", "S,$1,\"\",$2,$3", "S,$4,-,$2,$3", "S,$1,-"})
    EXPECT_EQ(Apply(rule, {"x-y", "2", "3"}).record, (TRecord{"x-y", "2", "3"})) << rule;

  const std::string rule = "R,$2,a=Alpha,B=Beta,c=,b=second";
  // Names ignore case and the first one wins; an empty value leaves the field alone.
  EXPECT_TRUE(Apply(rule, {"x", "b"}).record[1] == "Beta" && Apply(rule, {"x", "c"}).record[1] == "c");
  // A padded fifth item names no field and is skipped, not an error.
  EXPECT_EQ(Apply("T,$1,$2,$3", {" a ", "\tb \n"}).record, (TRecord{"a", "b"}));
  EXPECT_EQ(Apply("U,$1,$2,$3", {"x.html", "/y", "http://z/"}).record,
            (TRecord{"http://e/dir/x.html", "http://e/y", "http://z/"}));
  EXPECT_EQ(Apply("D,$2", {"a+b", "a+b%41%zz"}).record, (TRecord{"a+b", "a bA%zz"}));

  EXPECT_EQ(Apply("B,$1,$2,$0,$7", {"aHR0cHM6Ly9lLm9yZy8_cT0x", "aGk="}).record, (TRecord{"https://e.org/?q=1", "hi"}));
  EXPECT_EQ(Apply("B,$1,$2", {"aHR0c+HM6", std::string("AA\0A", 4)}).record, (TRecord{"", ""}));
  // Bing's tracking link through the shipped rule chain: S, D, B, and the real address wins only when
  // there is one.
  const std::string chain =
      "L,$9,\"\"\nS,$1,bing.com/ck/a?,$8,$9\nS,$9,u=a1,$8,$6\nS,$6,&,$6\nD,$6\nB,$6\n"
      "+,$7,^,$6,^,$1\nS,$7,^^,$8,$6\n+,$1,$6\n";
  EXPECT_EQ(Apply(chain, {"https://www.bing.com/ck/a?!&amp;p=9&amp;u=a1aHR0cHM6Ly9lLm9yZy9h&amp;ntb=1"}).record[0],
            "https://e.org/a");
  EXPECT_EQ(Apply(chain, {"https://x.org/?menu=a1aGk"}).record[0], "https://x.org/?menu=a1aGk");
}

TEST(Rules, ChecksLetJoinAndReferencesBelowOne) {
  for (const char* rule : {"T,$0", "U,$1,$0", "D,$x", "T,$1,,$2", "+,$0,a", "+,$1,$0", "+,$1,$"}) {
    TRecord record{"a", "b"};
    EXPECT_THROW(DefinitionFromText(std::string("---\n---\n") + rule).ApplyRules(record), EExtractionError) << rule;
  }
  EXPECT_TRUE(Apply("A,$0\nB,$0\nC,$0,x\nL,$0,y\nR,$0,a=b\nS,$0,-,$1,$2", {"a-b", "c"}).keep);

  const std::string rules = "C,$2,foo\nC,$3,bar";
  EXPECT_TRUE(Apply(rules, {"u", "no", "a bar"}).keep);
  EXPECT_FALSE(Apply(rules, {"u", "foo", "BAR"}).keep);  // case counts
  // "N" inverts, also when the field is missing; an empty text never occurs.
  EXPECT_FALSE(Apply("C,$9,y,N", {"u", "t", "s"}).keep || Apply("C,$1,\"\"", {"u"}).keep);

  const Applied now = Apply("L,$5,$now$", {"u", "t", "s"});
  EXPECT_TRUE(now.record[3].empty() && now.record[4].size() == std::string("2024-01-31 12:00:00").size());
  EXPECT_EQ(Apply("L,$1,$KEY$\nL,$2,$Prg$\nL,$4,ENG\nL,$3", {}).record, (TRecord{"a+b", "Quorvex test", "", "ENG"}));
  EXPECT_EQ(Apply("+,$3,$1,\" - \",$2,$7\n+,$9,$1", {"a", "b", ""}).record, (TRecord{"a", "b", "a - b"}));
  // Unknown letters do nothing.
  EXPECT_EQ(Apply("s,$1,-,$2\nSS,$1,-,$2\nX,$1\n---", {"a-b", ""}).record, (TRecord{"a-b", ""}));
}

TEST(IsUniqueRecord, ComparesTheUniqueFieldsIgnoringCaseWithEveryKeptRecord) {
  const std::string page =
      "<p><i>u1</i><i>t</i><i>s</i></p><p><i>U1</i><i>x</i><i>S</i></p>"
      "<p><i>u1</i><i>t</i><i>other</i></p><p><i></i><i>t</i><i>s</i></p><hr>";
  const std::string lines = "---\np\ni\n$1\n/i\ni\n$2\n/i\ni\n$3\n/i\n/p\n";
  auto countKept = [&page, &lines](const std::string& header) {
    TEngineDefinition definition = DefinitionFromText(header + lines);
    return test::RunPage(definition, page).records.size();
  };
  EXPECT_EQ(countKept("Head=\"\",\"\",\"\"\nUniqe=$1,$3\n"), 3u);  // field 2 not compared
  EXPECT_EQ(countKept("Head=\"\"\nUniqe=$1,$3\n"), 2u);            // the head has no field 3 to compare
  // An empty field 1 is the head's.
  EXPECT_TRUE(countKept("Head=\"\",\"\",\"\"\nUniqe=x\n") == 1u && countKept("") == 4u);
  // A page of 30,000 records, each address three times in another case, keeps each address once.
  std::string many;
  for (int i = 0; i < 30000; ++i) {
    many += "<p><i>" + std::string(i / 10000 == 1 ? "U" : "u") + std::to_string(i % 10000) + "</i><i>t</i><i>s</i></p>";
  }
  TEngineDefinition definition = DefinitionFromText("Head=\"\",\"\",\"\"\nUniqe=$1\n" + lines);
  EXPECT_EQ(test::RunPage(definition, many + "<hr>").records.size(), 10000u);
}

TEST(QueryText, EncodeDecodeCharCodesAndBase64Url) {
  EXPECT_EQ(EncodeQuery("a b AZaz09./\\"), "a+b+AZaz09./\\");
  EXPECT_EQ(EncodeQuery(std::string("+&%-_~\0\x7F\xC4\xFF", 10)), "%2B%26%25%2D%5F%7E%00%7F%C4%FF");
  EXPECT_EQ(DecodeQuery("a+b%20c%3a%2F%C4%e3"), "a b c:/\xC4\xE3");
  // Broken escapes stay as written.
  EXPECT_EQ(DecodeQuery("100% %4 %zz%4g %%41"), "100% %4 %zz%4g %A");

  EXPECT_EQ(ExpandCharCodes("#13#10a#65b#321"), "\r\naAbA");
  // No digits: byte 0 and the scan goes on; a "#" in the last position stays.
  EXPECT_EQ(ExpandCharCodes("#x##"), std::string("\0x\0#", 4));
  // Far more digits than any integer holds (10^40 = 0 mod 256).
  EXPECT_EQ(ExpandCharCodes("#1" + std::string(40, '0') + "65"), "A");

  EXPECT_EQ(DecodeBase64Url("aHR0cHM6Ly93d3cudzNzY2hvb2xzLmNvbS9Kcy8"), "https://www.w3schools.com/Js/");
  EXPECT_TRUE(DecodeBase64Url("P34_") == "?~?" && DecodeBase64Url("aGk=") == "hi");  // "-" and "_" for "+" and "/"
  // Bad characters (the standard alphabet's too), wrong padding, a lone last character, NUL bytes
  // in the text or in what it stands for.
  const std::vector<std::string> bad = {"aGk+", "aG k", "aGk==", "aG=k", "aGkxa", std::string("aG\0k", 4), "aGkA"};
  for (const std::string& text : bad) EXPECT_EQ(DecodeBase64Url(text), std::nullopt) << text;
  // Huge input: linear, and a single bad byte at the end still refuses it.
  std::string huge;
  while (huge.size() < (size_t{8} << 20)) huge += "QUFB";
  EXPECT_TRUE(DecodeBase64Url(huge).value_or("").size() == huge.size() / 4 * 3 && !DecodeBase64Url(huge + "!"));
}

TEST(ExtractCommand, EscapesFieldsLeavesTheHeadRecordOutAndReportsAnErrorInOneLine) {
  TempDir dir;
  // CR LF line ends; the key goes in front, encoded; "$page$" of the next-link text is start + step.
  const auto definition = dir.Write("def.txt",
                                    "Head=head,record\r\nPage=5,10,\"p $page$\"\r\n---\r\nb\r\n$1\r\n/b\r\n---\r\n"
                                    "L,$2,$key$\r\n");
  const auto page =
      dir.Write("page.html", "<b>t\tc\rl\nb\\s\x01\x7F\xB0\xA1</b><b></b><a href=\"next\\page\">p 15</a>");
  const auto result = RunCli({"extract", definition.string(), page.string(), "--key", "a&b"});
  EXPECT_TRUE(result.exitCode == 0 && result.err.empty());
  EXPECT_EQ(result.out,
            "R\tt\\tc\\rl\\nb\\\\s\\x01\\x7f\xB0\xA1\ta%26b\n"
            "R\t\ta%26b\n"
            "N\tnext\\\\page\n");

  // An extraction error keeps the earlier records.
  const auto doubling = dir.Write("doubling.txt", "---\na,href=$1\n/a\n---\n+,$1,$1,$1,$1,$1\n");
  const auto big = dir.Write("big.html", "<a href=ok></a><a href=" + std::string(2 << 20, 'x') + "></a><p>");
  const auto stopped = RunCli({"extract", doubling.string(), big.string()});
  EXPECT_TRUE(stopped.exitCode == 0 && stopped.out == "R\tokokokok\n");
  EXPECT_TRUE(!stopped.err.empty() && stopped.err.find('\n') == stopped.err.size() - 1) << stopped.err;
}
