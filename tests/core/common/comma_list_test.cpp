#include "core/common/comma_list.h"

#include <gtest/gtest.h>

using quorvex::SplitCommaList;
using Items = std::vector<std::string>;

TEST(CommaList, BlanksAndCommasSeparateUnquotedItems) {
  EXPECT_EQ(SplitCommaList("  a, b ,c"), (Items{"a", "b", "c"}));
  EXPECT_EQ(SplitCommaList("tr\ttd"), (Items{"tr", "td"}));
  EXPECT_EQ(SplitCommaList("a,,b"), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitCommaList("a,"), (Items{"a"}));
  EXPECT_TRUE(SplitCommaList(" \r\n").empty());
}

TEST(CommaList, QuotedItemsKeepBlanksCommasAndDoubledQuotes) {
  EXPECT_EQ(SplitCommaList(R"("a b","c,d")"), (Items{"a b", "c,d"}));
  EXPECT_EQ(SplitCommaList(R"("say ""hi""",x)"), (Items{"say \"hi\"", "x"}));
  // An unterminated quote runs to the end; text glued to a closing quote starts a new item.
  EXPECT_EQ(SplitCommaList(R"("open, to the end)"), (Items{"open, to the end"}));
  EXPECT_EQ(SplitCommaList(R"("a"b)"), (Items{"a", "b"}));
}

TEST(CommaList, HighBytesStayInsideItemsAndNulEndsTheList) {
  EXPECT_EQ(SplitCommaList("\xC4\xE3\xBA\xC3,x"), (Items{"\xC4\xE3\xBA\xC3", "x"}));
  EXPECT_EQ(SplitCommaList(std::string("a,b\0c,d", 7)), (Items{"a", "b"}));
}
