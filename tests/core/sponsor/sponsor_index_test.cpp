#include "core/sponsor/sponsor_index.h"

#include <gtest/gtest.h>

#include <random>

namespace quorvex {
namespace {

TEST(SponsorIndexTest, LinesWeighTheirSecondItemOrElseAHundred) {
  const auto lines = ParseSponsorIndex(
      "Tallowby advertiser index\r\nhttp://a/,300\r\nhttp://b/\r\n\r\n\"http://c/ x\" 7 extra\r\nhttp://d/ many\n");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 4u);
  EXPECT_EQ((*lines)[0].weight, 300);
  EXPECT_EQ((*lines)[1].weight, 100);
  EXPECT_EQ((*lines)[2].url, "http://c/ x");
  EXPECT_EQ((*lines)[2].weight, 100);  // three items
  EXPECT_EQ((*lines)[3].weight, 100);  // not a number
  EXPECT_EQ(SponsorIndexUrl("http://s/adv/index"), "http://s/adv/index1.html");
}

TEST(SponsorIndexTest, AnIndexWithoutItsMarkerOrWithoutWeightChoosesNothing) {
  EXPECT_FALSE(ParseSponsorIndex("http://a/,100\n"));
  EXPECT_FALSE(ParseSponsorIndex(""));
  const auto zero = ParseSponsorIndex("Tallowby advertiser index\nhttp://a/,0\nhttp://b/,0\n");
  ASSERT_TRUE(zero);
  EXPECT_FALSE(ChooseSponsorLine(*zero, 0.0));
  EXPECT_FALSE(ChooseSponsorLine({}, 0.5));
}

TEST(SponsorIndexTest, ChoiceFollowsTheWeights) {
  const std::vector<TSponsorLine> lines = {{"http://a/", 100}, {"http://b/", 300}, {"http://never/", 0}};
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> draw(0, 9999999);
  constexpr int kDraws = 40000;
  int second = 0;
  for (int i = 0; i < kDraws; ++i) {
    const std::optional<size_t> chosen = ChooseSponsorLine(lines, draw(random) / 10000000.0);
    ASSERT_TRUE(chosen);
    ASSERT_NE(*chosen, 2u);
    second += *chosen == 1 ? 1 : 0;
  }
  // Three times as often as the first: 3/4 of the draws, within five standard deviations (0.011).
  EXPECT_NEAR(static_cast<double>(second) / kDraws, 0.75, 0.011);
  EXPECT_EQ(ChooseSponsorLine(lines, 0.9999999), 1u);
}

}  // namespace
}  // namespace quorvex
