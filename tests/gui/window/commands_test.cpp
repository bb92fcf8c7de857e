// Keyword classes and the window's keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>

#include "core/store/TOneKey.h"
#include "gui/TKeyListView.h"
#include "gui/TKeyTreeView.h"
#include "gui/TSearchList.h"
#include "gui/TVLabel.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

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
}

TEST_F(Commands, ClassCommandsKeepTheFirstTwoTopLevelClasses) {
  TfmMetaSearch& window = Open();
  MessageBoxAnswerer ok;
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(7));  // "Rubish"
  window.DeleteClass();
  EXPECT_EQ(ok.texts, QStringList{"Can''t delete the first level!"});
  window.AddClass(false);
  EXPECT_EQ(TKeyTreeView::TextOf(window.tvKey->NodeAt(8)), "New Classify");
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(8));
  window.DeleteClass();
  EXPECT_EQ(ok.texts.last(), "Delete the classify?");
  EXPECT_EQ(window.tvKey->NodeCount(), 8);
  window.tvKey->setCurrentItem(window.tvKey->NodeAt(1));
  window.AddClass(true);
  EXPECT_EQ(window.tvKey->Nodes()[2], (TKeyTreeNode{2, 1, "New Classify"}));
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
