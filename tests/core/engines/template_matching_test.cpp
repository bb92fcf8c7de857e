#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunPage;

namespace {

constexpr const char* kCellTemplate =
    "---\n"
    "tr\n"
    "td,class=title\n"
    "a,href=$1\n"
    "$2\n"
    "/td\n";

}  // namespace

TEST(TemplateMatching, RecordCompletesOnlyAtTheTagAfterItsLastLine) {
  const std::string row = "<table><tr><td class=\"title\"><a href=\"http://x/1\">The <b>first</b></a></td>";
  TEngineDefinition definition = DefinitionFromText(kCellTemplate);
  EXPECT_TRUE(RunPage(definition, row).records.empty());
  // The record left open is dropped when the next page starts, and matching starts afresh.
  EXPECT_TRUE(RunPage(definition, "</tr>").records.empty());

  const auto run = RunPage(definition, row + "</tr></table>");
  ASSERT_EQ(run.records.size(), 1u);
  // Tags that match nothing leave the capture running: the bold word and its tags' texts go in.
  EXPECT_EQ(run.records[0], (TRecord{"http://x/1", "The first"}));
}

TEST(TemplateMatching, NamesAndConditionsIgnoreCaseAndAlternativesAreTriedInOrder) {
  TEngineDefinition definition = DefinitionFromText(
      "---\n"
      "LI,CLASS=Hit\n"
      "a,href=$1,class=no;a,class=yes,title=$3\n"
      "$2\n"
      "/A\n");
  const auto run = RunPage(definition,
                           "<li class=HIT><a href=u1 class=yes>one</a><p>"
                           "<li class=miss><a href=u2 class=yes>two</a><p>");
  ASSERT_EQ(run.records.size(), 1u);
  // The first alternative captured the link before its condition failed; the capture stays. The
  // title attribute is absent: its capture is empty but still grows the record.
  EXPECT_EQ(run.records[0], (TRecord{"u1", "one", ""}));
}

TEST(TemplateMatching, StrictModeRestartsTheTemplateOnAStrayTag) {
  const std::string page =
      "<div class=r><span>sponsored</span><a href=ad>ad</a></div><p>"
      "<div class=r><a href=u>title</a></div><p>";
  const std::string lines = "div,class=r\na,href=$1\n$2\n/a\n";

  TEngineDefinition lenient = DefinitionFromText("---\n" + lines);
  const auto loose = RunPage(lenient, page);
  ASSERT_EQ(loose.records.size(), 2u);
  EXPECT_EQ(loose.records[0], (TRecord{"ad", "ad"}));

  // With "&" the span right after the first block breaks the sequence: that block is dropped.
  TEngineDefinition strict = DefinitionFromText("---\n&" + lines);
  const auto tight = RunPage(strict, page);
  ASSERT_EQ(tight.records.size(), 1u);
  EXPECT_EQ(tight.records[0], (TRecord{"u", "title"}));

  // "|" on the next line switches strict mode off again before that line's tag is looked for.
  TEngineDefinition relaxed = DefinitionFromText("---\n&div,class=r\n|a,href=$1\n$2\n/a\n");
  const auto mixed = RunPage(relaxed, "<div class=r><span>x</span><a href=v>t</a><p>");
  ASSERT_EQ(mixed.records.size(), 1u);
  EXPECT_EQ(mixed.records[0], (TRecord{"v", "t"}));
}

TEST(TemplateMatching, RepeatingAlternativeLetsOneTagFillSeveralLines) {
  TEngineDefinition definition = DefinitionFromText(
      "---\n"
      "@a,href=$1\n"
      "a,title=$2\n"
      "$3\n"
      "/a\n");
  const auto run = RunPage(definition, "<a href=u title=T>text</a><br>");
  ASSERT_EQ(run.records.size(), 1u);
  EXPECT_EQ(run.records[0], (TRecord{"u", "T", "text"}));
}

TEST(TemplateMatching, RepeatingEveryLineStillEndsAndCompletesOneRecordPerTag) {
  TEngineDefinition definition = DefinitionFromText(
      "---\n"
      "@a,href=$1\n"
      "@a,title=$2\n");
  // Each tag matches the whole template: it completes the waiting record and fills the next one.
  const auto run = RunPage(definition, "<a href=1 title=x><a href=2 title=y><p>");
  ASSERT_EQ(run.records.size(), 3u);
  EXPECT_EQ(run.records[0], (TRecord{"1", "x"}));
  EXPECT_EQ(run.records[1], (TRecord{"1", "x"}));
  EXPECT_EQ(run.records[2], (TRecord{"2", "y"}));
}

TEST(TemplateMatching, TemplateEndingInACaptureDoesNotLeakIntoTheNextRecord) {
  TEngineDefinition definition = DefinitionFromText("---\nb\n$1\n");
  const auto run = RunPage(definition, "<b>one</b> between <b>two</b><i>");
  ASSERT_EQ(run.records.size(), 2u);
  EXPECT_EQ(run.records[0], TRecord{"one"});
  EXPECT_EQ(run.records[1], TRecord{"two"});
}

TEST(TemplateMatching, CaptureLinesNamingNoFieldCaptureNothing) {
  TEngineDefinition definition = DefinitionFromText("---\nb\n$0\n/b\ni\n$x\n/i\n");
  const auto run = RunPage(definition, "<b>lost</b><i>lost too</i><p>");
  ASSERT_EQ(run.records.size(), 1u);
  EXPECT_TRUE(run.records[0].empty());
}

TEST(NextPageLink, TheLinkWhoseTrimmedTextIsTheNextLinkTextIsFollowed) {
  TEngineDefinition numbered = DefinitionFromText("Page=0,10,$page$\n---\nb\n");
  EXPECT_EQ(RunPage(numbered, "<a href=p1> 1 </a><a href=/p10>\r\n 10 \t</a><a href=p20>20</a>").nextPageTarget,
            "/p10");

  TEngineDefinition worded = DefinitionFromText("Page=0,10,Next\n---\nb\n");
  EXPECT_EQ(RunPage(worded, "<a href=n1><b>NEXT</b></a>").nextPageTarget, "n1");
  // The last link target counts even when that link has been closed; "Next page" is not "Next".
  EXPECT_EQ(RunPage(worded, "<a href=n2>x</a><span>next</span><a href=n3>Next page</a>").nextPageTarget, "n2");
  EXPECT_EQ(RunPage(worded, "<a href=n4>Next page</a>").nextPageTarget, "");

  // Without a template the page is not scanned at all.
  TEngineDefinition bare = DefinitionFromText("Page=0,10,Next");
  EXPECT_EQ(RunPage(bare, "<a href=n5>Next</a>").nextPageTarget, "");
}
