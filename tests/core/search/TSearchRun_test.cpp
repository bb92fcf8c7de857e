#include "core/search/TSearchRun.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/app/AppState.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/config/Options.h"
#include "core/config/version.h"
#include "core/search/engine_health.h"
#include "core/search/result_merge.h"
#include "core/search/search_display.h"
#include "core/store/TOneKey.h"
#include "core/store/TOneResult.h"
#include "support/loopback_server.h"
#include "support/silent_name_server.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

// One result of a served page.
struct Hit {
  std::string url, title, summary;
};

// A result list as a local file holds it: "<ol><li><a href=URL>TITLE</a><p>SUMMARY</p></li>...</ol>".
std::string ResultFile(const std::vector<Hit>& hits) {
  std::string body = "<html><body><ol>\n";
  for (const Hit& hit : hits)
    body += "<li><a href=\"" + hit.url + "\">" + hit.title + "</a><p>" + hit.summary + "</p></li>\n";
  return body + "</ol>\n";
}

// The same list as an HTTP/1.0 answer, with a link with the text "Next" to nextLink when it is given.
std::string ResultPage(const std::vector<Hit>& hits, const std::string& nextLink = {}) {
  std::string body = ResultFile(hits);
  if (!nextLink.empty()) body += "<div><a href=\"" + nextLink + "\"> Next </a></div>\n";
  return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body + "</body></html>\n";
}

// The target of each request the server read, in order ("GET /s?q=a HTTP/1.0" gives "/s?q=a").
std::vector<std::string> Targets(const LoopbackServer& server) {
  std::vector<std::string> targets;
  for (const std::string& request : server.Requests()) {
    const size_t from = request.find(' ') + 1;
    targets.push_back(request.substr(from, request.find(' ', from) - from));
  }
  return targets;
}

// A definition for these pages: url as given, then the header lines, the template and a rule that
// makes every record's fourth field "ENG".
std::string ListDefinition(const std::string& url, const std::string& headerLines = {}) {
  return "url=" + url + "\n" + headerLines +
         "Head=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n---\nL,$4,ENG\n";
}

// The engine names of a result's engine list ("A;B"), sorted; a name listed twice stays twice.
std::multiset<std::string> EngineNames(std::string_view engines) {
  std::multiset<std::string> names;
  for (size_t from = 0, semicolon = 0; semicolon != std::string_view::npos; from = semicolon + 1) {
    semicolon = engines.find(';', from);
    names.emplace(engines.substr(from, semicolon - from));
  }
  return names;
}

// The result of url in key; a missing one fails the test (and reads as an empty result).
const TOneResult& Found(const TOneKey& key, std::string_view url) {
  static const TOneResult kMissing;
  const TOneResult* result = key.Results.Find(TResultList::KeyOf(url));
  if (result == nullptr) ADD_FAILURE() << "no result " << url;
  return result != nullptr ? *result : kMissing;
}

// Runs the dispatcher's calls until done() holds; false when it still does not after 30 s.
bool PumpUntil(QueueDispatcher& dispatcher, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done() && std::chrono::steady_clock::now() < deadline)
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(20));
  return done();
}

// What a search showed of one engine.
struct EngineShown {
  int connected = 0;
  int reported = -1;  // last Downloading count
  int added = -1;     // FinishedDown count; -1 until the engine finished
  std::string failure;
};

// A progress row that counts itself in alive while it lives.
class RecordingRow : public TSearchProgressRow {
 public:
  RecordingRow(EngineShown& engine, int& alive) : engine_(engine), alive_(++alive) {}
  ~RecordingRow() override { --alive_; }
  RecordingRow(const RecordingRow&) = delete;
  RecordingRow& operator=(const RecordingRow&) = delete;
  void Connected() override { ++engine_.connected; }
  void Downloading(int reported) override { engine_.reported = reported; }
  void FinishedDown(int added, std::string_view failure) override {
    engine_.added = added;
    engine_.failure = failure;
  }

 private:
  EngineShown& engine_;
  int& alive_;
};

// What a search showed, engine by engine.
class RecordingDisplay : public TSearchDisplay {
 public:
  void ShowActivity(std::string_view text) override { activity.emplace_back(text); }
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey&) override {}
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey&) override {
    return std::make_unique<RecordingRow>(engines[std::string(engineName)], rowsAlive);
  }
  void ResultsMerged(TOneKey&, int runTotal, int countAll) override { lastTotal = {runTotal, countAll}; }
  void EnginesFinished() override { ++enginesFinished; }
  void SearchEnded(TOneKey&) override { ++ended; }

  std::map<std::string, EngineShown, std::less<>> engines;
  std::vector<std::string> activity;
  std::pair<int, int> lastTotal{-1, -1};
  int ended = 0;
  int enginesFinished = 0;
  int rowsAlive = 0;  // progress rows not yet freed
};

}  // namespace
}  // namespace quorvex::test

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

namespace {

// Ten results a page, new on every page.
ScriptedReply TenNewHits(size_t connection) {
  std::vector<Hit> hits;
  for (int i = 0; i < 10; ++i) {
    const std::string id = std::to_string(connection) + "-" + std::to_string(i);
    hits.push_back({"http://many.example/" + id, "hit " + id, "s"});
  }
  return Sends(ResultPage(hits));
}

class SearchRun : public ::testing::Test {
 protected:
  SearchRun() : run_(dispatcher_, display_, app_) { run_.EngineFolder = engines_.Path(); }
  ~SearchRun() override { Options().SetLines({}); }

