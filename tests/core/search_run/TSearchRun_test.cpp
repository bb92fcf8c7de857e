#include "core/search/TSearchRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/app/AppState.h"
#include "core/app/Options.h"
#include "core/common/dispatcher.h"
#include "core/search/TDownload.h"
#include "core/search/search_loop.h"
#include "core/store/TOneKey.h"
#include "search_run_test_support.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

namespace {

std::set<std::string> EngineSet(const std::string& engines) {
  std::set<std::string> names;
  size_t from = 0;
  for (size_t semicolon; (semicolon = engines.find(';', from)) != std::string::npos; from = semicolon + 1) {
    names.insert(engines.substr(from, semicolon - from));
  }
  names.insert(engines.substr(from));
  return names;
}

// Ten results a page, new on every page.
ScriptedReply TenNewHits(size_t connection) {
  std::vector<Hit> hits;
  for (int i = 0; i < 10; ++i) {
    const std::string id = std::to_string(connection) + "-" + std::to_string(i);
    hits.push_back({"http://many.example/" + id, "hit " + id, "s"});
  }
  return Answer(ResultPage(hits));
}

class SearchRun : public ::testing::Test {
 protected:
  SearchRun() : run_(dispatcher_, display_, app_) { run_.EngineFolder = engines_.Path(); }
  ~SearchRun() override { Options().SetLines({}); }

  void Define(const std::string& file, const std::string& definition) { engines_.Write(file, definition); }

  TOneKey* Search(const std::string& keyword, const std::vector<std::string>& engines) {
    TSearchRequest request;
    request.Keyword = keyword;
    request.Engines = engines;
    return run_.StartSearch(request);
  }

  void RunToEnd() { RunUntilSearchEnds(dispatcher_, run_); }

  // The search is over and everything it made is gone.
  void ExpectEnded(const TOneKey& key) {
    EXPECT_EQ(app_.CurrentSearch, nullptr);
    EXPECT_EQ(app_.ActivityState, TActivityState::Idle);
    EXPECT_FALSE(app_.UpdateMode);
    EXPECT_EQ(key.Searches.Count(), 0u);
    EXPECT_EQ(display_.rowsAlive, 0);
    EXPECT_EQ(display_.lines.back(), "bar full");
    EXPECT_EQ(display_.Starting("status 0: Finished").size(), 1u);
  }

