// Start-up with and without the files the window reads, the shut-down that writes them back, keyword
// classes and the window's keys; the keyword files on disk as soon as the user's work changes them, so
// that a process killed before its shut-down loses nothing, and the files that cannot be written.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QSplitter>

#include "core/common/file_io.h"
#include "core/config/ProgramDirs.h"
#include "core/config/version.h"
#include "core/store/TOneKey.h"
#include "core/view/html_export.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TVLabel.h"
#include "gui/TfmDownload.h"
#include "support/child_process.h"
#include "support/gui/opened_urls.h"
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
  EXPECT_TRUE(code == 0 && ReadWholeFile(dir / "out") == "quorvex " + std::string(kProgramVersion) + "\n");
}

TEST_F(Startup, WithoutFilesTheShippedTreeAndFirstCategoryAndTheFilesAppearAtShutDown) {
  Open();
  EXPECT_EQ(Find<QComboBox>("cbType")->currentText(), "Offline demo");
  ASSERT_EQ(Find<QListWidget>("lvNowEngine")->count(), 4);

  // Unticking an engine rewrites its Index.txt line, saved at the end of the shut-down.
  Find<QListWidget>("lvNowEngine")->item(1)->setCheckState(Qt::Unchecked);
  Find<QComboBox>("cbType")->setCurrentIndex(1);  // the category chosen last is the one kept
  Close();
  EXPECT_EQ(ReadProgramFile("KeyTree.txt").substr(0, 25), "All Classify\r\n\tSoftware\r\n");
  const std::string config = ReadWorkFile("Config.txt");
  EXPECT_TRUE(config.find("WindowState=2\r\n") != std::string::npos && config.find("Type=1\r\n") != std::string::npos);
  EXPECT_TRUE(ReadWorkFile("AllKey.txt").empty() &&
              ReadProgramFile("Engines1/Index.txt").find("Bluestone=demo/bluestone.txt,0\r\n") != std::string::npos);
}

TEST_F(Startup, SavedTreeKeywordsAndLayoutAreRestoredAndWrittenBack) {
  programDir_.Write("KeyTree.txt", "Everything\r\n\tSoftware\r\n\tMusic\r\nBin\r\n");
  workDir_.Write("AllKey.txt", kTwoKeys);
  workDir_.Write("Config.txt",
                 "SelectedTreeKey=2\r\nSelectedKey=0\r\npnShowKey=0\r\nType=1\r\nWindowState=0\r\n"
                 "Left=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\nCountPerEngine=40\r\nlvType=150\r\n"
                 "pnTree=180\r\nSortMethod=3\r\nSummaryLine=2\r\n");
  TfmMetaSearch& window = Open();
  EXPECT_TRUE(Tree()->NodeCount() == 4 && TKeyTreeView::TextOf(Tree()->currentItem()) == "Music");
  ASSERT_EQ(Keys()->topLevelItemCount(), 1);  // only the keyword of the class "Music"
  EXPECT_EQ(Keys()->topLevelItem(0)->text(0), "beta");
  EXPECT_TRUE(Find<QWidget>("pnKeyWord")->isHidden() && Find<QComboBox>("cbType")->currentIndex() == 1);
  EXPECT_EQ(window.geometry().width(), 700);

  // The node at position 0 lists every keyword.
  Tree()->setCurrentItem(Tree()->NodeAt(0));
  EXPECT_EQ(Keys()->topLevelItemCount(), 2);
  Close();
  const std::string config = ReadWorkFile("Config.txt");
  EXPECT_TRUE(config.starts_with("SelectedTreeKey=0\r\n") && config.find("pnShowKey=0\r\n") != std::string::npos &&
              config.find("CountPerEngine=40\r\n") != std::string::npos);
  // The engine list takes any change of height; the panes, order and list look are applied and read back.
  for (const char* kept : {"lvType=150\r\n", "pnTree=180\r\n", "SortMethod=3\r\n", "SummaryLine=2\r\n"})
    EXPECT_NE(config.find(kept), std::string::npos) << kept;
  EXPECT_EQ(ReadWorkFile("AllKey.txt").substr(0, 8), "\"alpha\",");
  EXPECT_EQ(ReadProgramFile("KeyTree.txt"), "Everything\r\n\tSoftware\r\n\tMusic\r\nBin\r\n");
}