  void Define(const std::string& file, const std::string& definition) { engines_.Write(file, definition); }

  TOneKey* Search(const std::string& keyword, const std::vector<std::string>& engines) {
    return run_.StartSearch({keyword, 0, 0, "", engines});
  }

  // Runs the workers' calls, never the timer, and ends the search when the display is told that every
  // engine has ended, as the window does.
  void RunToEnd() {
    const int before = display_.enginesFinished;
    ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return display_.enginesFinished > before; }));
    EXPECT_EQ(run_.RunningEngines(), 0);
    run_.StopSearch();
  }

  // A search run to its end as above; a search that does not start fails the test.
  TOneKey& SearchToEnd(const std::string& keyword, const std::vector<std::string>& engines) {
    TOneKey* key = Search(keyword, engines);
    if (key == nullptr) throw std::runtime_error("the search of " + keyword + " did not start");
    RunToEnd();
    return *key;
  }

  // The search is over and everything it made is gone.
  void ExpectEnded() {
    EXPECT_TRUE(app_.CurrentSearch == nullptr && !app_.UpdateMode);
    EXPECT_TRUE(display_.rowsAlive == 0 && display_.ended == 1 && display_.activity.back() == "Finished");
  }

  TempDir engines_;
  QueueDispatcher dispatcher_;
  RecordingDisplay display_;
  AppState app_;
  TSearchRun run_;
};

TEST_F(SearchRun, EnginesSearchAtOnceTheirResultsMergeAndFailuresKeepTheirReason) {
  const Hit r1{"http://one.example/a", "first", "s"};
  const Hit r3{"http://three.example/c", "third", "s"};
  // Alpha's third page only repeats a result (in capitals): paging ends there.
  LoopbackServer alpha(std::vector{Sends(ResultPage({r1, {"http://two.example/b", "second", "s"}}), 50),
                                   Sends(ResultPage({r3}), 50), Sends(ResultPage({{"HTTP://ONE.EXAMPLE/a", "again", "s"}}), 50),
                                   Sends(ResultPage({{"http://late.example/", "never asked for", "s"}}))});
  LoopbackServer beta(std::vector{Sends(ResultPage({{"http://four.example/d", "fourth", "s"}}, "/beta/2"), 150),
                                  Sends(ResultPage({{"http://five.example/e", "fifth", "s"}}), 150),
                                  Sends(ResultPage({}), 150)});
  LoopbackServer delta(std::vector{Sends(ResultPage({r1, {"http://six.example/f", "sixth", "s"}}), 100),
                                   Sends("HTTP/1.0 404 Not Found\r\n\r\n")});
  LoopbackServer epsilon(std::vector{Sends(ResultPage({r1, r3}), 300)});
  Define("alpha.txt", ListDefinition(alpha.Url("/s?q=$key$&p=$page$"), "Page=0,10\n"));
  Define("beta.txt", ListDefinition(beta.Url("/s?q=$key$&p=$page$"), "Page=0,10,Next\n"));
  Define("delta.txt", ListDefinition(delta.Url("/s?q=$key$&p=$page$"), "Page=0,10\n"));
  Define("epsilon.txt", ListDefinition(epsilon.Url("/s?q=$key$"), "Score=80\n"));
  Define("closed.txt", ListDefinition("http://127.0.0.1:1/"));

  TOneKey& key = SearchToEnd("zz", {"Alpha=alpha.txt", "Beta=beta.txt", "Gamma=missing.txt", "Delta=delta.txt",
                                    "Epsilon=epsilon.txt", "Closed=closed.txt"});
  ExpectEnded();

  EXPECT_EQ(Targets(alpha), (std::vector<std::string>{"/s?q=zz&p=0", "/s?q=zz&p=10", "/s?q=zz&p=20"}));
  EXPECT_EQ(Targets(beta), (std::vector<std::string>{"/s?q=zz&p=0", "/beta/2", "/s?q=zz&p=20"}));
  EXPECT_TRUE(delta.Connections() == 2u && display_.engines["Beta"].connected == 3);

  ASSERT_EQ(key.Results.Count(), 6u);
  EXPECT_TRUE(key.ResultCount == 6 && display_.lastTotal == std::pair(6, 300));
  EXPECT_EQ(EngineNames(Found(key, r1.url).Engines), (std::multiset<std::string>{"Alpha", "Delta", "Epsilon"}));
  EXPECT_EQ(display_.engines["Delta"].failure, "HTTP status 404");
  EXPECT_EQ(display_.engines["Gamma"].failure, "cannot read the definition " + (engines_ / "missing.txt").string());
  EXPECT_TRUE(display_.engines["Closed"].failure.starts_with("Conncet_error: 127.0.0.1:1: "))
      << display_.engines["Closed"].failure;
}

