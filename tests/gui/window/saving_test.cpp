// The keyword files are on disk as soon as the user's work changes them, so that a process killed
// before its shut-down loses nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <filesystem>

#include "core/config/ProgramDirs.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "support/gui/opened_urls.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

using Saving = WindowTest;

// Nothing here closes the window before the files are read: what they hold is what a killed process
// leaves behind.
TEST_F(Saving, AnEndedSearchAndEditsInTheResultListAreOnDiskWithoutAShutDown) {
  TfmMetaSearch& window = Open();
  Search("rainwater harvesting");
  ASSERT_TRUE(WaitForIdle());
  const TOneKey* searched = TKeyListView::KeyOf(Keys()->topLevelItem(0));
  ASSERT_GT(searched->Results.Count(), 1u);

  std::unique_ptr<AppState> nextStart;
  const auto onDisk = [&](size_t count) {
    return WaitUntil([&] {
      nextStart = std::make_unique<AppState>();
      return LoadKeyList(*nextStart, kAllKeyFileName, window.Index().CategoryNames()) &&
             nextStart->KeyList.size() == 1 && nextStart->KeyList[0]->LoadResults(SearchResultDir()) &&
             nextStart->KeyList[0]->Results.Count() == count;
    });
  };
  ASSERT_TRUE(onDisk(searched->Results.Count()));
  EXPECT_EQ(nextStart->KeyList[0]->Keyword, "rainwater harvesting");
  EXPECT_EQ(nextStart->KeyList[0]->ResultCount, searched->ResultCount);

  // A deleted result, and the visited mark of the one opened, reach the disk as well; the row's count
  // and the Number label follow the delete.
  OpenedUrls opened;
  MessageBoxAnswerer ok;
  Results()->DeleteSelected();
  const size_t left = searched->Results.Count();
  EXPECT_EQ(Keys()->topLevelItem(0)->text(3), QString::number(left));
  EXPECT_EQ(Find<QLabel>("lblNum")->text().trimmed(), QString::number(left));
  Results()->OpenResult(false, false);
  ASSERT_EQ(opened.urls.size(), 1);
  ASSERT_TRUE(onDisk(left));
  const std::string visited = opened.urls[0].toString().toStdString();
  EXPECT_TRUE(WaitUntil([&] {
    AppState later;
    LoadKeyList(later, kAllKeyFileName, window.Index().CategoryNames());
    if (later.KeyList.size() != 1 || !later.KeyList[0]->LoadResults(SearchResultDir())) return false;
    const TResultList& results = later.KeyList[0]->Results;
    for (size_t i = 0; i < results.Count(); ++i)
      if (results[i].Url == visited) return results[i].Visited == 1;
    return false;
  }));
}

TEST_F(Saving, ClassEditsAndKeywordDeletesAreOnDiskAtOnce) {
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,3,,0,0\r\nbeta,Loopback,0,45000.5,3,,0,0\r\n");
  Open();
  Keywords().AddClass(true);
  Tree()->currentItem()->setText(0, "Recipes");  // as the in-place editor commits a rename
  EXPECT_TRUE(WaitUntil([&] { return ReadProgramFile("KeyTree.txt").find("Recipes") != std::string::npos; }));

  MessageBoxAnswerer ok;
  Keywords().DeleteClass();
  Tree()->setCurrentItem(Tree()->topLevelItem(0));
  Keys()->clearSelection();
  Keys()->topLevelItem(0)->setSelected(true);
  Keywords().DeleteSelectedKeys();
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

// When it is told again is the program's rule; the window shows it without holding the timer up.
TEST_F(Saving, AKeywordFileThatCannotBeWrittenIsTold) {
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,3,,0,0\r\nbeta,Loopback,0,45000.5,3,,0,0\r\n");
  Open();
  std::filesystem::remove(workDir_ / "AllKey.txt");
  std::filesystem::create_directory(workDir_ / "AllKey.txt");  // no file can be renamed over a folder
  MessageBoxAnswerer ok;
  Keys()->clearSelection();
  Keys()->topLevelItem(0)->setSelected(true);
  Keywords().DeleteSelectedKeys();
  ASSERT_TRUE(WaitUntil([&] { return ok.texts.size() == 2; }));
  EXPECT_TRUE(ok.texts[1].contains("AllKey.txt")) << ok.texts[1].toStdString();
}

// A file the user asked for that could not be written is told, and nothing older is shown in its place.
TEST_F(Saving, AnExportOrOptionsFileThatCannotBeWrittenIsToldAndNothingIsOpened) {
  TfmMetaSearch& window = Open();
  OpenedUrls opened;
  QAction* display = nullptr;
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text() == "Display Result in Browser") display = action;
  ASSERT_NE(display, nullptr);
  {
    MessageBoxAnswerer ok;
    display->trigger();  // no keyword shown
    ASSERT_EQ(ok.texts.size(), 1);
    EXPECT_TRUE(ok.texts[0].contains("Key.html")) << ok.texts[0].toStdString();
  }
  Search("rainwater harvesting");
  ASSERT_TRUE(WaitForIdle());
  std::filesystem::create_directory(std::filesystem::path(LocalFileDir()) / "Key.html");
  {
    MessageBoxAnswerer ok;
    display->trigger();
    ASSERT_EQ(ok.texts.size(), 1);
    EXPECT_TRUE(ok.texts[0].contains("Key.html could not be written: ")) << ok.texts[0].toStdString();
  }
  EXPECT_TRUE(opened.urls.isEmpty());
  std::filesystem::remove(std::filesystem::path(LocalFileDir()) / "Key.html");
  display->trigger();
  EXPECT_EQ(opened.urls.size(), 1);

  std::filesystem::create_directory(workDir_ / "option.txt");
  QTimer acceptOptions;  // OK in the options dialog, whenever it opens
  QObject::connect(&acceptOptions, &QTimer::timeout, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog && !qobject_cast<QMessageBox*>(dialog)) dialog->accept();
  });
  acceptOptions.start(20);
  MessageBoxAnswerer ok;
  Type(Results(), Qt::Key_P, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([&] { return !ok.texts.isEmpty(); }, std::chrono::seconds(5)));
  EXPECT_TRUE(ok.texts[0].contains("option.txt could not be written: ")) << ok.texts[0].toStdString();
}
