#include "core/net/entities.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(DecodeEntities, ReplacesTheSixNamesExactlyAsTheyAreSpeltAndNeverAReplacementAgain) {
  EXPECT_EQ(DecodeEntities("a&nbsp;b &gt; c &lt; d &quot;e&quot; f&amp;g &middot; h"), "ab > c < d 'e' f&g . h");
  EXPECT_EQ(DecodeEntities("&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;"), "&AMP; &Gt; &nbsp &#160; &#x3C; &copy; &;");
  EXPECT_EQ(DecodeEntities("&amp;lt;"), "&lt;");
  // A later "&" moves the mark; a ";" without a mark is plain text.
  EXPECT_EQ(DecodeEntities("a&b&lt;c; d;&"), "a&b<c; d;&");
  const std::string bytes("\xB0\xD9\xB6\xC8\0&gt;\xFF", 10);
  EXPECT_EQ(DecodeEntities(bytes), std::string("\xB0\xD9\xB6\xC8\0>\xFF", 7));
}

TEST(DecodeNumericReferences, GivesTheCharacterInTheEnginesEncoding) {
  // Decimal and hexadecimal, as pages write apostrophes, middle dots and registered signs.
  EXPECT_EQ(DecodeNumericReferences("It&#x27;s &#0183;&#32;a&#174; &#X4E2D;&#20013;", TTextEncoding::Utf8),
            "It's \u00B7 a\u00AE \u4E2D\u4E2D");
  EXPECT_EQ(DecodeNumericReferences("&#20013;&#x27;&#183;&#x1F600;", TTextEncoding::Gb18030),
            "\xD6\xD0'\xA1\xA4\x94"
            "9\xFC"
            "6");
  // Controls become blanks; a decoded "&" must survive the named pass that follows unchanged.
  EXPECT_EQ(DecodeNumericReferences("a&#10;b&#0;c&#x85;d", TTextEncoding::Utf8), "a b c d");
  EXPECT_EQ(DecodeEntities(DecodeNumericReferences("&#38;lt; &amp;#60;", TTextEncoding::Utf8)), "&lt; &#60;");
  // What is no character stays as written.
  const std::string kept =
      "&#; &#x; &#12 &#xZZ; &# 1; &#55296; &#xDFFF; &#1114112; &#99999999999999999999999999; &#x110000; &#";
  EXPECT_EQ(DecodeNumericReferences(kept, TTextEncoding::Utf8), kept);
  EXPECT_EQ(DecodeNumericReferences(kept, TTextEncoding::Gb18030), kept);
  EXPECT_EQ(DecodeNumericReferences(std::string("\xB0\xA1\0&#66;", 8), TTextEncoding::Gb18030),
            std::string("\xB0\xA1\0B", 4));
}

TEST(SqueezeBlanks, DropsControlsAndKeepsTheFirstBlankOfARun) {
  EXPECT_EQ(SqueezeBlanks("a\tb  \r\n c"), "ab c");
  EXPECT_EQ(SqueezeBlanks(std::string("\xB0\xA1 \0\xC4\xE3", 6)), "\xB0\xA1 \xC4\xE3");
}

}  // namespace
}  // namespace quorvex