// Every search keeps each engine's last outcome in the engine folder's health file, across runs, and
// the page of a blocked engine or of one whose definition reads nothing, replaced by the next one.
TEST_F(SearchRun, EachEnginesLastOutcomeAndItsTellingPageAreKept) {
  engines_.Write("Markers.txt", "blocked=unusual traffic\nnoresults=No results for\n");
  engines_.Write("hits.html", ResultFile({{"http://one.example/", "one", "s"}, {"http://two.example/", "two", "s"}}));
  engines_.Write("none.html", "<p>No results for zz</p>");
  engines_.Write("other.html", "<div class=new-layout><a href=http://x.example/>x</a></div>");
  engines_.Write("untitled.html", ResultFile({{"http://one.example/", "", "s"}, {"http://two.example/", " ", "s"}}));
  LoopbackServer blocked(std::vector{Sends("HTTP/1.0 429 Too Many\r\n\r\n<p>Unusual traffic from you</p>")});
  Define("hits.txt", ListDefinition("hits.html"));
  Define("none.txt", ListDefinition("none.html"));
  Define("blocked.txt", ListDefinition(blocked.Url("/s?q=$key$")));
  Define("changed.txt", ListDefinition("other.html"));
  Define("closed.txt", ListDefinition("http://127.0.0.1:1/"));
  Define("untitled.txt", ListDefinition("untitled.html"));
  const std::vector<std::string> all{"Hits=hits.txt",       "None=none.txt",     "Blocked=blocked.txt",
                                     "Changed=changed.txt", "Closed=closed.txt", "Untitled=untitled.txt"};
  ASSERT_NE(Search("zz", all), nullptr);
  RunToEnd();

  std::map<std::string, TEngineHealth> health;
  for (const TEngineHealth& engine : ParseHealth(ReadWholeFile(engines_ / kHealthFileName).value_or(""))) {
    health[engine.name] = engine;
  }
  ASSERT_EQ(health.size(), 6u);
  EXPECT_EQ(health["Hits"].state, TEngineState::Worked);
  EXPECT_EQ(health["Hits"].records, 2);
  EXPECT_EQ(health["Hits"].pages, 1);
  EXPECT_EQ(health["None"].state, TEngineState::NoResults);
  EXPECT_EQ(health["None"].reason, "No results for");
  EXPECT_EQ(health["Blocked"].state, TEngineState::Blocked);
  EXPECT_EQ(health["Blocked"].reason, "unusual traffic (HTTP status 429)");
  EXPECT_EQ(health["Changed"].state, TEngineState::NoRecordMatched);
  // Records that no result can be made of: the definition no longer reads the page either.
  EXPECT_TRUE(health["Untitled"].state == TEngineState::NoRecordMatched && health["Untitled"].records == 0);
  EXPECT_EQ(ReadWholeFile(KeptPagePath(engines_.Path(), "Untitled")), ReadWholeFile(engines_ / "untitled.html"));
  EXPECT_EQ(health["Closed"].state, TEngineState::Failed);
  EXPECT_TRUE(health["Closed"].reason.starts_with("Conncet_error: ")) << health["Closed"].reason;
  EXPECT_GT(health["Hits"].when, 0);
  EXPECT_EQ(ReadWholeFile(KeptPagePath(engines_.Path(), "Blocked")), "<p>Unusual traffic from you</p>");
  // With the search that fetched it and the charset its definition reads it in, for learning from it; names that make one file name keep two pages.
  const TKeptRequest request = ReadKeptRequest(KeptPagePath(engines_.Path(), "Blocked"));
  EXPECT_EQ(std::tuple(request.keyword, request.address, request.charset),
            std::tuple(std::string("zz"), blocked.Url("/s?q=zz"), std::string("GB18030")));
  EXPECT_NE(KeptPagePath(engines_.Path(), "A/B"), KeptPagePath(engines_.Path(), "A_B"));
  EXPECT_EQ(KeptPagePath(engines_.Path(), "A/B").parent_path(), engines_ / "KeptPages");
  EXPECT_EQ(ReadWholeFile(KeptPagePath(engines_.Path(), "Changed")), ReadWholeFile(engines_ / "other.html"));
  EXPECT_FALSE(std::filesystem::exists(KeptPagePath(engines_.Path(), "None")));

  // The next search replaces the engine's line and its kept page; the other engines' lines stay, also
  // one that another program wrote while the search ran.
  engines_.Write("other.html", "<div class=newer-layout></div>");
  ASSERT_NE(Search("zz", {"Changed=changed.txt"}), nullptr);
  engines_.Write(kHealthFileName, *ReadWholeFile(engines_ / kHealthFileName) + "Cli\tworked\t1\t1\t5\t0\t\n");
  RunToEnd();
  const std::vector<TEngineHealth> after = ParseHealth(ReadWholeFile(engines_ / kHealthFileName).value_or(""));
  ASSERT_EQ(after.size(), 7u);
  EXPECT_EQ(ReadWholeFile(KeptPagePath(engines_.Path(), "Changed")), "<div class=newer-layout></div>");
  EXPECT_EQ(HealthText(after), HealthText(ParseHealth(HealthText(after))));
  // An empty page of the same outcome leaves no older page to be learned from as its own.
  engines_.Write("other.html", "");
  ASSERT_NE(Search("zz", {"Changed=changed.txt"}), nullptr);
  RunToEnd();
  EXPECT_FALSE(std::filesystem::exists(KeptPagePath(engines_.Path(), "Changed")));
  EXPECT_FALSE(std::filesystem::exists(KeptRequestPath(KeptPagePath(engines_.Path(), "Changed"))));
  // A page and its request are replaced as one: a request that cannot be written takes its new page with
  // it, and a page that cannot be written takes the old request.
  TEngineOutcome kept;
  kept.name = "Kept";
  kept.keptPage = "<p>new</p>";
  const std::filesystem::path keptPage = KeptPagePath(engines_.Path(), "Kept");
  std::filesystem::create_directories(KeptRequestPath(keptPage) / "in-the-way");
  RecordEngineHealth(engines_.Path(), {kept}, 1);
  EXPECT_FALSE(std::filesystem::exists(keptPage));
  for (const auto& path : {KeptRequestPath(keptPage), keptPage}) std::filesystem::remove_all(path);
  std::filesystem::create_directories(keptPage / "in-the-way");
  ASSERT_TRUE(WriteFileAtomically(KeptRequestPath(keptPage), "key=old\n"));
  RecordEngineHealth(engines_.Path(), {kept}, 1);
  EXPECT_FALSE(std::filesystem::exists(KeptRequestPath(keptPage)));
  // The time reads back as written, whatever the locale: the window runs under the user's, where a
  // decimal comma would leave a date no reader takes; a file written so is still read.
  const TEngineHealth exact{"A", TEngineState::Worked, "", 1, 1, 5, 46363.77880312};
  EXPECT_EQ(ParseHealth(HealthText({exact})).front().when, exact.when);
  EXPECT_EQ(ParseHealth("A\tworked\t1\t1\t5\t46363,5\t\n").front().when, 46363.5);
  // A damaged line is passed over, not misread.
  EXPECT_EQ(ParseHealth("Hits\tgreat\t1\t1\t5\t0\t\nX\tworked\n\tworked\t1\t1\t1\t1\t\n").size(), 0u);
  // A health file that exists but cannot be read is not written over, and the user is told.
  std::filesystem::remove(engines_ / kHealthFileName);
  std::filesystem::create_directory(engines_ / kHealthFileName);
  ASSERT_NE(Search("zz", {"Changed=changed.txt"}), nullptr);
  RunToEnd();
  EXPECT_NE(display_.activity.back().find("cannot be read"), std::string::npos) << display_.activity.back();
}

