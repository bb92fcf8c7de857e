#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"

using namespace quorvex;
using test::DefinitionFromText;

namespace {

struct Applied {
  TRecord record;
  bool keep;
};

// Runs the rule lines over record as they run over a completed record of the page at pageUrl.
Applied Apply(const std::string& rules, TRecord record, const std::string& pageUrl = "http://e/dir/page.html") {
  TEngineDefinition definition = DefinitionFromText("Prg=Quorvex test\n---\n---\n" + rules, "a b");
  definition.BeginPage(pageUrl, "");
  const bool keep = definition.ApplyRules(record);
  return {record, keep};
}

void ExpectExtractionError(const std::string& rules, const TRecord& record) {
  TEngineDefinition definition = DefinitionFromText("---\n---\n" + rules);
  TRecord copy = record;
  EXPECT_THROW(definition.ApplyRules(copy), EExtractionError) << rules;
}

}  // namespace

TEST(SplitRule, SplitsAtTheFirstSeparatorIntoExistingFields) {
  EXPECT_EQ(Apply("S,$1,#13#10,$2,$3", {"a\r\nb\r\nc", "", ""}).record, (TRecord{"a\r\nb\r\nc", "a", "b\r\nc"}));
  EXPECT_EQ(Apply("S,$1,-,$2,$1", {"x-y", ""}).record, (TRecord{"y", "x"}));
  // A four-item line leaves the second destination out; destinations are never created.
  EXPECT_EQ(Apply("S,$1,-,$2", {"x-y", "", ""}).record, (TRecord{"x-y", "x", ""}));
  EXPECT_EQ(Apply("S,$1,-,$2,$5", {"x-y", ""}).record, (TRecord{"x-y", "x"}));
  // No separator in the field, an empty separator, a missing source, too few items: nothing.
  EXPECT_EQ(Apply("S,$1,+,$2,$3", {"x-y", "2", "3"}).record, (TRecord{"x-y", "2", "3"}));
  EXPECT_EQ(Apply("S,$1,\"\",$2,$3", {"x-y", "2", "3"}).record, (TRecord{"x-y", "2", "3"}));
  EXPECT_EQ(Apply("S,$4,-,$2,$3", {"x-y", "2", "3"}).record, (TRecord{"x-y", "2", "3"}));
  EXPECT_EQ(Apply("S,$1,-", {"x-y", "2"}).record, (TRecord{"x-y", "2"}));
}

TEST(ReplaceRule, LooksTheFieldUpAmongTheItems) {
  const std::string rule = "R,$2,a=Alpha,B=Beta,c=,b=second";
  EXPECT_EQ(Apply(rule, {"x", "b"}).record[1], "Beta");  // names ignore case; the first one wins
  EXPECT_EQ(Apply(rule, {"x", "c"}).record[1], "c");     // an empty value leaves the field alone
  EXPECT_EQ(Apply(rule, {"x", "z"}).record[1], "z");
  EXPECT_EQ(Apply("R,$3,x=y", {"x"}).record, TRecord{"x"});
  EXPECT_EQ(Apply("R,$1", {"x"}).record, TRecord{"x"});
}

TEST(ListRules, TrimStripJoinAndDecodeTheListedFields) {
  // Four items: the padded fifth names no field and is skipped, not an error.
  EXPECT_EQ(Apply("T,$1,$2,$3", {" a ", "\tb \n"}).record, (TRecord{"a", "b"}));
  EXPECT_EQ(Apply("A,$1,$0,$9", {" a b\tc "}).record, TRecord{"abc"});
  EXPECT_EQ(Apply("U,$1,$2,$3", {"x.html", "/y", "http://z/"}).record,
            (TRecord{"http://e/dir/x.html", "http://e/y", "http://z/"}));
  EXPECT_EQ(Apply("D,$2", {"a+b", "a+b%41%zz"}).record, (TRecord{"a+b", "a bA%zz"}));
}

TEST(ListRules, AReferenceBelowOneIsAnExtractionError) {
  for (const char* rule : {"T,$0", "U,$1,$0", "D,$x", "T,$1,,$2", "+,$0,a", "+,$1,$0", "+,$1,$"}) {
    ExpectExtractionError(rule, {"a", "b"});
  }
  // The same references elsewhere are skipped quietly.
  EXPECT_TRUE(Apply("A,$0\nC,$0,x\nL,$0,y\nR,$0,a=b\nS,$0,-,$1,$2", {"a-b", "c"}).keep);
}

