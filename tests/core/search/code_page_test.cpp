#include "core/search/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/common/utf8.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

// Converts with glibc's iconv, so that expectations read as characters; empty when it cannot.
std::string Iconv(const char* to, const char* from, std::string_view text) {
  iconv_t handle = iconv_open(to, from);
  if (handle == reinterpret_cast<iconv_t>(-1)) return {};
  const std::unique_ptr<void, int (*)(iconv_t)> cd(handle, iconv_close);
  std::string in(text);
  std::string out(text.size() * 4 + 4, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) != 0) return {};
  out.resize(out.size() - outLeft);
  return out;
}

// Bytes of a UTF-8 text in a character set that can write all of it.
std::string Encoded(const char* charset, std::string_view utf8) {
  std::string bytes = Iconv(charset, "UTF-8", utf8);
  if (bytes.empty() && !utf8.empty()) ADD_FAILURE() << charset << " cannot write " << utf8;
  return bytes;
}

std::string Gb(std::string_view utf8) { return Encoded("GB2312", utf8); }
std::string Big5(std::string_view utf8) { return Encoded("BIG5", utf8); }
std::string GbToBig5(std::string_view text) { return ConvertCodePage(text, kCodePageGb, kCodePageBig5); }
std::string Big5ToGb(std::string_view text) { return ConvertCodePage(text, kCodePageBig5, kCodePageGb); }

// The texts of a saved result page between its summary markers.
std::vector<std::string> Summaries(const std::string& page) {
  const std::string begin = "<!--summary_beg-->";
  std::vector<std::string> found;
  for (size_t at = page.find(begin); at != std::string::npos; at = page.find(begin, at)) {
    at += begin.size();
    found.push_back(page.substr(at, page.find("<!--summary_end-->", at) - at));
  }
  return found;
}

}  // namespace

TEST(ConvertCodePage, FormsPunctuationAndAsciiKeepTheirMeaningAndOddBytesPassUnchanged) {
  EXPECT_EQ(GbToBig5(Gb("国发们后台为")), Big5("國發們後臺為"));
  EXPECT_EQ(Big5ToGb(Big5("國發們後臺為")), Gb("国发们后台为"));
  const std::string text = "Qt 6: 中文，搜索。、“引擎” (100%)\r\n";
  EXPECT_EQ(GbToBig5(Gb(text)), Big5(text));
  EXPECT_EQ(Big5ToGb(Big5(text)), Gb(text));
  // Without a counterpart: "?" per character, or a traditional one keeps its GBK code rather than being lost.
  EXPECT_EQ(GbToBig5(Gb("あ中")), "??" + Big5("中"));
  EXPECT_EQ(Big5ToGb(Big5("妳")), Encoded("GBK", "妳"));

  // The summaries of a real BIG5 page read back as their GB original.
  const auto gb = Summaries(test::ReadFixture("serp/sogou-aql-1.html"));
  const auto big5 = Summaries(test::ReadFixture("serp/sogou-aql-1-big5.html"));
  ASSERT_TRUE(gb.size() == 6u && big5.size() == gb.size());
  for (size_t i = 0; i < gb.size(); ++i) EXPECT_EQ(Big5ToGb(big5[i]), gb[i]) << "summary " << i;

  const std::string mixed = Gb("国") + "x\xA4\x40";
  for (const auto& [from, to] : {std::pair{1, 1}, {0, 2}, {-1, 0}, {1, 256}}) {
    EXPECT_EQ(ConvertCodePage(mixed, from, to), mixed) << from << " -> " << to;  // only GB and BIG5 pairs convert
  }
  // A high byte at the end or before a line feed is copied.
  EXPECT_EQ(GbToBig5(Gb("国") + "\xB9"), Big5("國") + "\xB9");
  EXPECT_EQ(Big5ToGb("\xB0\n\n"), "\xB0\n\n");
  // GBK's 癅 has a trail byte below 0xA1; looked up as is it would land on GB2312's B1E2 instead.
  EXPECT_EQ(GbToBig5(Encoded("GBK", "癅")), "\xB0\x40");
  EXPECT_TRUE(GbToBig5("\xFF\xFF") == "\xFF\xFF" && Big5ToGb("\xA4\x7F") == "\xA4\x7F");  // 0x7F: no BIG5 trail byte
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_TRUE(GbToBig5(pair).size() == 2u && Big5ToGb(pair).size() == 2u) << lead << ' ' << trail;
    }
  }
}

