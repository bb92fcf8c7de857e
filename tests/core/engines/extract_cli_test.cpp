#include <gtest/gtest.h>

#include "support/test_support.h"

using quorvex::test::RunCli;
using quorvex::test::TempDir;

TEST(ExtractCommand, EscapesFieldsLeavesTheHeadRecordOutAndReportsAnErrorInOneLine) {
  TempDir dir;
  // CR LF line ends; the key goes in front, encoded; "$page$" of the next-link text is start + step.
  const auto definition = dir.Write("def.txt",
                                    "Head=head,record\r\nPage=5,10,\"p $page$\"\r\n---\r\nb\r\n$1\r\n/b\r\n---\r\n"
                                    "L,$2,$key$\r\n");
  const auto page =
      dir.Write("page.html", "<b>t\tc\rl\nb\\s\x01\x7F\xB0\xA1</b><b></b><a href=\"next\\page\">p 15</a>");
  const auto result = RunCli({"extract", definition.string(), page.string(), "--key", "a&b"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "R\tt\\tc\\rl\\nb\\\\s\\x01\\x7f\xB0\xA1\ta%26b\n"
            "R\t\ta%26b\n"
            "N\tnext\\\\page\n");
  EXPECT_EQ(result.err, "");

  // An extraction error keeps the earlier records.
  const auto doubling = dir.Write("doubling.txt", "---\na,href=$1\n/a\n---\n+,$1,$1,$1,$1,$1\n");
  const auto big = dir.Write("big.html", "<a href=ok></a><a href=" + std::string(2 << 20, 'x') + "></a><p>");
  const auto stopped = RunCli({"extract", doubling.string(), big.string()});
  EXPECT_EQ(stopped.exitCode, 0);
  EXPECT_EQ(stopped.out, "R\tokokokok\n");
  ASSERT_FALSE(stopped.err.empty());
  EXPECT_EQ(stopped.err.find('\n'), stopped.err.size() - 1) << stopped.err;
}