// Two programs that record outcomes at once keep every engine's line.
TEST(EngineHealth, TwoWritersAtOnceKeepEachOthersLines) {
  TempDir folder;
  std::vector<pid_t> children;
  for (int writer = 0; writer < 2; ++writer) {
    const pid_t child = fork();
    if (child == 0) {
      for (int i = 0; i < 40; ++i) {
        TEngineOutcome outcome;
        outcome.name = std::to_string(writer) + "-" + std::to_string(i);
        outcome.reported = 1;
        RecordEngineHealth(folder.Path(), {outcome}, 1);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) waitpid(child, nullptr, 0);
  EXPECT_EQ(ParseHealth(ReadWholeFile(folder / kHealthFileName).value_or("")).size(), 80u);

  // A writer that keeps the lock (a stopped check-engines) is waited for a while, not for ever.
  const int held = ::open((folder / "Health.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_TRUE(held >= 0 && ::flock(held, LOCK_EX) == 0);
  TEngineOutcome late;
  late.name = "late";
  EXPECT_NE(RecordEngineHealth(folder.Path(), {late}, 1).find("held by another program"), std::string::npos);
  ::close(held);
  EXPECT_EQ(ParseHealth(ReadWholeFile(folder / kHealthFileName).value_or("")).size(), 80u);
}

TEST_F(SearchRun, BothLimitsStopPagingOnlyOncePassed) {
  LoopbackServer many(TenNewHits);
  Define("many.txt", ListDefinition(many.Url("/?p=$page$"), "Page=0,10\n"));
  run_.Limits = SearchLimits{20, 1000};
  SearchToEnd("k", {"Many=many.txt"});
  EXPECT_EQ(many.Connections(), 3u);  // 20 reported is not more than 20

  LoopbackServer all(TenNewHits);
  Define("all.txt", ListDefinition(all.Url("/?p=$page$"), "Page=0,10\n"));
  run_.Limits = SearchLimits{1000, 20};
  SearchToEnd("k", {"All=all.txt"});
  EXPECT_TRUE(all.Connections() == 3u && run_.RunTotal() == 30);  // 20 added is not more than 20
}

TEST_F(SearchRun, AStopReturnsAtOnceEvenDuringANameLookupAndNoEventFollows) {
  SilentNameServer nameServer;
  LoopbackServer slow(std::vector{Sends(ResultPage({{"http://slow.example/1", "one", "s"}})), Stall()});
  Define("slow.txt", ListDefinition(slow.Url("/?p=$page$"), "Page=0,10\n"));
  Define("unknown.txt", ListDefinition("http://blackhole.test/?q=$key$"));
  TOneKey* key = Search("k", {"Slow=slow.txt", "Unknown=unknown.txt"});
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return nameServer.WaitForQuery(0) && slow.Connections() == 2; }));

  const auto before = std::chrono::steady_clock::now();
  run_.StopSearch();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 300ms);
  ExpectEnded();
  EXPECT_EQ(key->Results.Count(), 1u);
  dispatcher_.RunPending();
  run_.TimerTick();
  EXPECT_TRUE(display_.engines["Slow"].added == -1 && display_.engines["Unknown"].added == -1 && display_.ended == 1);
}