TEST(Utf8Keyword, GbBecomesUtf8ValidUtf8StaysAndStrayBytesAreDropped) {
  const std::string gb = "\xD6\xD0\xCE\xC4";            // "中文" in GB
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // the same in UTF-8
  EXPECT_TRUE(Utf8Keyword(gb) == utf8 && Utf8Keyword(utf8) == utf8 && Utf8Keyword("plain ascii") == "plain ascii");
  // A four-byte GB18030 character (U+00C9), a two-byte one outside GB2312 (U+4E02), a byte that starts
  // no character and a lead byte without its trail.
  EXPECT_EQ(Gb18030ToUtf8("\x81\x30\x87\x37"), "\xC3\x89");
  EXPECT_TRUE(Gb18030ToUtf8("\x81\x40") == "\xE4\xB8\x82" && Gb18030ToUtf8("a\xFFz") == "az" &&
              Gb18030ToUtf8("tail\xD6") == "tail");
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));  // U+1F600
  // Over-long "/", a surrogate, past U+10FFFF, cut short, GB.
  for (const std::string bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xB8", gb.c_str()})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  // A keyword of Unicode blanks (no-break, ideographic, em space with a byte order mark) is blank; one
  // with a character, or a byte that starts none, is not.
  for (const char* blank : {"", " \t", "\xC2\xA0", "\xE3\x80\x80", "\xE2\x80\x83\xEF\xBB\xBF"})
    EXPECT_TRUE(IsBlankKeyword(blank)) << blank;
  for (const char* text : {"@", "\xC2\xA0x", "\xE4\xB8\xAD", "\xFF"}) EXPECT_FALSE(IsBlankKeyword(text)) << text;
}

// Any other charset converts both ways: a byte sequence that is no character becomes U+FFFD and the rest
// still converts (also a lead byte that ends the text), a stateful charset written is closed and shifted
// back before a replacement while one read keeps its state past a bad byte, a page that grows threefold fits, and a name that is unknown or carries iconv's
// options is refused, as is one of an encoding browsers do not know.
TEST(Charsets, OtherCharsetsConvertAndBrokenTextGoesOn) {
  const std::string go = "\xEA\xB3\xA0";  // "고"
  EXPECT_EQ(CharsetToUtf8("\xB0\xED\xFF!\xB0", "euc-kr"), go + "\xEF\xBF\xBD!\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToCharset(go + "\xE4\xB8\xAD\xF0\x9F\x98\x80", "EUC-KR"), "\xB0\xED\xF1\xE9?");
  EXPECT_EQ(Utf8ToCharset("\xE3\x81\x82\xF0\x9F\x98\x80\xE3\x81\x82", "ISO-2022-JP"),
            "\x1B$B$\"\x1B(B?\x1B$B$\"\x1B(B");
  const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // "日本"
  EXPECT_EQ(CharsetToUtf8("\x1B$BF|K\\\x80" "F|K\\F|K\\\x1B(B end", "csISO2022JP"),
            nihon + "\xEF\xBF\xBD" + nihon + nihon + " end");
  EXPECT_EQ(CharsetToUtf8(std::string(100000, '\x80'), "ISO-8859-1")->size(), 300000u);  // "€" each
  EXPECT_TRUE(!CharsetToUtf8("x", "no-such-charset") && !Utf8ToCharset("x", "UTF-8//IGNORE") && IsUtf8Name("utf8"));
  // Only encodings browsers know: a UTF-16 label on a page is read as UTF-8, as they read it.
  EXPECT_TRUE(IsUtf8Name("UTF-16") && !CharsetToUtf8("x", "UCS-4") && !CharsetToUtf8("x", "ISO-2022-CN-EXT"));
  EXPECT_EQ(CharsetToUtf8("\xE0", "iso_8859-5"), "\xD1\x80");
  // Every label of an encoding names it, and only a whole label does.
  const std::pair<const char*, std::pair<std::string, std::string>> labels[] = {
      {"shift-jis", {"\x82\xA0", "\xE3\x81\x82"}}, {"MS_Kanji", {"\x82\xA0", "\xE3\x81\x82"}},
      {"iso_8859-1:1987", {"\x80", "\xE2\x82\xAC"}}, {"iso885915", {"\xA4", "\xE2\x82\xAC"}},
      {"iso-8859-8-i", {"\xE0", "\xD7\x90"}},       {"x-mac-cyrillic", {"\x80", "\xD0\x90"}},
      {"ks_c_5601-1989", {"\xB0\xED", go}},           {"cn-big5", {"\xA4\xA4", "\xE4\xB8\xAD"}},
      {"unicodefeff", {"x", "x"}}};
  for (const auto& [label, text] : labels) EXPECT_EQ(CharsetToUtf8(text.first, label), text.second) << label;
  EXPECT_TRUE(!CharsetToUtf8("x", "jis") && !CharsetToUtf8("x", "utf-8 latin1") && !CharsetToUtf8("x", ""));
}
