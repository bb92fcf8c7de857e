#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "core/net/TSHttp.h"
#include "support/loopback_server.h"
#include "support/silent_name_server.h"

namespace quorvex::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Without an abort or a time-out these requests would wait until the server stops.
constexpr milliseconds kPromptly{1000};

std::future<int> StartRequest(TSHttp& http, const std::string& url, int method = TSHttp::kGet) {
  return std::async(std::launch::async, [&http, url, method] {
    http.Request(url, method);
    return static_cast<int>(http.Status);
  });
}

bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!done() && Clock::now() < deadline) std::this_thread::yield();
  return done();
}

std::string UnansweredUrl(const UnansweredPort& port) { return "http://127.0.0.1:" + std::to_string(port.Port()) + "/"; }

TEST(TSHttpAbort, EndsABlockedLookupConnectSendOrReceive) {
  SilentNameServer nameServer;
  UnansweredPort port;
  ScriptedReply deaf;  // never reads: a large POST blocks in send
  deaf.readRequest = false;
  deaf.stall = true;
  LoopbackServer deafServer({deaf}, 4096);
  ScriptedReply partial = Reply("HTTP/1.0 200 OK", {}, "part of it");
  partial.stall = true;
  LoopbackServer partialServer({partial});

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
}

TEST(TSHttpAbort, AnAbortEndsOneRequestAndAbortAllEveryLaterOneToo) {
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {}, "fine")});
  TSHttp http;
  http.Abort();
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_FALSE(http.Aborted);
  EXPECT_EQ(http.Status, 200);

  http.AbortAll();
  http.Request(server.Url("/"), TSHttp::kGet);
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_TRUE(http.Aborted);
  EXPECT_EQ(server.Connections(), 1u);
}

TEST(TSHttpTimeOut, EndsALookupAConnectOrAWaitForDataWithItsReason) {
  SilentNameServer nameServer;
  UnansweredPort port;
  ScriptedReply partial = Reply("HTTP/1.0 200 OK", {}, "part of it");
  partial.stall = true;
  LoopbackServer server({partial});
  TSHttp http;
  http.TimeOutSeconds = 1;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"http://blackhole.test/", "Lookup host error!: no answer for blackhole.test within 1 s"},
      {UnansweredUrl(port), "Conncet_error: 127.0.0.1:" + std::to_string(port.Port()) + ": time-out after 1 s"},
      {server.Url("/"), "Receive error: time-out after 1 s"},
  };
  for (const auto& [url, failure] : cases) {
    const auto start = Clock::now();
    http.Request(url, TSHttp::kGet);
    EXPECT_EQ(http.Status, 510);
    EXPECT_EQ(http.Failure, failure);
    EXPECT_GE(Clock::now() - start, milliseconds(900));
    EXPECT_LT(Clock::now() - start, milliseconds(5000));
  }
  EXPECT_FALSE(http.Aborted);
  // A receive that fails keeps the bytes read so far.
  EXPECT_EQ(http.Body, Answer("HTTP/1.0 200 OK", {}, "part of it"));
  EXPECT_TRUE(http.Headers.empty());
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
}

TEST(TSHttpSizeCap, AllowsAnAnswerUpToTheCapAndFailsOneByteMore) {
  const std::string answer = Answer("HTTP/1.0 200 OK", {"Content-Length: 1000"}, std::string(1000, 'b'));
  // Small on the wire, but a string per byte once split into header lines.
  const std::string manyLines = "HTTP/1.0 200 OK" + std::string(300, '\n') + "\r\n\r\n";
  LoopbackServer server({Sends(answer), Sends(answer), Sends(manyLines)});
  TSHttp http;
  http.MaxResponseBytes = answer.size();
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 200);
  EXPECT_EQ(http.Body, std::string(1000, 'b'));

  http.MaxResponseBytes = answer.size() - 1;
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 510);

  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_EQ(http.Status, 510);
  EXPECT_EQ(http.Body, manyLines);
}

}  // namespace
}  // namespace quorvex::test
