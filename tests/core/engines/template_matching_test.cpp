#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;

using Records = std::vector<TRecord>;

TEST(TemplateMatching, RecordCompletesOnlyAtTheTagAfterItsLastLine) {
  const std::string row = "<table><tr><td class=\"title\"><a href=\"http://x/1\">The <b>first</b></a></td>";
  TEngineDefinition definition = DefinitionFromText("---\ntr\ntd,class=title\na,href=$1\n$2\n/td\n");
  EXPECT_TRUE(RunPage(definition, row).records.empty());
  // The record left open is dropped when the next page starts.
  EXPECT_TRUE(RunPage(definition, "</tr>").records.empty());
  // Tags that match nothing leave the capture running.
  EXPECT_EQ(RunPage(definition, row + "</tr></table>").records, (Records{{"http://x/1", "The first"}}));
}

TEST(TemplateMatching, ConditionsIgnoreCaseAndAlternativesAreTriedInOrder) {
  TEngineDefinition definition =
      DefinitionFromText("---\nLI,CLASS=Hit\na,href=$1,class=no;a,class=yes,title=$3\n$2\n/A\n");
  // The first alternative captured the link before its condition failed; the capture stays. An absent
  // attribute captures an empty field.
  EXPECT_EQ(RunPage(definition,
                    "<li class=HIT><a href=u1 class=yes>one</a><p><li class=miss><a href=u2 class=yes>"
                    "two</a><p>")
                .records,
            (Records{{"u1", "one", ""}}));
}

TEST(TemplateMatching, ClassWordConditionMatchesOneWordOfTheValue) {
  TEngineDefinition definition = DefinitionFromText("---\ndiv,class~=Snippet\na,href=$1\n$2\n/a\n");
  const auto run = RunPage(definition,
                           "<div class=\"snippet fdb  \"><a href=1>a</a>"              // trailing blanks
                           "<div class=\"x\tsnippet\nsvelte-jmfu5f\"><a href=2>b</a>"  // other blanks, hashes
                           "<div class=\"snippets snip\"><a href=3>c</a>"              // only whole words
                           "<div id=snippet><a href=4>d</a><div class=\"\"><a href=5>e</a><p>");
  EXPECT_EQ(run.records, (Records{{"1", "a"}, {"2", "b"}}));
  // Without "~" the whole value is compared; an empty word never occurs.
  TEngineDefinition whole = DefinitionFromText("---\ndiv,class=snippet\na,href=$1\n");
  EXPECT_TRUE(RunPage(whole, "<div class=\"snippet fdb\"><a href=1><p>").records.empty());
}

TEST(TemplateMatching, StrictModeRestartsTheTemplateAndDropsWhatTheBlockCaptured) {
  const std::string page =
      "<div class=r><span>sponsored</span><a href=ad>ad</a></div><p>"
      "<div class=r><a href=u>title</a></div><p>";
  const std::string lines = "div,class=r\na,href=$1\n$2\n/a\n";
  TEngineDefinition lenient = DefinitionFromText("---\n" + lines);
  EXPECT_EQ(RunPage(lenient, page).records.size(), 2u);
  // With "&" the span after the first div breaks the sequence: that block is dropped.
  TEngineDefinition strict = DefinitionFromText("---\n&" + lines);
  EXPECT_EQ(RunPage(strict, page).records, (Records{{"u", "title"}}));
  // A block aborted while it captured its title: no part of it reaches the next record.
  EXPECT_EQ(RunPage(strict, "<div class=r><a href=ad>Ad <i>x</i> text</a><div class=r><a href=v>t</a><p>").records,
            (Records{{"v", "t"}}));
  // "|" on the next line switches strict mode off before that line's tag is looked for.
  TEngineDefinition relaxed = DefinitionFromText("---\n&div,class=r\n|a,href=$1\n$2\n/a\n");
  EXPECT_EQ(RunPage(relaxed, "<div class=r><span>x</span><a href=v>t</a><p>").records, (Records{{"v", "t"}}));
}

TEST(TemplateMatching, RepeatingAlternativesEndAResultEarlyAndNeverLoop) {
  TEngineDefinition sameTag = DefinitionFromText("---\n@a,href=$1\na,title=$2\n$3\n/a\n");
  EXPECT_EQ(RunPage(sameTag, "<a href=u title=T>text</a><br>").records, (Records{{"u", "T", "text"}}));
  // A result without a summary ends at its closing tag and leaves the next one whole.
  TEngineDefinition early = DefinitionFromText("---\nli\na,href=$1\n$2\n/a\np;@/li\n$3\n/p;@/li\n");
  EXPECT_EQ(RunPage(early, "<li><a href=1>a</a></li><li><a href=2>b</a><p>s<b>!</b></p></li><hr>").records,
            (Records{{"1", "a"}, {"2", "b", "s!"}}));
  // Each tag runs through a template of repeating lines once: it completes the waiting record and fills
  // the next.
  TEngineDefinition everyLine = DefinitionFromText("---\n@a,href=$1\n@a,title=$2\n");
  EXPECT_EQ(RunPage(everyLine, "<a href=1 title=x><a href=2 title=y><p>").records,
            (Records{{"1", "x"}, {"1", "x"}, {"2", "y"}}));
}

TEST(TemplateMatching, CapturesEndWithTheirRecordAndNeedAField) {
  TEngineDefinition trailing = DefinitionFromText("---\nb\n$1\n");
  EXPECT_EQ(RunPage(trailing, "<b>one</b> between <b>two</b><i>").records, (Records{{"one"}, {"two"}}));
  TEngineDefinition noField = DefinitionFromText("---\nb\n$0\n/b\ni\n$x\n/i\n");
  EXPECT_EQ(RunPage(noField, "<b>lost</b><i>lost too</i><p>").records, Records(1));
}

TEST(NextPageLink, TheLinkWhoseTrimmedTextIsTheNextLinkTextIsFollowed) {
  TEngineDefinition numbered = DefinitionFromText("Page=0,10,$page$\n---\nb\n");
  EXPECT_EQ(RunPage(numbered, "<a href=p1> 1 </a><a href=/p10>\r\n 10 \t</a><a href=p20>20</a>").nextPageTarget,
            "/p10");
  TEngineDefinition worded = DefinitionFromText("Page=0,10,Next\n---\nb\n");
  EXPECT_EQ(RunPage(worded, "<a href=n1><b>NEXT</b></a>").nextPageTarget, "n1");
  // The last link target counts even after that link closed; "Next page" is not "Next".
  EXPECT_EQ(RunPage(worded, "<a href=n2>x</a><span>next</span><a href=n3>Next page</a>").nextPageTarget, "n2");
  // Without a template the page is not scanned at all.
  TEngineDefinition bare = DefinitionFromText("Page=0,10,Next");
  EXPECT_EQ(RunPage(bare, "<a href=n5>Next</a>").nextPageTarget, "");
}
