// Start-up with and without the files the window reads, the shut-down that writes them back, keyword
// classes and the window's keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>

#include "core/config/version.h"
#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TVLabel.h"
#include "support/gui/opened_urls.h"
#include "support/child_process.h"
#include "support/test_support.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {
const char* kTwoKeys =
    "alpha,\"Offline demo\",0,45000.5,3,Software,0,0\r\n"
    "beta,\"Web (English)\",2,45001.25,0,Music,0,0\r\n";
}

using Startup = WindowTest;

TEST(WindowProgram, VersionNeedsNoDisplay) {
  TempDir dir;
  const int code = RunProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                               QUORVEX_WINDOW_PATH, "--version"},
                              dir / "out");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadWholeFile(dir / "out").value_or(""), "quorvex " + std::string(kProgramVersion) + "\n");
}

TEST_F(Startup, WithoutFilesTheShippedTreeAndFirstCategoryAndTheFilesAppearAtShutDown) {
  TfmMetaSearch& window = Open();
  EXPECT_EQ(window.tvKey->NodeCount(), 8);
  EXPECT_EQ(window.cbType->currentText(), "Offline demo");
  ASSERT_EQ(window.lvNowEngine->count(), 4);

  // Unticking an engine rewrites its Index.txt line, saved at the end of the shut-down.
  window.lvNowEngine->item(1)->setCheckState(Qt::Unchecked);
  window.cbType->setCurrentIndex(1);  // the category chosen last is the one kept
  Close();
  EXPECT_EQ(ReadProgramFile("KeyTree.txt").substr(0, 25), "All Classify\r\n\tSoftware\r\n");
  EXPECT_NE(ReadWorkFile("Config.txt").find("WindowState=2\r\n"), std::string::npos);
  EXPECT_NE(ReadWorkFile("Config.txt").find("Type=1\r\n"), std::string::npos);
  EXPECT_EQ(ReadWorkFile("AllKey.txt"), "");
  EXPECT_NE(ReadProgramFile("Engines1/Index.txt").find("Bluestone=demo/bluestone.txt,0\r\n"), std::string::npos);
}

TEST_F(Startup, SavedTreeKeywordsAndLayoutAreRestoredAndWrittenBack) {
  programDir_.Write("KeyTree.txt", "Everything\r\n\tSoftware\r\n\tMusic\r\nBin\r\n");
  workDir_.Write("AllKey.txt", kTwoKeys);
  workDir_.Write("Config.txt",
                "SelectedTreeKey=2\r\nSelectedKey=0\r\npnShowKey=0\r\nType=1\r\nWindowState=0\r\n"
                "Left=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\nCountPerEngine=40\r\n");
  TfmMetaSearch& window = Open();
  EXPECT_EQ(window.tvKey->NodeCount(), 4);
  EXPECT_EQ(TKeyTreeView::TextOf(window.tvKey->currentItem()), "Music");
  ASSERT_EQ(window.lvKey->topLevelItemCount(), 1);  // only the keyword of the class "Music"
  EXPECT_EQ(window.lvKey->topLevelItem(0)->text(0), "beta");
  EXPECT_TRUE(window.pnKeyWord->isHidden());
  EXPECT_EQ(window.cbType->currentIndex(), 1);
  EXPECT_EQ(window.geometry().width(), 700);

  // The node at position 0 lists every keyword.
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(0));
  EXPECT_EQ(window.lvKey->topLevelItemCount(), 2);
  Close();
  const std::string config = ReadWorkFile("Config.txt");
  EXPECT_EQ(config.substr(0, 18), "SelectedTreeKey=0\r");
  EXPECT_NE(config.find("pnShowKey=0\r\n"), std::string::npos);
  EXPECT_NE(config.find("CountPerEngine=40\r\n"), std::string::npos);
  EXPECT_EQ(ReadWorkFile("AllKey.txt").substr(0, 8), "\"alpha\",");
  EXPECT_EQ(ReadProgramFile("KeyTree.txt"), "Everything\r\n\tSoftware\r\n\tMusic\r\nBin\r\n");
}

TEST_F(Startup, AFaultyTreeLineLeavesKeyTreeTxtAsItIsAndTheKeywordsAreStillRead) {
  const std::string tree = "Top\r\n\tA\r\n\t\t\tDeep\r\nRubish\r\n";
  programDir_.Write("KeyTree.txt", tree);
  workDir_.Write("AllKey.txt", kTwoKeys);
  TfmMetaSearch* window = nullptr;
  {
    MessageBoxAnswerer answerer;
    window = &Open();
    EXPECT_EQ(answerer.texts, QStringList{"Invalid level (3) for item \"Deep\""});
  }
  EXPECT_EQ(window->tvKey->NodeCount(), 2);
  window->tvKey->setCurrentItem(window->tvKey->NodeAt(0));
  EXPECT_EQ(window->lvKey->topLevelItemCount(), 2);
  {
    MessageBoxAnswerer cancel(QMessageBox::Cancel);
    window->AddClass(false);
    ASSERT_EQ(cancel.texts.size(), 1);
    EXPECT_TRUE(cancel.texts[0].contains("KeyTree.txt"));
  }
  EXPECT_EQ(window->tvKey->NodeCount(), 2);
  Close();
  EXPECT_EQ(ReadProgramFile("KeyTree.txt"), tree);
  const std::string keys = ReadWorkFile("AllKey.txt");
  EXPECT_NE(keys.find("alpha"), std::string::npos);
  EXPECT_NE(keys.find("beta"), std::string::npos);
}

