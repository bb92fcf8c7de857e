// The keyword files on disk: AllKey.txt and the result files, when the save scheduler writes them, and
// what a kill or a full disk in the middle of a save leaves.
#include "core/store/key_list.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "core/app/AppState.h"
#include "core/app/CommandStates.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/app/key_delete.h"
#include "core/store/result_file_name.h"
#include "core/store/save_scheduler.h"
#include "support/child_process.h"
#include "support/kept_files.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

using namespace quorvex;
using namespace std::chrono_literals;
using Names = std::vector<std::string>;

namespace {

const std::vector<std::string> kCategories = {"Web", "News"};

size_t TemporaryFiles(const std::filesystem::path& folder) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    count += entry.path().filename().string().find(".quorvex-save") != std::string::npos;
  return count;
}

TOneKey& AddKey(AppState& app, const std::string& keyword) {
  TOneKey& key = app.AddKey(std::make_unique<TOneKey>(keyword, 45000.5, 1, 0));
  key.Loaded = true;
  return key;
}

TEST(KeyList, SavesEveryKeywordAndTheResultsOfModifiedOnesThenReadsThemBack) {
  test::TempDir dir;
  const std::filesystem::path& results = dir.Path();
  AppState before;
  // Control bytes in a keyword become blanks, so that its line and its result file name read back.
  TOneKey& changed = AddKey(before, std::string("two\nlines\tand\0nul", 17));
  EXPECT_EQ(changed.Keyword, "two lines and nul");
  changed.Results.Add("HTTP://X", TOneResult{}).Url = "http://x";
  changed.Modified = true;
  AddKey(before, "untouched").Classify = "B";
  ASSERT_TRUE(SaveKeyList(before.KeyList, dir / kAllKeyFileName, results, kCategories));
  EXPECT_FALSE(changed.Modified);
  // AllKey.txt and the result file of the modified keyword only.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(results), {}), 2);

  AppState after;
  ASSERT_TRUE(LoadKeyList(after, dir / kAllKeyFileName, kCategories));
  ASSERT_EQ(after.KeyList.size(), 2u);
  EXPECT_TRUE(after.KeyList[0]->Keyword == changed.Keyword && after.KeyList[1]->Classify == "B");
  EXPECT_TRUE(after.KeyList[0]->LoadResults(results) && after.KeyList[0]->Results[0].Url == "http://x");
  EXPECT_TRUE(!LoadKeyList(after, dir / "missing.txt", kCategories) && after.KeyList.size() == 2u);

  // A result file that cannot be written stays to be saved, and AllKey.txt is written all the same.
  std::filesystem::remove(dir / kAllKeyFileName);
  changed.Modified = true;
  EXPECT_FALSE(SaveKeyList(before.KeyList, dir / kAllKeyFileName, dir / "no-such-folder", kCategories));
  EXPECT_TRUE(changed.Modified && std::filesystem::exists(dir / kAllKeyFileName));
}

TEST(KeyList, SearchesInOneMillisecondNeverShareAResultFile) {
  test::TempDir dir;
  // The clock reads milliseconds: two successive readings are not both on a whole second.
  const double first = NowDateTime();
  double next = first;
  while (next == first) next = NowDateTime();
  EXPECT_NE(MillisecondOfDay(first) % 1000 + MillisecondOfDay(next) % 1000, 0);

  AppState app;
  const auto search = [&app](const char* keyword, int millisecond) {
    auto record = std::make_unique<TOneKey>(keyword, 45000 + millisecond / 86400000.0, 0, 0);
    record->AvoidFileNamesOf(app.KeyList);
    TOneKey& key = app.AddKey(std::move(record));
    key.Results.Add("U", TOneResult{}).Url = "http://" + std::to_string(app.KeyList.size());
    key.Modified = true;
    return MillisecondOfDay(key.Date);
  };
  // "k1234" and "k1235" are taken when "k12" searches.
  EXPECT_EQ((std::vector{search("k", 1234), search("k", 1234), search("k12", 34)}),
            (std::vector<long long>{1234, 1235, 36}));
  ASSERT_TRUE(SaveKeyList(app.KeyList, dir / kAllKeyFileName, dir.Path(), kCategories));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);

  AppState after;
  ASSERT_TRUE(LoadKeyList(after, dir / kAllKeyFileName, kCategories));
  for (size_t i = 0; i < after.KeyList.size(); ++i) {
    ASSERT_TRUE(after.KeyList[i]->LoadResults(dir.Path())) << i;
    EXPECT_EQ(after.KeyList[i]->Results[0].Url, "http://" + std::to_string(i + 1));
  }
}

class SaveSchedulerTest : public testing::Test {
 protected:
  SaveSchedulerTest() {
    std::filesystem::create_directories(results_);
    // Renames from the temporary names too, which differ every time: the kernel would merge two
    // identical events in a row, and a file written twice must count twice.
    for (const auto& folder : {dir_.Path(), results_})
      inotify_add_watch(watch_, folder.c_str(), IN_MOVED_FROM | IN_MOVED_TO);
  }
  ~SaveSchedulerTest() override { ::close(watch_); }

