// Where the program's bytes and settings cross into Qt and the desktop.
#include <gtest/gtest.h>

#include "gui/display_text.h"
#include "gui/list_fonts.h"
#include "gui/result_open.h"

namespace quorvex {
namespace {

TEST(DisplayText, Utf8ShownAsUtf8GbAsChineseAndTypedTextStoredAsGb) {
  EXPECT_EQ(ToDisplay("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
  EXPECT_EQ(ToDisplay("\xc4\xe3\xba\xc3"), QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd"));  // GB "ni hao"
  EXPECT_EQ(FromTyped(QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd")), "\xc4\xe3\xba\xc3");
  EXPECT_EQ(FromTyped("plain"), "plain");
}

TEST(ListFonts, AFontDialogInWholePointsGivesBackTheSizeItWasGivenUnlessChanged) {
  TFontSpec spec;
  spec.Height = -14;  // 10.5 points
  QFont font = ToQFont(spec);
  font.setPointSize(11);
  EXPECT_EQ(FromQFont(font, spec).Height, -14);
  font.setPointSize(10);
  EXPECT_EQ(FromQFont(font, spec).Height, -13);
  font.setPointSize(12);
  EXPECT_EQ(FromQFont(font, spec).Height, -16);
}

TEST(ResultOpen, ANewWindowStartsTheBrowserOfTheExecLineWithItsWrappers) {
  const QUrl url("http://a.com/x");
  // A sandboxed browser keeps its file-forwarding marks around the address.
  EXPECT_EQ(NewWindowCommand("flatpak run --file-forwarding org.example.Browser @@u %u @@", url),
            (QStringList{"flatpak", "run", "--file-forwarding", "org.example.Browser", "--new-window", "@@u",
                         "http://a.com/x", "@@"}));
  EXPECT_EQ(NewWindowCommand("env BROWSER_X=1 /usr/bin/browser %U", url),
            (QStringList{"env", "BROWSER_X=1", "/usr/bin/browser", "--new-window", "http://a.com/x"}));
  EXPECT_EQ(NewWindowCommand("browser", url), (QStringList{"browser", "--new-window", "http://a.com/x"}));
  EXPECT_TRUE(NewWindowCommand("", url).isEmpty());
}

}  // namespace
}  // namespace quorvex
