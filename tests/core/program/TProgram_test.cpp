#include "core/program/TProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/unsaved_files.h"
#include "core/config/Options.h"
#include "core/pages/TVerify.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "support/program_events.h"
#include "support/test_support.h"

namespace quorvex::test {
namespace {

using Clock = SaveScheduler::Clock;

// An engine folder with one local-file engine whose two results point at a closed port, and the
// keyword files in a working folder.
class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    Options().SetLines({"VerifyTimeOut=5"});
    engines_.Write("Index.txt", "[Local,1]\nHits=hits.txt\n");
    engines_.Write("hits.txt", "url=hits.html\nHead=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n");
    engines_.Write("hits.html", "<ol><li><a href=\"http://127.0.0.1:1/a\">a</a><p>s</p></li>"
                                "<li><a href=\"http://127.0.0.1:1/b\">b</a><p>s</p></li></ol>");
    std::filesystem::create_directories(work_ / "SearchResult");
  }

  TProgramFiles Files() const {
    return {engines_.Path(), work_ / "KeyTree.txt", work_ / "AllKey.txt", work_ / "SearchResult", work_ / "LocalFile"};
  }

  // Runs the main loop until done() holds; with a program, its 200 ms tick too, the clock ahead by skip
  // so that no write waits its second behind the last one.
  bool RunUntil(const std::function<bool()>& done, TProgram* program = nullptr, Clock::duration skip = {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      dispatcher_.WaitAndRunPending(std::chrono::milliseconds(20));
      if (program) program->Tick(Clock::now() + skip);
    }
    return done();
  }

  // The page states (or another field) of the keyword's result file as the next start would read them.
  std::vector<int> StatesOnDisk(std::uint8_t TOneResult::*field = &TOneResult::PageState) const {
    AppState next;
    std::vector<int> states;
    if (!LoadKeyList(next, work_ / "AllKey.txt", {"Local"}) || next.KeyList.size() != 1 ||
        !next.KeyList[0]->LoadResults(work_ / "SearchResult"))
      return states;
    for (size_t i = 0; i < next.KeyList[0]->Results.Count(); ++i) states.push_back(next.KeyList[0]->Results[i].*field);
    return states;
  }

  TempDir engines_;
  TempDir work_;
  QueueDispatcher dispatcher_;
  AppState app_;
  ProgramEvents display_{&app_};
};

