#include "core/pages/TVerify.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

#include "core/config/Options.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/net/url.h"
#include "core/pages/page_folder.h"
#include "core/pages/verify_display.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "support/local_servers.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

// A display that records what a run shows.
class RecordingVerifyDisplay : public TVerifyDisplay {
 public:
  void RunStarted(int workers) override { rows = workers; }
  void Progress(const TVerifyProgress& progress) override {
    last = progress;
    ++calls;
  }
  void WorkerRow(int, std::string_view url, int, int) override {
    rowUrls.emplace_back(url);
    ++calls;
  }
  void ResultChecked(int, int) override { ++calls; }
  void PageNotSaved(int, std::string_view reason) override { notSaved.emplace_back(reason); }

  int rows = 0;
  int calls = 0;
  TVerifyProgress last;
  std::vector<std::string> rowUrls;
  std::vector<std::string> notSaved;
};

// A keyword whose results are these URLs, in order.
void AddResults(TOneKey& key, const std::vector<std::string>& urls) {
  for (const std::string& url : urls) key.Results.Add(TResultList::KeyOf(url), TOneResult{}).Url = url;
}

// Runs the main loop until every worker has found no further result; false after the time-out.
bool RunUntilVerified(QueueDispatcher& dispatcher, const TOneKey& key) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (key.RunningVerifiers > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
  }
  return WaitForVerifyWorkers(std::chrono::seconds(30));
}

std::vector<int> PageStates(const TOneKey& key) {
  std::vector<int> states;
  for (size_t i = 0; i < key.Results.Count(); ++i) states.push_back(key.Results[i].PageState);
  return states;
}

const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "png-data";
const std::string kJpeg = "\xFF\xD8\xFF\xE0jpeg-data";

// nginx answering on 127.0.0.1 and 127.0.0.2, logging the target of every request.
NginxSettings LoggingNginx(const TempDir& logDir) {
  NginxSettings settings;
  settings.httpDirectives = "log_format target '$request_uri';";
  settings.serverDirectives = "listen 127.0.0.2:{PORT};\naccess_log " + (logDir / "access.log").string() +
                              " target;\nlocation = /busy.gif { add_header Retry-After 120 always; return 503; }\n";
  return settings;
}

// How often nginx was asked for uri.
size_t Requests(const TempDir& logDir, const std::string& uri) {
  std::istringstream lines(ReadWholeFile(logDir / "access.log").value_or(""));
  size_t count = 0;
  for (std::string line; std::getline(lines, line);) count += line == uri ? 1 : 0;
  return count;
}

void Serve(const NginxServer& nginx, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories((nginx.Root() / name).parent_path());
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / name, bytes));
}

class VerifyTest : public ::testing::Test {
 protected:
  void TearDown() override { Options().SetValue("VerifyTimeOut", ""); }

  TempDir dir;
  TempDir localFiles;
  QueueDispatcher dispatcher;
  RecordingVerifyDisplay display;
  TOneKey key{"pages", 0, 0, 0};
};

