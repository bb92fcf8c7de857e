// Search speed: the wall time of a search over ten engines whose server answers every page after
// 200 ms (the engines run at once, so it should be close to one engine's time, not the sum), and the
// cost of merging one record into a keyword's results.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/app/AppState.h"
#include "core/common/dispatcher.h"
#include "core/search/TSearchRun.h"
#include "core/search/result_merge.h"
#include "core/search/search_display.h"
#include "core/search/search_loop.h"
#include "core/store/TOneKey.h"

namespace {

using namespace quorvex;

constexpr int kEngines = 10;
constexpr std::chrono::milliseconds kPageDelay{200};

// An HTTP server on 127.0.0.1 that answers every request after a delay with ten results whose URLs
// are made from the request target, so that every engine and every page finds new ones.
class SlowServer {
 public:
  SlowServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      std::abort();
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }
  ~SlowServer() {
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    std::lock_guard lock(mutex_);
    for (std::thread& connection : connections_) connection.join();
    ::close(listener_);
  }
  SlowServer(const SlowServer&) = delete;
  SlowServer& operator=(const SlowServer&) = delete;

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  void AcceptLoop() {
    for (;;) {
      const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) return;
      std::lock_guard lock(mutex_);
      connections_.emplace_back([connection] { Answer(connection); });
    }
  }

  static void Answer(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<size_t>(got));
    }
    const size_t from = request.find(' ') + 1;
    const std::string target = request.substr(from, request.find(' ', from) - from);
    std::this_thread::sleep_for(kPageDelay);
    std::string body = "<ol>";
    for (int i = 0; i < 10; ++i) {
      body += "<li><a href=\"http://bench.example" + target + "/" + std::to_string(i) + "\">result " +
              std::to_string(i) + "</a><p>summary of the result</p></li>";
    }
    const std::string answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body + "</ol>";
    for (size_t sent = 0; sent < answer.size();) {
      const ssize_t wrote = ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
      if (wrote <= 0) break;
      sent += static_cast<size_t>(wrote);
    }
    ::close(connection);
  }

  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::thread> connections_;
};

class SilentDisplay : public TSearchDisplay {
 public:
  void ShowActivity(std::string_view) override {}
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view, const TOneKey&) override {
    return std::make_unique<SilentRow>();
  }
  void ResultsMerged(TOneKey&, int, int) override {}
  void EnginesFinished() override {}
  void SearchEnded(TOneKey&) override {}

 private:
  class SilentRow : public TSearchProgressRow {
   public:
    void Connected() override {}
    void Downloading(int) override {}
    void FinishedDown(int, std::string_view) override {}
  };
};

// Ten engine definitions in a fresh folder, each paging through the server's pages (the search's
// per-engine limit decides how many).
std::vector<std::string> WriteEngines(const std::filesystem::path& folder, const SlowServer& server) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> entries;
  for (int engine = 0; engine < kEngines; ++engine) {
    const std::string file = "engine" + std::to_string(engine) + ".txt";
    std::ofstream(folder / file) << "url=" << server.Url("/e" + std::to_string(engine) + "/p$page$") << "\n"
                                 << "Page=0,10\nHead=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n";
    entries.push_back("Engine " + std::to_string(engine) + "=" + file);
  }
  return entries;
}

// Wall time of a whole search, from its start until it has ended, against the time of one engine
// alone (pages x 200 ms): the search should end as soon as its slowest engine does.
void BM_SearchTenSlowEngines(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  SlowServer server;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quorvex-bench-" + std::to_string(::getpid()));
  TSearchRequest request;
  request.Keyword = "result";
  request.Engines = WriteEngines(folder, server);
  double wallMs = 0;
  for (auto _ : state) {
    AppState app;
    QueueDispatcher dispatcher;
    SilentDisplay display;
    TSearchRun run(dispatcher, display, app);
    run.EngineFolder = folder;
    // Every page adds ten results; the limit lets each engine fetch exactly `pages` pages.
    run.Limits = SearchLimits{10 * pages - 1, 100000};
    const auto started = std::chrono::steady_clock::now();
    TOneKey* key = run.StartSearch(request);
    RunUntilSearchEnds(dispatcher, run);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    state.SetIterationTime(wall.count());
    wallMs += wall.count() * 1000;
    if (key->Results.Count() != static_cast<size_t>(kEngines) * static_cast<size_t>(pages) * 10)
      state.SkipWithError("results lost");
  }
  const double slowestEngineMs = pages * static_cast<double>(kPageDelay.count());
  state.counters["slowest_engine_ms"] = slowestEngineMs;
  state.counters["sum_of_engine_times_ms"] = kEngines * slowestEngineMs;
  state.counters["times_slowest_engine"] = wallMs / static_cast<double>(state.iterations()) / slowestEngineMs;
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SearchTenSlowEngines)->Arg(1)->Arg(3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

std::vector<TFoundRecord> MakeRecords(int count) {
  std::vector<TFoundRecord> records;
  records.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::string id = std::to_string(i);
    records.push_back({"Rainwater harvesting guide number " + id + " for gardens and homes",
                       "How a roof, a gutter and a tank collect rainwater; part " + id +
                           " covers tank sizes, filters, overflow fittings and the first-flush diverter.",
                       "https://www.example" + std::to_string(i % 97) + ".org/guides/water/rain/" + id, 4});
  }
  return records;
}

// Merging 100 000 records of one engine into an empty keyword (all new), or the same records once more
// from a second engine (all shared).
void BM_MergePerRecord(benchmark::State& state) {
  const bool shared = state.range(0) != 0;
  const std::vector<TFoundRecord> records = MakeRecords(100000);
  const std::vector<std::string> words = QueryWordsOf("rainwater harvesting");
  const TMergeContext context{words, false, 0, 45000.5};
  for (auto _ : state) {
    state.PauseTiming();
    auto key = std::make_unique<TOneKey>("rainwater harvesting", 45000.0, 0, 0);
    if (shared) {
      for (const TFoundRecord& record : records) MergeResult(*key, record, "First", 100, context);
    }
    state.ResumeTiming();
    for (const TFoundRecord& record : records) {
      benchmark::DoNotOptimize(MergeResult(*key, record, shared ? "Second" : "First", 100, context));
    }
    state.PauseTiming();
    key.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}
BENCHMARK(BM_MergePerRecord)->ArgName("shared")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
