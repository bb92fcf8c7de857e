#include "core/net/entities.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(DecodeEntities, ReplacesTheSixNamesExactlyAsTheyAreSpelt) {
  EXPECT_EQ(DecodeEntities("a&nbsp;b &gt; c &lt; d &quot;e&quot; f&amp;g &middot; h"), "ab > c < d 'e' f&g . h");
  EXPECT_EQ(DecodeEntities("&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;"), "&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;");
}

TEST(DecodeEntities, NeverDecodesAReplacementAgain) {
  EXPECT_EQ(DecodeEntities("&amp;lt;"), "&lt;");
  EXPECT_EQ(DecodeEntities("&amp;amp;amp;"), "&amp;amp;");
  // A later "&" moves the mark; a ";" without a mark is plain text.
  EXPECT_EQ(DecodeEntities("a&b&lt;c; d;&"), "a&b<c; d;&");
  EXPECT_EQ(DecodeEntities("&unknown;&gt;"), "&unknown;>");
}

TEST(DecodeEntities, PassesOtherBytesThrough) {
  const std::string bytes("\xB0\xD9\xB6\xC8\0&gt;\xFF", 10);
  EXPECT_EQ(DecodeEntities(bytes), std::string("\xB0\xD9\xB6\xC8\0>\xFF", 7));
  EXPECT_EQ(DecodeEntities(""), "");
}

}  // namespace
}  // namespace quorvex
