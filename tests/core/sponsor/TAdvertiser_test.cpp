#include "core/sponsor/TAdvertiser.h"

#include <gtest/gtest.h>

#include "core/config/Options.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/sponsor/sponsor_index.h"
#include "core/sponsor/sponsor_pane.h"
#include "support/local_servers.h"

namespace quorvex::test {
namespace {

class RecordingPane : public TSponsorPane {
 public:
  void ShowCachedFile(const std::filesystem::path& file) override { shown.push_back(file); }
  std::vector<std::filesystem::path> shown;
};

class AdvertiserTest : public ::testing::Test {
 protected:
  void TearDown() override { Options().SetValue(TAdvertiser::kServerOption, ""); }

  TempDir cache;
  QueueDispatcher dispatcher;
  RecordingPane pane;
};

TEST_F(AdvertiserTest, WithoutServerTheCacheIsRotatedAndNothingIsFetched) {
  TAdvertiser advertiser(
      dispatcher, pane, cache.Path(),
      {std::chrono::milliseconds(40000), std::chrono::milliseconds(10), std::chrono::milliseconds(0)});
  // The worker's first step on the main thread rotates an empty cache: the pane stays as it is.
  while (dispatcher.WaitAndRunPending(std::chrono::milliseconds(200)) == 0) {
  }
  EXPECT_TRUE(pane.shown.empty());

  cache.Write("0/0.htm", "default");
  advertiser.Rotate();
  EXPECT_TRUE(pane.shown.size() == 1u && pane.shown.back() == cache / "0/0.htm");

  cache.Write("3/0.htm", "cached");
  advertiser.Rotate();
  // A cached sponsor page comes before the default.
  EXPECT_TRUE(pane.shown.back() == cache / "3/0.htm" && !std::filesystem::exists(cache / "1"));
}

TEST_F(AdvertiserTest, ChosenPageIsCachedWrappedAndShown) {
  QUORVEX_REQUIRE_PROGRAM("nginx");
  NginxServer nginx;
  ASSERT_TRUE(nginx.Started()) << nginx.Log();
  const std::string page = "<html><a href=\"more.html\">more</a><img src=\"logo.png\"></html>";
  std::filesystem::create_directories(nginx.Root() / "adv");
  ASSERT_TRUE(WriteFileAtomically(
      nginx.Root() / "adv/index1.html",
      "Tallowby advertiser index\r\n" + nginx.Url("/none.html") + ",0\r\n" + nginx.Url("/page.html") + ",5\r\n"));
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / "page.html", page));
  ASSERT_TRUE(WriteFileAtomically(nginx.Root() / "logo.png", "\x89PNG-logo"));
  Options().SetValue(TAdvertiser::kServerOption, nginx.Url("/adv/index"));

  {
    TAdvertiser advertiser(dispatcher, pane, cache.Path());
    while (pane.shown.empty()) dispatcher.WaitAndRunPending(std::chrono::milliseconds(200));
  }  // stops at once although the worker is in its long pause

  EXPECT_EQ(pane.shown.back(), cache / "2/0.htm");
  const std::string saved = ReadWholeFile(cache / "2/0.htm").value_or("");
  EXPECT_TRUE(saved.starts_with(TAdvertiser::WrapperPrefix()) && saved.ends_with("</body>"));
  EXPECT_NE(saved.find("<a href=\"" + nginx.Url("/more.html") + "\" target=\"_blank\">"), std::string::npos) << saved;
  EXPECT_TRUE(saved.find("<img src=\"1.png\">") != std::string::npos &&
              ReadWholeFile(cache / "2/1.png") == "\x89PNG-logo");
}


TEST(SponsorIndexTest, LinesWeighTheirSecondItemAndTheChoiceFollowsTheWeights) {
  const auto lines = ParseSponsorIndex(
      "Tallowby advertiser index\r\nhttp://a/,300\r\nhttp://b/\r\n\r\n\"http://c/ x\" 7 extra\r\nhttp://d/ many\n");
  ASSERT_TRUE(lines && lines->size() == 4u);
  // Three items, or a second one that is no number, weigh 100.
  EXPECT_TRUE((*lines)[0].weight == 300 && (*lines)[1].weight == 100 && (*lines)[2].url == "http://c/ x");
  EXPECT_TRUE((*lines)[2].weight == 100 && (*lines)[3].weight == 100);
  EXPECT_EQ(SponsorIndexUrl("http://s/adv/index"), "http://s/adv/index1.html");

  EXPECT_FALSE(ParseSponsorIndex("http://a/,100\n") || ParseSponsorIndex(""));
  const auto zero = ParseSponsorIndex("Tallowby advertiser index\nhttp://a/,0\nhttp://b/,0\n");
  ASSERT_TRUE(zero);
  EXPECT_FALSE(ChooseSponsorLine(*zero, 0.0) || ChooseSponsorLine({}, 0.5));

  const std::vector<TSponsorLine> weighted = {{"http://a/", 100}, {"http://b/", 300}, {"http://never/", 0}};
  EXPECT_TRUE(ChooseSponsorLine(weighted, 0.0) == 0u && ChooseSponsorLine(weighted, 0.2499) == 0u);
  // Never the line of weight 0.
  EXPECT_TRUE(ChooseSponsorLine(weighted, 0.25) == 1u && ChooseSponsorLine(weighted, 0.9999999) == 1u);
}

}  // namespace
}  // namespace quorvex::test