// A download keeps the page with what it refers to; a verification keeps the page as it came.
TEST_F(VerifyTest, DownloadSavesThePageWithWhatItRefersToAndVerifySetsEachStateByItsAnswer) {
  QUORVEX_REQUIRE_PROGRAM("nginx");
  NginxServer nginx(LoggingNginx(dir));
  ASSERT_TRUE(nginx.Started()) << nginx.Log();
  const std::string other = "http://127.0.0.2:" + std::to_string(nginx.Port());
  const std::string index =
      "<html><head><meta http-equiv=\"refresh\" content=\"5; url=next.html\"></head>"
      "<frameset><frame src=\"frame.html\"><frame src=\"frame.html\"></frameset>"
      "<body background=\"bg.JPG\"><img src=\"pic.PNG\"><img src=\"photo.jpeg\"><img src=\"fake.gif\">"
      "<input type=image src=\"in.png\"><a href=\"other.html\">other</a><img src=\"" +
      other + "/busy.gif\"><img src=\"" + other + "/after.gif\"><iframe src=\"l1.html\"></iframe></body></html>";
  Serve(nginx, "site/index.html", index);
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"site/next.html", "next"}, {"site/frame.html", "<meta http-equiv=refresh content=\"3\">frame"},
           {"site/bg.JPG", kJpeg}, {"site/pic.PNG", kPng}, {"site/photo.jpeg", kJpeg}, {"site/fake.gif", kPng},
           {"site/in.png", kPng}, {"after.gif", "GIF89a"}}) {
    Serve(nginx, name, bytes);
  }
  for (int level = 1; level <= 4; ++level) {
    Serve(nginx, "site/l" + std::to_string(level) + ".html",
          "<iframe src=\"l" + std::to_string(level + 1) + ".html\"></iframe>");
  }
  const std::string dead = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/";
  AddResults(key, {nginx.Url("/site/index.html"), nginx.Url("/missing.html"), dead});

  StartVerify(key, kDownloadMode, dispatcher, display, localFiles.Path());
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));

  // The page answered, so it counts as downloaded although one of its images failed.
  const std::vector<int> answered = {kPageDownloaded, kPageFailed, kPageFailed};
  EXPECT_EQ(PageStates(key), answered);
  EXPECT_TRUE(display.rows == kVerifyWorkers && display.last.done == 3 && display.last.percentage == "100.00%");
  EXPECT_TRUE(key.Modified && !std::filesystem::exists(localFiles / SafeName(nginx.Url("/missing.html")) / "0.htm"));
  const std::filesystem::path folder = localFiles / SafeName(nginx.Url("/site/index.html"));
  const std::string saved = ReadWholeFile(folder / "0.htm").value_or("");
  const std::vector<std::string> rewrites = {"content=\"5;url=1.htm\"", "<frame src=\"2.htm\"><frame src=\"2.htm\">",
                                             "src=\"6.png\"", "href=\"" + nginx.Url("/site/other.html") + "\""};
  for (const std::string& rewritten : rewrites)
    EXPECT_NE(saved.find(rewritten), std::string::npos) << rewritten << " in " << saved;
  EXPECT_EQ(ReadWholeFile(folder / "2.htm").value_or(""), "<meta http-equiv=\"refresh\" content=\"3\">frame");
  EXPECT_TRUE(ReadWholeFile(folder / "6.png") == kPng && !std::filesystem::exists(folder / "6.gif"));
  // Names that tell the real type stay, ".jpeg" among them.
  for (const char* name : {"1.htm", "3.JPG", "5.jpeg", "7.png", "10.htm", "11.htm", "12.htm"})
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
  // Three levels below the page are fetched; the fourth keeps the name it was given.
  EXPECT_NE(ReadWholeFile(folder / "12.htm").value_or("").find("src=\"13.htm\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "13.htm"));

  EXPECT_TRUE(Requests(dir, "/site/frame.html") == 1u && Requests(dir, "/site/l4.html") == 0u);
  // 127.0.0.2 asked the run to back off: nothing more goes there.
  EXPECT_TRUE(Requests(dir, "/busy.gif") == 1u && Requests(dir, "/after.gif") == 0u);

  // A verification never writes the raw page over the downloaded copy: a page still answering stays
  // downloaded, also when its mark was lost and only the files beside 0.htm tell the copy.
  for (const int before : {kPageDownloaded, kPageNone}) {
    key.Results[0].PageState = static_cast<std::uint8_t>(before);
    StartVerify(key, kVerifyMode, dispatcher, display, localFiles.Path());
    ASSERT_TRUE(RunUntilVerified(dispatcher, key));
    EXPECT_TRUE(PageStates(key) == answered && ReadWholeFile(folder / "0.htm") == saved) << before;
  }
  // With the copy gone, a page marked downloaded is verified afresh and kept as it came, nothing queued.
  std::filesystem::remove_all(folder);
  key.Results[0].LocalFile.clear();
  StartVerify(key, kVerifyMode, dispatcher, display, localFiles.Path());
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));
  EXPECT_EQ(PageStates(key), (std::vector<int>{kPageVerified, kPageFailed, kPageFailed}));
  EXPECT_EQ(ReadWholeFile(folder / "0.htm").value_or(""), index);
  EXPECT_TRUE(key.Results[0].LocalFile == (folder / "0.htm").string() && Requests(dir, "/site/frame.html") == 1u);
}