TEST_F(Startup, AFaultyTreeLineLeavesKeyTreeTxtAsItIsAndTheKeywordsAreStillRead) {
  const std::string tree = "Top\r\n\tA\r\n\t\t\tDeep\r\nRubish\r\n";
  programDir_.Write("KeyTree.txt", tree);
  workDir_.Write("AllKey.txt", kTwoKeys);
  {
    MessageBoxAnswerer answerer;
    Open();
    EXPECT_EQ(answerer.texts, QStringList{"Invalid level (3) for item \"Deep\""});
  }
  Tree()->setCurrentItem(Tree()->NodeAt(0));
  EXPECT_TRUE(Tree()->NodeCount() == 2 && Keys()->topLevelItemCount() == 2);
  {
    MessageBoxAnswerer cancel(QMessageBox::Cancel);
    Keywords().AddClass(false);
    EXPECT_TRUE(cancel.texts.size() == 1 && cancel.texts[0].contains("KeyTree.txt"));
  }
  EXPECT_EQ(Tree()->NodeCount(), 2);
  Close();
  EXPECT_EQ(ReadProgramFile("KeyTree.txt"), tree);
  EXPECT_NE(ReadWorkFile("AllKey.txt").find("\"beta\""), std::string::npos);
}

TEST_F(Startup, KeywordFilesThatCannotBeReadAreToldAndLeftAsTheyAre) {
  std::filesystem::create_directory(programDir_ / "KeyTree.txt");
  std::filesystem::create_directory(workDir_ / "AllKey.txt");
  MessageBoxAnswerer answerer;
  Open();
  ASSERT_EQ(answerer.texts.size(), 2);
  EXPECT_TRUE(answerer.texts[0].contains("KeyTree.txt could not be read") &&
              answerer.texts[1].contains("AllKey.txt could not be read"))
      << answerer.texts.join("\n").toStdString();
  Close();  // nothing is written over them, so no file is named as unsaved
  EXPECT_EQ(answerer.texts.size(), 2);
}

using Commands = WindowTest;

// Dropping keyword rows on a class refiles the first selected only; the class commands keep the first
// two top-level classes.
TEST_F(Commands, DroppingKeywordRowsOnAClassRefilesTheFirstSelectedOnlyAndClassCommandsKeepTheTopLevel) {
  workDir_.Write("AllKey.txt", "alpha,\"Offline demo\",0,45000.5,3,,0,0\r\nbeta,\"Offline demo\",0,45000.5,3,,0,0\r\n");
  Open();
  Keys()->selectAll();
  QTreeWidgetItem* music = Tree()->NodeAt(6);
  ASSERT_EQ(TKeyTreeView::TextOf(music), "Music");

  QMimeData data;
  data.setData(TKeyListView::kMimeType, "2");
  const QPointF at = Tree()->visualItemRect(music).center();
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Tree()->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Tree()->viewport(), &drop);

  EXPECT_TRUE(app_.KeyList[0]->Classify == "Music" && app_.KeyList[1]->Classify.empty());
  EXPECT_TRUE(Tree()->currentItem() == music && Find<TVLabel>("lblNowKey")->Caption() == " Music");
  EXPECT_TRUE(Keys()->topLevelItemCount() == 1 && Keys()->topLevelItem(0)->text(0) == "alpha");
  EXPECT_TRUE(WaitUntil([&] { return ReadWorkFile("AllKey.txt").find("Music") != std::string::npos; }));

  MessageBoxAnswerer ok;
  Tree()->setCurrentItem(Tree()->NodeAt(7));  // "Rubish"
  Keywords().DeleteClass();
  EXPECT_EQ(ok.texts, QStringList{"Can't delete the first level!"});
  Keywords().AddClass(false);
  EXPECT_EQ(TKeyTreeView::TextOf(Tree()->NodeAt(8)), "New Classify");
  Tree()->setCurrentItem(Tree()->NodeAt(8));
  Keywords().DeleteClass();
  EXPECT_TRUE(ok.texts.last() == "Delete the classify?" && Tree()->NodeCount() == 8);
  Tree()->setCurrentItem(Tree()->NodeAt(1));
  Keywords().AddClass(true);
  EXPECT_EQ(Tree()->Nodes()[2], (TKeyTreeNode{2, 1, "New Classify"}));
  // An emptied tree takes a new top-level class.
  Tree()->clear();
  Keywords().AddClass(false);
  EXPECT_EQ(Tree()->NodeCount(), 1);
}

