#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <set>
#include <thread>

#include "core/net/TSHttp.h"
#include "http_test_helpers.h"

namespace quorvex::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Long enough for the request to block, short against the bound of the checks.
constexpr milliseconds kLetItBlock{300};
// Without an abort or a time-out these requests would wait until the server stops.
constexpr milliseconds kPromptly{2000};

struct Outcome {
  int status;
  milliseconds took;
};

std::future<Outcome> StartRequest(TSHttp& http, const std::string& url, int method) {
  return std::async(std::launch::async, [&http, url, method] {
    const auto start = Clock::now();
    http.Request(url, method);
    return Outcome{http.Status, std::chrono::duration_cast<milliseconds>(Clock::now() - start)};
  });
}

// Aborts the running request from this thread, once it has reached the server when server is given,
// and expects it to end promptly with status.
void AbortAndExpect(TSHttp& http, std::future<Outcome>& running, int status, const LoopbackServer* server = nullptr) {
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (server != nullptr && server->Connections() == 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  std::this_thread::sleep_for(kLetItBlock);
  ASSERT_EQ(running.wait_for(milliseconds(0)), std::future_status::timeout) << "the request did not block";
  const auto abortedAt = Clock::now();
  http.Abort();
  ASSERT_EQ(running.wait_for(kPromptly), std::future_status::ready) << "the abort did not end the request";
  EXPECT_LT(Clock::now() - abortedAt, kPromptly);
  EXPECT_EQ(running.get().status, status);
  EXPECT_TRUE(http.Aborted);
}

TEST(TSHttpAbort, EndsABlockedConnect) {
  UnansweredPort port;
  TSHttp http;
  auto running = StartRequest(http, "http://127.0.0.1:" + std::to_string(port.Port()) + "/", TSHttp::kGet);
  AbortAndExpect(http, running, 510);
}

TEST(TSHttpAbort, EndsABlockedSend) {
  ScriptedReply silent;
  silent.readRequest = false;
  silent.stall = true;
  LoopbackServer server({silent}, 4096);
  TSHttp http;
  // A POST body far larger than the socket buffers between client and a server that never reads.
  auto running = StartRequest(http, server.Url("/upload?") + std::string(8 << 20, 'p'), TSHttp::kPost);
  AbortAndExpect(http, running, 510, &server);
}

TEST(TSHttpAbort, EndsABlockedReceiveKeepingTheBytesRead) {
  ScriptedReply partial = Reply("HTTP/1.0 200 OK", {}, "part of it");
  partial.stall = true;
  LoopbackServer server({partial});
  TSHttp http;
  auto running = StartRequest(http, server.Url("/"), TSHttp::kGet);
  AbortAndExpect(http, running, 510, &server);
  EXPECT_EQ(http.Body, Answer("HTTP/1.0 200 OK", {}, "part of it"));
  EXPECT_TRUE(http.Headers.empty());
}

TEST(TSHttpAbort, AnAbortBeforeTheRequestDoesNotStopIt) {
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {}, "fine")});
  TSHttp http;
  http.Abort();
  http.Request(server.Url("/"), TSHttp::kGet);
  EXPECT_FALSE(http.Aborted);
  EXPECT_EQ(http.Status, 200);
  EXPECT_EQ(http.Body, "fine");
}

TEST(TSHttpTimeOut, EndsAConnectOrAWaitForData) {
  UnansweredPort port;
  ScriptedReply silent;
  silent.stall = true;
  LoopbackServer server({silent});
  TSHttp http;
  http.TimeOutSeconds = 1;

  auto connecting = StartRequest(http, "http://127.0.0.1:" + std::to_string(port.Port()) + "/", TSHttp::kGet);
  ASSERT_EQ(connecting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const Outcome connect = connecting.get();
  EXPECT_EQ(connect.status, 510);
  EXPECT_GE(connect.took, milliseconds(900));

  auto waiting = StartRequest(http, server.Url("/"), TSHttp::kGet);
  ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const Outcome wait = waiting.get();
  EXPECT_EQ(wait.status, 510);
  EXPECT_GE(wait.took, milliseconds(900));
  EXPECT_FALSE(http.Aborted);
}

TEST(TSHttpSizeCap, AllowsAnAnswerUpToTheCapAndFailsOneByteMore) {
  const std::string answer = Answer("HTTP/1.0 200 OK", {"Content-Length: 1000"}, std::string(1000, 'b'));
  // Small on the wire, but a string per byte once split into header lines.
  const std::string manyLines = "HTTP/1.0 200 OK" + std::string(300, '\n') + "\r\n\r\n";
  LoopbackServer server({ScriptedReply{true, 0, answer, false}, ScriptedReply{true, 0, answer, false},
                         ScriptedReply{true, 0, manyLines, false}});
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

TEST(TSHttpParallel, TenClientsFetchAtOnce) {
  constexpr int kClients = 10;
  // Each answer waits until all ten requests must have arrived together.
  LoopbackServer server([](size_t connection) {
    ScriptedReply reply = Reply("HTTP/1.0 200 OK", {}, "answer " + std::to_string(connection) + PatternBytes(100000));
    reply.delayMs = 200;
    return reply;
  });
  std::vector<std::unique_ptr<TSHttp>> clients;
  std::vector<std::future<Outcome>> running;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<TSHttp>());
    running.push_back(StartRequest(*clients.back(), server.Url("/" + std::to_string(i)), TSHttp::kGet));
  }
  std::set<std::string> bodies;
  for (int i = 0; i < kClients; ++i) {
    EXPECT_EQ(running[i].get().status, 200);
    bodies.insert(clients[i]->Body);
  }
  EXPECT_EQ(bodies.size(), static_cast<size_t>(kClients));
  EXPECT_EQ(server.Connections(), static_cast<size_t>(kClients));
}

TEST(TSHttpParallel, TenBlockedClientsAreAbortedFromTheMainThread) {
  constexpr int kClients = 10;
  ScriptedReply partial = Reply("HTTP/1.0 200 OK", {}, "start");
  partial.stall = true;
  LoopbackServer server({partial});
  UnansweredPort port;
  std::vector<std::unique_ptr<TSHttp>> clients;
  std::vector<std::future<Outcome>> running;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<TSHttp>());
    const std::string url =
        i % 2 == 0 ? server.Url("/") : "http://127.0.0.1:" + std::to_string(port.Port()) + "/connect";
    running.push_back(StartRequest(*clients.back(), url, TSHttp::kGet));
  }
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (server.Connections() < kClients / 2 && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(10));
  std::this_thread::sleep_for(kLetItBlock);
  for (auto& client : clients) client->Abort();
  for (auto& request : running) {
    ASSERT_EQ(request.wait_for(kPromptly), std::future_status::ready);
    EXPECT_EQ(request.get().status, 510);
  }
}

}  // namespace
}  // namespace quorvex::test