TEST_F(SearchRun, AnUpdateSearchRefreshesWhatItFindsAgain) {
  // A local file is one page, read once: with paging on and no unique field a second read would add
  // its results again.
  Define("a.txt", ListDefinition("a.html", "Page=0,10\nUniqe=\n"));
  Define("b.txt", ListDefinition("b.html", "Score=60\n"));
  engines_.Write("a.html", ResultFile({{"http://u.example/1", "one", "s"}, {"http://u.example/2", "two", "s"}}));
  engines_.Write("b.html", ResultFile({{"http://u.example/1", "one", "s"}}));
  run_.Limits.CountPerEngine = 12;
  TOneKey& key = SearchToEnd("one", {"A=a.txt", "B=b.txt"});
  ASSERT_EQ(key.Results.Count(), 2u);
  EXPECT_EQ(display_.engines["A"].reported, 2);
  for (size_t i = 0; i < key.Results.Count(); ++i) key.Results[i].Found -= 1;  // found yesterday

  engines_.Write("a.html", ResultFile({{"http://u.example/2", "two", "s"}}));
  engines_.Write("b.html", ResultFile({{"http://u.example/1/", "one, again", "s"}, {"http://u.example/3", "three", "s"}}));
  run_.Limits.CountPerEngine = 30;
  ASSERT_TRUE(run_.StartUpdateSearch(key, {"B=b.txt", "A=a.txt"}));
  EXPECT_EQ(run_.Limits.CountPerEngine, 12);  // the keyword's own limit
  EXPECT_FALSE(run_.StartUpdateSearch(key, {}) || Search("other", {}));  // one search at a time
  RunToEnd();

  ASSERT_EQ(key.Results.Count(), 3u);
  EXPECT_TRUE(Found(key, "http://u.example/1").Title == "one, again" &&
              Found(key, "http://u.example/2").Engines == "A");
  EXPECT_TRUE(run_.RunTotal() == 3 && !app_.UpdateMode);  // u1 and u2 refreshed, u3 new
}

// Any other charset a definition names is sent the keyword in it and read in UTF-8, and its records are
// scored by the keyword's words in UTF-8; an unknown one fails the engine with its reason, before anything
// is fetched.
TEST_F(SearchRun, KeywordsAndTextsFollowTheEnginesCodePage) {
  const std::string gb = "\xD6\xD0\xCE\xC4";  // "中文"
  const std::string big5 = "\xA4\xA4\xA4\xE5";
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87";
  const std::string eucKr = "\xB0\xED\xB5\xEE\xBE\xEE \xFF";  // "고등어" and a byte that is no character
  LoopbackServer utf(std::vector{Sends(ResultPage({{"http://utf.example/", utf8, utf8}}))});
  LoopbackServer big(std::vector{Sends(ResultPage({{"http://big.example/" + big5, big5, big5 + "\r\n  s"}}))});
  LoopbackServer plain(std::vector{Sends(ResultPage({{"http://gb.example/", gb, gb}}))});
  LoopbackServer korean(std::vector{Sends(ResultPage({{"http://kr.example/", eucKr, "s"}}))});
  Define("utf.txt", ListDefinition(utf.Url("/?q=$key$"), "Version=1\nCharset=utf-8\n"));
  Define("big.txt", ListDefinition(big.Url("/?q=$key$"), "Version=1\n"));
  Define("gb.txt", ListDefinition(plain.Url("/?q=$key$")));
  Define("kr.txt", ListDefinition(korean.Url("/?q=$key$"), "Version=2\nCharset=EUC-KR\n"));
  Define("odd.txt", ListDefinition(korean.Url("/?odd=$key$"), "Charset=no-such-charset\n"));
  TOneKey& key = SearchToEnd(gb, {"Utf=utf.txt", "Big=big.txt", "Gb=gb.txt", "Kr=kr.txt", "Odd=odd.txt"});

  EXPECT_EQ(Targets(utf), std::vector<std::string>{"/?q=%E4%B8%AD%E6%96%87"});
  EXPECT_EQ(Targets(big), std::vector<std::string>{"/?q=%A4%A4%A4%E5"});
  EXPECT_EQ(Targets(plain), std::vector<std::string>{"/?q=%D6%D0%CE%C4"});
  EXPECT_EQ(Targets(korean), std::vector<std::string>{"/?q=%F1%E9%D9%FE"});
  EXPECT_EQ(Found(key, "http://kr.example").Title, "\xEA\xB3\xA0\xEB\x93\xB1\xEC\x96\xB4 \xEF\xBF\xBD");
  EXPECT_EQ(display_.engines["Odd"].failure, "unknown charset no-such-charset");
  ASSERT_EQ(key.Results.Count(), 4u);
  // The same record scores the same whichever code page its engine answers in.
  EXPECT_TRUE(Found(key, "http://utf.example").Title == utf8 && Found(key, "http://gb.example").Title == gb &&
              Found(key, "http://utf.example").Score == Found(key, "http://gb.example").Score);
  const TOneResult& fromBig = Found(key, "http://big.example/" + big5);  // URLs stay
  EXPECT_EQ(std::pair(fromBig.Title, fromBig.Summary), std::pair(gb, gb + " s"));
}

