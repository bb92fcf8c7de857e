#include <gtest/gtest.h>

#include "core/view/list_look.h"

namespace quorvex {
namespace {

TEST(FontText, RoundTripsQuotedFacesAndKeepsTheFontOnBadTexts) {
  const TListLook look;
  EXPECT_EQ(FontToText(look.Font(TListFont::Title)), kFontDefaults[0]);
  EXPECT_EQ(look.Font(TListFont::Url).Style, kFontItalic);

  TFontSpec font;
  FontFromText("255,1,-12,3,\"MS Sans Serif\"", font, kFontDefaults[0]);
  EXPECT_EQ(FontToText(font), "255,1,-12,3,\"MS Sans Serif\"");
  const TFontSpec before = font;
  FontFromText("1,2,3,\"Four fields\"", font, kFontDefaults[0]);
  EXPECT_EQ(font, before);
  FontFromText("x,y,z,16,\"Arial\"", font, kFontDefaults[0]);
  EXPECT_EQ(FontToText(font), "0,0,14,0,\"Arial\"");

  // A face with a quote in it (read from an unquoted item) is saved so that it reads back.
  FontFromText("0,0,-12,0,tat\"x\"", font, kFontDefaults[0]);
  TFontSpec reread;
  FontFromText(FontToText(font), reread, kFontDefaults[0]);
  EXPECT_EQ(reread, font);
}

}  // namespace
}  // namespace quorvex
