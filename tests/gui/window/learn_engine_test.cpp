// The learn dialog's OK path, driven through the Option menu: the definition learned from a saved page
// becomes a new file of the engine folder, listed in the chosen category of Index.txt and in the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
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
    dialog->findChild<QComboBox*>("cbCategory")->setCurrentText("Web (English)");
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