// Every engine goes through the proxy of the options; "Agent" and "Lang" of a definition become its
// requests' User-Agent and Accept-Language, and an engine that names neither sends the plain request.
TEST_F(SearchRun, EnginesUseTheProxyAndSendTheirOwnAgentAndLanguageOnlyWhenTheyNameThem) {
  LoopbackServer proxy(std::vector{Sends(ResultPage({{"http://via.example/1", "via proxy", "s"}}))});
  Options().SetValue("EnableProxy", "1");
  Options().SetValue("Proxy", "127.0.0.1");
  Options().SetValue("ProxyPort", std::to_string(proxy.Port()));
  Define("named.txt", "AGENT= Mozilla/5.0 (X11; Linux x86_64) \nlang=ko-KR,ko;q=0.9\n" +
                          ListDefinition("http://named.invalid/s?q=$key$"));
  Define("plain.txt", ListDefinition("http://plain.invalid/s?q=$key$"));
  TOneKey& key = SearchToEnd("k", {"Named=named.txt", "Plain=plain.txt"});
  const std::vector<std::string> requests = proxy.Requests();
  EXPECT_EQ(std::set(requests.begin(), requests.end()),
            (std::set<std::string>{"GET http://named.invalid/s?q=k HTTP/1.0\r\nUser-Agent: Mozilla/5.0 (X11; Linux "
                                   "x86_64)\r\nHost: named.invalid\r\nAccept-Language: ko-KR,ko;q=0.9\r\n\r\n",
                                   "GET http://plain.invalid/s?q=k HTTP/1.0\r\nUser-Agent: Mozilla/4.0 (compatible; "
                                   "MSIE 5.01; Windows NT 5.0)\r\nHost: plain.invalid\r\n\r\n"}));
  EXPECT_EQ(key.Results.Count(), 1u);
}

TEST_F(SearchRun, DestroyingTheRunStopsItsSearch) {
  LoopbackServer stuck(std::vector{Stall()});
  Define("stuck.txt", ListDefinition(stuck.Url("/")));
  {
    TSearchRun run(dispatcher_, display_, app_);
    run.EngineFolder = engines_.Path();
    run.StartSearch({"k", 0, 0, "", {"Stuck=stuck.txt"}});
    ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return stuck.Connections() == 1; }));
  }
  EXPECT_EQ(app_.CurrentSearch, nullptr);
}


class Merge : public ::testing::Test {
 protected:
  bool Add(const std::string& url, std::string_view engine, int weight, const std::string& title = "Title",
           const std::string& summary = "none") {
    const TMergeContext context{words_, updateMode_, updateStart_, now_};
    return MergeResult(key_, TFoundRecord{title, summary, url, kLanguageEnglish}, engine, weight, context) ==
           TMerged::Added;
  }

  TOneKey key_{"x y", 45000.0, 0, 0};
  std::vector<std::string> words_ = QueryWordsOf("x y");
  bool updateMode_ = false;
  double updateStart_ = 0;
  double now_ = 45000.25;
};

TEST(Scoring, KeywordsCountOnceByPositionAndDepthHalvesPerPathLevelBothSaturating) {
  const std::vector<std::string> words = QueryWordsOf("x y");
  for (const auto& [text, score] : {std::pair{"only y here", 20}, {"x and X and x", 10}, {"Y then X", 30}})
    EXPECT_EQ(KeywordScore(text, words), score) << text;
  // Blanks and "+" both separate words; two in a row leave an empty word, which occurs in any text.
  const std::vector<std::string> gappy = QueryWordsOf("rain+water  tank");
  EXPECT_EQ(gappy, (std::vector<std::string>{"rain", "water", "", "tank"}));
  EXPECT_TRUE(KeywordScore("zzz", gappy) == 30 &&
              KeywordScore("text", std::vector<std::string>(100000, "")) == std::numeric_limits<int>::max());

  for (const auto& [url, score] :
       {std::pair{"http://host.com/a/b/", 32}, {"http://host.com", 128}, {"", 128}, {"http://h/1/2/3/4/5/6/7", 1},
        {"http://h/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18/19/20/21/22/23/24/25/26/27/28/29/30/31/32/33", 0}}) {
    EXPECT_EQ(UrlDepthScore(url), score) << url;
  }
}

TEST_F(Merge, SharedUrlGainsTheOtherEnginesNameAndHalfItsWeightSaturating) {
  ASSERT_TRUE(Add("http://host.com/a/b", "A", 100, "x title"));
  const int scoreOfA = Found(key_, "http://host.com/a/b").Score;
  EXPECT_TRUE(key_.ResultCount == 1 && key_.Modified);

  EXPECT_FALSE(Add("HTTP://HOST.COM/a/b/", "B", 80, "other title"));
  const TOneResult& result = Found(key_, "http://host.com/a/b");
  EXPECT_TRUE(result.Engines == "A;B" && result.Score == scoreOfA + 40 && result.Title == "x title");

  // The same engine again (from another page) changes nothing.
  EXPECT_FALSE(Add("http://host.com/a/b", "B", 80));
  EXPECT_EQ(result.Score, scoreOfA + 40);

  // Hostile weights saturate instead of overflowing.
  const int most = std::numeric_limits<int>::max();
  ASSERT_TRUE(Add("http://h.com/w", "A", most));
  EXPECT_TRUE(!Add("http://h.com/w", "B", most) && Found(key_, "http://h.com/w").Score == most);
  ASSERT_TRUE(Add("http://h.com/v", "A", std::numeric_limits<int>::min()));
  EXPECT_EQ(Found(key_, "http://h.com/v").Score, std::numeric_limits<int>::min() + 64);
}

