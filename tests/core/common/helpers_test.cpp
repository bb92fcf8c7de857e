#include <gtest/gtest.h>

#include <clocale>
#include <semaphore>
#include <thread>

#include "core/common/datetime.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/numbers.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(Numbers, WholeNumbersFallBackOnAnythingElse) {
  EXPECT_EQ(ParseIntOr("  -3", 7), -3);
  for (const char* bad : {"", "4x", "1.5", "99999999999", "--1", "4 "}) {
    EXPECT_EQ(ParseIntOr(bad, 7), 7) << bad;
  }
}

TEST(Numbers, RealsUseAPointWhateverTheLocale) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where present, a comma locale must not leak in
  EXPECT_DOUBLE_EQ(ParseRealOr("45123.25", 0), 45123.25);
  EXPECT_DOUBLE_EQ(ParseRealOr("45123,25", -1), -1);
  EXPECT_DOUBLE_EQ(ParseRealOr("nan", -1), -1);
  EXPECT_DOUBLE_EQ(ParseRealOr(FormatReal(46000.123456789), 0), 46000.123456789);
  std::setlocale(LC_ALL, "C");
}

TEST(DateTime, DaysSince1899WithTimeAsFraction) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_DOUBLE_EQ(DateTimeFromTime(0), 25569.0);
  EXPECT_DOUBLE_EQ(DateTimeFromTime(86400 + 43200), 25570.5);
  EXPECT_EQ(TimeFromDateTime(25570.5), 86400 + 43200);
  EXPECT_EQ(FormatDateTime(25569.75), "1970-01-01 18:00:00");
  EXPECT_EQ(TimeFromDateTime(1e300), 0);
}

TEST(FileIo, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const auto file = dir / "AllKey.txt";
  ASSERT_TRUE(WriteFileAtomically(file, "old"));
  ASSERT_TRUE(WriteFileAtomically(file, "new contents"));
  EXPECT_EQ(ReadWholeFile(file).value(), "new contents");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_FALSE(WriteFileAtomically(dir / "no-such-folder" / "x", "y"));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_FALSE(WriteFileAtomically(dir / "folder", "onto a folder"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // no temporary file
  EXPECT_FALSE(ReadWholeFile(dir / "missing").has_value());
}

namespace {

// Lets a test wait until a worker's call is queued.
class SignallingDispatcher : public QueueDispatcher {
 public:
  std::counting_semaphore<> posted{0};

 protected:
  void Post(std::function<void()> runner) override {
    QueueDispatcher::Post(std::move(runner));
    posted.release();
  }
};

}  // namespace

TEST(Dispatcher, WorkerCallRunsOnMainThreadAndCancelledCallIsDropped) {
  SignallingDispatcher dispatcher;
  std::atomic<bool> cancel{false};
  std::thread::id ranOn;
  bool result = false;
  std::thread worker([&] { result = dispatcher.RunOnMainThread([&] { ranOn = std::this_thread::get_id(); }, cancel); });
  dispatcher.posted.acquire();
  dispatcher.RunPending();
  worker.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // A worker stopped while its call waits must not hold up the join.
  bool ran = false;
  std::thread stopped([&] { result = dispatcher.RunOnMainThread([&] { ran = true; }, cancel); });
  dispatcher.posted.acquire();
  cancel = true;
  dispatcher.WakeWaiters();
  stopped.join();
  dispatcher.RunPending();
  EXPECT_FALSE(result);
  EXPECT_FALSE(ran);

  // A call still queued when its worker's flag is set is dropped by the main loop, even though
  // nobody woke the worker.
  std::atomic<bool> stopLater{false};
  result = true;
  std::thread late([&] { result = dispatcher.RunOnMainThread([&] { ran = true; }, stopLater); });
  dispatcher.posted.acquire();
  stopLater = true;
  dispatcher.RunPending();
  late.join();
  EXPECT_FALSE(result);
  EXPECT_FALSE(ran);
}
