#include "core/update/TDownloadEngines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/config/Options.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "support/local_servers.h"
#include "support/silent_name_server.h"

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::hours;

// The Last-Modified of the archive on the server.
constexpr const char* kStamp = "Sat, 01 Jun 2024 00:00:00 GMT";

// nginx serves the archive over HTTPS, for HEAD from www/Quorvex/ and for GET from www/get/, so that a
// test can make downloads fail while the check still finds the archive. Every request goes to an access
// log.
class EngineUpdateTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certificates = std::make_unique<TestCertificates>(); }
  static void TearDownTestSuite() { certificates.reset(); }

  void SetUp() override {
    QUORVEX_REQUIRE_PROGRAM("nginx");
    ASSERT_TRUE(certificates->Ready()) << certificates->Log();
    const TestCertificates::KeyPair pair = certificates->Issue("127.0.0.1");
    server = std::make_unique<NginxServer>(NginxSettings{
        "access_log " + (dir / "access.log").string() +
            ";\nlocation = /Quorvex/Engine1-1.zip { if ($request_method = GET) { rewrite ^ /get/Engine1-1.zip last; } }"
            "\nlocation /get/ { internal; }\n",
        pair.certificate, pair.key});
    trust = std::make_unique<ScopedEnvironmentVariable>("SSL_CERT_FILE", certificates->CaFile().string());
    ASSERT_TRUE(server->Started()) << server->Log();
    Options().SetLines({"EnableProxy=1", "Proxy=127.0.0.1", "ProxyPort=9"});  // must not be used
    archive = ReadFixture("zip/go-unix.zip");
    const fs::path headCopy = server->Root() / "Quorvex/Engine1-1.zip";
    fs::create_directories(headCopy.parent_path());
    ASSERT_TRUE(WriteFileAtomically(headCopy, archive));
    const std::chrono::sys_seconds served{std::chrono::sys_days{std::chrono::June / 1 / 2024}};  // kStamp
    fs::last_write_time(headCopy, std::chrono::file_clock::from_sys(served));
    MakeDownloadable();
  }

  void MakeDownloadable() {
    fs::create_directories(server->Root() / "get");
    ASSERT_TRUE(WriteFileAtomically(server->Root() / "get/Engine1-1.zip", archive));
  }
  void MakeUndownloadable() { fs::remove_all(server->Root() / "get"); }


  // A local archive written days ago (a negative age: in the future).
  void PutLocalArchive(int daysOld) {
    ASSERT_TRUE(WriteFileAtomically(local, "old archive"));
    fs::last_write_time(local, fs::file_time_type::clock::now() - hours(24 * daysOld));
  }

  // The update server named in option.txt, whose archive name the program appends; none when empty.
  TDownloadEngines::Settings MakeSettings(const std::string& serverPath = "/Quorvex") {
    const std::string base = "https://127.0.0.1:" + std::to_string(server->TlsPort());
    Options().SetValue("EngineServer", serverPath.empty() ? "" : base + serverPath);
    return {TDownloadEngines::ProgramSettings().Url, local, dir / "Engines1", dir / "option.txt", 0,
            std::chrono::milliseconds(200)};
  }

  // Runs the update to its end, serving its calls into the main thread; whenTicking runs meanwhile.
  void RunUpdate(const TDownloadEngines::Settings& settings, const std::function<void()>& whenTicking = {}) {
    TDownloadEngines engines(
        dispatcher, [this] { ++reloads; }, settings);
    engines.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!engines.Finished() && std::chrono::steady_clock::now() < deadline) {
      dispatcher.WaitAndRunPending(std::chrono::milliseconds(5));
      if (whenTicking) whenTicking();
    }
    EXPECT_TRUE(engines.Finished());
  }

  // "METHOD STATUS" of every request nginx saw, in order.
  std::vector<std::string> Requests() const {
    std::vector<std::string> requests;
    std::istringstream log(ReadWholeFile(dir / "access.log").value_or(""));
    for (std::string line; std::getline(log, line);) {
      std::istringstream fields(line.substr(line.find('"') + 1));
      std::string method, path, protocol, status;
      fields >> method >> path >> protocol >> status;
      requests.push_back(method + " " + status);
    }
    return requests;
  }

  // The stamp saved in option.txt is the server's, beside the other options.
  bool ServerStampSaved() {
    const std::string saved = ReadWholeFile(dir / "option.txt").value_or("");
    return saved.find("Last-Modified=" + std::string(kStamp)) != std::string::npos;
  }

  static std::unique_ptr<TestCertificates> certificates;
  TempDir dir;
  fs::path local = dir / "Engine1-1.zip";
  std::unique_ptr<NginxServer> server;
  std::unique_ptr<ScopedEnvironmentVariable> trust;
  std::string archive;
  QueueDispatcher dispatcher;
  int reloads = 0;
};

