#include "core/store/TResultList.h"

#include <gtest/gtest.h>

using namespace quorvex;

TEST(TResultList, FindsTheFirstOfAKeyIgnoringCaseAlsoAfterRemovals) {
  TResultList list;
  EXPECT_EQ(TResultList::KeyOf("http://a.com/\xC4\xE3x"), "HTTP://A.COM/\xC4\xE3X");  // only a to z fold
  TOneResult& first = list.Add("K", TOneResult{});
  TOneResult& second = list.Add("K", TOneResult{});  // duplicate keys are kept
  TOneResult& page = list.Add("HTTP://A.COM/PAGE", TOneResult{});
  for (int i = 0; i < 1000; ++i) list.Add(std::to_string(i), TOneResult{});
  EXPECT_EQ(list.Find("k"), &first);
  EXPECT_EQ(list.Find("http://A.com/page"), &page);  // addresses survive the list's growth
  EXPECT_EQ(list.Find("HTTP://A.COM/P\xC1GE"), nullptr);
  EXPECT_EQ(list.KeyAt(2), "HTTP://A.COM/PAGE");

  TOneResult stranger;
  EXPECT_FALSE(list.Remove(&stranger));
  TOneResult& third = list.Add("K", TOneResult{});
  EXPECT_TRUE(list.Remove(&second));  // not the one a look-up finds
  EXPECT_EQ(list.Find("K"), &first);
  EXPECT_TRUE(list.Remove(&first));
  EXPECT_EQ(list.Find("K"), &third);
  EXPECT_EQ(list.Count(), 1002u);
  EXPECT_EQ(&list[0], &page);
}
