#include "core/common/name_value_list.h"

#include <gtest/gtest.h>

using quorvex::NameValueList;

TEST(NameValueList, LookupIgnoresCaseTakesFirstAndSplitsAtFirstEquals) {
  NameValueList list({"Key=a=b", "key=second", "novalue", "Empty="});
  EXPECT_EQ(list.Value("KEY"), "a=b");
  EXPECT_EQ(list.Value("novalue"), "");
  EXPECT_EQ(list.IndexOfName("novalue"), -1);
  EXPECT_EQ(list.IndexOfName("empty"), 3);
}

TEST(NameValueList, StoreReplacesFirstAppendsOrRemoves) {
  NameValueList list({"a=1", "b=2", "A=3"});
  list.SetValue("A", "9");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=9", "b=2", "A=3"}));
  list.SetValue("c", "new");
  EXPECT_EQ(list.Lines().back(), "c=new");
  list.SetValue("b", "");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=9", "A=3", "c=new"}));
}

TEST(NameValueList, TextRoundTripUsesCrLfAndReadsBothLineEnds) {
  NameValueList list;
  list.SetText("a=1\r\nb=2\nc=3");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a=1", "b=2", "c=3"}));
  EXPECT_EQ(list.ToText(), "a=1\r\nb=2\r\nc=3\r\n");
  list.SetText("x\n\ny\n");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"x", "", "y"}));
}
