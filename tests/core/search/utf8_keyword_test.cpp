#include "core/search/utf8_keyword.h"

#include <gtest/gtest.h>

using namespace quorvex;

namespace {

const std::string kGbChinese = "\xD6\xD0\xCE\xC4";            // "中文" in GB
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // the same in UTF-8

TEST(Utf8Keyword, GbKeywordsBecomeUtf8AndUtf8OnesStay) {
  EXPECT_EQ(Utf8Keyword(kGbChinese), kUtf8Chinese);
  EXPECT_EQ(Utf8Keyword(kUtf8Chinese), kUtf8Chinese);
  EXPECT_EQ(Utf8Keyword("plain ascii"), "plain ascii");
  // A four-byte GB18030 character (U+00C9) and a two-byte one outside GB2312 (U+4E02).
  EXPECT_EQ(Gb18030ToUtf8("\x81\x30\x87\x37"), "\xC3\x89");
  EXPECT_EQ(Gb18030ToUtf8("\x81\x40"), "\xE4\xB8\x82");
}

TEST(Utf8Keyword, BytesThatStartNoCharacterAreDropped) {
  EXPECT_EQ(Gb18030ToUtf8("a\xFF"
                          "b"),
            "ab");
  EXPECT_EQ(Gb18030ToUtf8("tail\xD6"), "tail");  // a lead byte without its trail
}

TEST(Utf8Keyword, ValidUtf8IsStrict) {
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));   // U+1F600
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // over-long "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // cut short
  EXPECT_FALSE(IsValidUtf8(kGbChinese));
}

}  // namespace