TEST(CheckRule, EachCheckOverwritesTheVerdict) {
  const std::string rules = "C,$2,foo\nC,$3,bar";
  EXPECT_TRUE(Apply(rules, {"u", "no", "a bar"}).keep);
  EXPECT_FALSE(Apply(rules, {"u", "foo", "BAR"}).keep);  // case counts
  // "N" inverts, also when the field is missing: here it inverts the verdict of the check before.
  EXPECT_TRUE(Apply("C,$1,x\nC,$9,y,N", {"u", "t", "s"}).keep);
  EXPECT_FALSE(Apply("C,$9,y,N", {"u", "t", "s"}).keep);
  EXPECT_FALSE(Apply("C,$1,ad,N", {"http://ad/"}).keep);
  // An empty text never occurs.
  EXPECT_FALSE(Apply("C,$1,\"\"", {"u"}).keep);
}

TEST(LetRule, SetsAndGrowsWithThreeSpecialValues) {
  const Applied now = Apply("L,$5,$now$", {"u", "t", "s"});
  ASSERT_EQ(now.record.size(), 5u);
  EXPECT_EQ(now.record[3], "");
  EXPECT_EQ(now.record[4].size(), std::string("2024-01-31 12:00:00").size());
  EXPECT_EQ(Apply("L,$1,$KEY$\nL,$2,$Prg$\nL,$4,ENG", {}).record, (TRecord{"a+b", "Quorvex test", "", "ENG"}));
  EXPECT_EQ(Apply("L,$1,\"\"", {"u"}).record, TRecord{""});
  EXPECT_EQ(Apply("L,$1", {"u"}).record, TRecord{"u"});
}

TEST(JoinRule, JoinsFieldsAndTextIntoAnExistingField) {
  EXPECT_EQ(Apply("+,$3,$1,\" - \",$2,$7", {"a", "b", ""}).record, (TRecord{"a", "b", "a - b"}));
  EXPECT_EQ(Apply("+,$9,$1", {"a"}).record, TRecord{"a"});
  EXPECT_EQ(Apply("+,$1", {"a"}).record, TRecord{""});
  EXPECT_EQ(Apply("+", {"a"}).record, TRecord{"a"});
  // A field fed into itself doubles each time; past a few megabytes that is an error, not a crash.
  std::string doubling;
  for (int i = 0; i < 64; ++i) doubling += "+,$1,$1,$1\n";
  ExpectExtractionError(doubling, {"12345678"});
}

TEST(Rules, OnlyExactRuleLettersAct) {
  EXPECT_EQ(Apply("s,$1,-,$2,$3\nSS,$1,-,$2,$3\n---\nx", {"a-b", "", ""}).record, (TRecord{"a-b", "", ""}));
}

TEST(IsUniqueRecord, ComparesTheUniqueFieldsIgnoringCaseWithEveryKeptRecord) {
  const std::string page =
      "<p><i>u1</i><i>t</i><i>s</i></p><p><i>U1</i><i>x</i><i>S</i></p>"
      "<p><i>u1</i><i>t</i><i>other</i></p><p><i></i><i>t</i><i>s</i></p><hr>";
  const std::string lines = "---\np\ni\n$1\n/i\ni\n$2\n/i\ni\n$3\n/i\n/p\n";

  // Fields 1 and 3 decide; field 2 is not compared.
  TEngineDefinition byUrlAndSummary = DefinitionFromText("Head=\"\",\"\",\"\"\nUniqe=$1,$3\n" + lines);
  const auto run = test::RunPage(byUrlAndSummary, page);
  ASSERT_EQ(run.records.size(), 3u);
  EXPECT_EQ(run.records[1], (TRecord{"u1", "t", "other"}));
  EXPECT_EQ(run.records[2], (TRecord{"", "t", "s"}));

  // With a head of three empty fields, an empty field 1 is a duplicate of the head.
  TEngineDefinition byUrl = DefinitionFromText("Head=\"\",\"\",\"\"\nUniqe=x\n" + lines);
  EXPECT_EQ(test::RunPage(byUrl, page).records.size(), 1u);

  // Without a head every record is a duplicate of the empty head record: nothing is compared.
  TEngineDefinition headless = DefinitionFromText("Uniqe=$1\n" + lines);
  EXPECT_TRUE(test::RunPage(headless, page).records.empty());

  // Without "Uniqe" every record is new.
  TEngineDefinition everything = DefinitionFromText(lines);
  EXPECT_EQ(test::RunPage(everything, page).records.size(), 4u);
}