TEST_F(Commands, TheKeyEachMenuItemShowsDoesItsCommandAndCtrlXIsCutInTheKeywordEditAndExitElsewhere) {
  TfmMetaSearch& window = Open();
  QMap<QString, QKeySequence> keys;
  for (QAction* action : window.findChildren<QAction*>()) keys[action->text()] = action->shortcut();
  EXPECT_TRUE(keys["Keywords Panel"] == QKeySequence("Ctrl+K") && keys["Tree View Panel"] == QKeySequence("Ctrl+T") &&
              keys["&Home page "] == QKeySequence("Ctrl+H"));
  // Panes the user sized and then hid keep those sizes in Config.txt.
  for (QSplitter* splitter :
       {qobject_cast<QSplitter*>(window.centralWidget()), qobject_cast<QSplitter*>(Keywords().parentWidget())})
    splitter->setSizes({160, splitter->sizes()[0] + splitter->sizes()[1] - 160});
  Type(Results(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_TRUE(Find<QWidget>("pnKeyWord")->isHidden());
  Type(Results(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(Find<QWidget>("pnTree")->isHidden());
  OpenedUrls opened;
  Type(Results(), Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(kHomePageAddress)});
  // F2 edits the keyword from anywhere but the tree, which renames its class with it.
  Tree()->setCurrentItem(Tree()->NodeAt(1));
  Type(Tree(), Qt::Key_F2);
  EXPECT_NE(Tree()->viewport()->findChild<QLineEdit*>(), nullptr);

  // Ctrl+X cuts in the keyword edit and exits elsewhere.
  Find<QLineEdit>("edKey")->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return Find<QLineEdit>("edKey")->hasFocus(); }, std::chrono::seconds(2)));
  Find<QLineEdit>("edKey")->setText("cut me");
  Find<QLineEdit>("edKey")->selectAll();
  Type(Find<QLineEdit>("edKey"), Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(Find<QLineEdit>("edKey")->text().isEmpty() && QApplication::clipboard()->text() == "cut me");
  EXPECT_TRUE(window.isVisible());

  // Elsewhere Ctrl+X is Exit.
  Results()->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return Results()->hasFocus(); }, std::chrono::seconds(2)));
  Type(Results(), Qt::Key_X, Qt::ControlModifier);
  const std::string config = ReadWorkFile("Config.txt");
  EXPECT_TRUE(!window.isVisible() &&
              config.find("pnTree=160\r\npnKeyword=160\r\npnShowKey=0\r\npnShowTree=0\r\n") != std::string::npos)
      << config;
}

using Saving = WindowTest;

// Class edits and keyword deletes are on disk at once. A keyword file that cannot be written is told
// (when it is told again is the program's rule); the shut-down names every file it cannot write in one
// warning and still writes the others.
TEST_F(Saving, EditsAreOnDiskAtOnceAndFilesThatCannotBeWrittenAreTold) {
  workDir_.Write("AllKey.txt", kTwoKeys);
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
  EXPECT_TRUE(ok.texts[4].contains("Config.txt") && ok.texts[4].contains("AllKey.txt") &&
              ReadProgramFile("KeyTree.txt") != "(missing)")
      << ok.texts[4].toStdString();
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
    EXPECT_TRUE(ok.texts.size() == 1 && ok.texts[0].contains("Key.html")) << ok.texts.join("\n").toStdString();
  }
  Search("rainwater harvesting");
  ASSERT_TRUE(WaitForIdle());
  std::filesystem::create_directory(std::filesystem::path(LocalFileDir()) / "Key.html");
  {
    MessageBoxAnswerer ok;
    display->trigger();
    EXPECT_TRUE(ok.texts.size() == 1 && ok.texts[0].contains("Key.html could not be written: "))
        << ok.texts.join("\n").toStdString();
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

// A verification run offers only its stop and progress commands, and ends by the timer with "Finished".
TEST_F(Commands, AVerifyRunShowsItsOwnCommandsAndEndsFinished) {
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,1,,0,0\r\n");
  TOneKey kept("alpha", 45000.5, 0, 0);
  kept.Results.Add(TResultList::KeyOf("http://127.0.0.1:1/a"), TOneResult{}).Url = "http://127.0.0.1:1/a";
  ASSERT_TRUE(kept.SaveResults(SearchResultDir()));
  TfmMetaSearch& window = Open();
  QMap<QString, QAction*> commands;
  for (QAction* action : window.findChildren<QAction*>()) commands[action->text()] = action;
  MessageBoxAnswerer unexpected;  // a box here would otherwise wait for ever
  Keys()->setCurrentItem(Keys()->topLevelItem(0));
  commands["&Verify Web Page"]->trigger();
  EXPECT_TRUE(unexpected.texts.isEmpty()) << unexpected.texts.join("\n").toStdString();
  EXPECT_EQ(app_.ActivityState, TActivityState::Verifying);
  EXPECT_FALSE(commands["&Verify Web Page"]->isVisible());
  EXPECT_TRUE(commands["Stop Verify or Download"]->isVisible() && commands["Stop Veirfy Or Download"]->isVisible());
  const QList<QAction*> all = window.findChildren<QAction*>();  // the Search menu's stays, the popup's hides
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](QAction* a) { return a->text() == "&Update Search" && a->isVisible(); }), 1);
  ASSERT_TRUE(WaitUntil([&] { return app_.ActivityState == TActivityState::Idle; }));
  EXPECT_FALSE(commands["Stop Verify or Download"]->isVisible());
  EXPECT_EQ(Find<QLabel>("StatusPanel1")->text(), "Finished");
  EXPECT_FALSE(window.findChild<TfmDownload*>()->isVisible());
}
