#include "core/engines/query_text.h"

#include <gtest/gtest.h>

using namespace quorvex;

TEST(EncodeQuery, KeepsUnreservedBytesAndEscapesEverythingElse) {
  EXPECT_EQ(EncodeQuery("a b"), "a+b");
  EXPECT_EQ(EncodeQuery("AZaz09./\\"), "AZaz09./\\");
  EXPECT_EQ(EncodeQuery("+&=%?#-_~"), "%2B%26%3D%25%3F%23%2D%5F%7E");
  // GB bytes and every other byte from 128 up, with upper-case hex digits.
  EXPECT_EQ(EncodeQuery("\xC4\xE3\xBA\xC3"), "%C4%E3%BA%C3");
  EXPECT_EQ(EncodeQuery(std::string("\0\x7F\xFF", 3)), "%00%7F%FF");
}

TEST(DecodeQuery, DecodesEscapesOfEitherCaseAndLeavesBrokenOnesAlone) {
  EXPECT_EQ(DecodeQuery("a+b%20c"), "a b c");
  EXPECT_EQ(DecodeQuery("http%3a%2F%2Fx"), "http://x");
  EXPECT_EQ(DecodeQuery("%C4%e3"), "\xC4\xE3");
  EXPECT_EQ(DecodeQuery("100%"), "100%");
  EXPECT_EQ(DecodeQuery("%4"), "%4");
  EXPECT_EQ(DecodeQuery("%zz%4g"), "%zz%4g");
  EXPECT_EQ(DecodeQuery("%%41"), "%A");
  EXPECT_EQ(DecodeQuery(EncodeQuery("a b+c\xFF")), "a b+c\xFF");
}

TEST(ExpandCharCodes, TurnsHashNumbersIntoBytes) {
  EXPECT_EQ(ExpandCharCodes("#13#10"), "\r\n");
  EXPECT_EQ(ExpandCharCodes("a#65b"), "aAb");
  EXPECT_EQ(ExpandCharCodes("#321"), "A");  // modulo 256
  EXPECT_EQ(ExpandCharCodes("#256"), std::string(1, '\0'));
  // No digits: byte 0, and the scan goes on after it; a "#" in the last position stays.
  EXPECT_EQ(ExpandCharCodes("#x#"), std::string("\0x#", 3));
  EXPECT_EQ(ExpandCharCodes("##"), std::string("\0#", 2));
  EXPECT_EQ(ExpandCharCodes("#"), "#");
  // Far more digits than any integer holds: still modulo 256 (10^40 = 0 mod 256; + 65).
  EXPECT_EQ(ExpandCharCodes("#" + std::string(40, '0') + "65"), "A");
  EXPECT_EQ(ExpandCharCodes("#10000000000000000000000000000000000000065"), "A");
}
