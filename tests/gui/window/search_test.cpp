// Searches through the window: command states while busy and idle, what an ended search leaves on disk,
// Stop against a silent server, the keyword delete rules, and closing the window in the middle of a search.
#include <gtest/gtest.h>

#include "core/config/ProgramDirs.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "gui/TKeyListView.h"
#include "gui/TfmProgress.h"
#include "support/gui/opened_urls.h"
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

// The demo search runs with the busy commands; once it ended, its keyword and the edits made in its
// result list are on disk without a shut-down, as a killed process leaves them.
TEST_F(Searching, DemoSearchRunsBusyThenItsKeywordAndResultListEditsAreOnDiskWithoutAShutDown) {
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
  EXPECT_TRUE(idle.searchEnabled && idle.keyEditEnabled && !idle.stopEnabled && !idle.progressShown);
  EXPECT_TRUE(Keys()->topLevelItem(0)->text(5) == "Finished" && window.Progress().isHidden());
  const TOneKey* searched = TKeyListView::KeyOf(Keys()->topLevelItem(0));
  ASSERT_GT(searched->Results.Count(), 1u);

  // Waits until the next start would read the one keyword with count results, the one at visited marked.
  std::unique_ptr<AppState> nextStart;
  const auto onDisk = [&](size_t count, const std::string& visited = {}) {
    return WaitUntil([&] {
      nextStart = std::make_unique<AppState>();
      if (!LoadKeyList(*nextStart, kAllKeyFileName, window.Index().CategoryNames()) || nextStart->KeyList.size() != 1 ||
          !nextStart->KeyList[0]->LoadResults(SearchResultDir()) || nextStart->KeyList[0]->Results.Count() != count)
        return false;
      const TOneResult* result = nextStart->KeyList[0]->Results.Find(TResultList::KeyOf(visited));
      return visited.empty() || (result != nullptr && result->Visited == 1);
    });
  };
  ASSERT_TRUE(onDisk(searched->Results.Count()));
  EXPECT_TRUE(nextStart->KeyList[0]->Keyword == "rainwater harvesting" &&
              nextStart->KeyList[0]->ResultCount == searched->ResultCount);

  // A deleted result, and the visited mark of the one opened, reach the disk as well; the row's count
  // and the Number label follow the delete.
  OpenedUrls opened;
  MessageBoxAnswerer ok;
  Results()->DeleteSelected();
  const size_t left = searched->Results.Count();
  EXPECT_TRUE(Keys()->topLevelItem(0)->text(3) == QString::number(left) &&
              Find<QLabel>("lblNum")->text().trimmed() == QString::number(left));
  ASSERT_TRUE(onDisk(left));  // before the result is opened, so that its mark needs a write of its own
  Results()->OpenResult(false, false);
  ASSERT_EQ(opened.urls.size(), 1);
  EXPECT_TRUE(onDisk(left, opened.urls[0].toString().toStdString()));
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
  EXPECT_TRUE(Find<QLabel>("StatusPanel3")->text() == summary && Results()->ShownNote() == summary);

  TOneKey* key = Results()->Key();
  Results()->SetKey(nullptr);  // another keyword shows its own results, not this note
  EXPECT_EQ(Results()->ShownNote(), "");
  Results()->SetKey(key);
  EXPECT_EQ(Results()->ShownNote(), summary);
}

// A silent engine keeps the search going: the progress window shows every engine's state meanwhile, its
// keyword cannot be deleted, Stop returns at once after the other engines finished, and closing the
// window during a search stops it and saves everything.
TEST_F(Searching, StopOrCloseEndASearchAtOnceAndOnlyThenItsKeywordCanBeDeleted) {
  LoopbackServer answering({Sends(ResultPage("http://found.example/a", "Found"))});
  LoopbackServer refusing({Sends("HTTP/1.0 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n")});
  LoopbackServer silent({Stall()});
  UseEngines({{"Quick", Definition(answering.Url("/s?q=$key$"))},
              {"Down", Definition(refusing.Url("/s?q=$key$"))},
              {"Silent", Definition(silent.Url("/s?q=$key$"))}});
  TfmMetaSearch& window = Open();
  Search("anything");
  const QStandardItemModel& rows = window.Progress().Rows();
  const auto shown = [&](int row, int column, int role = Qt::DisplayRole) { return rows.index(row, column).data(role); };
  ASSERT_TRUE(WaitUntil([&] {
    return rows.rowCount() == 3 && shown(0, 2).toString() == "Finished:1" &&
           shown(1, 2).toString() == "Finished:0 (HTTP status 503)" && shown(2, 2).toString() == "Connected";
  }));
  EXPECT_TRUE(shown(0, 0) == "Quick" && shown(0, 1, TfmProgress::kPercentRole) == 100 &&
              shown(2, 1, TfmProgress::kPercentRole) == 1 && !window.Progress().isHidden());
  EXPECT_TRUE(shown(1, 0, Qt::ToolTipRole) == "Down: HTTP status 503" && shown(0, 0, Qt::ToolTipRole).isNull());
  ASSERT_TRUE(WaitUntil([&] { return Keys()->topLevelItemCount() == 1 && Keys()->topLevelItem(0)->text(3) == "1"; }));
  EXPECT_TRUE(Read(window).stopEnabled);  // the silent engine keeps the search going
  {
    MessageBoxAnswerer ok;
    Keys()->selectAll();
    Keywords().DeleteSelectedKeys();
    EXPECT_EQ(ok.texts, (QStringList{"Delete these keys?", "Can't delete these keys!"}));
    EXPECT_EQ(app_.KeyList.size(), 1u);
  }

  const auto before = std::chrono::steady_clock::now();
  Find<QToolButton>("btnStop")->click();
  EXPECT_TRUE(std::chrono::steady_clock::now() - before < std::chrono::seconds(2) &&
              app_.ActivityState == TActivityState::Idle);
  EXPECT_TRUE(Keys()->topLevelItem(0)->text(5) == "Finished" && Read(window).searchEnabled);
  {
    MessageBoxAnswerer cancel(QMessageBox::Cancel);
    Keys()->selectAll();
    Keywords().DeleteSelectedKeys();
    EXPECT_TRUE(cancel.texts == QStringList{"Delete these keys?"} && Keys()->topLevelItemCount() == 1);
  }
  {
    MessageBoxAnswerer ok;
    Keys()->selectAll();
    Keywords().DeleteSelectedKeys();
    EXPECT_EQ(ok.texts, QStringList{"Delete these keys?"});
    EXPECT_TRUE(app_.KeyList.empty() && Keys()->topLevelItemCount() == 0);
    Keywords().DeleteSelectedKeys();
    EXPECT_EQ(ok.texts.last(), "Please select a key to delete!");
  }

  Search("busy");
  ASSERT_EQ(app_.ActivityState, TActivityState::Searching);
  const auto closing = std::chrono::steady_clock::now();
  Close();
  EXPECT_TRUE(std::chrono::steady_clock::now() - closing < std::chrono::seconds(2) &&
              app_.ActivityState == TActivityState::Idle);
  EXPECT_EQ(ReadWorkFile("AllKey.txt").substr(0, 17), "\"busy\",\"Loopback\"");
  EXPECT_TRUE(ReadWorkFile("Config.txt") != "(missing)" && ReadProgramFile("KeyTree.txt") != "(missing)" &&
              ReadProgramFile("Engines1/Index.txt") ==
                  "[Loopback,1]\r\nQuick=Quick.txt\r\nDown=Down.txt\r\nSilent=Silent.txt\r\n");
}
