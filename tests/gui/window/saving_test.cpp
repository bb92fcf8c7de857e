// The keyword files are on disk as soon as the user's work changes them, so that a process killed
// before its shut-down loses nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/ProgramDirs.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

using Saving = WindowTest;

// Nothing here closes the window before the files are read: what they hold is what a killed process
// leaves behind.
TEST_F(Saving, AnEndedSearchIsOnDiskForTheNextStartWithoutAShutDown) {
  TfmMetaSearch& window = Open();
  Search("rainwater harvesting");
  ASSERT_TRUE(WaitForIdle());
  const TOneKey* searched = TKeyListView::KeyOf(window.lvKey->topLevelItem(0));
  ASSERT_GT(searched->Results.Count(), 0u);

  std::unique_ptr<AppState> nextStart;
  ASSERT_TRUE(WaitUntil([&] {
    nextStart = std::make_unique<AppState>();
    return LoadKeyList(*nextStart, kAllKeyFileName, window.Index().CategoryNames()) &&
           nextStart->KeyList.size() == 1 && nextStart->KeyList[0]->LoadResults(SearchResultDir()) &&
           nextStart->KeyList[0]->Results.Count() == searched->Results.Count();
  }));
  EXPECT_EQ(nextStart->KeyList[0]->Keyword, "rainwater harvesting");
  EXPECT_EQ(nextStart->KeyList[0]->ResultCount, searched->ResultCount);
}

TEST_F(Saving, ClassEditsAndKeywordDeletesAreOnDiskAtOnce) {
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,3,,0,0\r\nbeta,Loopback,0,45000.5,3,,0,0\r\n");
  TfmMetaSearch& window = Open();
  window.AddClass(true);
  window.tvKey->currentItem()->setText(0, "Recipes");  // as the in-place editor commits a rename
  EXPECT_TRUE(WaitUntil([&] { return ReadProgramFile("KeyTree.txt").find("Recipes") != std::string::npos; }));

  MessageBoxAnswerer ok;
  window.DeleteClass();
  window.tvKey->setCurrentItem(window.tvKey->topLevelItem(0));
  window.lvKey->clearSelection();
  window.lvKey->topLevelItem(0)->setSelected(true);
  window.NDelKeyClick();
  EXPECT_EQ(ok.texts, (QStringList{"Delete the classify?", "Delete these keys?"}));
  EXPECT_TRUE(WaitUntil([&] {
    return ReadProgramFile("KeyTree.txt").find("Recipes") == std::string::npos &&
           ReadWorkFile("AllKey.txt").find("alpha") == std::string::npos;
  }));
  EXPECT_NE(ReadWorkFile("AllKey.txt").find("beta"), std::string::npos);
}

TEST_F(WindowTest, AShutDownThatCannotWriteAFileNamesItInOneWarningAndStillWritesTheOthers) {
  std::filesystem::create_directory(workDir_ / "Config.txt");  // no file can be renamed over a folder
  Open();
  MessageBoxAnswerer answerer;
  Close();
  ASSERT_EQ(answerer.texts.size(), 1);
  EXPECT_TRUE(answerer.texts[0].contains("Config.txt"));
  EXPECT_FALSE(answerer.texts[0].contains("AllKey.txt"));
  EXPECT_NE(ReadWorkFile("AllKey.txt"), "(missing)");
  EXPECT_NE(ReadProgramFile("Engines1/Index.txt"), "(missing)");
}

TEST_F(Saving, AKeywordFileThatCannotBeWrittenIsToldOnceAndWrittenWhenItCanBe) {
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,3,,0,0\r\nbeta,Loopback,0,45000.5,3,,0,0\r\n");
  TfmMetaSearch& window = Open();
  std::filesystem::remove(workDir_ / "AllKey.txt");
  std::filesystem::create_directory(workDir_ / "AllKey.txt");  // no file can be renamed over a folder
  MessageBoxAnswerer ok;
  window.lvKey->clearSelection();
  window.lvKey->topLevelItem(0)->setSelected(true);
  window.NDelKeyClick();
  ASSERT_TRUE(WaitUntil([&] { return ok.texts.size() == 2; }));
  EXPECT_TRUE(ok.texts[1].contains("AllKey.txt")) << ok.texts[1].toStdString();
  // It is tried again every second without another warning, and written once it can be.
  WaitUntil([] { return false; }, std::chrono::milliseconds(2500));
  EXPECT_EQ(ok.texts.size(), 2);
  std::filesystem::remove(workDir_ / "AllKey.txt");
  EXPECT_TRUE(WaitUntil([&] { return ReadWorkFile("AllKey.txt").find("beta") != std::string::npos; }));
  EXPECT_EQ(ReadWorkFile("AllKey.txt").find("alpha"), std::string::npos);
}
