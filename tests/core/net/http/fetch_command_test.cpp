#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "http_test_helpers.h"

namespace quorvex::test {
namespace {

TEST(FetchCommand, PrintsStatusHeadersAndTheRawBody) {
  const std::string body("binary\0\r\nbody\xff", 14);
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {"Server: test", "X-Two: 2"}, body)});
  TempDir dir;
  const CliResult result = RunCli({"fetch", "--cookie", "c=1", "--referer", "http://r/", "--timeout", "5", "--save",
                                   (dir / "copy").string(), server.Url("/page")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "200\nServer: test\nX-Two: 2\n\n" + body);
  EXPECT_EQ(ReadWholeFile(dir / "copy"), body);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_NE(server.Requests()[0].find("\r\nCookie: c=1\r\nReferer: http://r/\r\n"), std::string::npos);
}

TEST(FetchCommand, HeadPostAndProxyChooseTheRequest) {
  LoopbackServer server({Reply("HTTP/1.0 204 No Content")});
  const std::string proxy = "127.0.0.1:" + std::to_string(server.Port());
  EXPECT_EQ(RunCli({"fetch", "--head", server.Url("/h")}).out, "204\n\n");
  EXPECT_EQ(RunCli({"fetch", "--post", server.Url("/p?a=1")}).exitCode, 0);
  EXPECT_EQ(RunCli({"fetch", "--proxy", proxy, "http://example.test/x"}).exitCode, 0);
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[0].starts_with("HEAD /h HTTP/1.0\r\n"));
  EXPECT_TRUE(requests[1].starts_with("POST /p HTTP/1.0\r\n"));
  EXPECT_TRUE(requests[2].starts_with("GET http://example.test/x HTTP/1.0\r\n"));
}

TEST(FetchCommand, FailuresExitZeroAndWrongArgumentsExitTwo) {
  const CliResult refused = RunCli({"fetch", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/"});
  EXPECT_EQ(refused.exitCode, 0);
  EXPECT_EQ(refused.out, "510\n\n");

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"fetch"},
                                             {"fetch", "--head", "--post", "http://x/"},
                                             {"fetch", "--timeout", "-1", "http://x/"},
                                             {"fetch", "http://x/", "http://y/"}}) {
    const CliResult wrong = RunCli(args);
    EXPECT_EQ(wrong.exitCode, 2) << args.back();
    EXPECT_NE(wrong.err.find("usage: quorvex-cli fetch"), std::string::npos);
  }
  const CliResult help = RunCli({"fetch", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: quorvex-cli fetch", 0), 0u);
}

}  // namespace
}  // namespace quorvex::test