  // A keyword fresh from a search, with one result.
  TOneKey& AddKey(const std::string& keyword) {
    TOneKey& key = app_.AddKey(std::make_unique<TOneKey>(keyword, 45000.25, 0, 0));
    AddResult(key, "http://" + keyword);
    return key;
  }
  static void AddResult(TOneKey& key, const std::string& url) {
    key.Results.Add(TResultList::KeyOf(url), TOneResult{}).Url = url;
    key.Modified = true;
  }
  std::string ResultName(const TOneKey& key) const { return key.ResultFile(results_).filename().string(); }
  std::string Read(const std::filesystem::path& path) const { return ReadWholeFile(path).value_or("<missing>"); }

  // The files written since the last call, in order: every atomic write ends in a rename into place.
  Names Written() {
    Names names;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t length = 0; (length = ::read(watch_, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & IN_MOVED_TO) != 0) names.emplace_back(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return names;
  }

  test::TempDir dir_;
  std::filesystem::path results_ = dir_ / "SearchResult";
  int watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  AppState app_;
  SaveScheduler scheduler_{SaveTargets{&app_.KeyList, dir_ / kAllKeyFileName, results_, [] { return Names{"Web"}; },
                                       [this] { return WriteFileAtomically(dir_ / "KeyTree.txt", "All\r\n"); }}};
  const SaveScheduler::Clock::time_point t0_{};
};

}  // namespace

TEST_F(SaveSchedulerTest, AChangeSoonAfterAWriteWaitsItsSecondAndAFailedWriteIsRetried) {
  TOneKey& a = AddKey("alpha");
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_);
  EXPECT_EQ(Written().size(), 2u);
  AddResult(a, "http://a/more");
  scheduler_.KeyChanged(a);
  for (auto t = t0_ + 200ms; t < t0_ + 1s; t += 200ms) scheduler_.Tick(t);
  EXPECT_TRUE(Written().empty());
  scheduler_.Tick(t0_ + 1s);
  EXPECT_EQ(Written().size(), 2u);

  // A run that changed nothing costs only the line, results alone only their file; a write that failed
  // is tried again a second later.
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_ + 2s);
  EXPECT_EQ(Written(), Names{"AllKey.txt"});
  AddResult(a, "http://a/page");
  scheduler_.ResultsChanged(a);
  scheduler_.Tick(t0_ + 3s);
  EXPECT_EQ(Written(), Names{ResultName(a)});
  std::filesystem::remove_all(results_);
  AddResult(a, "http://a/after");
  scheduler_.KeyChanged(a);
  scheduler_.Tick(t0_ + 4s);
  std::filesystem::create_directories(results_);
  scheduler_.Tick(t0_ + 4s + 200ms);
  EXPECT_TRUE(a.Modified && scheduler_.HasPending());
  scheduler_.Tick(t0_ + 5s);
  EXPECT_TRUE(Read(a.ResultFile(results_)).find("http://a/after") != std::string::npos && !a.Modified &&
              !scheduler_.HasPending());
}

TEST_F(SaveSchedulerTest, AKeywordDeletedBeforeItsWriteIsNeitherListedNorWritten) {
  TOneKey& kept = AddKey("kept");
  TOneKey& gone = AddKey("gone");
  kept.Modified = false;
  scheduler_.KeyChanged(gone);
  app_.KeyList.pop_back();
  scheduler_.KeyDeleted(gone);
  scheduler_.Tick(t0_);
  EXPECT_TRUE(Written() == Names{"AllKey.txt"} && Read(dir_ / kAllKeyFileName) == kept.ToLine({"Web"}) + "\r\n");

  // Deleted without being reported: walking KeyList still leaves it out.
  scheduler_.KeyChanged(gone);
  scheduler_.Tick(t0_ + 1s);
  EXPECT_TRUE(!scheduler_.HasPending() && Written() == Names{"AllKey.txt"});
}

TEST_F(SaveSchedulerTest, AFileNotReadWholeIsNeverWrittenUntilTheUserAgreesToReplaceIt) {
  scheduler_.KeepTreeFile();
  scheduler_.TreeChanged();
  scheduler_.Tick(t0_);
  scheduler_.SaveAll(t0_ + 1s);
  EXPECT_EQ(Written(), Names{"AllKey.txt"});

  scheduler_.ReplaceKeptTree();
  scheduler_.TreeChanged();
  scheduler_.Tick(t0_ + 2s);
  EXPECT_EQ(Written(), Names{"KeyTree.txt"});

  // A kept AllKey.txt: the results of a changed keyword are still written, the list never.
  scheduler_.KeepKeyListFile();
  TOneKey& key = AddKey("alpha");
  scheduler_.KeyChanged(key);
  scheduler_.KeyListChanged();
  scheduler_.Tick(t0_ + 3s);
  EXPECT_EQ(Written(), Names{ResultName(key)});
  AddResult(key, "http://a/more");
  scheduler_.SaveAll(t0_ + 4s);
  EXPECT_EQ(Written(), (Names{"KeyTree.txt", ResultName(key)}));
}

