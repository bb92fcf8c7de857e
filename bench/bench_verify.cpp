// Verification speed: 1000 results spread over 50 hosts of a loopback nginx that answers every page
// after 100 ms. Ten workers with at most two requests per host can at best finish in
// max(1000 / 10, 1000 / 50 / 2) * 100 ms = 10 s; the counters give the wall time, its ratio to that
// ideal, and the process's peak memory.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/common/dispatcher.h"
#include "core/pages/TVerify.h"
#include "core/pages/verify_display.h"
#include "core/store/TOneKey.h"

extern char** environ;

namespace {

using namespace quorvex;

constexpr int kHosts = 50;
constexpr int kResults = 1000;
constexpr double kPageSeconds = 0.1;

uint16_t FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  ::close(fd);
  return bound ? ntohs(address.sin_port) : 0;
}

bool Accepts(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// nginx listening on 127.0.0.1 to 127.0.0.50, every page answered after 100 ms.
class SlowNginx {
 public:
  SlowNginx() : dir_(std::filesystem::temp_directory_path() / ("bench_verify." + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir_ / "temp");
    port_ = FreePort();
    std::string listens;
    for (int host = 1; host <= kHosts; ++host) {
      listens += "listen 127.0.0." + std::to_string(host) + ":" + std::to_string(port_) + ";\n";
    }
    const std::string d = dir_.string();
    std::ofstream(dir_ / "nginx.conf")
        << "load_module /usr/lib/nginx/modules/ngx_http_echo_module.so;\ndaemon off;\nmaster_process off;\npid " << d
        << "/nginx.pid;\nerror_log " << d << "/error.log warn;\nevents { worker_connections 1024; }\n"
        << "http {\n access_log off;\n client_body_temp_path " << d << "/temp;\n proxy_temp_path " << d
        << "/temp;\n fastcgi_temp_path " << d << "/temp;\n uwsgi_temp_path " << d << "/temp;\n scgi_temp_path " << d
        << "/temp;\n server {\n"
        << listens << " location / { echo_sleep " << kPageSeconds << "; echo page; }\n }\n}\n";
    const std::string program = std::filesystem::exists("/usr/sbin/nginx") ? "/usr/sbin/nginx" : "nginx";
    const std::string config = (dir_ / "nginx.conf").string();
    const std::string errorLog = (dir_ / "error.log").string();
    const char* argv[] = {program.c_str(), "-p", d.c_str(), "-c", config.c_str(), "-e", errorLog.c_str(), nullptr};
    if (::posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    for (int i = 0; i < 500 && pid_ > 0 && !Accepts(port_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ~SlowNginx() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
  }
  bool Running() const { return pid_ > 0 && Accepts(port_); }
  std::string Url(int host, int page) const {
    return "http://127.0.0." + std::to_string(host) + ":" + std::to_string(port_) + "/p" + std::to_string(page);
  }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  uint16_t port_ = 0;
  pid_t pid_ = -1;
};

class SilentDisplay : public TVerifyDisplay {
 public:
  void RunStarted(int) override {}
  void Progress(const TVerifyProgress&) override {}
  void WorkerRow(int, std::string_view, int, int) override {}
  void ResultChecked(int, int) override {}
};

void BM_Verify1000ResultsOver50Hosts(benchmark::State& state) {
  SlowNginx nginx;
  if (!nginx.Running()) {
    state.SkipWithError("nginx with its echo module did not start");
    return;
  }
  const double ideal =
      std::max(double(kResults) / kVerifyWorkers, double(kResults) / kHosts / kRequestsPerHost) * kPageSeconds;
  double wall = 0;
  int verified = 0;
  for (auto _ : state) {
    TOneKey key("bench", 0, 0, 0);
    for (int i = 0; i < kResults; ++i) {
      TOneResult result;
      result.Url = nginx.Url(i % kHosts + 1, i);
      std::string resultKey = TResultList::KeyOf(result.Url);
      key.Results.Add(std::move(resultKey), std::move(result));
    }
    QueueDispatcher dispatcher;
    SilentDisplay display;
    const auto start = std::chrono::steady_clock::now();
    StartVerify(key, kVerifyMode, dispatcher, display, nginx.Dir() / "LocalFile");
    while (key.RunningVerifiers > 0) dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
    wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    WaitForVerifyWorkers(std::chrono::seconds(30));
    verified = 0;
    for (size_t i = 0; i < key.Results.Count(); ++i) verified += key.Results[i].PageState == kPageVerified ? 1 : 0;
    state.SetIterationTime(wall);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["wall_s"] = wall;
  state.counters["ideal_s"] = ideal;
  state.counters["wall_per_ideal"] = wall / ideal;
  state.counters["verified"] = verified;
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Verify1000ResultsOver50Hosts)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
