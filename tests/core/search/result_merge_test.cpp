#include "core/search/result_merge.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/store/TOneKey.h"
#include "search_test_support.h"

using namespace quorvex;
using quorvex::test::Found;

namespace {

class Merge : public ::testing::Test {
 protected:
  bool Add(const std::string& url, std::string_view engine, int weight, const std::string& title = "Title",
           const std::string& summary = "none") {
    const TMergeContext context{words_, updateMode_, updateStart_, now_};
    return MergeResult(key_, TFoundRecord{title, summary, url, kLanguageEnglish}, engine, weight, context);
  }

  TOneKey key_{"x y", 45000.0, 0, 0};
  std::vector<std::string> words_ = QueryWordsOf("x y");
  bool updateMode_ = false;
  double updateStart_ = 0;
  double now_ = 45000.25;
};

TEST(Scoring, KeywordsCountOnceByPositionAndDepthHalvesPerPathLevelBothSaturating) {
  const std::vector<std::string> words = QueryWordsOf("x y");
  EXPECT_EQ(words, (std::vector<std::string>{"x", "y"}));
  for (const auto& [text, score] : {std::pair{"only y here", 20}, {"x and X and x", 10}, {"Y then X", 30}}) {
    EXPECT_EQ(KeywordScore(text, words), score) << text;
  }
  // Blanks and "+" both separate words; two in a row leave an empty word, which occurs in any text.
  const std::vector<std::string> gappy = QueryWordsOf("rain+water  tank");
  EXPECT_EQ(gappy, (std::vector<std::string>{"rain", "water", "", "tank"}));
  EXPECT_EQ(KeywordScore("zzz", gappy), 30);
  EXPECT_EQ(KeywordScore("text", std::vector<std::string>(100000, "")), std::numeric_limits<int>::max());

  for (const auto& [url, score] :
       {std::pair{"http://host.com/a/b/", 32}, {"http://host.com", 128}, {"", 128}, {"http://h/1/2/3/4/5/6/7", 1},
        {"http://h/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18/19/20/21/22/23/24/25/26/27/28/29/30/31/32/33", 0}}) {
    EXPECT_EQ(UrlDepthScore(url), score) << url;
  }
}

TEST_F(Merge, SharedUrlGainsTheOtherEnginesNameAndHalfItsWeight) {
  ASSERT_TRUE(Add("http://host.com/a/b", "A", 100, "x title"));
  const int scoreOfA = Found(key_, "http://host.com/a/b").Score;
  EXPECT_EQ(key_.ResultCount, 1);
  EXPECT_TRUE(key_.Modified);

  EXPECT_FALSE(Add("HTTP://HOST.COM/a/b/", "B", 80, "other title"));
  const TOneResult& result = Found(key_, "http://host.com/a/b");
  EXPECT_EQ(result.Engines, "A;B");
  EXPECT_EQ(result.Score, scoreOfA + 40);
  EXPECT_EQ(result.Title, "x title");

  // The same engine again (from another page) changes nothing.
  EXPECT_FALSE(Add("http://host.com/a/b", "B", 80));
  EXPECT_EQ(result.Score, scoreOfA + 40);
}

TEST_F(Merge, TextsAreTrimmedAndDecodedAndEmptyOnesDropped) {
  ASSERT_TRUE(Add("  http://h.com/q?a=1&amp;b=2/ \r\n", "A", 100, " Tom &amp; Jerry ", "&lt;b&gt; "));
  const TOneResult& result = Found(key_, "http://h.com/q?a=1&b=2");
  EXPECT_EQ(result.Url, "http://h.com/q?a=1&b=2");
  EXPECT_EQ(result.Title, "Tom & Jerry");
  EXPECT_EQ(result.Summary, "<b>");
  EXPECT_EQ(result.Found, now_);

  TOneKey untouched("k", 45000.0, 0, 0);
  const TMergeContext context{words_, false, 0, now_};
  EXPECT_FALSE(MergeResult(untouched, TFoundRecord{" \t", "s", "http://h.com/r", 0}, "A", 100, context));
  EXPECT_FALSE(MergeResult(untouched, TFoundRecord{"t", "s", " / ", 0}, "A", 100, context));
  EXPECT_TRUE(untouched.Results.Empty());
  EXPECT_FALSE(untouched.Modified);
}

TEST_F(Merge, UpdateSearchRefreshesResultsFoundBeforeItStarted) {
  ASSERT_TRUE(Add("http://h.com/old", "A", 100, "x"));
  ASSERT_FALSE(Add("http://h.com/old", "B", 100, "x"));
  TOneResult* result = key_.Results.Find(TResultList::KeyOf("http://h.com/old"));
  ASSERT_NE(result, nullptr);
  result->Visited = 1;

  updateMode_ = true;
  updateStart_ = 45001.0;
  now_ = 45001.5;
  words_ = QueryWordsOf("y");
  EXPECT_TRUE(Add("http://h.com/old/", "B", 60, "y new title", "fresh text"));
  EXPECT_EQ(result->Engines, "B");
  EXPECT_EQ(result->Title, "y new title");
  EXPECT_EQ(result->Score, 129);  // of the new title, address and weight
  EXPECT_EQ(result->Found, 45001.5);
  EXPECT_EQ(result->Visited, 1);  // what the user did with the page stays

  // A second engine of the same update only adds its name.
  EXPECT_FALSE(Add("http://h.com/old", "A", 100));
  EXPECT_EQ(result->Engines, "B;A");

  // Found exactly when the update started counts as found by this update.
  ASSERT_TRUE(Add("http://h.com/edge", "A", 100));
  updateStart_ = now_;
  EXPECT_FALSE(Add("http://h.com/edge", "B", 100, "other"));
  EXPECT_EQ(Found(key_, "http://h.com/edge").Engines, "A;B");
}

TEST_F(Merge, HostileWeightsSaturateInsteadOfOverflowing) {
  const int most = std::numeric_limits<int>::max();
  ASSERT_TRUE(Add("http://h.com/w", "A", most));
  EXPECT_EQ(Found(key_, "http://h.com/w").Score, most);
  EXPECT_FALSE(Add("http://h.com/w", "B", most));
  EXPECT_EQ(Found(key_, "http://h.com/w").Score, most);
  ASSERT_TRUE(Add("http://h.com/v", "A", std::numeric_limits<int>::min()));
  EXPECT_EQ(Found(key_, "http://h.com/v").Score, std::numeric_limits<int>::min() + 64);
}

}  // namespace
