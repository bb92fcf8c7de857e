#include "core/app/LayoutConfig.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace quorvex;

namespace {
TLayoutConfig WindowNow() {
  TLayoutConfig now;
  now.WindowState = TWindowState::Maximised;
  now.Left = 7;
  now.Top = 8;
  now.Width = 900;
  now.Height = 700;
  return now;
}
}  // namespace

TEST(LayoutConfig, MissingFileAndMissingKeysGiveTheDefaultsAndTheWindowsOwnBounds) {
  test::TempDir dir;
  const TLayoutConfig missing = TLayoutConfig::Load(dir / "Config.txt", WindowNow());
  EXPECT_EQ(missing.ToList().ToText(), WindowNow().ToList().ToText());

  NameValueList list;
  list.SetText("tvKey=abc\r\npnShowKey=\r\npnShowTree=0\r\nWindowState=0\r\nWidth=640\r\nTitleFont=1,2,3,4\r\n"
               "SummaryFont=255,1,x,3,\"Sans\"\r\nDisplayGrid=0\r\n");
  TLayoutConfig current = WindowNow();
  current.Look.Font(TListFont::Title).Face = "Created";
  const TLayoutConfig read = TLayoutConfig::FromList(list, current);
  EXPECT_EQ(read.TreeHeight, 130);  // unreadable: the default
  EXPECT_TRUE(read.ShowKey);        // shown unless exactly "0"
  EXPECT_FALSE(read.ShowTree);
  EXPECT_FALSE(read.SelectedTreeKey.has_value());
  EXPECT_EQ(read.WindowState, TWindowState::Normal);
  EXPECT_EQ(read.Width, 640);
  EXPECT_EQ(read.Left, 7);  // missing bound: the window's current one
  EXPECT_EQ(read.Look.Font(TListFont::Title).Face, "Created");  // four items leave the font alone
  EXPECT_EQ(read.Look.Font(TListFont::Summary), (TFontSpec{255, 1, 14, 3, "Sans"}));
  EXPECT_FALSE(read.Look.DisplayGrid);

  list.SetText("WindowState=2\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
  EXPECT_EQ(TLayoutConfig::FromList(list, WindowNow()).Width, 900);  // maximised ignores the bounds
}
