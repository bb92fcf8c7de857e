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
    if (std::string_view(from) == "UTF-8") skip = std::max<size_t>(1, Utf8SequenceLength(std::string_view(in, inLeft)));
    skip = std::min(skip, inLeft);
    in += skip;
    inLeft -= skip;
    // A stateful charset (ISO-2022-JP) returns to its initial state first, where the replacement reads
    // as itself.
    if (!replacement.empty()) {
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

// The encodings browsers know (their common labels, lower case) and the iconv converter each is read
// with; other iso-8859-N and windows-125N labels are matched by number below. Browsers read UTF-16 and
// UTF-32 labels on a page as UTF-8 (the page's bytes are ASCII-compatible where the label could be
// read), ISO-8859-1 and ASCII as windows-1252, EUC-KR as windows-949 and Shift_JIS as windows-31J.
constexpr std::pair<std::string_view, const char*> kCharsetLabels[] = {
    {"utf-8", "UTF-8"},          {"utf8", "UTF-8"},          {"unicode-1-1-utf-8", "UTF-8"},
    {"utf-16", "UTF-8"},         {"utf-16le", "UTF-8"},      {"utf-16be", "UTF-8"},
    {"utf-32", "UTF-8"},         {"utf-32le", "UTF-8"},      {"utf-32be", "UTF-8"},
    {"unicode", "UTF-8"},        {"ucs-2", "UTF-8"},         {"ascii", "WINDOWS-1252"},
    {"us-ascii", "WINDOWS-1252"}, {"latin1", "WINDOWS-1252"}, {"l1", "WINDOWS-1252"},
    {"latin2", "ISO-8859-2"},    {"l2", "ISO-8859-2"},       {"latin3", "ISO-8859-3"},
    {"latin4", "ISO-8859-4"},    {"cyrillic", "ISO-8859-5"}, {"arabic", "ISO-8859-6"},
    {"greek", "ISO-8859-7"},     {"hebrew", "ISO-8859-8"},   {"latin5", "WINDOWS-1254"},
    {"latin6", "ISO-8859-10"},   {"ibm866", "IBM866"},       {"cp866", "IBM866"},
    {"koi8-r", "KOI8-R"},        {"koi8", "KOI8-R"},         {"koi8_r", "KOI8-R"},
    {"koi8-u", "KOI8-U"},        {"koi8-ru", "KOI8-U"},      {"macintosh", "MACINTOSH"},
    {"x-mac-roman", "MACINTOSH"}, {"windows-874", "CP874"},   {"tis-620", "CP874"},
    {"gbk", "GBK"},              {"gb2312", "GBK"},          {"x-gbk", "GBK"},
    {"gb18030", "GB18030"},      {"big5", "BIG5-HKSCS"},     {"big5-hkscs", "BIG5-HKSCS"},
    {"euc-jp", "EUC-JP"},        {"x-euc-jp", "EUC-JP"},     {"iso-2022-jp", "ISO-2022-JP"},
    {"shift_jis", "CP932"},      {"sjis", "CP932"},          {"ms932", "CP932"},
    {"windows-31j", "CP932"},    {"x-sjis", "CP932"},        {"euc-kr", "CP949"},
    {"korean", "CP949"},         {"ks_c_5601-1987", "CP949"}, {"windows-949", "CP949"}};

// The iconv converter a charset label names, or "" for a label of no encoding browsers know (which
// also keeps iconv's own options, "//IGNORE", and rarely used converters out).
std::string IconvName(std::string_view charset) {
  std::string label;
  for (const char c : charset) label += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  for (const auto& [known, name] : kCharsetLabels) {
    if (label == known) return name;
  }
  // iso-8859-N (also iso8859-N, iso_8859-N) and windows-125N (also cp125N, x-cp125N).
  for (const std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
    if (!label.starts_with(prefix)) continue;
    const std::string_view number = std::string_view(label).substr(prefix.size());
    if (number == "1") return "WINDOWS-1252";
    if (number == "9") return "WINDOWS-1254";
    if (number == "11") return "CP874";
    for (const std::string_view known : {"2", "3", "4", "5", "6", "7", "8", "10", "13", "14", "15", "16"}) {
      if (number == known) return "ISO-8859-" + std::string(number);
    }
  }
  for (const std::string_view prefix : {"windows-125", "cp125", "x-cp125"}) {
    if (label.size() == prefix.size() + 1 && label.starts_with(prefix) && label.back() >= '0' && label.back() <= '8')
      return "WINDOWS-125" + std::string(1, label.back());
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

std::string Gb18030ToUtf8(std::string_view text) {
  return Converted(text, "UTF-8", "GB18030").value_or(std::string(text));
}

std::string Utf8ToGb18030(std::string_view text) {
  return Converted(text, "GB18030", "UTF-8").value_or(std::string(text));
}

std::string Utf8ToBig5(std::string_view text) { return Converted(text, "BIG5", "UTF-8").value_or(std::string(text)); }

bool IsUtf8Name(std::string_view charset) { return IconvName(charset) == "UTF-8"; }

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
