#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "core/common/file_io.h"
#include "core/net/TSHttp.h"
#include "support/local_servers.h"
#include "support/silent_name_server.h"

namespace quorvex::test {
namespace {

constexpr const char* kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)\r\n";

std::string RequestText(const std::string& requestLine, const std::string& extra = "", const std::string& host = "127.0.0.1") {
  return requestLine + "\r\n" + kAgentLine + "Host: " + host + "\r\n" + extra + "\r\n";
}

TEST(TSHttpRequest, WritesTheRequestTextByteForByte) {
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {}, "ok")});
  TSHttp http;
  // Entities are decoded first; the target goes out unescaped and the Host line never carries a port.
  http.Request(server.Url("/a b/c?x=1&amp;y=&lt;2&gt;&#38;"), TSHttp::kGet);
  EXPECT_EQ(http.Url, server.Url("/a b/c?x=1&y=<2>&#38;"));
  http.Cookie = "id=7; lang=gb";
  http.Referer = "http://ref.example/page";
  http.Request("127.0.0.1:" + std::to_string(server.Port()), TSHttp::kHead);  // no "://", no path
  http.Cookie.clear();
  http.Referer.clear();
  http.Request(server.Url("/form?q=word&n=10"), TSHttp::kPost);
  http.Request(server.Url("/noquery"), TSHttp::kPost);
  // Line breaks from a hostile link or header value never split a line of the request.
  http.Referer = "http://ref/\r\nX-Injected: 1";
  http.Request(server.Url("/in\r\nX-Injected: 2\r\n\r\njected"), TSHttp::kGet);

  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{
                RequestText("GET /a b/c?x=1&y=<2>&#38; HTTP/1.0"),
                RequestText("HEAD / HTTP/1.0", "Cookie: id=7; lang=gb\r\nReferer: http://ref.example/page\r\n"),
                RequestText("POST /form HTTP/1.0", "Content-Length: 11\r\n") + "q=word&n=10",
                // Without a "?" the target is empty and the whole path is the body.
                RequestText("POST  HTTP/1.0", "Content-Length: 8\r\n") + "/noquery",
                RequestText("GET /inX-Injected: 2jected HTTP/1.0", "Referer: http://ref/X-Injected: 1\r\n")}));
  EXPECT_EQ(http.Port, std::to_string(server.Port()));
}

// Failures on the way give 510 and keep the last headers.
TEST(TSHttpRequest, SplitsTheAnswerIntoStatusHeadersAndBodyAndFailuresOnTheWayGive510) {
  LoopbackServer server({
      Sends("HTTP/1.1 404 Not Found\r\nContent-Type:  text/html \t\r\nX-Odd\rSet-Cookie: a=1\n"
            "NoColonHere\r\nset-cookie: b=2\r\n\r\nbody\r\n\r\nwith a blank line"),
      Reply("HTTP/1.0 abc Broken", {}, "x"),
      Sends("HTTP/1.0 200 OK\nServer: lf-only\n\nbody"),  // LF LF is no header block
      // The blank line starts at byte 65534: it straddles the end of the first 64 KiB that are read.
      Reply("HTTP/1.0 200 OK", {"X-Pad: " + std::string(65510, 'p')}, "body"),
      ScriptedReply{},  // closes without a word
  });
  TSHttp http;
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 404);
  EXPECT_EQ(http.Headers, (std::vector<std::string>{"HTTP/1.1 404 Not Found", "Content-Type:  text/html \t", "X-Odd",
                                                    "Set-Cookie: a=1", "NoColonHere", "set-cookie: b=2"}));
  EXPECT_EQ(http.Body, "body\r\n\r\nwith a blank line");
  EXPECT_TRUE(http.GetHeader("content-TYPE") == "text/html" && http.GetHeader("SET-COOKIE") == "a=1");
  EXPECT_TRUE(http.GetHeader("NoColonHere").empty() && http.GetHeader("HTTP/1.1 404 Not Found").empty());
  for (const std::string url : {"http:///no-host", "http://127.0.0.1:70000/"}) {
    http.Status = 0;
    http.Request(url, TSHttp::kGet);
    EXPECT_TRUE(http.Status == 510 && http.GetHeader("content-type") == "text/html" && http.Body.empty()) << url;
  }

  const std::vector<std::pair<int, std::string>> rest = {
      {500, "x"}, {501, "HTTP/1.0 200 OK\nServer: lf-only\n\nbody"}, {200, "body"}, {501, ""}};
  for (const auto& [status, body] : rest) {
    http.Request(server.Url("/"), TSHttp::kGet);
    EXPECT_EQ(std::pair(static_cast<int>(http.Status), http.Body), std::pair(status, body));
  }
  EXPECT_TRUE(http.Headers.empty());
}

