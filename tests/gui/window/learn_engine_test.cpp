// The learn dialog's OK path, driven through the Option menu: the definition learned from a saved page
// becomes a new file of the engine folder, listed in the chosen category (the window's, unless changed) of
// Index.txt and in the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

using LearnEngine = WindowTest;

TEST_F(LearnEngine, OkWritesTheDefinitionAsANewFileAndListsItInTheChosenCategory) {
  programDir_.Write("Engines1/Bing-2.txt", "kept");  // "Bing" names an engine, "Bing-2" a file
  TfmMetaSearch& window = Open();
  QAction* learn = nullptr;
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text() == "&Learn Engine from Page...") learn = action;
  ASSERT_NE(learn, nullptr);

  Find<QListWidget>("lvType")->setCurrentRow(1);  // the dialog offers the window's category first
  int results = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = window.findChild<QDialog*>("fmLearnEngine");
    const QString page =
        QString::fromStdString(FixturePath("serp-real/ddg-html-2026-02-27-client-side-graph-database.html").string());
    dialog->findChild<QLineEdit*>("edPage")->setText(page);
    dialog->findChild<QLineEdit*>("edKeyword")->setText("client-side graph database javascript typescript browser");
    dialog->findChild<QLineEdit*>("edUrl")->setText(
        "https://html.duckduckgo.com/html/?q=client-side+graph+database+javascript+typescript+browser");
    dialog->findChild<QLineEdit*>("edName")->setText("Bing");
    dialog->findChild<QPushButton*>("btnLearn")->click();
    results = dialog->findChild<QTreeWidget*>("lvResults")->topLevelItemCount();
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    if (dialog->isVisible()) dialog->reject();  // a failed OK keeps it open
  });
  MessageBoxAnswerer ok;
  learn->trigger();
  EXPECT_TRUE(ok.texts.isEmpty()) << ok.texts.join("\n").toStdString();
  EXPECT_GE(results, 10);

  EXPECT_EQ(ReadProgramFile("Engines1/Bing-2.txt"), "kept");
  EXPECT_NE(ReadProgramFile("Engines1/Bing-3.txt").find("$key$"), std::string::npos);
  EXPECT_NE(ReadProgramFile("Engines1/Index.txt").find("Yandex=yandex.txt\r\nBing-3=Bing-3.txt\r\n[\"Web (Chinese)\""),
            std::string::npos);
  Find<QListWidget>("lvType")->setCurrentRow(1);
  ASSERT_GT(Find<QListWidget>("lvNowEngine")->count(), 0);
  EXPECT_EQ(Find<QListWidget>("lvNowEngine")->item(Find<QListWidget>("lvNowEngine")->count() - 1)->text(), "Bing-3");
}

// "Learn from the kept page" opens the learn dialog on the page with the keyword and address of the
// search that kept it; the dialog refuses an empty keyword, and an address without the keyword, which
// would give an engine that searches only for the page's keyword.
TEST_F(LearnEngine, TheKeptPageComesWithItsKeywordAndAddressAndAnEngineMustSearchWithTheKeyword) {
  const std::string keyword = "client-side graph database javascript typescript browser";
  const std::string address =
      "https://html.duckduckgo.com/html/?q=client-side+graph+database+javascript+typescript+browser";
  programDir_.Write("Engines1/KeptPages/Amberline.html",
                    ReadFixture("serp-real/ddg-html-2026-02-27-client-side-graph-database.html"));
  programDir_.Write("Engines1/KeptPages/Amberline.request", "key=" + keyword + "\nurl=" + address + "\n");
  programDir_.Write("Engines1/Health.txt", "Amberline\tno record matched\t0\t1\t5\t46000\tpage of 9 bytes\n");
  TfmMetaSearch& window = Open();
  QAction* health = nullptr;
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text() == "Engine &Health") health = action;
  ASSERT_NE(health, nullptr);

  QStringList filled;
  QString emptyKeyword;
  QString unkeyed;
  QTimer::singleShot(0, [&] {
    auto* list = window.findChild<QDialog*>("fmEngineHealth")->findChild<QTreeWidget*>("lvEngines");
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      if (list->topLevelItem(i)->text(0) == "Amberline") list->setCurrentItem(list->topLevelItem(i));
    QTimer::singleShot(0, [&] {
      auto* dialog = window.findChild<QDialog*>("fmLearnEngine");
      for (const char* edit : {"edPage", "edKeyword", "edUrl"})
        filled.append(dialog->findChild<QLineEdit*>(edit)->text());
      dialog->findChild<QLineEdit*>("edKeyword")->setText("");
      dialog->findChild<QPushButton*>("btnLearn")->click();
      emptyKeyword = dialog->findChild<QLabel*>("lbReport")->text();
      dialog->findChild<QLineEdit*>("edKeyword")->setText(QString::fromStdString(keyword));
      dialog->findChild<QLineEdit*>("edUrl")->setText("https://html.duckduckgo.com/html/");
      dialog->findChild<QPushButton*>("btnLearn")->click();
      unkeyed = dialog->findChild<QLabel*>("lbReport")->text();
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();  // refused: stays open
      dialog->reject();
      window.findChild<QDialog*>("fmEngineHealth")->reject();
    });
    window.findChild<QDialog*>("fmEngineHealth")->findChild<QPushButton*>("btnLearnKept")->click();
  });
  MessageBoxAnswerer ok;
  health->trigger();
  ASSERT_EQ(filled.size(), 3);
  EXPECT_TRUE(filled[0].endsWith("KeptPages/Amberline.html")) << filled[0].toStdString();
  EXPECT_EQ(filled[1].toStdString(), keyword);
  EXPECT_EQ(filled[2].toStdString(), address);
  EXPECT_TRUE(emptyKeyword.contains("keyword")) << emptyKeyword.toStdString();
  // What the user of the window can do, not what one editing the definition would.
  EXPECT_TRUE(unkeyed.contains("type the address the page came from") && !unkeyed.contains("url="))
      << unkeyed.toStdString();
  EXPECT_TRUE(ok.texts.join("\n").contains("does not hold the keyword")) << ok.texts.join("\n").toStdString();
  EXPECT_EQ(ReadProgramFile("Engines1/Index.txt").find("Amberline-2"), std::string::npos);
}
