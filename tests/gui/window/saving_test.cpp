// The keyword files are on disk as soon as the user's work changes them, so that a process killed
// before its shut-down loses nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <filesystem>

#include "core/config/ProgramDirs.h"
#include "support/gui/opened_urls.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

using Saving = WindowTest;

// Class edits and keyword deletes are on disk at once. A keyword file that cannot be written is told
// (when it is told again is the program's rule); the shut-down names every file it cannot write in one
// warning and still writes the others.
TEST_F(Saving, EditsAreOnDiskAtOnceAndFilesThatCannotBeWrittenAreTold) {
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

  for (const char* name : {"AllKey.txt", "Config.txt"}) {
    std::filesystem::remove(workDir_ / name);
    std::filesystem::create_directory(workDir_ / name);  // no file can be renamed over a folder
  }
  std::filesystem::remove(programDir_ / "KeyTree.txt");
  Keys()->topLevelItem(0)->setSelected(true);
  Keywords().DeleteSelectedKeys();
  ASSERT_TRUE(WaitUntil([&] { return ok.texts.size() == 4; }));
  EXPECT_TRUE(ok.texts[3].contains("AllKey.txt")) << ok.texts[3].toStdString();
  Close();
  ASSERT_EQ(ok.texts.size(), 5);
  EXPECT_TRUE(ok.texts[4].contains("Config.txt") && ok.texts[4].contains("AllKey.txt")) << ok.texts[4].toStdString();
  EXPECT_NE(ReadProgramFile("KeyTree.txt"), "(missing)");
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