TEST_F(Merge, EmptyTextsAreDroppedAndOthersTrimmedAndDecoded) {
  EXPECT_FALSE(Add("http://h.com/r", "A", 100, " \t") || Add(" / ", "A", 100, "t"));
  EXPECT_TRUE(key_.Results.Empty() && !key_.Modified);
  ASSERT_TRUE(Add("  http://h.com/q?a=1&amp;b=2/ \r\n", "A", 100, " Tom &amp; Jerry ", "&lt;b&gt; "));
  const TOneResult& result = Found(key_, "http://h.com/q?a=1&b=2");
  EXPECT_EQ(result.Url, "http://h.com/q?a=1&b=2");
  EXPECT_TRUE(result.Title == "Tom & Jerry" && result.Summary == "<b>" && result.Found == now_);
}

TEST_F(Merge, UpdateSearchRefreshesResultsFoundBeforeItStarted) {
  ASSERT_TRUE(Add("http://h.com/old", "A", 100, "x"));
  ASSERT_FALSE(Add("http://h.com/old", "B", 100, "x"));
  TOneResult* result = key_.Results.Find(TResultList::KeyOf("http://h.com/old"));
  ASSERT_NE(result, nullptr);
  result->Visited = 1;

  updateMode_ = true;
  updateStart_ = 45001.0;
  now_ = 45001.5;
  words_ = QueryWordsOf("y");
  EXPECT_TRUE(Add("http://h.com/old/", "B", 60, "y new title", "fresh text"));
  EXPECT_TRUE(result->Engines == "B" && result->Title == "y new title");
  // The score of the new title, address and weight; what the user did with the page stays.
  EXPECT_TRUE(result->Score == 129 && result->Found == 45001.5 && result->Visited == 1);

  // A second engine of the same update only adds its name.
  EXPECT_TRUE(!Add("http://h.com/old", "A", 100) && result->Engines == "B;A");

  // Found exactly when the update started counts as found by this update.
  ASSERT_TRUE(Add("http://h.com/edge", "A", 100));
  updateStart_ = now_;
  EXPECT_TRUE(!Add("http://h.com/edge", "B", 100, "other") && Found(key_, "http://h.com/edge").Engines == "A;B");
}



// The lines of out with the names in the engines field (the last one) sorted: the engines of a shared
// result are listed in the order their pages happened to arrive.
std::vector<std::string> WithSortedEngines(const std::string& out) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitLines(out)) {
    if (line.empty()) continue;
    const size_t tab = line.rfind('\t');
    std::string sorted = line.substr(0, tab + 1);
    for (const std::string& name : EngineNames(std::string_view(line).substr(tab + 1))) sorted += name + ";";
    sorted.pop_back();
    lines.push_back(sorted);
  }
  return lines;
}

TEST(SearchCli, TheOfflineDemoMergesItsEnginesFromAnyWorkingFolderAndSaves) {
  TempDir work;
  const CliResult result = RunCli({"search", "--order", "1", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> byScore = WithSortedEngines(result.out);
  ASSERT_EQ(byScore.size(), 12u);
  EXPECT_TRUE(byScore.front().starts_with("S\t294\thttps://wiki.example/Rainwater_harvesting\tRainwater harvesting") &&
              byScore.front().ends_with("\t4\tAmberline;Bluestone;Driftmoor"));
  EXPECT_TRUE(result.err.starts_with("Searching...:rainwater harvesting\n") && result.err.ends_with("\nFinished\n"))
      << result.err;
  EXPECT_TRUE(result.err.find("\nAmberline: Downloading:6\n") != std::string::npos &&
              !std::filesystem::exists(work / "AllKey.txt"));

  // As found: the same results, in the order the pages happened to arrive; saved behind older keywords.
  work.Write("AllKey.txt", "\"older\",\"Offline demo\",\"0\",\"45000\",\"0\",\"\",\"0\",\"0\"\r\n");
  const CliResult asFound = RunCli({"search", "--save", "--all", "5", "rainwater harvesting"}, work.Path());
  ASSERT_EQ(asFound.exitCode, 0);
  const std::vector<std::string> found = WithSortedEngines(asFound.out);
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), std::set<std::string>(byScore.begin(), byScore.end()));
  const std::vector<std::string> saved = SplitLines(ReadWholeFile(work / "AllKey.txt").value_or(""));
  ASSERT_TRUE(saved.size() == 2u && saved[0].starts_with("\"older\""));
  const auto key = TOneKey::FromLine(saved[1], {"Offline demo"});
  ASSERT_NE(key, nullptr);
  // The limit stops paging only; every page is merged whole.
  EXPECT_TRUE(key->Keyword == "rainwater harvesting" && key->ResultCount == 12);
  const auto results = std::filesystem::path(QUORVEX_CLI_PATH).parent_path() / "SearchResult";
  EXPECT_TRUE(key->LoadResults(results) && key->Results.Count() == 12u);
  std::filesystem::remove(key->ResultFile(results));
}