  TempDir engines_;
  QueueDispatcher dispatcher_;
  RecordingDisplay display_;
  AppState app_;
  TSearchRun run_;
};

TEST_F(SearchRun, FiveEnginesSearchAtOnceAndTheirResultsMerge) {
  const Hit r1{"http://one.example/a", "first", "s"};
  const Hit r3{"http://three.example/c", "third", "s"};
  LoopbackServer alpha(std::vector{Answer(ResultPage({r1, {"http://two.example/b", "second", "s"}}), 50),
                                   Answer(ResultPage({r3}), 50), Answer(ResultPage({}), 50)});
  LoopbackServer beta(std::vector{Answer(ResultPage({{"http://four.example/d", "fourth", "s"}}, "/beta/2"), 150),
                                  Answer(ResultPage({{"http://five.example/e", "fifth", "s"}}), 150),
                                  Answer(ResultPage({}), 150)});
  LoopbackServer delta(std::vector{Answer(ResultPage({r1, {"http://six.example/f", "sixth", "s"}}), 100),
                                   Answer("")});  // the second page fails: the server closes without an answer
  LoopbackServer epsilon(std::vector{Answer(ResultPage({r1, r3}), 300)});
  Define("alpha.txt", ListDefinition(alpha.Url("/s?q=$key$&p=$page$"), "Page=0,10\n"));
  Define("beta.txt", ListDefinition(beta.Url("/s?q=$key$&p=$page$"), "Page=0,10,Next\n"));
  Define("delta.txt", ListDefinition(delta.Url("/s?q=$key$&p=$page$"), "Page=0,10\n"));
  Define("epsilon.txt", ListDefinition(epsilon.Url("/s?q=$key$"), "Score=80\n"));

  TOneKey* key =
      Search("zz", {"Alpha=alpha.txt", "Beta=beta.txt", "Gamma=missing.txt", "Delta=delta.txt", "Epsilon=epsilon.txt"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(app_.CurrentSearch, key);
  EXPECT_EQ(app_.ActivityState, TActivityState::Searching);
  EXPECT_EQ(run_.RunningEngines(), 5);
  EXPECT_EQ(key->Searches.Count(), 5u);
  RunToEnd();

  EXPECT_EQ(Targets(alpha), (std::vector<std::string>{"/s?q=zz&p=0", "/s?q=zz&p=10", "/s?q=zz&p=20"}));
  EXPECT_EQ(Targets(beta), (std::vector<std::string>{"/s?q=zz&p=0", "/beta/2", "/s?q=zz&p=20"}));
  EXPECT_EQ(delta.Connections(), 2u);
  EXPECT_EQ(epsilon.Connections(), 1u);

  ASSERT_EQ(key->Results.Count(), 6u);
  EXPECT_EQ(key->ResultCount, 6);
  EXPECT_EQ(run_.RunTotal(), 6);
  EXPECT_TRUE(key->Modified);
  const std::map<std::string, int> weights = {{"Alpha", 100}, {"Delta", 100}, {"Epsilon", 80}};
  const TOneResult* shared = key->Results.Find(TResultList::KeyOf(r1.url));
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(EngineSet(shared->Engines), (std::set<std::string>{"Alpha", "Delta", "Epsilon"}));
  // The engine that found it first gives its whole weight, the others half of theirs.
  const std::string first = shared->Engines.substr(0, shared->Engines.find(';'));
  int expected = 64 + weights.at(first);
  for (const auto& [name, weight] : weights) expected += name == first ? 0 : weight / 2;
  EXPECT_EQ(shared->Score, expected);
  EXPECT_EQ(EngineSet(key->Results.Find(TResultList::KeyOf(r3.url))->Engines),
            (std::set<std::string>{"Alpha", "Epsilon"}));
  EXPECT_EQ(key->Results.Find(TResultList::KeyOf("http://five.example/e"))->Engines, "Beta");

  EXPECT_EQ(display_.FinishedCount("Gamma"), 0);
  int added = 0;
  for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"}) added += display_.FinishedCount(name);
  EXPECT_EQ(added, 6);
  EXPECT_EQ(display_.Starting("row Beta: Connected").size(), 3u);
  EXPECT_EQ(display_.lines.front(), "status 0: Searching...:zz");
  ExpectEnded(*key);
  EXPECT_EQ(app_.KeyList, std::vector<TOneKey*>{key});
}

TEST_F(SearchRun, AnEngineStopsPagingOnceItHasReportedMoreThanItsLimit) {
  LoopbackServer many(TenNewHits);
  Define("many.txt", ListDefinition(many.Url("/?p=$page$"), "Page=0,10\n"));
  run_.Limits.CountPerEngine = 25;
  TOneKey* key = Search("k", {"Many=many.txt"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->PerEngineLimit, 25);
  RunToEnd();
  EXPECT_EQ(many.Connections(), 3u);
  EXPECT_EQ(key->Results.Count(), 30u);
  EXPECT_EQ(display_.Starting("row Many: Downloading:30").size(), 1u);
}

TEST_F(SearchRun, EveryEngineStopsOnceTheSearchHasAddedMoreThanItsLimit) {
  LoopbackServer first(TenNewHits);
  LoopbackServer second([](size_t connection) { return TenNewHits(connection + 100); });
  Define("first.txt", ListDefinition(first.Url("/?p=$page$"), "Page=0,10\n"));
  Define("second.txt", ListDefinition(second.Url("/?p=$page$"), "Page=0,10\n"));
  run_.Limits = SearchLimits{1000, 15};
  TOneKey* key = Search("k", {"First=first.txt", "Second=second.txt"});
  RunToEnd();
  EXPECT_LE(first.Connections(), 2u);
  EXPECT_LE(second.Connections(), 2u);
  EXPECT_GT(run_.RunTotal(), 15);
  EXPECT_EQ(display_.Starting("total ").back(), "total " + std::to_string(run_.RunTotal()) + "/15");
  ExpectEnded(*key);
}

TEST_F(SearchRun, AStopInTheMiddleEndsEverythingAndNoEventFollows) {
  LoopbackServer slow(std::vector{Answer(ResultPage({{"http://slow.example/1", "one", "s"}})), Stall()});
  LoopbackServer stuck(std::vector{Stall()});
  Define("slow.txt", ListDefinition(slow.Url("/?p=$page$"), "Page=0,10\n"));
  Define("stuck.txt", ListDefinition(stuck.Url("/")));
  TOneKey* key = Search("k", {"Slow=slow.txt", "Stuck=stuck.txt"});
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return slow.Connections() == 2 && stuck.Connections() == 1; }));
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return display_.Starting("row Slow: Connected").size() == 2; }));

  run_.StopSearch();
  ExpectEnded(*key);
  EXPECT_EQ(key->Results.Count(), 1u);
  const size_t linesAtStop = display_.lines.size();
  PumpFor(dispatcher_, 200ms);
  run_.TimerTick();
  EXPECT_EQ(display_.lines.size(), linesAtStop);
}

