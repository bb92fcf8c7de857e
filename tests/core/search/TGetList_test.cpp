#include "core/search/TGetList.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/common/dispatcher.h"
#include "core/common/name_value_list.h"
#include "search_test_support.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {

struct PageEvent {
  int firstNew;
  size_t records;
};

class GetList : public ::testing::Test {
 protected:
  // A worker whose events are recorded.
  std::unique_ptr<TGetList> MakeWorker() {
    auto worker = std::make_unique<TGetList>(dispatcher_);
    worker->OnConnecting = [this] { ++connecting_; };
    worker->OnPageDone = [this](const std::vector<TRecord>& records, int firstNew, std::string_view, bool&) {
      pages_.push_back({firstNew, records.size()});
      titles_.clear();
      for (const TRecord& record : records) titles_.push_back(record.size() > 1 ? record[1] : "");
    };
    worker->OnFinished = [this] { ++finished_; };
    return worker;
  }

  // The lines a controller hands over: "key=" and the keyword, then the definition.
  std::vector<std::string> Lines(const std::string& definition) const {
    return SplitLines("key=" + keyword_ + "\n" + definition);
  }

  bool RunToEnd() {
    return PumpUntil(dispatcher_, [this] { return finished_ > 0; });
  }

  QueueDispatcher dispatcher_;
  std::string keyword_ = "k";
  int connecting_ = 0;
  std::vector<PageEvent> pages_;
  std::vector<std::string> titles_;  // field 2 of the kept records at the last page
  int finished_ = 0;
};

TEST_F(GetList, PagesAreRequestedByStartNumberUntilOneAddsNothing) {
  LoopbackServer server(std::vector{
      Answer(ResultPage({{"http://a.com/1", "one", "s"}, {"http://a.com/2", "two", "s"}})),
      Answer(ResultPage({{"http://a.com/3", "three", "s"}})),
      Answer(ResultPage({{"http://A.COM/1", "one again", "s"}})),  // a duplicate only
  });
  auto worker = MakeWorker();
  keyword_ = "a b+\xB0";
  worker->LoadDefinition(Lines(ListDefinition(server.Url("/s?q=$key$&p=$page$"), "Page=1,10\n")));
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(Targets(server),
            (std::vector<std::string>{"/s?q=a+b%2B%B0&p=1", "/s?q=a+b%2B%B0&p=11", "/s?q=a+b%2B%B0&p=21"}));
  EXPECT_EQ(connecting_, 3);
  ASSERT_EQ(pages_.size(), 3u);
  EXPECT_EQ(pages_[0].firstNew, 1);  // after the head record
  EXPECT_EQ(pages_[1].firstNew, 3);
  EXPECT_EQ(pages_[2].firstNew, 4);
  EXPECT_EQ(pages_[2].records, 4u);
  EXPECT_EQ(titles_, (std::vector<std::string>{"", "one", "two", "three"}));
  EXPECT_EQ(finished_, 1);
}

TEST_F(GetList, ALocalFileIsReadOnceEvenWithPaging) {
  TempDir engines;
  engines.Write("p.html", ResultFile({{"http://e.com/1", "t", "s"}}));
  auto worker = MakeWorker();
  worker->EngineFolder = engines.Path();
  worker->LoadDefinition(Lines(ListDefinition("p.html", "Page=0,10\n")));
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(pages_[0].records, 2u);
  EXPECT_EQ(connecting_, 0);
}

TEST_F(GetList, OneStopEndsTheWorkerWhereverItIsAndNoEventFollows) {
  LoopbackServer server(std::vector{Stall()});
  auto worker = MakeWorker();
  worker->LoadDefinition(Lines(ListDefinition(server.Url("/"))));  // no time-out: only the stop ends it
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return connecting_ == 1 && server.Connections() == 1; }));
  worker->Stop();
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return worker->Finished(); }));
  EXPECT_TRUE(pages_.empty());
  EXPECT_EQ(finished_, 0);

  // Stopped before it starts, or while its page event waits for the main thread.
  auto unstarted = MakeWorker();
  unstarted->Stop();
  auto waiting = MakeWorker();
  TempDir engines;
  engines.Write("p.html", ResultFile({{"http://e.com", "t", "s"}}));
  waiting->EngineFolder = engines.Path();
  waiting->LoadDefinition(Lines(ListDefinition("p.html")));
  waiting.reset();
  ASSERT_TRUE(PumpUntil(dispatcher_, [&] { return unstarted->Finished(); }));
  dispatcher_.RunPending();
  EXPECT_TRUE(pages_.empty());
  EXPECT_EQ(finished_, 0);
}

}  // namespace