TEST(TSHttpRequest, FollowsRedirectsWithGetTheCallersHostLineAndUrlForTenExchangesAtMost) {
  // Any answer with a location is followed; a relative one is joined to the caller's URL.
  LoopbackServer away({Reply("HTTP/1.0 200 OK", {"Location: third?x=1"}, "not yet")});
  LoopbackServer origin({Redirect("http://localhost:" + std::to_string(away.Port()) + "/elsewhere"),
                         Reply("HTTP/1.0 200 OK", {"X-Final: yes"}, "third body"), Redirect("/next"),
                         Reply("HTTP/1.0 200 OK", {}, "after post")});
  TSHttp http;
  http.Request(origin.Url("/dir/page.html"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == "third body" && http.GetHeader("X-Final") == "yes");
  EXPECT_EQ(http.Url, origin.Url("/dir/page.html"));
  // The other host gets the first exchange's Host line.
  EXPECT_EQ(away.Requests(), std::vector<std::string>{RequestText("GET /elsewhere HTTP/1.0")});
  http.Cookie = "c=1";
  http.Request(origin.Url("/form?a=b"), TSHttp::kPost);
  EXPECT_EQ(http.Body, "after post");
  EXPECT_EQ(origin.Requests(),
            (std::vector<std::string>{RequestText("GET /dir/page.html HTTP/1.0"),
                                      RequestText("GET /dir/third?x=1 HTTP/1.0"),
                                      RequestText("POST /form HTTP/1.0", "Cookie: c=1\r\nContent-Length: 3\r\n") + "a=b",
                                      RequestText("GET /next HTTP/1.0", "Cookie: c=1\r\n")}));

  LoopbackServer loop({Redirect("/again")});
  http.Request(loop.Url("/start"), TSHttp::kHead);
  // HEAD is followed with GET too.
  EXPECT_TRUE(loop.Connections() == 10u && loop.Requests()[1].starts_with("GET /again HTTP/1.0\r\n"));
  EXPECT_TRUE(http.Status == 302 && http.Body == "moved");
}

TEST(TSHttpRequest, SavesEveryNonEmptyBodyAndOnlyWhatWasReceivedWhole) {
  TempDir dir;
  const std::filesystem::path file = dir / "saved.bin";
  LoopbackServer server({Reply("HTTP/1.0 404 Not Found", {}, "not here"),
                         Reply("HTTP/1.0 200 OK", {"Content-Length: 5"}), Redirect("/final"),
                         Reply("HTTP/1.0 200 OK", {}, "final body"), Reply("HTTP/1.0 200 OK", {}, "z")});
  TSHttp http;
  http.SaveFile = file.string();
  http.Request(server.Url("/missing"), TSHttp::kGet);
  EXPECT_EQ(ReadWholeFile(file), "not here");
  http.Request(server.Url("/head"), TSHttp::kHead);  // an empty body leaves the file alone
  EXPECT_EQ(ReadWholeFile(file), "not here");
  http.Request(server.Url("/moved"), TSHttp::kGet);  // the redirect's body is overwritten by the last one
  EXPECT_EQ(ReadWholeFile(file), "final body");
  // A body that cannot be stored fails the request.
  http.SaveFile = (dir / "no such folder" / "file").string();
  http.Request(server.Url("/z"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 510);
}

TEST(TSHttpRequest, SendsTheWholeUrlToAProxy) {
  LoopbackServer proxy({Redirect("/next"), Reply("HTTP/1.0 200 OK", {}, "via proxy")});
  TSHttp http;
  http.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
  http.Request("http://example.test:81/path?q=1&amp;r=2", TSHttp::kGet);
  http.Request("example.test/bare", TSHttp::kGet);
  EXPECT_EQ(http.Body, "via proxy");
  EXPECT_EQ(proxy.Requests(),
            (std::vector<std::string>{RequestText("GET http://example.test:81/path?q=1&r=2 HTTP/1.0", "", "example.test"),
                                      RequestText("GET http://example.test:81/next HTTP/1.0", "", "example.test"),
                                      RequestText("GET http://example.test/bare HTTP/1.0", "", "example.test")}));
  EXPECT_EQ(http.Port, std::to_string(proxy.Port()));
}

TEST(FetchCommand, PrintsStatusHeadersAndTheRawBodyAndPassesItsOptionsOn) {
  const std::string body("binary\0\r\nbody\xff", 14);
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {"Server: test", "X-Two: 2"}, body), Reply("HTTP/1.0 204 No Content")});
  TempDir dir;
  const CliResult result = RunCli({"fetch", "--cookie", "c=1", "--referer", "http://r/", "--timeout", "5", "--save",
                                   (dir / "copy").string(), server.Url("/page")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "200\nServer: test\nX-Two: 2\n\n" + body);
  EXPECT_TRUE(ReadWholeFile(dir / "copy") == body && RunCli({"fetch", "--head", server.Url("/h")}).out == "204\n\n");
  RunCli({"fetch", "--post", "--proxy", "127.0.0.1:" + std::to_string(server.Port()), "http://example.test/p?a=1"});
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[0].find("\r\nCookie: c=1\r\nReferer: http://r/\r\n"), std::string::npos);
  EXPECT_TRUE(requests[1].starts_with("HEAD /h HTTP/1.0\r\n") &&
              requests[2].starts_with("POST http://example.test/p HTTP/1.0\r\n"));

  // A failed request is an answer too: exit status 0.
  const CliResult refused = RunCli({"fetch", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/"});
  EXPECT_TRUE(refused.exitCode == 0 && refused.out == "510\n\n");
}


using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Without an abort or a time-out these requests would wait until the server stops.
constexpr milliseconds kPromptly{1000};

std::future<void> StartRequest(TSHttp& http, const std::string& url, int method = TSHttp::kGet) {
  return std::async(std::launch::async, [&http, url, method] { http.Request(url, method); });
}

bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!done() && Clock::now() < deadline) std::this_thread::yield();
  return done();
}