TEST_F(SearchRun, AnUpdateSearchRefreshesWhatItFindsAgain) {
  Define("a.txt", ListDefinition("a.html"));
  Define("b.txt", ListDefinition("b.html", "Score=60\n"));
  const auto page = [](const std::vector<Hit>& hits) {
    const std::string answer = ResultPage(hits);
    return answer.substr(answer.find("<html>"));
  };
  engines_.Write("a.html", page({{"http://u.example/1", "one", "s"}, {"http://u.example/2", "two", "s"}}));
  engines_.Write("b.html", page({{"http://u.example/1", "one", "s"}}));
  run_.Limits.CountPerEngine = 12;
  TOneKey* key = Search("one", {"A=a.txt", "B=b.txt"});
  RunToEnd();
  ASSERT_EQ(key->Results.Count(), 2u);
  for (size_t i = 0; i < key->Results.Count(); ++i) key->Results[i].Found -= 1;  // found yesterday

  engines_.Write("a.html", page({{"http://u.example/2", "two", "s"}}));
  engines_.Write("b.html", page({{"http://u.example/1/", "one, again", "s"}, {"http://u.example/3", "three", "s"}}));
  display_.lines.clear();
  run_.Limits.CountPerEngine = 30;
  ASSERT_TRUE(run_.StartUpdateSearch(*key, {"B=b.txt", "A=a.txt"}));
  EXPECT_TRUE(app_.UpdateMode);
  EXPECT_EQ(run_.Limits.CountPerEngine, 12);
  EXPECT_FALSE(run_.StartUpdateSearch(*key, {}));  // one search at a time
  EXPECT_EQ(Search("other", {}), nullptr);
  RunToEnd();

  ASSERT_EQ(key->Results.Count(), 3u);
  const TOneResult* refound = key->Results.Find(TResultList::KeyOf("http://u.example/1"));
  EXPECT_EQ(refound->Title, "one, again");
  EXPECT_GE(refound->Found, run_.UpdateStart());
  EXPECT_EQ(refound->Engines, "B");
  EXPECT_EQ(key->Results.Find(TResultList::KeyOf("http://u.example/2"))->Engines, "A");
  EXPECT_EQ(key->Results.Find(TResultList::KeyOf("http://u.example/3"))->Engines, "B");
  EXPECT_EQ(run_.RunTotal(), 3);  // u1 and u2 refreshed, u3 new
  EXPECT_EQ(app_.KeyList.size(), 1u);
  ExpectEnded(*key);
}

