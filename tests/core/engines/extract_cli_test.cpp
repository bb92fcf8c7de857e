#include <gtest/gtest.h>

#include "support/test_support.h"

using quorvex::test::RunCli;
using quorvex::test::TempDir;

namespace {

std::string SampleFile(const std::string& name) { return std::string(QUORVEX_SOURCE_DIR) + "/data/sample/" + name; }

}  // namespace

TEST(ExtractCommand, PrintsTheSampleRecordsAndItsNextPage) {
  const auto result = RunCli({"extract", SampleFile("sample.def"), SampleFile("sample-results.html"), "--key",
                              "meta search", "--url", "http://www.example.com/search?q=meta+search"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "R\thttp://www.metasearch-notes.example/intro.html\tWhat a meta search engine does\tA meta search engine "
            "sends one query to many engines at once and merges what they answer into a single list.\tENG\n"
            "R\thttps://docs.example.org/ranking/merge.html\tMerging ranked result lists\tHow scores from several "
            "engines can be combined: round robin, weighted sums and voting.\tENG\n"
            "R\thttp://www.example.com/guide/duplicates.html\tFinding duplicate results\tThe same address often "
            "comes back from several engines; keep it once.\tENG\n"
            "R\thttp://www.example.edu/~lab/metasearch.pdf\tMeta search engines: a survey\tArchitecture, result "
            "merging and evaluation of meta search engines.\tENG\n"
            "N\t/search?q=meta+search&amp;first=11\n");
}

TEST(ExtractCommand, EscapesFieldsAndLeavesTheHeadRecordOut) {
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
}

TEST(ExtractCommand, AnExtractionErrorKeepsEarlierRecordsAndReportsOneLine) {
  TempDir dir;
  const auto definition = dir.Write("def.txt", "---\na,href=$1\n/a\n---\n+,$1,$1,$1,$1,$1\n");
  const auto page = dir.Write("page.html", "<a href=ok></a><a href=" + std::string(2 << 20, 'x') + "></a><p>");
  const auto result = RunCli({"extract", definition.string(), page.string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "R\tokokokok\n");
  ASSERT_FALSE(result.err.empty());
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
}

TEST(ExtractCommand, MissingFilesAndBadArgumentsExitWithTwo) {
  TempDir dir;
  const auto page = dir.Write("page.html", "<b>x</b>");
  const auto missingDefinition = RunCli({"extract", (dir / "none.txt").string(), page.string()});
  EXPECT_EQ(missingDefinition.exitCode, 2);
  EXPECT_NE(missingDefinition.err.find("none.txt"), std::string::npos);
  EXPECT_EQ(missingDefinition.out, "");
  EXPECT_EQ(RunCli({"extract", page.string(), (dir / "none.html").string()}).exitCode, 2);
  EXPECT_EQ(RunCli({"extract", page.string()}).exitCode, 2);
  EXPECT_EQ(RunCli({"extract", page.string(), page.string(), "--key"}).exitCode, 2);
  EXPECT_EQ(RunCli({"extract", page.string(), page.string(), "--bogus"}).exitCode, 2);

  const auto help = RunCli({"extract", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: quorvex-cli extract DEFINITION PAGE"), std::string::npos);
}