// A search ends when its engines have, a verification run and an engineless search by the tick, and what
// each changed is on disk without a shut-down; while one runs, no other starts, its keyword cannot be
// deleted and the viewer was told of the busy state.
TEST_F(ProgramTest, RunsEndByTheTickAndTheirKeywordIsOnDiskWithoutAShutDown) {
  TProgram program(dispatcher_, app_, display_, Files());
  ASSERT_TRUE(program.LoadEngineIndex());
  TOneKey* key = program.StartSearch({"zz", 0, 0, "", {}}, {30, 300});
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(program.Activity() == TActivityState::Searching &&
              display_.states == std::vector{TActivityState::Searching});
  EXPECT_TRUE(program.StartSearch({"other", 0, 0, "", {}}, {30, 300}) == nullptr &&
              program.DeleteKeys({key}) == TKeyDeleteVerdict::Refused);
  // Listed before any page has come, in case the search never ends; its results come after this
  // write, and the search's end writes them.
  program.Tick(Clock::now());
  EXPECT_NE(ReadWholeFile(work_ / "AllKey.txt").value_or("").find("\"zz\""), std::string::npos);
  ASSERT_TRUE(RunUntil([&] { return !display_.searched.empty(); }));
  program.Tick(Clock::now() + SaveScheduler::kMinInterval);
  EXPECT_EQ(StatesOnDisk(), (std::vector<int>{0, 0}));
  EXPECT_TRUE(display_.searched == std::vector<TOneKey*>{key} && program.Activity() == TActivityState::Idle &&
              display_.states == (std::vector{TActivityState::Searching, TActivityState::Idle}));

  // Page states are not in AllKey.txt: the run's saves leave it alone.
  const auto listed = std::filesystem::last_write_time(work_ / "AllKey.txt");
  ASSERT_TRUE(program.StartVerify(*key, kVerifyMode, display_));
  EXPECT_FALSE(program.StartVerify(*key, kVerifyMode, display_) || program.StartUpdateSearch(*key, 0, {30, 300}));
  // The run takes the key's results by position: none may go from under it.
  EXPECT_TRUE(program.DeleteKeys({key}) == TKeyDeleteVerdict::Refused && !program.DeleteResult(*key, &key->Results[0]));
  ASSERT_TRUE(RunUntil([&] { return StatesOnDisk() == std::vector<int>{3, 3}; }, &program, 2 * SaveScheduler::kMinInterval));
  EXPECT_TRUE(display_.verified == std::vector<TOneKey*>{key} && program.Activity() == TActivityState::Idle);
  EXPECT_EQ(std::filesystem::last_write_time(work_ / "AllKey.txt"), listed);

  // Edits of the results outside a run go through the program, which tells the viewer of each.
  const TOneResult* second = &key->Results[1];
  program.MarkVisited(*key, key->Results[0]);
  EXPECT_TRUE(program.DeleteResult(*key, second) && !program.DeleteResult(*key, second));
  // The count in AllKey.txt follows the delete too: the next start lists it before reading the results.
  const auto listedCount = [&] {
    AppState next;
    const bool listed = LoadKeyList(next, work_ / "AllKey.txt", {"Local"}) && next.KeyList.size() == 1;
    return listed ? next.KeyList[0]->ResultCount : -1;
  };
  ASSERT_TRUE(RunUntil([&] { return StatesOnDisk(&TOneResult::Visited) == std::vector<int>{1} && listedCount() == 1; },
                       &program, 2 * SaveScheduler::kMinInterval));
  EXPECT_EQ(display_.edited, (std::vector<TOneKey*>{key, key}));
  EXPECT_EQ(program.DeleteKeys({key}), TKeyDeleteVerdict::Allowed);
  ASSERT_TRUE(RunUntil([&] { return ReadWholeFile(work_ / "AllKey.txt") == ""; }, &program, 3 * SaveScheduler::kMinInterval));

  ASSERT_NE(program.StartSearch({"no engines", 0, 7, "", {}}, {30, 300}), nullptr);
  program.Tick(Clock::now());
  EXPECT_EQ(program.Activity(), TActivityState::Idle);
}

// A result file that exists but cannot be read is kept as it is: its keyword is neither verified nor
// searched again, its count stays, and no save writes the file over.
TEST_F(ProgramTest, AResultFileThatCannotBeReadIsNeverWrittenOver) {
  work_.Write("AllKey.txt", "alpha,Local,0,45000.5,3,,0,0\r\n");
  TProgram program(dispatcher_, app_, display_, Files());
  program.LoadEngineIndex();
  program.LoadKeywords();
  TOneKey& key = *app_.KeyList.at(0);
  std::filesystem::create_directory(key.ResultFile(work_ / "SearchResult"));  // exists, cannot be read
  EXPECT_FALSE(program.StartVerify(key, kVerifyMode, display_));
  EXPECT_FALSE(program.StartUpdateSearch(key, 0, {30, 300}));
  EXPECT_NE(program.ResultsProblem(key).find("could not be read"), std::string::npos);
  EXPECT_EQ(key.ResultCount, 3);
  EXPECT_TRUE(key.SaveResults(work_ / "SearchResult"));  // a write over a folder would have failed
  EXPECT_TRUE(program.ShutDown().Empty());
  EXPECT_TRUE(std::filesystem::is_directory(key.ResultFile(work_ / "SearchResult")));
}