std::string UnansweredUrl(const UnansweredPort& port) { return "http://127.0.0.1:" + std::to_string(port.Port()) + "/"; }

TEST(TSHttpAbort, EndsABlockedLookupConnectSendOrReceiveAndAbortAllEveryLaterRequestAsATimeOutDoes) {
  SilentNameServer nameServer;
  UnansweredPort port;
  LoopbackServer deafServer({ScriptedReply{false, 0, "", true}}, 4096);  // never reads: a large POST blocks in send
  LoopbackServer partialServer({ScriptedReply{true, 0, Answer("HTTP/1.0 200 OK", {}, "part of it"), true}});

  struct Case {
    std::string url;
    int method;
    std::function<bool()> blocked;  // the request has reached the step that blocks
  };
  const std::vector<Case> cases = {
      {"http://blackhole.test/", TSHttp::kGet, [&] { return nameServer.WaitForQuery(0); }},
      {UnansweredUrl(port), TSHttp::kGet, [] { return true; }},
      {deafServer.Url("/upload?") + std::string(8 << 20, 'p'), TSHttp::kPost, [&] { return deafServer.Connections() > 0; }},
      {partialServer.Url("/"), TSHttp::kGet, [&] { return partialServer.Connections() > 0; }},
  };
  for (const Case& step : cases) {
    TSHttp http;
    auto running = StartRequest(http, step.url, step.method);
    ASSERT_TRUE(WaitFor(step.blocked));
    http.AbortAll();  // AbortAll: the connect case cannot see whether its request has begun
    ASSERT_EQ(running.wait_for(kPromptly), std::future_status::ready) << step.url.substr(0, 40);
    EXPECT_TRUE(http.Aborted);
  }

  LoopbackServer server({Reply("HTTP/1.0 200 OK", {}, "fine")});
  TSHttp http;
  http.Abort();
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(!http.Aborted && http.Status == 200);

  http.AbortAll();
  http.Request(server.Url("/"), TSHttp::kGet);
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(http.Aborted && server.Connections() == 1u);

  // The same steps end by the time-out, each with its reason.
  TSHttp timed;
  timed.TimeOutSeconds = 1;
  const std::vector<std::pair<std::string, std::string>> timeOuts = {
      {"http://blackhole.test/", "Lookup host error!: no answer for blackhole.test within 1 s"},
      {UnansweredUrl(port), "Conncet_error: 127.0.0.1:" + std::to_string(port.Port()) + ": time-out after 1 s"},
      {partialServer.Url("/"), "Receive error: time-out after 1 s"},
  };
  for (const auto& [url, failure] : timeOuts) {
    const auto start = Clock::now();
    timed.Request(url, TSHttp::kGet);
    EXPECT_EQ(timed.Failure, failure);
    const auto took = Clock::now() - start;
    EXPECT_TRUE(timed.Status == 510 && took >= milliseconds(900) && took < milliseconds(5000));
  }
  EXPECT_FALSE(timed.Aborted);
  // A receive that fails keeps the bytes read so far.
  EXPECT_TRUE(timed.Body == Answer("HTTP/1.0 200 OK", {}, "part of it") && timed.Headers.empty());
}

