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

class GetList : public ::testing::Test {
 protected:
  // A worker whose events are recorded.
  std::unique_ptr<TGetList> MakeWorker() {
    auto worker = std::make_unique<TGetList>(dispatcher_);
    worker->OnConnecting = [this] { ++connecting_; };
    worker->OnPageDone = [this](const std::vector<TRecord>& records, int, std::string_view, bool&) {
      pages_.push_back(records.size());
    };
    worker->OnFinished = [this] { ++finished_; };
    return worker;
  }

  // The definition a controller hands over, its keyword set.
  TEngineDefinition Lines(const std::string& text) const {
    TEngineDefinition definition;
    definition.LoadDefinition(SplitLines(text));
    definition.SetKey("k");
    return definition;
  }

  bool RunToEnd() {
    return PumpUntil(dispatcher_, [this] { return finished_ > 0; });
  }

  QueueDispatcher dispatcher_;
  int connecting_ = 0;
  std::vector<size_t> pages_;  // the kept records at each page
  int finished_ = 0;
};

TEST_F(GetList, ALocalFileIsReadOnceEvenWithPaging) {
  TempDir engines;
  engines.Write("p.html", ResultFile({{"http://e.com/1", "t", "s"}}));
  auto worker = MakeWorker();
  worker->EngineFolder = engines.Path();
  worker->LoadDefinition(Lines(ListDefinition("p.html", "Page=0,10\n")));
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(pages_.size(), 1u);
  EXPECT_EQ(pages_[0], 2u);
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