// A file that cannot be written is told once, tried again at every tick, and told again only after it
// was written and fails anew.
TEST_F(ProgramTest, AFailedSaveIsToldOnceUntilItIsWrittenAgain) {
  work_.Write("AllKey.txt", "alpha,Local,0,45000.5,3,,0,0\r\nbeta,Local,0,45000.5,3,,0,0\r\n");
  TProgram program(dispatcher_, app_, display_, Files());
  program.LoadEngineIndex();
  ASSERT_EQ(program.LoadKeywords(), "");
  ASSERT_EQ(app_.KeyList.size(), 2u);
  TOneKey* beta = app_.KeyList[1];
  std::filesystem::remove(work_ / "AllKey.txt");
  std::filesystem::create_directory(work_ / "AllKey.txt");  // no file can be renamed over a folder

  Clock::time_point now = Clock::now();
  ASSERT_EQ(program.DeleteKeys({app_.KeyList[0]}), TKeyDeleteVerdict::Allowed);
  EXPECT_NE(program.Tick(now).find("AllKey.txt"), std::string::npos);
  EXPECT_EQ(program.Tick(now += std::chrono::seconds(2)), "");
  std::filesystem::remove(work_ / "AllKey.txt");
  EXPECT_EQ(program.Tick(now += std::chrono::seconds(2)), "");
  const std::string keys = ReadWholeFile(work_ / "AllKey.txt").value_or("");
  EXPECT_TRUE(keys.find("\"alpha\"") == std::string::npos && keys.find("\"beta\"") != std::string::npos);

  std::filesystem::remove(work_ / "AllKey.txt");
  std::filesystem::create_directory(work_ / "AllKey.txt");
  program.FileKey(*beta, "Recipes");
  EXPECT_NE(program.Tick(now += std::chrono::seconds(2)).find("AllKey.txt"), std::string::npos);
}

// The shut-down writes every file it can, names the others, writes Index.txt only when an engine was
// ticked or unticked (an engine folder may be read-only), and runs once.
TEST_F(ProgramTest, TheShutDownWritesWhatItCanAndLeavesAnUnchangedEngineIndexAlone) {
  std::filesystem::create_directory(work_ / "KeyTree.txt");
  {
    TProgram program(dispatcher_, app_, display_, Files(), [] { return DefaultKeyTree(); });
    program.LoadEngineIndex();
    TOneKey* verified = program.StartSearch({"zz", 0, 0, "", {}}, {30, 300});
    ASSERT_TRUE(RunUntil([&] { return !display_.searched.empty(); }));
    ASSERT_TRUE(program.StartVerify(*verified, kVerifyMode, display_));
    const UnsavedFiles unsaved = program.ShutDown([&](UnsavedFiles& files) { files.Note(false, "Config.txt"); });
    EXPECT_EQ(unsaved.Files(), (std::vector<std::filesystem::path>{"KeyTree.txt", "Config.txt"}));
    EXPECT_NE(ReadWholeFile(work_ / "AllKey.txt").value_or("").find("\"zz\""), std::string::npos);
    EXPECT_EQ(program.Activity(), TActivityState::Idle);
    EXPECT_EQ(display_.verified, std::vector<TOneKey*>{verified});
    EXPECT_TRUE(WaitForVerifyWorkers(std::chrono::milliseconds(0)));
    EXPECT_TRUE(program.ShutDown().Empty());
  }
  EXPECT_EQ(ReadWholeFile(engines_ / "Index.txt"), "[Local,1]\nHits=hits.txt\n");

  TProgram program(dispatcher_, app_, display_, Files());
  program.LoadEngineIndex();
  program.Index().SetChecked(1, false);
  EXPECT_TRUE(program.ShutDown().Empty());  // without classes, KeyTree.txt is not written
  EXPECT_EQ(ReadWholeFile(engines_ / "Index.txt"), "[Local,1]\r\nHits=hits.txt,0\r\n");
}

}  // namespace
}  // namespace quorvex::test
