#include "core/sponsor/sponsor_index.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(ChooseSponsorLine(lines, 0.0), 0u);
  EXPECT_EQ(ChooseSponsorLine(lines, 0.2499), 0u);
  EXPECT_EQ(ChooseSponsorLine(lines, 0.25), 1u);
  EXPECT_EQ(ChooseSponsorLine(lines, 0.9999999), 1u);  // never the line of weight 0
}

}  // namespace
}  // namespace quorvex
