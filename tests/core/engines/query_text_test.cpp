#include "core/engines/query_text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quorvex;

TEST(QueryText, EncodeAndDecode) {
  EXPECT_EQ(EncodeQuery("a b AZaz09./\\"), "a+b+AZaz09./\\");
  EXPECT_EQ(EncodeQuery(std::string("+&%-_~\0\x7F\xC4\xFF", 10)), "%2B%26%25%2D%5F%7E%00%7F%C4%FF");
  EXPECT_EQ(DecodeQuery("a+b%20c%3a%2F%C4%e3"), "a b c:/\xC4\xE3");
  // Broken escapes stay as written.
  EXPECT_EQ(DecodeQuery("100% %4 %zz%4g %%41"), "100% %4 %zz%4g %A");
}

TEST(QueryText, ExpandCharCodesModulo256) {
  EXPECT_EQ(ExpandCharCodes("#13#10a#65b#321"), "\r\naAbA");
  // No digits: byte 0 and the scan goes on; a "#" in the last position stays.
  EXPECT_EQ(ExpandCharCodes("#x##"), std::string("\0x\0#", 4));
  // Far more digits than any integer holds (10^40 = 0 mod 256).
  EXPECT_EQ(ExpandCharCodes("#1" + std::string(40, '0') + "65"), "A");
}

TEST(QueryText, DecodeBase64UrlTakesOnlyWellFormedText) {
  EXPECT_EQ(DecodeBase64Url("aHR0cHM6Ly93d3cudzNzY2hvb2xzLmNvbS9Kcy8"), "https://www.w3schools.com/Js/");
  EXPECT_EQ(DecodeBase64Url("P34_"), "?~?");  // "-" and "_" in place of "+" and "/"
  EXPECT_EQ(DecodeBase64Url("aGk="), "hi");
  // Bad characters (the standard alphabet's too), wrong padding, a lone last character, NUL bytes
  // in the text or in what it stands for.
  const std::vector<std::string> bad = {"aGk+", "aG k", "aGk==", "aG=k", "aGkxa", std::string("aG\0k", 4), "aGkA"};
  for (const std::string& text : bad) EXPECT_EQ(DecodeBase64Url(text), std::nullopt) << text;
  // Huge input: linear, and a single bad byte at the end still refuses it.
  std::string huge;
  while (huge.size() < (size_t{8} << 20)) huge += "QUFB";
  EXPECT_EQ(DecodeBase64Url(huge).value_or("").size(), huge.size() / 4 * 3);
  EXPECT_EQ(DecodeBase64Url(huge + "!"), std::nullopt);
}
