// quorvex-soak [SECONDS] [SEED]: the search and verification core under a long random workload.
//
// In one process: a loopback HTTP server that delays, resets and cuts its answers; a program folder
// with 50 engines on that server and a kept keyword of 1 000 results, 5% of them on dead hosts; and
// for SECONDS (600 by default) searches, update searches, verification runs, stops and closes of the
// program (save, then a fresh start-up that must read back exactly what was saved) in random order.
// A watchdog aborts when nothing moves for 60 s. Meant to run under the sanitizers (scripts/soak.sh).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "chaos_server.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/common/numbers.h"
#include "core/engines/EngineIndex.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "soak_session.h"
#include "support/loopback_server.h"
#include "watchdog.h"

namespace quorvex::soak {
namespace {

constexpr int kEngines = 50;
constexpr int kKeptResults = 1000;
constexpr size_t kMostKeywords = 12;  // older searched keywords are deleted, so memory stays bounded
constexpr std::chrono::seconds kWatchdogLimit{60};

enum Operation { kSearch, kUpdateSearch, kVerify, kStopSearch, kStopVerify, kClose, kDelete, kOperations };
constexpr std::array<const char*, kOperations> kOperationNames = {
    "search", "update search", "verify", "stop search", "stop verify", "close", "delete keyword"};

// A port on a loopback address where nothing listens: connections to it are refused.
std::string RefusingOrigin() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + 8);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    Fail("cannot find a closed port on 127.0.0.9");
  }
  ::close(fd);
  return "http://127.0.0.9:" + std::to_string(ntohs(address.sin_port));
}

void WriteEngines(const ChaosServer& server) {
  const std::filesystem::path folder = EngineDir();
  std::filesystem::create_directories(folder);
  std::string index = "[\"Soak\",1]\r\n";
  for (int engine = 0; engine < kEngines; ++engine) {
    const std::string file = "e" + std::to_string(engine) + ".txt";
    index += "Engine " + std::to_string(engine) + "=" + file + "\r\n";
    if (!WriteFileAtomically(folder / file, server.EngineDefinition(engine))) Fail("cannot write " + file);
  }
  if (!WriteFileAtomically(folder / EngineIndex::kFileName, index)) Fail("cannot write the engine index");
}

// The kept keyword: its results are the server's documents, but every twentieth sits on a dead host,
// half of them refusing connections and half never answering.
void WriteKeptKeyword(const ChaosServer& server, const std::string& refusing, const std::string& silent) {
  TOneKey key(kVerifyKeyword, NowDateTime(), 0, 0);
  for (int i = 0; i < kKeptResults; ++i) {
    TOneResult result;
    const std::string path = "/kept/" + std::to_string(i);
    result.Url = i % 40 == 7 ? refusing + path : i % 40 == 27 ? silent + path : server.DocumentUrl(i) + "?" + path;
    result.Title = "kept result " + std::to_string(i);
    result.Summary = "a result kept for verification";
    result.Language = kLanguageEnglish;
    result.Engines = "Engine 0";
    result.Found = key.Date;
    std::string resultKey = TResultList::KeyOf(result.Url);
    key.Results.Add(std::move(resultKey), std::move(result));
  }
  key.ResultCount = kKeptResults;
  key.Loaded = true;
  key.Modified = true;
  CreateDataFolders();
  if (!SaveKeyList({&key}, kAllKeyFileName, SearchResultDir(), {"Soak"})) Fail("cannot write the kept keyword");
}

void WriteOptions() {
  // Short time-outs: the dead hosts cost seconds, not minutes.
  Options().SetLines({"SearchTimeOut=5", "VerifyTimeOut=3", "DownloadTimeOut=3"});
  if (!SaveOptions()) Fail("cannot write option.txt");
}