TEST(KeyDelete, AKeywordBeingSearchedOrVerifiedIsRefusedAndTheCommandsFollowTheActivity) {
  AppState app;
  TOneKey& searched = app.AddKey(std::make_unique<TOneKey>("s", 45000, 0, 0));
  TOneKey& verified = app.AddKey(std::make_unique<TOneKey>("v", 45000, 0, 0));
  TOneKey& idle = app.AddKey(std::make_unique<TOneKey>("i", 45000, 0, 0));
  app.CurrentSearch = &searched;
  app.CurrentVerify = &verified;
  EXPECT_EQ(KeyDeleteVerdict({}, app), TKeyDeleteVerdict::NoneSelected);
  EXPECT_EQ(KeyDeleteVerdict({&idle, &searched}, app), TKeyDeleteVerdict::Refused);
  EXPECT_EQ(KeyDeleteVerdict({&verified}, app), TKeyDeleteVerdict::Refused);
  EXPECT_EQ(KeyDeleteVerdict({&idle}, app), TKeyDeleteVerdict::Allowed);

  const TCommandStates searching = CommandStatesFor(TActivityState::Searching);
  const TCommandStates verifying = CommandStatesFor(TActivityState::Verifying);
  EXPECT_FALSE(searching.StopVerifyCommandsShown || searching.VerifyCommandsShown || searching.StartControlsEnabled);
  EXPECT_TRUE(verifying.StopVerifyCommandsShown && verifying.StopEnabled && !verifying.VerifyCommandsShown &&
              CommandStatesFor(TActivityState::Idle) == TCommandStates{});
}

// A program killed at a random moment of its saves leaves every kept file whole, in the version before
// or after that save, and the temporary files of the save it was killed in never spoil the next start.
TEST(KillWhileSaving, EveryFileIsTheOldOrTheNewVersionWhereverTheKillLands) {
  std::map<std::string, std::string> versions[2];
  for (int version : {0, 1}) {
    test::TempDir folder;
    ASSERT_TRUE(test::KeptFiles(version).Save(folder.Path()).Empty());
    versions[version] = test::ReadKeptFiles(folder.Path());
  }
  ASSERT_EQ(versions[0].size(), 9u);  // AllKey.txt, four result files, KeyTree, Config, option, Index

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 generator(seed);
  // In memory where there is a memory file system: a kill tests what the process leaves, which does not
  // depend on the disk, and the many rounds then take seconds instead of a minute.
  const std::filesystem::path memory = "/dev/shm";
  test::TempDir folder(std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path());
  int rounds = 0;
  for (; rounds < 300 && !HasFailure(); ++rounds) {
    test::PipedChild child({QUORVEX_SAVE_LOOP_CHILD, folder.Path().string()});
    ASSERT_TRUE(child.ReadUntil("\n", 10s)) << child.Said();
    // Anywhere within the next two full saves, so that every file is caught mid-write now and then.
    const long oneSave = std::stol(child.Said().substr(child.Said().find(' ')));
    std::this_thread::sleep_for(std::chrono::microseconds(generator() % (2 * oneSave + 1)));
    child.Signal(SIGKILL);
    child.WaitStatus();

    const std::map<std::string, std::string> read = test::ReadKeptFiles(folder.Path());
    for (const auto& [file, text] : versions[0]) {
      const auto found = read.find(file);
      ASSERT_NE(found, read.end()) << file << " is unreadable after round " << rounds;
      EXPECT_TRUE(found->second == text || found->second == versions[1].at(file))
          << file << " is neither version after round " << rounds << ":\n" << found->second;
    }
  }
  std::cout << rounds << " rounds, " << TemporaryFiles(folder.Path()) << " temporary files left by the kills\n";
  // A save of a copy still running (this process) is not stale.
  const std::string running = "AllKey.txt.quorvex-save" + std::to_string(::getpid()) + "-0";
  folder.Write(running, "being written");
  for (const char* dir : {"", "SearchResult", "Engines1"}) RemoveStaleTemporaryFiles(folder / dir);
  EXPECT_TRUE(TemporaryFiles(folder.Path()) == 1u && std::filesystem::exists(folder / running));
  EXPECT_EQ(test::ReadKeptFiles(folder.Path()).size(), versions[0].size());
}

TEST(FullDisk, ASaveThatFindsNoRoomKeepsEveryOldFileWholeAndNamesEachOnce) {
  test::MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  ASSERT_TRUE(test::KeptFiles(0).Save(disk.Path()).Empty());
  const auto before = test::ReadKeptFiles(disk.Path());
  disk.Fill();

  const UnsavedFiles unsaved = test::KeptFiles(1).Save(disk.Path());
  EXPECT_TRUE(test::ReadKeptFiles(disk.Path()) == before && unsaved.Files().size() == before.size());
  const std::string message = unsaved.Message();
  for (const auto& [file, text] : before)
    EXPECT_NE(message.find(std::filesystem::path(file).filename().string()), std::string::npos) << file;
  // Nothing half-written is left beside them either.
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(disk.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, before.size() + 1);  // and the filler
}
