#include <gtest/gtest.h>

#include "support/test_support.h"

namespace quorvex::test {
namespace {

using namespace std::string_literals;

TEST(TagsCommand, PrintsOneEscapedLinePerEventOrTheRebuiltDocument) {
  TempDir dir;
  const std::string page = "<!DOCTYPE html>\r\n<a href = \"x\\y\" nowrap\tid=1 on>t\x01\x7F\xB0\xA1</a>";
  const CliResult result = RunCli({"tags", dir.Write("p.html", page).string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "X\t\\r\\n\n"
            "T\ta\thref=x\\\\y\tnowrap\\tid=1\ton\n"
            "X\tt\\x01\\x7f\xB0\xA1\n"
            "T\t/a\n"
            "X\t\n");
  const CliResult rebuilt = RunCli({"tags", "--rebuild", dir.Write("q.html", "<p class=a checked>x\0end"s).string()});
  EXPECT_EQ(rebuilt.out, "<p class=\"a\">x\0end"s);
}

}  // namespace
}  // namespace quorvex::test