TEST_F(SearchRun, KeywordsAndTextsFollowTheEnginesCodePage) {
  const std::string gb = "\xD6\xD0\xCE\xC4";  // "中文"
  const std::string big5 = "\xA4\xA4\xA4\xE5";
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87";
  LoopbackServer utf(std::vector{Answer(ResultPage({{"http://utf.example/" + utf8, utf8 + " title", utf8}}))});
  LoopbackServer big(std::vector{Answer(ResultPage({{"http://big.example/" + big5, big5, big5 + "\r\n  s"}}))});
  LoopbackServer plain(std::vector{Answer(ResultPage({{"http://gb.example/", gb, gb}}))});
  Define("utf.txt", ListDefinition(utf.Url("/?q=$key$"), "Version=1\nCharset=utf-8\n"));
  Define("big.txt", ListDefinition(big.Url("/?q=$key$"), "Version=1\n"));
  Define("gb.txt", ListDefinition(plain.Url("/?q=$key$")));
  TOneKey* key = Search(gb, {"Utf=utf.txt", "Big=big.txt", "Gb=gb.txt"});
  RunToEnd();

  EXPECT_EQ(Targets(utf), std::vector<std::string>{"/?q=%E4%B8%AD%E6%96%87"});
  EXPECT_EQ(Targets(big), std::vector<std::string>{"/?q=%A4%A4%A4%E5"});
  EXPECT_EQ(Targets(plain), std::vector<std::string>{"/?q=%D6%D0%CE%C4"});
  ASSERT_EQ(key->Results.Count(), 3u);
  const TOneResult* fromUtf = key->Results.Find(TResultList::KeyOf("http://utf.example/" + utf8));
  ASSERT_NE(fromUtf, nullptr);
  EXPECT_EQ(fromUtf->Title, utf8 + " title");
  EXPECT_EQ(fromUtf->Summary, utf8);
  const TOneResult* fromBig = key->Results.Find(TResultList::KeyOf("http://big.example/" + big5));  // URLs stay
  ASSERT_NE(fromBig, nullptr);
  EXPECT_EQ(fromBig->Title, gb);
  EXPECT_EQ(fromBig->Summary, gb + " s");
  EXPECT_EQ(key->Results.Find(TResultList::KeyOf("http://gb.example"))->Title, gb);
  // The score looks for the GB keyword in the GB texts.
  EXPECT_EQ(fromBig->Score, (2 * 10 + 0 + 10) / 4 + 64 + 100);
}

TEST_F(SearchRun, EnginesTakeTheProxyAndTheTimeOutFromTheOptions) {
  LoopbackServer proxy(std::vector{Answer(ResultPage({{"http://via.example/1", "via proxy", "s"}}))});
  Options().SetValue("EnableProxy", "1");
  Options().SetValue("Proxy", "127.0.0.1");
  Options().SetValue("ProxyPort", std::to_string(proxy.Port()));
  Define("far.txt", ListDefinition("http://engine.invalid/s?q=$key$"));
  TOneKey* key = Search("k", {"Far=far.txt"});
  RunToEnd();
  ASSERT_EQ(proxy.Connections(), 1u);
  EXPECT_TRUE(proxy.Requests()[0].starts_with("GET http://engine.invalid/s?q=k HTTP/1.0\r\n"));
  EXPECT_EQ(key->Results.Count(), 1u);

  Options().SetLines({"SearchTimeOut=1"});
  LoopbackServer silent(std::vector{Stall()});
  Define("silent.txt", ListDefinition(silent.Url("/")));
  display_.lines.clear();
  TOneKey* second = Search("k", {"Silent=silent.txt"});
  RunToEnd();  // ends by the time-out, not by a stop
  EXPECT_EQ(display_.FinishedCount("Silent"), 0);
  EXPECT_EQ(second->Results.Count(), 0u);
}

TEST_F(SearchRun, ASearchWithoutEnginesEndsAtTheNextTick) {
  TOneKey* key = Search("nothing", {});
  ASSERT_NE(key, nullptr);
  run_.TimerTick();
  ExpectEnded(*key);
  EXPECT_EQ(display_.lines, (std::vector<std::string>{"status 0: Searching...:nothing", "commands", "key added",
                                                      "search started", "progress shown", "search ended", "commands",
                                                      "status 0: Finished", "progress hidden", "bar full"}));
}

TEST_F(SearchRun, DestroyingTheRunStopsItsSearch) {
  LoopbackServer stuck(std::vector{Stall()});
  Define("stuck.txt", ListDefinition(stuck.Url("/")));
  {
    QueueDispatcher dispatcher;
    RecordingDisplay display;
    TSearchRun run(dispatcher, display, app_);
    run.EngineFolder = engines_.Path();
    TSearchRequest request;
    request.Keyword = "k";
    request.Engines = {"Stuck=stuck.txt"};
    TOneKey* key = run.StartSearch(request);
    ASSERT_TRUE(PumpUntil(dispatcher, [&] { return stuck.Connections() == 1; }));
    ASSERT_EQ(key->Searches.Count(), 1u);
  }
  EXPECT_EQ(app_.CurrentSearch, nullptr);
  EXPECT_EQ(app_.KeyList.back()->Searches.Count(), 0u);
}

}  // namespace
