#include "core/store/save_scheduler.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>

#include "core/app/AppState.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace std::chrono_literals;

namespace {

// Every file renamed into the watched folders, in order: each atomic write ends in one such rename.
class WriteLog {
 public:
  explicit WriteLog(const std::vector<std::filesystem::path>& folders) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    for (const auto& folder : folders) inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
  }
  ~WriteLog() { ::close(fd_); }
  WriteLog(const WriteLog&) = delete;
  WriteLog& operator=(const WriteLog&) = delete;

  // The names written since the last call; the kernel queues the events when the renames happen.
  std::vector<std::string> Take() {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[8192];
    ssize_t length = 0;
    while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        names.emplace_back(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return names;
  }

 private:
  int fd_;
};

class SaveSchedulerTest : public testing::Test {
 protected:
  SaveSchedulerTest() { std::filesystem::create_directories(results_); }

  TOneKey& AddKey(const std::string& keyword, const std::string& url) {
    TOneKey& key = app_.AddKey(std::make_unique<TOneKey>(keyword, 45000.25, 0, 0));
    key.Loaded = true;
    AddResult(key, url);
    return key;
  }
  static void AddResult(TOneKey& key, const std::string& url) {
    key.Results.Add(TResultList::KeyOf(url), TOneResult{}).Url = url;
    key.ResultCount = static_cast<std::int32_t>(key.Results.Count());
    key.Modified = true;
  }
  std::string ResultName(const TOneKey& key) const { return key.ResultFile(results_).filename().string(); }
  std::string Read(const std::filesystem::path& path) const { return ReadWholeFile(path).value_or("<missing>"); }

  test::TempDir dir_;
  std::filesystem::path results_ = dir_ / "SearchResult";
  AppState app_;
  SaveScheduler scheduler_{SaveTargets{&app_.KeyList, dir_ / kAllKeyFileName, results_,
                                       [] { return std::vector<std::string>{"Web"}; },
                                       [this] { return WriteFileAtomically(dir_ / "KeyTree.txt", tree_); }}};
  std::string tree_ = "All Classify\r\n";
  const SaveScheduler::Clock::time_point t0_{};
};

}  // namespace

TEST_F(SaveSchedulerTest, ABurstOfChangesCostsOneWritePerFileWithTheShutDownsBytes) {
  TOneKey& a = AddKey("alpha", "http://a");
  TOneKey& b = AddKey("beta", "http://b");
  WriteLog log({dir_.Path(), results_});
  for (int i = 0; i < 5; ++i) {
    AddResult(a, "http://a/" + std::to_string(i));
    scheduler_.KeyChanged(a);
    scheduler_.KeyChanged(b);
    scheduler_.KeyListChanged();
    scheduler_.TreeChanged();
  }
  scheduler_.Tick(t0_);
  auto written = log.Take();
  std::sort(written.begin(), written.end());
  std::vector<std::string> expected = {"AllKey.txt", "KeyTree.txt", ResultName(a), ResultName(b)};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(written, expected);
  EXPECT_FALSE(scheduler_.HasPending());
  EXPECT_FALSE(a.Modified || b.Modified);

  // What a save at close would have written, byte for byte.
  const std::string allKey = Read(dir_ / kAllKeyFileName);
  const std::string aResults = Read(a.ResultFile(results_));
  a.Modified = b.Modified = true;
  ASSERT_TRUE(SaveKeyList(app_.KeyList, dir_ / "closing.txt", results_, {"Web"}));
  EXPECT_EQ(allKey, Read(dir_ / "closing.txt"));
  EXPECT_EQ(aResults, Read(a.ResultFile(results_)));

  log.Take();
  for (auto t = t0_; t < t0_ + 3s; t += 200ms) scheduler_.Tick(t);
  EXPECT_TRUE(log.Take().empty()) << "nothing changed, nothing written";
}

TEST_F(SaveSchedulerTest, AChangeSoonAfterAWriteWaitsItsSecondAndAFailedWriteIsRetried) {
  TOneKey& a = AddKey("alpha", "http://a");
  WriteLog log({dir_.Path(), results_});
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_);
  EXPECT_EQ(log.Take().size(), 2u);

  AddResult(a, "http://a/more");
  scheduler_.KeyChanged(a);
  for (auto t = t0_ + 200ms; t < t0_ + 1s; t += 200ms) scheduler_.Tick(t);
  EXPECT_TRUE(log.Take().empty());
  scheduler_.Tick(t0_ + 1s);
  EXPECT_EQ(log.Take().size(), 2u);
  EXPECT_NE(Read(a.ResultFile(results_)).find("http://a/more"), std::string::npos);

  // A stopped run that changed nothing costs only the line; a write that fails stays due.
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_ + 2s);
  EXPECT_EQ(log.Take(), std::vector<std::string>{"AllKey.txt"});
  std::filesystem::remove_all(results_);
  AddResult(a, "http://a/after");
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_ + 3s);
  EXPECT_TRUE(scheduler_.HasPending());
  std::filesystem::create_directories(results_);
  scheduler_.Tick(t0_ + 3s + 200ms);
  EXPECT_TRUE(a.Modified) << "not retried within the second";
  scheduler_.Tick(t0_ + 4s);
  EXPECT_FALSE(a.Modified);
  EXPECT_NE(Read(a.ResultFile(results_)).find("http://a/after"), std::string::npos);
}

TEST_F(SaveSchedulerTest, FlushWritesWhatIsPendingAtOnceInTheShutDownsOrder) {
  TOneKey& a = AddKey("alpha", "http://a");
  TOneKey& b = AddKey("beta", "http://b");
  scheduler_.KeyChanged(b);
  scheduler_.Tick(t0_);
  WriteLog log({dir_.Path(), results_});
  AddResult(a, "http://a/2");
  AddResult(b, "http://b/2");
  scheduler_.KeyChanged(b);
  scheduler_.KeyChanged(a);
  scheduler_.TreeChanged();
  ASSERT_TRUE(scheduler_.Flush(t0_ + 100ms));
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"KeyTree.txt", "AllKey.txt", ResultName(a), ResultName(b)}));
  EXPECT_FALSE(scheduler_.HasPending());

  ASSERT_TRUE(scheduler_.SaveAll(t0_ + 200ms));
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"KeyTree.txt", "AllKey.txt"}));
}

TEST_F(SaveSchedulerTest, AKeywordDeletedBeforeItsWriteIsNeitherListedNorWritten) {
  TOneKey& kept = AddKey("kept", "http://k");
  TOneKey& gone = AddKey("gone", "http://g");
  kept.Modified = false;
  WriteLog log({dir_.Path(), results_});
  scheduler_.KeyChanged(gone);
  app_.KeyList.pop_back();
  scheduler_.KeyDeleted(gone);
  scheduler_.Tick(t0_);
  EXPECT_EQ(log.Take(), std::vector<std::string>{"AllKey.txt"});
  EXPECT_EQ(Read(dir_ / kAllKeyFileName).find("gone"), std::string::npos);
  EXPECT_NE(Read(dir_ / kAllKeyFileName).find("kept"), std::string::npos);

  // Deleted without being reported: walking KeyList still leaves it out.
  scheduler_.KeyChanged(kept);
  scheduler_.KeyChanged(gone);
  scheduler_.Tick(t0_ + 1s);
  EXPECT_FALSE(scheduler_.HasPending());
  EXPECT_EQ(log.Take(), std::vector<std::string>{"AllKey.txt"});
}
