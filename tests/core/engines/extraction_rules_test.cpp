#include <gtest/gtest.h>

#include <vector>

#include "core/engines/TEngineDefinition.h"
#include "core/engines/query_text.h"
#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;
using test::DefinitionFromText;
using test::RunCli;
using test::TempDir;

namespace {

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

TEST(Rules, SplitReplaceListAndBase64RulesChangeTheirFields) {
  EXPECT_EQ(Apply("S,$1,#13#10,$2,$3", {"a\r\nb\r\nc", "", ""}).record, (TRecord{"a\r\nb\r\nc", "a", "b\r\nc"}));
  // Four items leave the second destination out; destinations are never created; no separator in the
  // field, an empty one, a missing source or too few items change nothing.
  EXPECT_EQ(Apply("S,$1,-,$2", {"x-y", "", ""}).record, (TRecord{"x-y", "x", ""}));
  for (const char* rule : {"S,$1,+,$2,$3", "S,$1,\"\",$2,$3", "S,$4,-,$2,$3", "S,$1,-"}) {
    EXPECT_EQ(Apply(rule, {"x-y", "2", "3"}).record, (TRecord{"x-y", "2", "3"})) << rule;
  }

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
  EXPECT_EQ(countKept("Head=\"\",\"\",\"\"\nUniqe=x\n"), 1u);      // an empty field 1 is the head's
  EXPECT_EQ(countKept(""), 4u);
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