TEST_F(VerifyTest, OneHostTakesTwoRequestsAtATimeAndAStopLeavesPagesInFlightUnchecked) {
  Options().SetValue("VerifyTimeOut", "5");  // bounds a request whose abort came before it started
  LoopbackServer silent({Stall()});
  std::vector<std::string> urls;
  for (int i = 0; i < 30; ++i) urls.push_back(silent.Url("/p" + std::to_string(i)));
  AddResults(key, urls);

  StartVerify(key, kVerifyMode, dispatcher, display, localFiles.Path());
  while (display.rowUrls.size() < static_cast<size_t>(kVerifyWorkers))
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
  // Every worker wants the one host, which takes two requests at a time.
  while (silent.Connections() < 2) dispatcher.WaitAndRunPending(std::chrono::milliseconds(20));
  dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
  EXPECT_EQ(silent.Connections(), 2u);
  StopVerifiers(key);
  const int callsAtStop = display.calls;
  EXPECT_TRUE(key.RunningVerifiers == 0 && key.Verifiers.Count() == 0u);

  ASSERT_TRUE(WaitForVerifyWorkers(std::chrono::seconds(30)));
  dispatcher.RunPending();
  EXPECT_EQ(display.calls, callsAtStop);  // nothing reached the display after the stop
  EXPECT_EQ(PageStates(key), std::vector<int>(30, kPageNone));
}


TEST_F(VerifyTest, APageFolderNameTheFileSystemRefusesIsMappedAndFoundAgain) {
  const std::string shortUrl = "http://example.com/a?b=c";
  EXPECT_EQ(CreateLocalPageFolder(localFiles.Path(), shortUrl), localFiles / SafeName(shortUrl));

  // A name of 255 bytes is the longest the file system takes as it is.
  const std::string longest = "http://example.com/" + std::string(236, 'x');
  EXPECT_EQ(CreateLocalPageFolder(localFiles.Path(), longest), localFiles / SafeName(longest));
  EXPECT_EQ(FindLocalPageFolder(localFiles.Path(), longest), localFiles / SafeName(longest));

  const std::string longUrl = "http://example.com/" + std::string(400, 'x') + "?q=*|";
  const std::filesystem::path mapped = CreateLocalPageFolder(localFiles.Path(), longUrl);
  EXPECT_TRUE(std::filesystem::is_directory(mapped) && mapped.filename().string().size() <= 255u);
  EXPECT_TRUE(FindLocalPageFolder(localFiles.Path(), longUrl) == mapped &&
              FindLocalPageFolder(localFiles.Path(), shortUrl) == localFiles / SafeName(shortUrl));
  // Another long URL with the same start gets a folder of its own.
  EXPECT_NE(CreateLocalPageFolder(localFiles.Path(), longUrl + "2"), mapped);
  // An empty address never means the LocalFile folder itself.
  EXPECT_NE(CreateLocalPageFolder(localFiles.Path(), ""), localFiles.Path());
}


TEST_F(VerifyTest, APageThatFindsNoRoomFailsWithItsReasonAndTheEarlierCopyStays) {
  MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  LoopbackServer server({Reply("HTTP/1.0 200 OK", {"Content-Type: text/html"}, "<p>new copy</p>")});
  const std::string url = server.Url("/page.htm");
  const std::filesystem::path folder = CreateLocalPageFolder(disk.Path(), url);
  ASSERT_TRUE(WriteFileAtomically(folder / "0.htm", "<p>earlier copy</p>"));
  disk.Fill();
  AddResults(key, {url});
  StartVerify(key, kDownloadMode, dispatcher, display, disk.Path());
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));

  EXPECT_TRUE(PageStates(key) == std::vector<int>{kPageFailed} && key.Results[0].LocalFile.empty());
  ASSERT_EQ(display.notSaved.size(), 1u);
  EXPECT_NE(display.notSaved[0].find("No space left on device"), std::string::npos) << display.notSaved[0];
  EXPECT_TRUE(ReadWholeFile(folder / "0.htm") == "<p>earlier copy</p>" &&
              std::distance(std::filesystem::directory_iterator(folder), {}) == 1);
}