std::unique_ptr<TestCertificates> EngineUpdateTest::certificates;

TEST_F(EngineUpdateTest, NoServerAYoungArchiveAMissingOneOrTheSameStampDownloadNothing) {
  RunUpdate(MakeSettings(""));
  PutLocalArchive(2);
  RunUpdate(MakeSettings());
  EXPECT_TRUE(Requests().empty());
  PutLocalArchive(6);
  Options().SetValue("Last-Modified", "Mon, 01 Jan 2001 00:00:00 GMT");
  RunUpdate(MakeSettings("/Missing/"));
  EXPECT_TRUE(Requests() == std::vector<std::string>{"HEAD 404"} && !fs::exists(dir / "option.txt"));

  PutLocalArchive(-3);  // dated in the future: counts as old
  Options().SetValue("Last-Modified", kStamp);
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 404", "HEAD 200"}));
  EXPECT_TRUE(ReadWholeFile(local) == "old archive" && reloads == 0 && !fs::exists(dir / "Engines1"));
}

TEST_F(EngineUpdateTest, NewStampIsDownloadedUnpackedAndStored) {
  PutLocalArchive(6);
  Options().SetValue("Last-Modified", "SAT, 01 JUN 2024 00:00:00 GMT");  // differs only in letter case: a new archive
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 200", "GET 200"}));
  EXPECT_TRUE(ReadWholeFile(local) == archive && fs::exists(dir / "Engines1/dir/bar") && reloads == 1);
  EXPECT_TRUE(ServerStampSaved() &&
              ReadWholeFile(dir / "option.txt").value_or("").find("Proxy=127.0.0.1") != std::string::npos);
}

TEST_F(EngineUpdateTest, ACorruptArchiveIsNotFetchedAgain) {
  archive = "not a zip archive";
  MakeDownloadable();
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 200", "GET 200"}));
  EXPECT_TRUE(reloads == 0 && ServerStampSaved());

  fs::last_write_time(local, fs::file_time_type::clock::now() - hours(24 * 6));  // the next start
  RunUpdate(MakeSettings());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"HEAD 200", "GET 200", "HEAD 200"}));
  EXPECT_EQ(reloads, 0);
}

TEST_F(EngineUpdateTest, FailedDownloadsAreRetriedWithoutTouchingTheLocalArchive) {
  MakeUndownloadable();
  PutLocalArchive(6);
  RunUpdate(MakeSettings(), [this] {
    const auto requests = Requests();
    if (std::count(requests.begin(), requests.end(), "GET 404") < 2 || fs::exists(server->Root() / "get")) return;
    EXPECT_EQ(ReadWholeFile(local), "old archive");
    MakeDownloadable();
  });
  const auto requests = Requests();
  ASSERT_GE(requests.size(), 4u);
  EXPECT_TRUE(requests.front() == "HEAD 200" && requests.back() == "GET 200" && reloads == 1);
  EXPECT_EQ(ReadWholeFile(local), archive);
}

TEST_F(EngineUpdateTest, StopEndsEndlessRetriesAndANameLookupAtOnce) {
  SilentNameServer nameServer;  // 127.0.0.1 needs no lookup
  MakeUndownloadable();
  auto settings = MakeSettings();
  settings.RetryPause = hours(1);
  TDownloadEngines retrying(dispatcher, [this] { ++reloads; }, settings);
  retrying.Start();
  while (Requests().size() < 2) dispatcher.WaitAndRunPending(std::chrono::milliseconds(5));
  retrying.Stop();
  EXPECT_TRUE(retrying.Finished());

  settings.Url = "http://blackhole.test/Engines1.zip";
  TDownloadEngines looking(dispatcher, [this] { ++reloads; }, settings);
  looking.Start();
  ASSERT_TRUE(nameServer.WaitForQuery());
  const auto before = std::chrono::steady_clock::now();
  looking.Stop();
  EXPECT_TRUE(looking.Finished() && std::chrono::steady_clock::now() - before < std::chrono::milliseconds(300));
  EXPECT_EQ(reloads, 0);
}

}  // namespace
}  // namespace quorvex::test
