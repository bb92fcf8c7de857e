#include <gtest/gtest.h>

#include "gui/display_text.h"

namespace quorvex {
namespace {

TEST(DisplayText, Utf8ShownAsUtf8GbAsChineseAndTypedTextStoredAsGb) {
  EXPECT_EQ(ToDisplay("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
  EXPECT_EQ(ToDisplay("\xc4\xe3\xba\xc3"), QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd"));  // GB "ni hao"
  EXPECT_EQ(FromTyped(QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd")), "\xc4\xe3\xba\xc3");
  EXPECT_EQ(FromTyped("plain"), "plain");
}

}  // namespace
}  // namespace quorvex
