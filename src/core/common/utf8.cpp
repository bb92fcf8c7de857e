#include "core/common/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

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
// dropped. Unknown code pages give the text as it is.
std::string Converted(std::string_view text, const char* to, const char* from) {
  const Converter converter(to, from);
  if (!converter.Valid()) return std::string(text);
  std::string input(text);
  // Between these code pages a character of n bytes never needs more than 2n bytes.
  std::string output(2 * input.size() + 4, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  while (inLeft > 0) {
    if (::iconv(converter.Get(), &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // Past the whole UTF-8 character that the other side cannot hold, or past one stray byte.
    size_t skip = 1;
    if (std::string_view(from) == "UTF-8") skip = std::max<size_t>(1, Utf8SequenceLength(std::string_view(in, inLeft)));
    skip = std::min(skip, inLeft);
    in += skip;
    inLeft -= skip;
  }
  output.resize(output.size() - outLeft);
  return output;
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

std::string Gb18030ToUtf8(std::string_view text) { return Converted(text, "UTF-8", "GB18030"); }

std::string Utf8ToGb18030(std::string_view text) { return Converted(text, "GB18030", "UTF-8"); }

std::string Utf8ToBig5(std::string_view text) { return Converted(text, "BIG5", "UTF-8"); }

std::string Utf8Keyword(std::string_view keyword) {
  return IsValidUtf8(keyword) ? std::string(keyword) : Gb18030ToUtf8(keyword);
}

}  // namespace quorvex
