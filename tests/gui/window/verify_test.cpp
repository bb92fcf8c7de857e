// Verification through the window: the progress dialog's texts, and a run over a kept keyword against
// loopback nginx from the command to the end the stop timer makes.
#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "gui/TKeyListView.h"
#include "gui/TfmDownload.h"
#include "support/local_servers.h"
#include "window_fixture.h"

using namespace quorvex;
using namespace quorvex::test;

TEST(VerifyDialog, ShowsCountsPercentageBarAndWorkerRowsForOneAndManyResults) {
  TfmDownload dialog;
  TVerifyDisplay& display = dialog;
  display.RunStarted(10);
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(dialog.lvDetail->topLevelItemCount(), 10);

  display.Progress(VerifyProgressOf(0, 1));
  EXPECT_EQ(dialog.lblDownCount->text(), "0");
  EXPECT_EQ(dialog.lblAllCount->text(), "1");
  EXPECT_EQ(dialog.lblProgress->text(), "0%");
  EXPECT_GT(dialog.ProgressBar->maximum(), dialog.ProgressBar->minimum());  // not a busy indicator

  display.Progress(VerifyProgressOf(50, 200));
  display.WorkerRow(3, "http://example.org/a", 49, 2);
  EXPECT_EQ(dialog.lblDownCount->text(), "50");
  EXPECT_EQ(dialog.lblAllCount->text(), "200");
  EXPECT_EQ(dialog.lblProgress->text(), "25.00%");
  EXPECT_EQ(dialog.ProgressBar->maximum(), 199);
  EXPECT_EQ(dialog.ProgressBar->value(), 50);
  const QTreeWidgetItem* row = dialog.lvDetail->topLevelItem(3);
  EXPECT_EQ(row->text(0), "http://example.org/a");
  EXPECT_EQ(row->text(1), "49");
  EXPECT_EQ(row->text(2), "2");

  display.RunStarted(10);  // a new run starts with empty rows
  EXPECT_EQ(dialog.lvDetail->topLevelItemCount(), 10);
  EXPECT_TRUE(dialog.lvDetail->topLevelItem(3)->text(0).isEmpty());
}

using Verifying = WindowTest;

TEST_F(Verifying, KeptKeywordRunsToTheEndWithPageStatesAndIdleCommands) {
  QUORVEX_REQUIRE_PROGRAM("nginx");
  NginxServer nginx;
  ASSERT_TRUE(nginx.Started()) << nginx.Log();
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / "ok.html", "<p>here</p>"));
  TOneKey key("kept pages", 45000.25, 0, 0);
  for (const std::string& url : {nginx.Url("/ok.html"), nginx.Url("/gone.html")}) {
    TOneResult result;
    result.Url = url;
    key.Results.Add(TResultList::KeyOf(url), std::move(result));
  }
  key.ResultCount = 2;
  ASSERT_TRUE(key.SaveResults(programDir_ / "SearchResult"));
  WriteWorkFile("AllKey.txt", key.ToLine({"Offline demo"}) + "\r\n");

  TfmMetaSearch& window = Open();
  ASSERT_EQ(window.lvKey->topLevelItemCount(), 1);
  window.btnVerify->click();
  EXPECT_EQ(app_.ActivityState, TActivityState::Verifying);
  EXPECT_FALSE(window.btnSearch->isEnabled());
  EXPECT_TRUE(window.btnStop->isEnabled());
  EXPECT_EQ(window.StatusPanels[0]->text(), "Downloading...");
  EXPECT_EQ(window.lvKey->topLevelItem(0)->text(5), "Downloading...");
  auto* dialog = window.findChild<TfmDownload*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());

  ASSERT_TRUE(WaitUntil([this] { return app_.ActivityState == TActivityState::Idle; }));
  EXPECT_EQ(app_.CurrentVerify, nullptr);
  EXPECT_EQ(window.StatusPanels[1]->text(), "Finished");
  EXPECT_EQ(window.lvKey->topLevelItem(0)->text(5), "Finished");
  EXPECT_TRUE(window.btnVerify->isEnabled());
  EXPECT_TRUE(dialog->isHidden());
  EXPECT_EQ(dialog->lblDownCount->text(), "2");
  const TOneKey& verified = *TKeyListView::KeyOf(window.lvKey->topLevelItem(0));
  ASSERT_EQ(verified.Results.Count(), 2u);
  EXPECT_EQ(verified.Results[0].PageState, kPageVerified);
  EXPECT_EQ(verified.Results[1].PageState, kPageFailed);
}
