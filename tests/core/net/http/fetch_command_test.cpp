#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "http_test_helpers.h"

namespace quorvex::test {
namespace {

TEST(FetchCommand, PrintsStatusHeadersAndTheRawBodyAndPassesItsOptionsOn) {
  const std::string body("binary\0\r\nbody\xff", 14);
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {"Server: test", "X-Two: 2"}, body), Reply("HTTP/1.0 204 No Content")});
  TempDir dir;
  const CliResult result = RunCli({"fetch", "--cookie", "c=1", "--referer", "http://r/", "--timeout", "5", "--save",
                                   (dir / "copy").string(), server.Url("/page")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "200\nServer: test\nX-Two: 2\n\n" + body);
  EXPECT_EQ(ReadWholeFile(dir / "copy"), body);
  EXPECT_EQ(RunCli({"fetch", "--head", server.Url("/h")}).out, "204\n\n");
  RunCli({"fetch", "--post", "--proxy", "127.0.0.1:" + std::to_string(server.Port()), "http://example.test/p?a=1"});
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[0].find("\r\nCookie: c=1\r\nReferer: http://r/\r\n"), std::string::npos);
  EXPECT_TRUE(requests[1].starts_with("HEAD /h HTTP/1.0\r\n"));
  EXPECT_TRUE(requests[2].starts_with("POST http://example.test/p HTTP/1.0\r\n"));

  // A failed request is an answer too: exit status 0.
  const CliResult refused = RunCli({"fetch", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/"});
  EXPECT_EQ(refused.exitCode, 0);
  EXPECT_EQ(refused.out, "510\n\n");
}

}  // namespace
}  // namespace quorvex::test
