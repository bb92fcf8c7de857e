#include "core/view/score_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

using namespace quorvex;

TEST(ScoreText, PercentageOfTheArcTangentWithAFloorOfTen) {
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed: the separator must stay a point
  EXPECT_EQ(ScoreText(7), "10.00%");
  EXPECT_EQ(ScoreText(INT_MIN), "10.00%");
  EXPECT_EQ(ScoreText(8), "20.83%");
  EXPECT_EQ(ScoreText(100), "93.63%");
  EXPECT_EQ(ScoreText(INT_MAX), "100.00%");
  std::setlocale(LC_ALL, "C");
}
