#include <gtest/gtest.h>

#include "core/view/list_look.h"

namespace quorvex {
namespace {

// A face with a quote in it (read from an unquoted item) is saved so that it reads back; before, the
// saved text no longer split into five items and the font fell back to its default at the next start.
TEST(FontText, FaceWithAQuoteReadsBack) {
  TFontSpec font;
  FontFromText("255,1,-12,3,tat\"x\"", font, kFontDefaults[0]);
  ASSERT_EQ(font.Face, "tat\"x\"");
  TFontSpec reread;
  FontFromText(FontToText(font), reread, kFontDefaults[0]);
  EXPECT_EQ(reread, font);
}

}  // namespace
}  // namespace quorvex