TEST(SearchCli, ACategoryOfAnotherEngineFolderSearchesItsCheckedEnginesOnly) {
  TempDir engines;
  engines.Write("Index.txt", "[One,1]\r\nA=a.txt\r\n[Two]\r\nB=b.txt\r\nC=c.txt,0\r\nD=d.txt\r\n");
  for (const char* name : {"a", "b", "c"}) engines.Write(name + std::string(".txt"), ListDefinition(name + std::string(".html")));
  engines.Write("d.txt", ListDefinition("http://127.0.0.1:1/"));
  for (const auto& [page, url] : {std::pair{"a.html", "http://a.example/x"}, {"b.html", "http://b.example/\\\t"},
                                  {"c.html", "http://c.example/"}}) {
    engines.Write(page, ResultFile({{url, "title", "s"}}));
  }
  const CliResult result =
      RunCli({"search", "--engines", engines.Path().string(), "--category", "Two", "--per-engine", "3", "--", "-k"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "S\t164\thttp://b.example/\\\\\ttitle\ts\t4\tB\n");
  EXPECT_NE(result.err.find("B: Finished:1\n"), std::string::npos);
  // A failed engine says why beside its state.
  EXPECT_NE(result.err.find("D: Finished:0 (Conncet_error: 127.0.0.1:1: Connection refused)\n"), std::string::npos)
      << result.err;
  EXPECT_TRUE(result.err.ends_with(
      "Finished\n1 of 2 engines gave nothing: D (Conncet_error: 127.0.0.1:1: Connection refused)\n"))
      << result.err;
  EXPECT_TRUE(result.err.find("C: ") == std::string::npos && result.err.find("A: ") == std::string::npos);
}

// A keyword typed on a UTF-8 command line reaches a GB engine in GB, as the window's does, and is told
// back in UTF-8.
TEST(SearchCli, AUtf8KeywordIsSentToAGbEngineInGb) {
  LoopbackServer gb(std::vector{Sends(ResultPage({{"http://gb.example/", "t", "s"}}))});
  TempDir engines;
  engines.Write("Index.txt", "[One]\r\nG=g.txt\r\n");
  engines.Write("g.txt", ListDefinition(gb.Url("/?q=$key$")));
  const CliResult result = RunCli({"search", "--engines", engines.Path().string(), "\xE4\xB8\xAD\xE6\x96\x87"});
  EXPECT_TRUE(Targets(gb) == std::vector<std::string>{"/?q=%D6%D0%CE%C4"} && result.exitCode == 0 &&
              result.err.starts_with("Searching...:\xE4\xB8\xAD\xE6\x96\x87\n")) << result.err;
}

// Every command shares one argument parser; this checks it once and each command's own operands.
TEST(Cli, WrongArgumentsExitTwoWithTheUsageAndHelpAndVersionExitZero) {
  TempDir dir;
  const std::string page = dir.Write("page.html", "<b>x</b>").string();
  const std::string missing = (dir / "none.html").string();
  const std::string odd = dir.Write("odd.txt", "Charset=ISO-2022-CN-EXT\n").string();
  const std::vector<std::vector<std::string>> wrong = {{"extract", odd, page},{"search", "--category", "No such", "k"},
                                                       {"search", "--order", "8", "k"},
                                                       {"search", "--per-engine", "many", "k"},
                                                       {"search", "--frobnicate", "k"},
                                                       {"fetch", "--head", "--post", "http://x/"},
                                                       {"extract", page, page, "--key"},
                                                       {"extract", missing, page},
                                                       {"tags", missing},
                                                       {"unzip", "only-one-argument"},
                                                       {"learn", "", page},
                                                       {"learn", " \t", page},
                                                       {"learn", "\xC2\xA0\xE3\x80\x80", page},
                                                       {"learn", "kw", "/dev/zero"},
                                                       {"extract", page, "/dev/zero"},
                                                       {"extract", odd, "/dev/zero"},
                                                       {"check-engines", " \xE3\x80\x80"}};
  for (const std::vector<std::string>& args : wrong) {
    const CliResult result = RunCli(args);
    EXPECT_TRUE(result.exitCode == 2 && result.out.empty() && !result.err.empty()) << args.back();
  }
  EXPECT_NE(RunCli({"tags", missing}).err.find("none.html"), std::string::npos);
  EXPECT_NE(RunCli({"extract", odd, page}).err.find("unknown charset ISO-2022-CN-EXT"), std::string::npos);
  // A definition learned but not written is no page without results (exit 1).
  const std::string learn = std::string(QUORVEX_CLI_PATH) + " learn 'client-side graph database' '" +
                            FixturePath("serp-real/ddg-html-2026-02-27-client-side-graph-database.html").string() +
                            "' > /dev/full 2> /dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(learn.c_str())), 2);
  // Without --url there is no address to have held the keyword.
  const CliResult noUrl = RunCli(
      {"learn", "client-side graph database",
       FixturePath("serp-real/ddg-html-2026-02-27-client-side-graph-database.html").string()});
  EXPECT_TRUE(noUrl.exitCode == 0 && noUrl.err.find("no address given (--url)") != std::string::npos &&
              noUrl.err.find("holds no item") == std::string::npos)
      << noUrl.err;
  for (const char* command : {"search", "fetch", "extract", "tags", "unzip"}) {
    const CliResult help = RunCli({command, "--help"});
    EXPECT_TRUE(help.exitCode == 0 && help.out.starts_with("usage: quorvex-cli " + std::string(command))) << command;
  }
  const CliResult version = RunCli({"--version"});
  EXPECT_TRUE(version.exitCode == 0 && version.out == "quorvex-cli " + std::string(kProgramVersion) + "\n");
}

}  // namespace
