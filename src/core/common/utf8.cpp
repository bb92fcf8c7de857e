#include "core/common/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

namespace quorvex {
namespace {

// Length of the well-formed UTF-8 sequence at the start of text, or 0.
size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // over-long
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // over-long
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// An iconv descriptor that closes itself.
class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(::iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) ::iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return descriptor_; }

 private:
  iconv_t descriptor_;
};

// text converted by iconv; a byte that starts no character of from, or a character to cannot hold, is
// replaced by replacement ("" drops it). Unknown code pages give nothing.
std::optional<std::string> Converted(std::string_view text, const char* to, const char* from,
                                     std::string_view replacement = {}) {
  const Converter converter(to, from);
  if (!converter.Valid()) return std::nullopt;
  std::string input(text);
  std::string output(2 * input.size() + 16, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  size_t written = 0;
  const bool skipsUtf8 = std::string_view(from) == "UTF-8";
  // Every round consumes input, skips a byte of it or grows the output: it ends on any page.
  for (;;) {
    char* out = output.data() + written;
    size_t outLeft = output.size() - written;
    // With the input used up, a null input writes what a stateful code page still holds back.
    const bool flush = inLeft == 0;
    const size_t done = flush ? ::iconv(converter.Get(), nullptr, nullptr, &out, &outLeft)
                              : ::iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
    const int error = errno;
    written = output.size() - outLeft;
    if (done != static_cast<size_t>(-1)) {
      if (flush) break;
      continue;
    }
    if (error == E2BIG) {
      output.resize(output.size() * 2);
      continue;
    }
    if (flush || (error != EILSEQ && error != EINVAL)) break;
    // Past the whole UTF-8 character that the other side cannot hold, or past one stray byte.
    size_t skip = 1;
    if (skipsUtf8) skip = std::max<size_t>(1, Utf8SequenceLength(std::string_view(in, inLeft)));
    skip = std::min(skip, inLeft);
    in += skip;
    inLeft -= skip;
    // Writing a stateful charset (ISO-2022-JP), the output shifts back to its initial state first, where
    // the replacement reads as itself. Reading one, the state stays: the rest of a kanji run is kanji.
    if (!replacement.empty() && skipsUtf8) {
      for (;;) {
        char* out = output.data() + written;
        size_t outLeft = output.size() - written;
        const size_t reset = ::iconv(converter.Get(), nullptr, nullptr, &out, &outLeft);
        written = output.size() - outLeft;
        if (reset != static_cast<size_t>(-1) || errno != E2BIG) break;
        output.resize(output.size() * 2);
      }
    }
    if (output.size() - written < replacement.size()) output.resize(output.size() * 2 + replacement.size());
    output.replace(written, replacement.size(), replacement);
    written += replacement.size();
  }
  output.resize(written);
  return output;
}

// The encodings browsers know, each with the iconv converter it is read with and its labels (lower case,
// blank-separated). Browsers read UTF-16 and UTF-32 labels on a page as UTF-8 (the page's bytes are
// ASCII-compatible where the label could be read), ISO-8859-1 and ASCII as windows-1252, ISO-8859-9 as
// windows-1254, ISO-8859-11 as windows-874, EUC-KR as windows-949 and Shift_JIS as windows-31J.
constexpr std::pair<const char*, std::string_view> kCharsetLabels[] = {
    {"UTF-8",
     "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8 utf-16be unicodefffe csunicode "
     "iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le utf-32 utf-32le utf-32be"},
    {"IBM866", "866 cp866 csibm866 ibm866"},
    {"ISO-8859-2", "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {"ISO-8859-3", "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {"ISO-8859-4", "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {"ISO-8859-5",
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 iso_8859-5:1988"},
    {"ISO-8859-6",
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e iso-8859-6-i "
     "iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {"ISO-8859-7",
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 iso_8859-7 "
     "iso_8859-7:1987 sun_eu_greek"},
    {"ISO-8859-8",
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 iso_8859-8 "
     "iso_8859-8:1988 visual csiso88598i iso-8859-8-i logical"},
    {"ISO-8859-10", "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {"ISO-8859-13", "iso-8859-13 iso8859-13 iso885913"},
    {"ISO-8859-14", "iso-8859-14 iso8859-14 iso885914"},
    {"ISO-8859-15", "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {"ISO-8859-16", "iso-8859-16"},
    {"KOI8-R", "cskoi8r koi koi8 koi8-r koi8_r"},
    {"KOI8-U", "koi8-ru koi8-u"},
    {"MACINTOSH", "csmacintosh mac macintosh x-mac-roman"},
    {"MACCYRILLIC", "x-mac-cyrillic x-mac-ukrainian"},
    {"CP874", "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {"WINDOWS-1250", "cp1250 windows-1250 x-cp1250"},
    {"WINDOWS-1251", "cp1251 windows-1251 x-cp1251"},
    {"WINDOWS-1252",
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 iso88591 iso_8859-1 "
     "iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {"WINDOWS-1253", "cp1253 windows-1253 x-cp1253"},
    {"WINDOWS-1254",
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 latin5 "
     "windows-1254 x-cp1254"},
    {"WINDOWS-1255", "cp1255 windows-1255 x-cp1255"},
    {"WINDOWS-1256", "cp1256 windows-1256 x-cp1256"},
    {"WINDOWS-1257", "cp1257 windows-1257 x-cp1257"},
    {"WINDOWS-1258", "cp1258 windows-1258 x-cp1258"},
    {"GBK", "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
    {"GB18030", "gb18030"},
    {"BIG5-HKSCS", "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {"EUC-JP", "cseucpkdfmtjapanese euc-jp x-euc-jp"},
    {"ISO-2022-JP", "csiso2022jp iso-2022-jp"},
    {"CP932", "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"},
    {"CP949",
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 ksc_5601 "
     "windows-949"}};

// The iconv converter a charset label names, or "" for a label of no encoding browsers know (which
// also keeps iconv's own options, "//IGNORE", and rarely used converters out).
std::string IconvName(std::string_view charset) {
  std::string label;
  for (const char c : charset) label += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  if (label.empty() || label.find(' ') != std::string::npos) return {};
  for (const auto& [name, labels] : kCharsetLabels) {
    for (size_t at = labels.find(label); at != std::string_view::npos; at = labels.find(label, at + 1)) {
      const size_t end = at + label.size();
      if ((at == 0 || labels[at - 1] == ' ') && (end == labels.size() || labels[end] == ' ')) return name;
    }
  }
  return {};
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t length = Utf8SequenceLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

bool IsBlankKeyword(std::string_view utf8) {
  while (!utf8.empty()) {
    const size_t length = Utf8SequenceLength(utf8);
    if (length == 0) return false;
    // The code point: the lead byte's payload bits, then six bits from each continuation byte.
    char32_t point = static_cast<unsigned char>(utf8[0]) & (length == 1 ? 0x7Fu : 0x7Fu >> length);
    for (size_t i = 1; i < length; ++i) point = (point << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3Fu);
    const bool blank = point <= 0x20 || (point >= 0x7F && point <= 0xA0) || point == 0x1680 || point == 0x180E ||
                       (point >= 0x2000 && point <= 0x200B) || point == 0x2028 || point == 0x2029 ||
                       point == 0x202F || point == 0x205F || point == 0x2060 || point == 0x3000 || point == 0xFEFF;
    if (!blank) return false;
    utf8.remove_prefix(length);
  }
  return true;
}

std::string Gb18030ToUtf8(std::string_view text) {
  return Converted(text, "UTF-8", "GB18030").value_or(std::string(text));
}

std::string Utf8ToGb18030(std::string_view text) {
  return Converted(text, "GB18030", "UTF-8").value_or(std::string(text));
}

std::string Utf8ToBig5(std::string_view text) { return Converted(text, "BIG5", "UTF-8").value_or(std::string(text)); }

bool IsUtf8Name(std::string_view charset) { return IconvName(charset) == "UTF-8"; }

bool IsKnownCharset(std::string_view charset) { return !IconvName(charset).empty(); }

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the text, then what it is written in
std::optional<std::string> CharsetToUtf8(std::string_view text, std::string_view charset) {
  const std::string name = IconvName(charset);
  if (name.empty()) return std::nullopt;
  return Converted(text, "UTF-8", name.c_str(), "\xEF\xBF\xBD");
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the text, then what it is to be written in
std::optional<std::string> Utf8ToCharset(std::string_view text, std::string_view charset) {
  const std::string name = IconvName(charset);
  if (name.empty()) return std::nullopt;
  return Converted(text, name.c_str(), "UTF-8", "?");
}

std::string Utf8Keyword(std::string_view keyword) {
  return IsValidUtf8(keyword) ? std::string(keyword) : Gb18030ToUtf8(keyword);
}

}  // namespace quorvex
