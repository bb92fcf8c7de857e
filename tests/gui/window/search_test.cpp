// Searches through the window: command states while busy and idle, Stop against a silent server,
// the keyword delete rules, and closing the window in the middle of a search.
#include <gtest/gtest.h>

#include <QMenu>

#include "core/store/TOneKey.h"
#include "gui/TKeyListView.h"
#include "gui/TSearchList.h"
#include "gui/TfmProgress.h"
#include "gui/TVisualDownloader.h"
#include "support/loopback_server.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {

std::string ResultPage(const std::string& url, const std::string& title) {
  return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><ol>\n<li><a href=\"" + url + "\">" + title +
         "</a><p>summary</p></li>\n</ol></body></html>\n";
}

std::string Definition(const std::string& url) {
  return "url=" + url + "\nHead=\"\",\"\",\"\"\nUniqe=$1\n---\nli\na,href=$1\n$2\n/a\np\n$3\n/p\n---\nL,$4,ENG\n";
}

struct Commands {
  bool searchEnabled, keyEditEnabled, stopEnabled, progressShown;
};
Commands Read(const TfmMetaSearch& window) {
  const auto enabled = [&](const char* name) { return window.findChild<QWidget*>(name)->isEnabled(); };
  return {enabled("btnSearch"), enabled("edKey"), enabled("btnStop"), window.ShowProgressCommand().isVisible()};
}

}  // namespace

using Searching = WindowTest;

TEST_F(Searching, DemoSearchRunsBusyCommandsAndEndsFinishedWithResults) {
  TfmMetaSearch& window = Open();
  Search("rainwater harvesting");
  ASSERT_EQ(Keys()->topLevelItemCount(), 1);
  const Commands busy = Read(window);
  EXPECT_TRUE(!busy.searchEnabled && !busy.keyEditEnabled && busy.stopEnabled && busy.progressShown);
  EXPECT_EQ(Keys()->topLevelItem(0)->text(5), "Searching...");
  Find<QToolButton>("btnSearch")->click();  // pressing Search while a search runs does nothing
  EXPECT_EQ(Keys()->topLevelItemCount(), 1);

  ASSERT_TRUE(WaitForIdle());
  const Commands idle = Read(window);
  EXPECT_TRUE(idle.searchEnabled && idle.keyEditEnabled);
  EXPECT_FALSE(idle.stopEnabled || idle.progressShown);
  QTreeWidgetItem* row = Keys()->topLevelItem(0);
  EXPECT_EQ(row->text(5), "Finished");
  EXPECT_GT(row->text(3).toInt(), 0);
  EXPECT_TRUE(window.Progress().isHidden());
}

TEST_F(Searching, StopDuringASilentEngineReturnsAtOnceAfterTheOtherFinished) {
  LoopbackServer answering({Sends(ResultPage("http://found.example/a", "Found"))});
  LoopbackServer silent({Stall()});
  UseEngines({{"Quick", Definition(answering.Url("/s?q=$key$"))}, {"Silent", Definition(silent.Url("/s?q=$key$"))}});
  TfmMetaSearch& window = Open();
  Search("anything");
  ASSERT_TRUE(WaitUntil([&] { return window.Progress().Rows().size() == 2; }));  // started in turn
  ASSERT_TRUE(WaitUntil([&] {
    return Keys()->topLevelItemCount() == 1 && Keys()->topLevelItem(0)->text(3) == "1";
  }));
  EXPECT_TRUE(Read(window).stopEnabled);  // the silent engine keeps the search going

  const auto before = std::chrono::steady_clock::now();
  Find<QToolButton>("btnStop")->click();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_EQ(app_.ActivityState, TActivityState::Idle);
  EXPECT_EQ(Keys()->topLevelItem(0)->text(5), "Finished");
  EXPECT_TRUE(Read(window).searchEnabled);
}

// A search whose engines bring nothing says which and why where the user looks: the status bar, and the
// empty result list of that keyword only.
TEST_F(Searching, EnginesThatGaveNothingAreNamedWithTheirReason) {
  LoopbackServer refusing({Sends("HTTP/1.0 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n")});
  UseEngines({{"Down", Definition(refusing.Url("/s?q=$key$"))}});
  Open();
  Search("first");
  ASSERT_TRUE(WaitForIdle());
  const QString summary = "1 of 1 engine gave nothing: Down (HTTP status 503)";
  EXPECT_EQ(Find<QLabel>("StatusPanel3")->text(), summary);
  EXPECT_EQ(Results()->ShownNote(), summary);

  TOneKey* key = Results()->Key();
  Results()->SetKey(nullptr);  // another keyword shows its own results, not this note
  EXPECT_EQ(Results()->ShownNote(), "");
  Results()->SetKey(key);
  EXPECT_EQ(Results()->ShownNote(), summary);
}

TEST_F(Searching, KeywordsAreNotDeletedWhileOneIsSearchedAndOtherwiseAll) {
  LoopbackServer silent({Stall()});
  UseEngines({{"Silent", Definition(silent.Url("/s?q=$key$"))}});
  workDir_.Write("AllKey.txt", "alpha,Loopback,0,45000.5,3,,0,0\r\nbeta,Loopback,0,45000.5,3,,0,0\r\n");
  Open();
  ASSERT_EQ(Keys()->topLevelItemCount(), 2);
  {
    MessageBoxAnswerer cancel(QMessageBox::Cancel);
    Keys()->selectAll();
    Keywords().DeleteSelectedKeys();
    EXPECT_EQ(cancel.texts, QStringList{"Delete these keys?"});
    EXPECT_EQ(Keys()->topLevelItemCount(), 2);
  }
  Search("gamma");
  ASSERT_EQ(Keys()->topLevelItemCount(), 3);
  Keys()->selectAll();
  MessageBoxAnswerer ok;
  Keywords().DeleteSelectedKeys();
  EXPECT_EQ(ok.texts, (QStringList{"Delete these keys?", "Can't delete these keys!"}));
  EXPECT_EQ(app_.KeyList.size(), 3u);

  Find<QToolButton>("btnStop")->click();
  ok.texts.clear();
  Keys()->selectAll();
  Keywords().DeleteSelectedKeys();
  EXPECT_EQ(ok.texts, QStringList{"Delete these keys?"});
  EXPECT_TRUE(app_.KeyList.empty());
  EXPECT_EQ(Keys()->topLevelItemCount(), 0);
  Keywords().DeleteSelectedKeys();
  EXPECT_EQ(ok.texts.last(), "Please select a key to delete!");
}

TEST_F(Searching, ClosingDuringASearchSavesEverythingAndStops) {
  LoopbackServer silent({Stall()});
  UseEngines({{"Silent", Definition(silent.Url("/s?q=$key$"))}});
  Open();
  Search("busy");
  ASSERT_EQ(app_.ActivityState, TActivityState::Searching);
  const auto before = std::chrono::steady_clock::now();
  Close();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_EQ(app_.ActivityState, TActivityState::Idle);
  EXPECT_EQ(ReadWorkFile("AllKey.txt").substr(0, 17), "\"busy\",\"Loopback\"");
  EXPECT_NE(ReadWorkFile("Config.txt"), "(missing)");
  EXPECT_NE(ReadProgramFile("KeyTree.txt"), "(missing)");
  EXPECT_EQ(ReadProgramFile("Engines1/Index.txt"), "[Loopback,1]\r\nSilent=Silent.txt\r\n");
}