TEST(TSHttpLookup, AddressesAndTheHostsFileNeedNoNameServer) {
  SilentNameServer nameServer;
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {}, "fine")});
  TSHttp http;
  http.TimeOutSeconds = 1;
  for (const char* host : {"127.0.0.1", "localhost", "127.1"}) {
    http.Request("http://" + std::string(host) + ":" + std::to_string(server.Port()) + "/", TSHttp::kGet);
    EXPECT_EQ(http.Status, 200) << host << ": " << http.Failure;
  }
  EXPECT_FALSE(nameServer.WaitForQuery(0));
  // A name the name server says does not exist was looked up: it is the connection that fails.
  auto running = StartRequest(http, "http://nowhere.test:81/");
  while (running.wait_for(milliseconds(0)) != std::future_status::ready) nameServer.AnswerNoSuchName(20);
  EXPECT_EQ(http.Failure, "Conncet_error: nowhere.test:81: the host has no address");
}

// An answer past the size cap fails on the way: the raw bytes stay in Body, the file is not touched.
TEST(TSHttpSizeCap, AllowsAnAnswerUpToTheCapAndFailsOneByteMoreWithoutSavingIt) {
  TempDir dir;
  const std::string answer = Answer("HTTP/1.0 200 OK", {"Content-Length: 1000"}, std::string(1000, 'b'));
  // Small on the wire, but a string per byte once split into header lines.
  const std::string manyLines = "HTTP/1.0 200 OK" + std::string(300, '\n') + "\r\n\r\n";
  LoopbackServer server({Sends(answer), Sends(answer), Sends(manyLines)});
  TSHttp http;
  http.SaveFile = (dir / "saved").string();
  http.MaxResponseBytes = answer.size();
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == std::string(1000, 'b'));

  http.MaxResponseBytes = answer.size() - 1;
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 510 && http.Body.starts_with("HTTP/1.0 200 OK\r\n") &&
              ReadWholeFile(dir / "saved") == std::string(1000, 'b'));

  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 510 && http.Body == manyLines);
}

// Against Debian's nginx and tinyproxy.

// Deterministic pseudo-random bytes, so that a dropped or repeated piece shows.
std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 11);
  return bytes;
}