Operation Choose(TActivityState activity, std::mt19937& random) {
  const std::uint32_t roll = random() % 100;
  switch (activity) {
    case TActivityState::Idle:
      return roll < 35 ? kSearch : roll < 55 ? kUpdateSearch : roll < 85 ? kVerify : kClose;
    case TActivityState::Searching:
      return roll < 40 ? kStopSearch : roll < 55 ? kClose : kOperations;
    case TActivityState::Verifying:
      return roll < 40 ? kStopVerify : roll < 55 ? kClose : kOperations;
  }
  return kOperations;
}

// Closes the program and starts it again; what the new start-up reads must be what the close saved.
void Restart(std::unique_ptr<Session>& session, Watchdog& watchdog) {
  const KeptFiles saved = session->Close();
  session.reset();
  session = std::make_unique<Session>(watchdog);
  const std::string difference = Difference(saved, session->Contents());
  if (!difference.empty()) Fail("the start-up did not read back what the close saved: " + difference);
}

bool Perform(Operation operation, std::unique_ptr<Session>& session, Watchdog& watchdog, std::mt19937& random) {
  switch (operation) {
    case kSearch:
      return session->StartSearch("soak keyword " + std::to_string(random() % 1000));
    case kUpdateSearch:
      return session->StartUpdateSearch(random);
    case kVerify:
      return session->StartVerify(random);
    case kStopSearch:
      session->StopSearch();
      return true;
    case kStopVerify:
      session->StopVerify();
      return true;
    case kClose:
      Restart(session, watchdog);
      return true;
    case kDelete:
      return session->DeleteOldKeyword(kMostKeywords);
    case kOperations:
      break;
  }
  return false;
}

int Soak(int seconds, std::uint32_t seed) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-soak-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) Fail("cannot make a temporary folder");
  const std::filesystem::path folder = pattern;
  std::printf("quorvex-soak: seed %u, %d s, program folder %s\n", seed, seconds, folder.c_str());
  std::fflush(stdout);
  SetProgramDir(folder);
  std::filesystem::current_path(folder);

  ChaosServer server(seed);
  const test::UnansweredPort silent;
  WriteEngines(server);
  WriteKeptKeyword(server, RefusingOrigin(), "http://127.0.0.1:" + std::to_string(silent.Port()));
  WriteOptions();

  std::mt19937 random(seed);
  std::array<int, kOperations> done{};
  {
    Watchdog watchdog(kWatchdogLimit);
    auto session = std::make_unique<Session>(watchdog);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (session->DeleteOldKeyword(kMostKeywords)) ++done[kDelete];
      const Operation operation = Choose(session->Activity(), random);
      if (Perform(operation, session, watchdog, random)) ++done[operation];
      session->Run(std::chrono::milliseconds(random() % 2500));
    }
    Restart(session, watchdog);
  }
  server.Stop();
  std::filesystem::current_path(folder.parent_path());
  std::filesystem::remove_all(folder);

  int total = 0;
  std::string counts;
  for (int operation = 0; operation < kOperations; ++operation) {
    total += done[operation];
    counts += std::string(counts.empty() ? "" : ", ") + kOperationNames[operation] + " " + std::to_string(done[operation]);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("quorvex-soak: %d operations (%s), %llu connections served, peak RSS %ld MiB\n", total, counts.c_str(),
              static_cast<unsigned long long>(server.Connections()), usage.ru_maxrss / 1024);
  return 0;
}

}  // namespace
}  // namespace quorvex::soak

int main(int argc, char** argv) {
  const long long seconds = argc > 1 ? quorvex::ParseInt64Or(argv[1], -1) : 600;
  const long long seed = argc > 2 ? quorvex::ParseInt64Or(argv[2], -1) : std::random_device{}();
  if (argc > 3 || seconds <= 0 || seconds > 24LL * 3600 || seed < 0 || seed > 0xFFFFFFFFLL) {
    std::fprintf(stderr, "usage: quorvex-soak [SECONDS (default 600)] [SEED]\n");
    return 2;
  }
  return quorvex::soak::Soak(static_cast<int>(seconds), static_cast<std::uint32_t>(seed));
}
