#include <gtest/gtest.h>
#include <unistd.h>

#include "core/common/file_io.h"
#include "core/net/url.h"
#include "core/store/TOneKey.h"
#include "support/local_servers.h"
#include "verify_test_support.h"

namespace quorvex::test {
namespace {

TEST(VerifyCli, PrintsAndSavesEveryResultsPageState) {
  QUORVEX_REQUIRE_PROGRAM("nginx");
  NginxServer nginx;
  ASSERT_TRUE(nginx.Started()) << nginx.Log();
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / "ok.html", "<img src=a.gif>"));
  const std::filesystem::path programDir = std::filesystem::path(QUORVEX_CLI_PATH).parent_path();
  const std::vector<std::string> categories = {"Offline demo"};

  TOneKey key("verify-cli-" + std::to_string(::getpid()), 45000.25, 0, 0);
  AddResults(key, {nginx.Url("/ok.html"), nginx.Url("/gone.html")});
  key.ResultCount = 2;
  std::filesystem::create_directories(programDir / "SearchResult");
  ASSERT_TRUE(key.SaveResults(programDir / "SearchResult"));
  TempDir work;
  work.Write("AllKey.txt", key.ToLine(categories) + "\r\n");

  const CliResult result = RunCli({"verify", "--download", key.Keyword}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "V\t1\t" + nginx.Url("/ok.html") + "\nV\t3\t" + nginx.Url("/gone.html") + "\n");
  EXPECT_NE(result.err.find("Downloaded:2 Total:2 100.00%"), std::string::npos) << result.err;

  TOneKey saved("", 0, 0, 0);
  saved.Keyword = key.Keyword;
  saved.Date = key.Date;
  ASSERT_TRUE(saved.LoadResults(programDir / "SearchResult"));
  EXPECT_EQ(PageStates(saved), (std::vector<int>{kPageDownloaded, kPageFailed}));
  const std::filesystem::path pageFolder = programDir / "LocalFile" / SafeName(nginx.Url("/ok.html"));
  EXPECT_EQ(ReadWholeFile(pageFolder / "0.htm").value_or(""), "<img src=\"1.gif\">");
  std::filesystem::remove_all(pageFolder);
  std::filesystem::remove(key.ResultFile(programDir / "SearchResult"));

  EXPECT_EQ(RunCli({"verify", "no such keyword"}, work.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"verify"}, work.Path()).exitCode, 2);
}

}  // namespace
}  // namespace quorvex::test