TEST_F(Startup, KeywordFilesThatCannotBeReadAreToldAndLeftAsTheyAre) {
  std::filesystem::create_directory(programDir_ / "KeyTree.txt");
  std::filesystem::create_directory(workDir_ / "AllKey.txt");
  MessageBoxAnswerer answerer;
  Open();
  ASSERT_EQ(answerer.texts.size(), 2);
  EXPECT_TRUE(answerer.texts[0].contains("KeyTree.txt could not be read")) << answerer.texts[0].toStdString();
  EXPECT_TRUE(answerer.texts[1].contains("AllKey.txt could not be read")) << answerer.texts[1].toStdString();
  Close();  // nothing is written over them, so no file is named as unsaved
  EXPECT_EQ(answerer.texts.size(), 2);
}

using Commands = WindowTest;

TEST_F(Commands, DroppingKeywordRowsOnAClassRefilesTheFirstSelectedOnly) {
  workDir_.Write("AllKey.txt",
                "alpha,\"Offline demo\",0,45000.5,3,,0,0\r\nbeta,\"Offline demo\",0,45000.5,3,,0,0\r\n");
  TfmMetaSearch& window = Open();
  window.lvKey->selectAll();
  QTreeWidgetItem* music = window.tvKey->NodeAt(6);
  ASSERT_EQ(TKeyTreeView::TextOf(music), "Music");

  QMimeData data;
  data.setData(TKeyListView::kMimeType, "2");
  const QPointF at = window.tvKey->visualItemRect(music).center();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.tvKey->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.tvKey->viewport(), &drop);

  EXPECT_EQ(app_.KeyList[0]->Classify, "Music");
  EXPECT_EQ(app_.KeyList[1]->Classify, "");
  EXPECT_EQ(window.tvKey->currentItem(), music);
  ASSERT_EQ(window.lvKey->topLevelItemCount(), 1);
  EXPECT_EQ(window.lvKey->topLevelItem(0)->text(0), "alpha");
  EXPECT_EQ(window.lblNowKey->Caption(), " Music");
  EXPECT_TRUE(WaitUntil([&] { return ReadWorkFile("AllKey.txt").find("Music") != std::string::npos; }));
}

TEST_F(Commands, ClassCommandsKeepTheFirstTwoTopLevelClasses) {
  TfmMetaSearch& window = Open();
  MessageBoxAnswerer ok;
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(7));  // "Rubish"
  window.DeleteClass();
  EXPECT_EQ(ok.texts, QStringList{"Can't delete the first level!"});
  window.AddClass(false);
  EXPECT_EQ(TKeyTreeView::TextOf(window.tvKey->NodeAt(8)), "New Classify");
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(8));
  window.DeleteClass();
  EXPECT_EQ(ok.texts.last(), "Delete the classify?");
  EXPECT_EQ(window.tvKey->NodeCount(), 8);
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(1));
  window.AddClass(true);
  EXPECT_EQ(window.tvKey->Nodes()[2], (TKeyTreeNode{2, 1, "New Classify"}));
  // An emptied tree takes a new top-level class.
  window.tvKey->clear();
  window.AddClass(false);
  EXPECT_EQ(window.tvKey->NodeCount(), 1);
}

TEST_F(Commands, CtrlXCutsInTheKeywordEditAndExitsElsewhere) {
  TfmMetaSearch& window = Open();
  window.edKey->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return window.edKey->hasFocus(); }, std::chrono::seconds(2)));
  window.edKey->setText("cut me");
  window.edKey->selectAll();
  Type(window.edKey, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(window.edKey->text(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "cut me");
  EXPECT_TRUE(window.isVisible());

  // Elsewhere Ctrl+X is Exit.
  window.List->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return window.List->hasFocus(); }, std::chrono::seconds(2)));
  Type(window.List, Qt::Key_X, Qt::ControlModifier);
  EXPECT_FALSE(window.isVisible());
  EXPECT_NE(ReadWorkFile("Config.txt"), "(missing)");
}

TEST_F(Commands, TheKeyEachMenuItemShowsDoesItsCommand) {
  TfmMetaSearch& window = Open();
  QMap<QString, QKeySequence> keys;
  for (QAction* action : window.findChildren<QAction*>()) keys[action->text()] = action->shortcut();
  EXPECT_EQ(keys["Keywords Panel"], QKeySequence("Ctrl+K"));
  EXPECT_EQ(keys["Tree View Panel"], QKeySequence("Ctrl+T"));
  EXPECT_EQ(keys["&Home page "], QKeySequence("Ctrl+H"));
  Type(window.List, Qt::Key_K, Qt::ControlModifier);
  EXPECT_TRUE(window.pnKeyWord->isHidden());
  Type(window.List, Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(window.pnTree->isHidden());
  OpenedUrls opened;
  Type(window.List, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(kHomePageAddress)});
  // F2 edits the keyword from anywhere but the tree, which renames its class with it.
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(1));
  Type(window.tvKey, Qt::Key_F2);
  EXPECT_NE(window.tvKey->viewport()->findChild<QLineEdit*>(), nullptr);
}