TEST(VerifyCli, PrintsAndSavesEveryResultsPageState) {
  QUORVEX_REQUIRE_PROGRAM("nginx");
  NginxServer nginx;
  ASSERT_TRUE(nginx.Started()) << nginx.Log();
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / "ok.html", "<img src=a.gif>"));
  const std::filesystem::path programDir = std::filesystem::path(QUORVEX_CLI_PATH).parent_path();

  TOneKey key("verify-cli-" + std::to_string(::getpid()), 45000.25, 0, 0);
  AddResults(key, {nginx.Url("/ok.html"), nginx.Url("/gone.html")});
  key.ResultCount = 2;
  std::filesystem::create_directories(programDir / "SearchResult");
  ASSERT_TRUE(key.SaveResults(programDir / "SearchResult"));
  TempDir work;
  work.Write("AllKey.txt", key.ToLine({"Offline demo"}) + "\r\n");

  const CliResult result = RunCli({"verify", "--download", key.Keyword}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "V\t1\t" + nginx.Url("/ok.html") + "\nV\t3\t" + nginx.Url("/gone.html") + "\n");
  EXPECT_NE(result.err.find("Downloaded:2 Total:2 100.00%"), std::string::npos) << result.err;

  TOneKey saved(key.Keyword, key.Date, 0, 0);
  EXPECT_TRUE(saved.LoadResults(programDir / "SearchResult") &&
              PageStates(saved) == std::vector<int>({kPageDownloaded, kPageFailed}));
  const std::filesystem::path pageFolder = programDir / "LocalFile" / SafeName(nginx.Url("/ok.html"));
  EXPECT_EQ(ReadWholeFile(pageFolder / "0.htm").value_or(""), "<img src=\"1.gif\">");
  std::filesystem::remove_all(pageFolder);

  // A keyword file that cannot be written fails the run.
  MountedFolder readOnly;
  if (readOnly.Mounted()) {
    std::filesystem::copy_file(work / "AllKey.txt", readOnly / "AllKey.txt");
    ASSERT_TRUE(readOnly.RemountReadOnly());
    const CliResult unsaved = RunCli({"verify", key.Keyword}, readOnly.Path());
    EXPECT_EQ(unsaved.exitCode, 1) << unsaved.err;
  }
  // A result file that exists but cannot be read is left as it is, and nothing is verified.
  std::filesystem::remove(key.ResultFile(programDir / "SearchResult"));
  std::filesystem::create_directory(key.ResultFile(programDir / "SearchResult"));
  const CliResult unreadable = RunCli({"verify", key.Keyword}, work.Path());
  EXPECT_EQ(unreadable.exitCode, 2) << unreadable.err;
  EXPECT_TRUE(std::filesystem::is_directory(key.ResultFile(programDir / "SearchResult")));
  std::filesystem::remove(key.ResultFile(programDir / "SearchResult"));

  EXPECT_TRUE(RunCli({"verify", "no such keyword"}, work.Path()).exitCode == 2 && RunCli({"verify"}).exitCode == 2);
}

// The keyword files are saved now and then while a run goes on; a page state set after such a save
// must still reach the file at the next one.
TEST_F(VerifyTest, PageStatesSetAfterASaveDuringTheRunAreSavedNextTime) {
  LoopbackServer server({Sends("HTTP/1.0 200 OK\r\n\r\nok", 300)});
  AddResults(key, {server.Url("/page")});
  StartVerify(key, kVerifyMode, dispatcher, display, localFiles.Path());
  while (display.rowUrls.empty()) dispatcher.WaitAndRunPending(std::chrono::milliseconds(100));
  ASSERT_TRUE(SaveKeyList({&key}, dir / "AllKey.txt", dir.Path(), {}));  // the fetch is still waiting
  ASSERT_TRUE(RunUntilVerified(dispatcher, key));
  StopVerifiers(key);
  ASSERT_TRUE(SaveKeyList({&key}, dir / "AllKey.txt", dir.Path(), {}));

  TOneKey read("pages", 0, 0, 0);
  EXPECT_TRUE(read.LoadResults(dir.Path()) && PageStates(read) == std::vector<int>{kPageVerified});
}

}  // namespace
}  // namespace quorvex::test