constexpr const char* kMovedConfig =
    "location = /to-tls { return 301 https://localhost:{TLS_PORT}/new.html; }\n"
    "location = /to-plain { return 301 http://127.0.0.1:{PORT}/new.html; }\n";

// nginx with HTTPS on a certificate for host from a fresh test CA, which is the only one trusted, serving
// a 5 MB file, a page and redirects between the schemes.
class SecureServedFiles : public ::testing::Test {
 protected:
  void SetUp() override { QUORVEX_REQUIRE_PROGRAM("nginx"); }

  void StartSecureNginx(const std::string& host) {
    ASSERT_TRUE(certificates_.Ready()) << certificates_.Log();
    const TestCertificates::KeyPair pair = certificates_.Issue(host);
    ASSERT_FALSE(pair.certificate.empty()) << certificates_.Log();
    trust_ = std::make_unique<ScopedEnvironmentVariable>("SSL_CERT_FILE", certificates_.CaFile().string());
    nginx_ = std::make_unique<NginxServer>(NginxSettings{kMovedConfig, pair.certificate, pair.key});
    ASSERT_TRUE(nginx_->Started()) << nginx_->Log();
    ASSERT_TRUE(WriteFileAtomically(nginx_->Root() / "big.bin", big_));
    ASSERT_TRUE(WriteFileAtomically(nginx_->Root() / "new.html", "<html>new page</html>"));
  }

  std::string SecureUrl(const std::string& host, const std::string& path) const {
    return "https://" + host + ":" + std::to_string(nginx_->TlsPort()) + path;
  }

  const std::string big_ = PatternBytes(size_t{5} << 20);
  TestCertificates certificates_;
  std::unique_ptr<ScopedEnvironmentVariable> trust_;
  std::unique_ptr<NginxServer> nginx_;
};

TEST_F(SecureServedFiles, HttpsWithAVerifiedCertificateAndRedirectsBetweenSchemes) {
  StartSecureNginx("localhost");
  TSHttp http;
  http.Request(SecureUrl("localhost", "/big.bin"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == big_);
  for (const auto& [url, protocol] : {std::pair{nginx_->Url("/to-tls"), "https"},
                                      std::pair{SecureUrl("localhost", "/to-plain"), "http"}}) {
    http.Request(url, TSHttp::kGet);
    EXPECT_TRUE(http.Body == "<html>new page</html>" && http.Protocol == protocol) << url;
  }
}

TEST_F(SecureServedFiles, RefusesACertificateForAnotherHostOrFromAnUnknownCa) {
  StartSecureNginx("127.0.0.1");
  TSHttp http;
  http.Request(SecureUrl("127.0.0.1", "/new.html"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 200);

  http.Request(SecureUrl("localhost", "/new.html"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 510 && http.Body.empty());

  // Through a redirect from plain http too: never a silent downgrade.
  http.Request(nginx_->Url("/to-tls"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 510);

  trust_.reset();
  ScopedEnvironmentVariable emptyStore("SSL_CERT_DIR", certificates_.CaFile().parent_path().string() + "/none");
  TSHttp untrusting;
  untrusting.Request(SecureUrl("127.0.0.1", "/new.html"), TSHttp::kGet);
  EXPECT_EQ(untrusting.Status, 510);
}

TEST_F(SecureServedFiles, HttpsThroughTinyproxyWithConnect) {
  QUORVEX_REQUIRE_PROGRAM("tinyproxy");
  StartSecureNginx("localhost");
  TinyproxyServer tinyproxy;
  ASSERT_TRUE(tinyproxy.Started()) << tinyproxy.Log();
  TSHttp http;
  http.Proxy = tinyproxy.Address();
  http.Request(SecureUrl("localhost", "/big.bin"), TSHttp::kGet);
  EXPECT_TRUE(http.Status == 200 && http.Body == big_);
  EXPECT_NE(tinyproxy.Log().find("CONNECT localhost:" + std::to_string(nginx_->TlsPort())), std::string::npos)
      << tinyproxy.Log();
}

}  // namespace
}  // namespace quorvex::test
