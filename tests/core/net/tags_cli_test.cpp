#include <gtest/gtest.h>

#include "support/test_support.h"

namespace quorvex::test {
namespace {

using namespace std::string_literals;

TEST(TagsCommand, PrintsOneEscapedLinePerEvent) {
  TempDir dir;
  const std::string page = "<!DOCTYPE html>\r\n<a href = \"x\\y\" nowrap\tid=1 on>t\x01\x7F\xB0\xA1</a>";
  const CliResult result = RunCli({"tags", dir.Write("p.html", page).string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "X\t\\r\\n\n"
            "T\ta\thref=x\\\\y\tnowrap\\tid=1\ton\n"
            "X\tt\\x01\\x7f\xB0\xA1\n"
            "T\t/a\n"
            "X\t\n");
}

TEST(TagsCommand, RebuildWritesTheDocumentAndNothingElse) {
  TempDir dir;
  const std::string page = "<p class=a checked>x<!-- gone --><script>a<b</script>\0end"s;
  const CliResult result = RunCli({"tags", "--rebuild", dir.Write("p.html", page).string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "<p class=\"a\">x<script>a<b</script>\0end"s);

  const CliResult empty = RunCli({"tags", "--rebuild", dir.Write("empty.html", "").string()});
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_EQ(empty.out, "");
}

TEST(TagsCommand, ExplainsItselfAndRefusesBadArguments) {
  const CliResult help = RunCli({"tags", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: quorvex-cli tags"), std::string::npos);

  TempDir dir;
  const CliResult missing = RunCli({"tags", (dir / "none.html").string()});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("none.html"), std::string::npos);

  EXPECT_EQ(RunCli({"tags"}).exitCode, 2);
  EXPECT_EQ(RunCli({"tags", "--bogus", (dir / "none.html").string()}).exitCode, 2);
}

}  // namespace
}  // namespace quorvex::test
